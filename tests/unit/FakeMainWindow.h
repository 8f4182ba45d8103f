#pragma once
// frmMain over fakes of all its ports, as the portable tests drive it: the picture is a real pixel
// buffer of the size frmMain gives it, at 15 twips a pixel.
#include <cstdint>

#include "Fakes.h"
#include "MainWindowFakes.h"
#include "appearance/PixelSurface.h"
#include "mainwindow/frmMain.h"

namespace tg::test {

struct FakeMainWindow {
    FakeMainWindow() {
        form.onPlace = [this](const TwipsRect&) { picture.Resize(form.surfacePixels.cx, form.surfacePixels.cy); };
        form.changed = [this] { return window.Form_Changed(); };
    }
    FakeMainWindow(const FakeMainWindow&) = delete;
    FakeMainWindow& operator=(const FakeMainWindow&) = delete;
    ~FakeMainWindow() = default;

    FakeForm form;
    PixelSurface picture{181, 89};
    FakeDesktop desktop;
    RecordingMessages messages;
    MemorySettings settings;
    FakeTableSource table;
    FakeClock clock;
    FakeOptionsHost options;
    FakeNotifyIcon icon;
    frmMain window{{form, picture, desktop, messages, settings, table, clock, options, nullptr, nullptr, &icon}};
};

}  // namespace tg::test
