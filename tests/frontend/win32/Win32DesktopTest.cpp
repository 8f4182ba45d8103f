// The desktop port against the real system: the screen in twips, the pump, the single-instance
// marker. Written for 96 DPI on a 1920 x 1080 screen, as the test's own Xvfb provides under Wine.
#include "platform/win32/Win32Desktop.h"

#include <gtest/gtest.h>

#include <string>

namespace tg {
namespace {

std::wstring UniqueInstanceName() {
    static int serial = 0;
    return L"Local\\TideGauge.DesktopTest." + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(++serial);
}

TEST(Win32DesktopTest, TheScreenAndItsMonitorInTwips) {
    const Win32Desktop desktop(UniqueInstanceName());
    ASSERT_EQ(desktop.Dpi(), 96u) << "this test is written for 96 DPI";
    EXPECT_EQ(desktop.TwipsPerPixelX(), 15);
    const TwipsRect screen = desktop.PrimaryScreen();
    EXPECT_EQ(screen.width, 1920 * 15);
    EXPECT_EQ(screen.height, 1080 * 15);
    TwipsRect monitor;
    ASSERT_TRUE(desktop.MonitorAt(25085, 13200, monitor));
    EXPECT_EQ(monitor.width, screen.width);
    EXPECT_EQ(monitor.left, 0);
    EXPECT_FALSE(desktop.MonitorAt(-10, 100, monitor)) << "less than a pixel left of the screen is off it";
    EXPECT_FALSE(desktop.MonitorAt(1920 * 15 + 20, 100, monitor));
}

TEST(Win32DesktopTest, PumpingRunsWhatWaitsAndLeavesTheQuitToTheMainLoop) {
    Win32Desktop desktop(UniqueInstanceName());
    MSG msg{};
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    desktop.PumpMessages();
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_APP, WM_APP, PM_NOREMOVE)) << "the waiting message ran";
    PostQuitMessage(3);
    desktop.PumpMessages();
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST(Win32DesktopTest, OnlyTheFirstCopyRunsAndARestartOfItStillDoes) {
    const std::wstring name = UniqueInstanceName();
    {
        Win32Desktop first(name);
        EXPECT_FALSE(first.AnotherInstanceRunning());
        EXPECT_FALSE(first.AnotherInstanceRunning()) << "the start-up sequence runs again in the same copy";
        Win32Desktop second(name);
        EXPECT_TRUE(second.AnotherInstanceRunning());
    }
    Win32Desktop afterwards(name);
    EXPECT_FALSE(afterwards.AnotherInstanceRunning()) << "the marker goes with the copy that held it";
}

// A window of the test's own, made the foreground window as a user's click would make it.
struct Foreground {
    HWND window;
    Foreground(DWORD style, RECT r, int show = SW_SHOW)
        : window(CreateWindowExW(0, L"STATIC", L"full screen?", style, r.left, r.top, r.right - r.left,
                                 r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {
        ShowWindow(window, show);
        SetForegroundWindow(window);
    }
    ~Foreground() { DestroyWindow(window); }
    Foreground(const Foreground&) = delete;
    Foreground& operator=(const Foreground&) = delete;
};

// The main window's place: the monitor is the one that holds its centre.
constexpr PixelRect kMainWindow = {1672, 880, 181, 91};

TEST(Win32DesktopTest, FullScreenIsAForegroundWindowThatCoversTheMonitor) {
    Win32Desktop desktop(UniqueInstanceName());
    const struct {
        const char* what;
        DWORD style;
        RECT place;
        bool full;
    } cases[] = {
        {"borderless over the screen", WS_POPUP, {0, 0, 1920, 1080}, true},
        {"borderless past its edges", WS_POPUP, {-8, -8, 1928, 1088}, true},
        {"borderless, short of the bottom", WS_POPUP, {0, 0, 1920, 1040}, false},
        // Where a maximised window ends above a 40-pixel taskbar; Wine's desktop has no taskbar.
        {"maximised beside a taskbar", WS_OVERLAPPEDWINDOW, {-8, -8, 1928, 1048}, false},
        {"a small window", WS_OVERLAPPEDWINDOW, {100, 100, 700, 500}, false},
    };
    for (const auto& c : cases) {
        const Foreground active(c.style, c.place);
        ASSERT_EQ(GetForegroundWindow(), active.window) << c.what;
        EXPECT_EQ(desktop.FullScreenActive(kMainWindow), c.full) << c.what;
    }
    SetForegroundWindow(GetDesktopWindow());
    EXPECT_FALSE(desktop.FullScreenActive(kMainWindow)) << "the desktop";
}

// Its own window covering the screen is the main window grown, or one of its dialogs: never a
// reason to hide.
TEST(Win32DesktopTest, TheMainWindowItselfIsNeverFullScreen) {
    Win32Desktop desktop(UniqueInstanceName());
    const Foreground own(WS_POPUP, {0, 0, 1920, 1080});
    ASSERT_TRUE(desktop.FullScreenActive(kMainWindow));
    desktop.FollowDpiOf(own.window);
    EXPECT_FALSE(desktop.FullScreenActive(kMainWindow));
}

}  // namespace
}  // namespace tg
