#pragma once
// frmMain over fakes of all its ports, as the portable tests drive it: the picture is a real pixel
// buffer that follows the window's size at 15 twips a pixel.
#include <cstdint>

#include "Fakes.h"
#include "MainWindowFakes.h"
#include "appearance/PixelSurface.h"
#include "mainwindow/frmMain.h"

namespace tg::test {

struct FakeMainWindow {
    FakeMainWindow() {
        form.onResize = [this] { window.Form_Resize(); };
        form.onPlace = [this](const TwipsRect& b) {
            picture.Resize(static_cast<std::int32_t>(b.width / 15), static_cast<std::int32_t>(b.height / 15));
        };
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
    frmMain window{{form, picture, desktop, messages, settings, table, clock, options}};
};

}  // namespace tg::test
