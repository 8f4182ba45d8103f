// What only the Windows front end of the main window has, driven by the real frmMain: the kind of
// window it makes, a change of DPI, the menu's own loop, the tooltip, and what a long run leaves
// behind. Written for 96 DPI on a 1920 x 1080 screen, as the test's own Xvfb provides under Wine.
// The behaviour both front ends share is tested once, in tests/frontend.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "GuiObjects.h"
#include "Win32Fixture.h"

namespace tg::test {
namespace {

class Win32MainWindowTest : public FixtureTest {
 protected:
    Win32MainWindow& window = NativeWindow(*ui);
    HWND Hwnd() const { return window.Handle(); }
    // A mouse message at (x, y) in client pixels, as the system sends it.
    void Mouse(UINT message, WPARAM buttons, int x, int y) {
        SendMessageW(Hwnd(), message, buttons, static_cast<LPARAM>(static_cast<WORD>(x) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16)));
    }
};

TEST_F(Win32MainWindowTest, OpensHiddenAsABorderlessToolWindowOfTheDesignSize) {
    ASSERT_NE(Hwnd(), nullptr);
    EXPECT_FALSE(IsWindowVisible(Hwnd()));
    const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    EXPECT_NE(style & WS_POPUP, 0);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_NE(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0) << "no taskbar button";
    RECT client{};
    GetClientRect(Hwnd(), &client);
    EXPECT_EQ(client.right, 181);
    EXPECT_EQ(client.bottom, 91);
    EXPECT_EQ(ui->Place().cx, 181) << "no frame around the client area";
    EXPECT_EQ(window.Bounds().width, 2715);
    EXPECT_EQ(window.Bounds().height, 1365);
}

TEST_F(Win32MainWindowTest, OnAnotherDpiTheWindowKeepsItsTwipsAtThePlaceTheSystemOffers) {
    ui->Start();
    RECT offered{100, 50, 400, 300};  // the size the system offers is not the one in twips
    SendMessageW(Hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&offered));
    EXPECT_EQ(ui->Place(), (PixelRect{100, 50, 181, 91}));
    EXPECT_EQ(window.Bounds().left, 1500);
    EXPECT_EQ(window.Bounds().top, 750);
    EXPECT_EQ(window.Bounds().width, 2715);
    EXPECT_EQ(window.Picture().Height(), 89);
    EXPECT_EQ(ui->Main().Picture2Bounds().height, 1335);
}

// Should the menu not take the keys, this closes it, so the test fails instead of hanging.
void CALLBACK CloseStuckMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

TEST_F(Win32MainWindowTest, TheMenuPickedWithARightClickRunsItsCommandBeforeThePopupReturns) {
    ui->Start();
    const HWND hwnd = Hwnd();
    const UINT_PTR guard = SetTimer(nullptr, 0, 5000, CloseStuckMenu);
    // Up from no selection picks the last item, exit; the menu reads both from the queue.
    PostMessageW(hwnd, WM_KEYDOWN, VK_UP, 0);
    PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    Mouse(WM_RBUTTONDOWN, MK_RBUTTON, 20, 20);
    SendMessageW(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    KillTimer(nullptr, guard);
    EXPECT_FALSE(IsWindow(hwnd)) << "exit closed the window";
    EXPECT_EQ(window.Handle(), nullptr);
    MSG msg{};
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "and ended the message loop";
    EXPECT_EQ(world.exits, 1) << "and the program";
}

TEST_F(Win32MainWindowTest, TheTooltipAsksFrmMainForItsTextAndHasNoneDuringADrag) {
    ui->Start();
    ASSERT_TRUE(ui->Tick(1000, 1000));
    ASSERT_TRUE(ui->Tick(126'000, 2000));
    ASSERT_NE(window.Tooltip(), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    ASSERT_TRUE(SendMessageW(window.Tooltip(), TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.hwnd, Hwnd());
    const auto ask = [&] {  // as the tooltip control asks when it is about to show
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = window.Tooltip();
        info.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        return std::wstring(info.lpszText != nullptr ? info.lpszText : L"(none)");
    };
    const std::wstring text = ask();
    EXPECT_NE(text.find(L"D:1008kb U:16kb\r\n"), std::wstring::npos) << "one line per interface, Windows line ends";
    EXPECT_NE(text.find(L"\u542F\u52A8\u4EE5\u6765"), std::wstring::npos) << "then what moved since the start";
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 40, 40);
    EXPECT_EQ(ask(), L"") << "nothing while the window is dragged";
    Mouse(WM_LBUTTONUP, 0, 40, 40);
}

TEST_F(Win32MainWindowTest, ALongRunLeavesTheGdiAndUserObjectsAsTheyWere) {
    const GuiObjects before = CountGuiObjects();
    const HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(CountGuiObjects().gdi, before.gdi + 1) << "the count sees one brush more";
    DeleteObject(probe);

    ui->Start();
    const TwipsRect b = window.Bounds();
    GuiObjects afterTen;
    for (int tick = 1; tick <= 1000; ++tick) {
        world.received += 40'000 + 1000 * static_cast<std::uint32_t>(tick % 7);
        world.sent += 9000;
        world.table.SetTotals({{world.received, world.sent}});
        world.clock.Advance(1s);
        ui->Main().Timer2_Timer();  // the tick, straight away
        UpdateWindow(Hwnd());
        // A resize now and then: the picture and the paint's back buffer are made anew.
        if (tick % 50 == 0) window.Move({b.left, b.top, tick % 100 == 0 ? 2715.0f : 3000.0f, b.height});
        if (tick == 10) afterTen = CountGuiObjects();
    }
    const GuiObjects afterThousand = CountGuiObjects();
    std::printf("GDI / USER objects: %lu / %lu after 10 ticks, %lu / %lu after 1000 (%s)\n", afterTen.gdi,
                afterTen.user, afterThousand.gdi, afterThousand.user, GuiObjectCountMethod().c_str());
    EXPECT_EQ(afterThousand.gdi, afterTen.gdi);
    EXPECT_EQ(afterThousand.user, afterTen.user);
    EXPECT_GT(afterTen.user, 0u) << "the window itself is counted";
}

// Clicks pass through only a window that is both layered and transparent; the opacity stays.
TEST_F(Win32MainWindowTest, ClickThroughMakesTheLayeredWindowTransparentAndKeepsItsAlpha) {
    const auto state = [&] {
        BYTE alpha = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(Hwnd(), nullptr, &alpha, &flags);
        const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE);
        return std::tuple{(style & WS_EX_LAYERED) != 0, (style & WS_EX_TRANSPARENT) != 0, static_cast<int>(alpha)};
    };
    window.SetClickThrough(true);
    EXPECT_EQ(state(), std::tuple(true, true, 255)) << "not layered yet: an opaque layer";
    ui->Start();  // the design opacity, 180
    for (const bool through : {true, false, true}) {
        window.SetClickThrough(through);
        EXPECT_EQ(state(), std::tuple(true, through, 180)) << through;
    }
}

}  // namespace
}  // namespace tg::test
