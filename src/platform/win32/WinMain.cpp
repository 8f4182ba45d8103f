// tidegauge.exe: the real ports, the window, frmMain, and the message loop.
#include <windows.h>

#include "mainwindow/frmMain.h"
#include "ports/SystemStores.h"
#include "ports/SystemTableSource.h"
#include "platform/windows/ProgramPath.h"
#include "platform/windows/RegistrySettings.h"
#include "platform/win32/Win32ColourDialog.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32MessageBox.h"
#include "platform/win32/Win32OptionsHost.h"
#include "platform/windows/Win32Registry.h"
#include "platform/win32/Win32UsageHost.h"

namespace {

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    const auto table = tg::MakeSystemTableSource();
    tg::RegistrySettings settings;
    tg::Win32Registry registry;
    tg::SteadyClock clock;
    tg::Win32Desktop desktop;
    tg::Win32MainWindow window(desktop);
    if (window.Handle() == nullptr) return 1;
    tg::Win32MessageBox messages(window.Handle());
    tg::Win32ColourDialog colours;
    tg::Win32Launcher launcher;
    tg::Win32OptionsHost options(window.Handle(), desktop, colours,
                                 {registry, launcher, tg::RunningProgramPathForRun()});
    const auto usageStore = tg::MakeUserUsageStore();
    tg::SystemCalendar calendar;
    tg::UsageRecorder usage(*usageStore, calendar, clock, tg::ReportOnStandardError);
    tg::Win32UsageHost usageDialog(window.Handle(), desktop);
    tg::frmMain form({window, window.Picture(), desktop, messages, settings, *table, clock, options, &usage, &usageDialog});
    window.Attach(form);

    form.Form_Initialize();
    form.Form_Load();
    return RunMessageLoop();
}
