// The Windows front end of the main window driven by the real frmMain: the window it makes, how
// window messages reach frmMain's handlers, and what a long run leaves behind. Written for 96 DPI
// on a 1920 x 1080 screen, as the test's own Xvfb provides under Wine.
#include "platform/win32/Win32MainWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Fakes.h"
#include "GuiObjects.h"
#include "MainWindowFakes.h"
#include "mainwindow/MenuTree.h"
#include "mainwindow/frmMain.h"
#include "platform/windows/WideText.h"
#include "platform/win32/Win32ContextMenu.h"

namespace tg {
namespace {

using namespace std::chrono_literals;

std::wstring UniqueInstanceName() {
    static int serial = 0;
    return L"Local\\TideGauge.Test." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(++serial);
}

// Dark pixels (all channels below 80) on the screen image of a window's client area.
int DarkPixels(HWND window, const RECT& area) {
    MemoryBitmap copy(area.right - area.left, area.bottom - area.top);
    const WindowDc dc(window);
    BitBlt(copy.Dc(), 0, 0, copy.Width(), copy.Height(), dc.Get(), area.left, area.top, SRCCOPY);
    GdiFlush();
    int dark = 0;
    for (std::int32_t y = 0; y < copy.Height(); ++y) {
        for (std::int32_t x = 0; x < copy.Width(); ++x) {
            const std::uint32_t p = copy.Row(y)[x];
            if (((p >> 16) & 0xFF) < 80 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80) ++dark;
        }
    }
    return dark;
}

// Counts the WM_PAINTs a window gets, standing in front of its window procedure while it lives.
class PaintCounter {
 public:
    explicit PaintCounter(HWND window)
        : m_window(window),
          m_original(reinterpret_cast<WNDPROC>(
              SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting)))) {
        s_counter = this;
    }
    ~PaintCounter() {
        SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
        s_counter = nullptr;
    }
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;
    int paints = 0;

 private:
    static LRESULT CALLBACK Counting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_PAINT) ++s_counter->paints;
        return CallWindowProcW(s_counter->m_original, window, message, wParam, lParam);
    }
    static inline PaintCounter* s_counter = nullptr;
    HWND m_window;
    WNDPROC m_original;
};

// The real desktop, except that the program does not end.
class TestDesktop final : public Desktop {
 public:
    explicit TestDesktop(Win32Desktop& desktop) : real(desktop) {}
    Win32Desktop& real;
    int exits = 0;
    TwipsRect PrimaryScreen() const override { return real.PrimaryScreen(); }
    bool MonitorAt(float x, float y, TwipsRect& b) const override { return real.MonitorAt(x, y, b); }
    float TwipsPerPixelX() const override { return real.TwipsPerPixelX(); }
    float TwipsPerPixelY() const override { return real.TwipsPerPixelY(); }
    void PumpMessages() override { real.PumpMessages(); }
    void Sleep(std::uint32_t ms) override { real.Sleep(ms); }
    bool AnotherInstanceRunning() override { return real.AnotherInstanceRunning(); }
    void ExitProcess() override { ++exits; }
};

class Win32MainWindowTest : public ::testing::Test {
 protected:
    Win32MainWindowTest() : desktop(UniqueInstanceName()) {
        window.Attach(form);
        table.SetTotals({{received, sent}});
    }
    // A quit posted by a test must not reach the next one.
    ~Win32MainWindowTest() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    HWND Hwnd() const { return window.Handle(); }
    void Store(const SettingKey& key, const std::string& text) { settings.Set(kSettingsApp, kSettingsSection, key.name, text); }
    std::optional<std::string> Stored(const SettingKey& key) { return settings.Get(kSettingsApp, kSettingsSection, key.name); }

    // The program's start, past its first run.
    void Start() {
        Store(keys::info, "1");
        form.Form_Initialize();
        form.Form_Load();
        UpdateWindow(Hwnd());
    }
    PixelRect WindowRect() const {
        RECT r{};
        GetWindowRect(Hwnd(), &r);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    // The window's place and size in pixels, "x y width height".
    std::string Geometry() const {
        const PixelRect r = WindowRect();
        return std::to_string(r.x) + " " + std::to_string(r.y) + " " + std::to_string(r.cx) + " " + std::to_string(r.cy);
    }
    // A mouse message at (x, y) in client pixels, as the system sends it.
    void Mouse(UINT message, WPARAM buttons, int x, int y) {
        SendMessageW(Hwnd(), message, buttons, static_cast<LPARAM>(static_cast<WORD>(x) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16)));
    }
    // One timer tick in which the table moved these many bytes in and out, then the paint.
    void Tick(std::uint32_t in, std::uint32_t out) {
        received += in;
        sent += out;
        table.SetTotals({{received, sent}});
        clock.Advance(1s);
        form.Timer2_Timer();
        UpdateWindow(Hwnd());
    }

    Win32Desktop desktop;
    TestDesktop ending{desktop};
    Win32MainWindow window{desktop};
    test::RecordingMessages messages;
    test::MemorySettings settings;
    test::FakeTableSource table;
    test::FakeClock clock;
    test::FakeOptionsHost options;
    frmMain form{{window, window.Picture(), ending, messages, settings, table, clock, options}};
    std::uint32_t received = 1'000'000, sent = 1'000'000;
};

TEST_F(Win32MainWindowTest, OpensHiddenAsABorderlessToolWindowOfTheDesignSize) {
    ASSERT_EQ(desktop.Dpi(), 96u) << "these tests are written for 96 DPI";
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
    EXPECT_EQ(WindowRect().cx, 181) << "no frame around the client area";
    EXPECT_EQ(window.Bounds().width, 2715);
    EXPECT_EQ(window.Bounds().height, 1365);
}

TEST_F(Win32MainWindowTest, FirstStartPlacesTheWindowAndKeepsTheTwipsItWasGiven) {
    Start();
    EXPECT_EQ(Geometry(), "1672 880 181 91");
    EXPECT_EQ(window.Bounds().left, 25085) << "not the 25080 that 1672 pixels make";
    EXPECT_EQ(window.Bounds().top, 13200);
    EXPECT_TRUE(IsWindowVisible(Hwnd()));
    EXPECT_NE(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Hwnd(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 180);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_TRUE(window.MenuChecked(MenuItem::ontop));
    EXPECT_TRUE(window.MenuChecked(MenuItem::KbpsAuto));
    EXPECT_EQ(window.Picture().Width(), 181);
    EXPECT_EQ(window.Picture().Height(), 89) << "30 twips of the window's colour below the picture";
}

TEST_F(Win32MainWindowTest, ThePictureIsAsLargeAsItIsToldAndTheScreenIsTheVirtualDesktop) {
    EXPECT_EQ(window.ScreenPixels().cx, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(window.ScreenPixels().cy, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    window.PlaceSurface({0, 0, 1e9f, 1e9f}, {0, 0, 30, 20});
    EXPECT_EQ(window.Picture().Width(), 30);
    EXPECT_EQ(window.Picture().Height(), 20);
}

TEST_F(Win32MainWindowTest, AMoveOrSizeByTheSystemIsAdopted) {
    Start();
    SetWindowPos(Hwnd(), nullptr, 100, 50, 200, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(window.Bounds().left, 1500);
    EXPECT_EQ(window.Bounds().top, 750);
    EXPECT_EQ(window.Bounds().width, 3000);
    EXPECT_EQ(form.Picture2Bounds().height, 1470) << "the resize handler ran";
}

TEST_F(Win32MainWindowTest, OnAnotherDpiTheWindowKeepsItsTwipsAtThePlaceTheSystemOffers) {
    Start();
    RECT offered{100, 50, 400, 300};  // the size the system offers is not the one in twips
    SendMessageW(Hwnd(), WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&offered));
    EXPECT_EQ(Geometry(), "100 50 181 91");
    EXPECT_EQ(window.Bounds().left, 1500);
    EXPECT_EQ(window.Bounds().top, 750);
    EXPECT_EQ(window.Bounds().width, 2715);
    EXPECT_EQ(window.Picture().Height(), 89);
}

TEST_F(Win32MainWindowTest, ALeftDragMovesTheWindowAndStoresItsPlace) {
    Start();
    const TwipsRect start = window.Bounds();
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 50, 30);
    EXPECT_EQ(GetCapture(), Hwnd());
    EXPECT_TRUE(form.Dragging());
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 60, 25);
    EXPECT_EQ(window.Bounds().left, start.left + 150);
    EXPECT_EQ(window.Bounds().top, start.top - 75);
    EXPECT_EQ(WindowRect().x, 1682);
    // Captured, the pointer left of the window gives negative coordinates.
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, -50, 30);
    EXPECT_EQ(window.Bounds().left, start.left + 150 - 1500);
    Mouse(WM_LBUTTONUP, 0, 50, 30);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Stored(keys::x), "23735");
    EXPECT_EQ(Stored(keys::y), "13125");
}

TEST_F(Win32MainWindowTest, ACornerDragResizesTheWindowAndStoresItsSize) {
    Start();
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 178, 86);
    EXPECT_TRUE(form.Resizing());
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, 250, 120);
    EXPECT_EQ(Geometry(), "1672 880 250 120");
    EXPECT_EQ(window.Picture().Height(), 118);
    Mouse(WM_LBUTTONUP, 0, 250, 120);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Stored(keys::x1), "3750");
    EXPECT_EQ(Stored(keys::y1), "1800");
}

TEST_F(Win32MainWindowTest, TheCursorOverTheGripIsTheSizingOneAndSticks) {
    Start();
    const auto cursorAt = [&](int x, int y) {
        Mouse(WM_MOUSEMOVE, 0, x, y);
        ::SetCursor(nullptr);  // the system's own choice in between, which WM_SETCURSOR must undo
        SendMessageW(Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorAt(178, 86), LoadCursorW(nullptr, IDC_SIZENWSE));
    EXPECT_EQ(cursorAt(10, 10), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(Win32MainWindowTest, PressesBelowPicture2AreNotItsEvents) {
    Start();
    Mouse(WM_LBUTTONDOWN, MK_LBUTTON, 50, 90);  // the strip of window colour: Picture2 is 89 pixels tall
    EXPECT_NE(GetCapture(), Hwnd());
    EXPECT_FALSE(form.Dragging());
    Mouse(WM_LBUTTONUP, 0, 50, 90);
}

TEST_F(Win32MainWindowTest, ReadOutsArePaintedOverThePictureUntilHidden) {
    Start();
    Tick(1000, 1000);
    Tick(128'000, 1000);
    const RECT readOut{8, 8, 70, 22};  // Label9 at 120 twips from the top left corner
    EXPECT_GE(DarkPixels(Hwnd(), readOut), 10) << "black text over the light gradient";
    for (const LabelId label : {LabelId::Label1, LabelId::Label9, LabelId::Label10})
        window.SetLabelVisible(label, false);
    UpdateWindow(Hwnd());
    EXPECT_EQ(DarkPixels(Hwnd(), readOut), 0);
    EXPECT_GT(window.LabelWidth(LabelId::Label9), window.LabelWidth(LabelId::Label10))
        << "\"D:1024kb\" is wider than \"U:8kb\"";
}

// A tick pumps messages twice on its way; the window must still be painted once per tick, after it,
// with everything the tick drew.
TEST_F(Win32MainWindowTest, EachTickPaintsOnceWhenItHasDrawnEverything) {
    Start();
    const auto tick = [&] {
        received += 8 * 1024;
        sent += 8 * 1024;
        table.SetTotals({{received, sent}});
        clock.Advance(1s);
        SendMessageW(Hwnd(), WM_TIMER, Win32MainWindow::kTimer2, 0);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    };
    tick();  // the first reading only sets the starting counts
    PaintCounter counter(Hwnd());
    for (int i = 0; i < 3; ++i) tick();
    EXPECT_EQ(counter.paints, 3);
    EXPECT_GE(DarkPixels(Hwnd(), RECT{8, 8, 70, 22}), 10) << "the read-outs are on the screen";
}

// Should the menu not take the keys, this closes it, so the test fails instead of hanging.
void CALLBACK CloseStuckMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

TEST_F(Win32MainWindowTest, TheMenuPickedWithARightClickRunsItsCommandBeforeThePopupReturns) {
    Start();
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
    EXPECT_EQ(ending.exits, 1) << "and the program";
}

// Every way out goes through frmMain's unload: the window goes, the loop and the program end.
TEST_F(Win32MainWindowTest, TheCloseRequestUnloads) {
    Start();
    SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window.Handle(), nullptr);
    MSG msg{};
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(ending.exits, 1);
}

TEST_F(Win32MainWindowTest, TheSessionsEndUnloadsAndOnlyWhenItEnds) {
    Start();
    EXPECT_TRUE(SendMessageW(Hwnd(), WM_QUERYENDSESSION, 0, 0)) << "the program lets the session end";
    SendMessageW(Hwnd(), WM_ENDSESSION, FALSE, 0);
    EXPECT_NE(window.Handle(), nullptr) << "the session goes on";
    EXPECT_EQ(ending.exits, 0);
    SendMessageW(Hwnd(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(ending.exits, 1);
}

// The window procedure's own path for a picked item: WM_COMMAND with the item's id.
TEST_F(Win32MainWindowTest, TheTooltipAsksFrmMainForItsTextAndHasNoneDuringADrag) {
    Start();
    Tick(1000, 1000);
    Tick(126'000, 2000);
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

TEST_F(Win32MainWindowTest, MenuCommandsReachTheirHandlers) {
    Start();
    const auto pick = [&](MenuItem item) { SendMessageW(Hwnd(), WM_COMMAND, Win32ContextMenu::CommandId(item), 0); };
    pick(MenuItem::ontop);
    EXPECT_FALSE(window.MenuChecked(MenuItem::ontop));
    EXPECT_EQ(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(Stored(keys::ontop), "0");

    // An interface item's id names its place in the list the last popup was filled with.
    IfRowFields wired;
    wired.name = u"eth0";
    wired.hardware = true;
    table.table = BuildIfTable({&wired, 1});
    clock.Advance(1s);
    form.Timer2_Timer();
    const UINT_PTR guard = SetTimer(nullptr, 0, 5000, CloseStuckMenu);
    PostMessageW(Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    form.ShowContextMenu();
    KillTimer(nullptr, guard);
    SendMessageW(Hwnd(), WM_COMMAND, Win32ContextMenu::InterfaceCommandId(0), 0);
    EXPECT_EQ(Stored(keys::interfaces), "eth0");
    EXPECT_EQ(form.Interfaces().Names(), std::vector<std::string>{"eth0"});

    pick(MenuItem::exit);
    EXPECT_EQ(window.Handle(), nullptr);
}

TEST_F(Win32MainWindowTest, StackingOffSendsTheWindowBehindOthersAndOnBringsItBackAbove) {
    Start();
    const WindowHandle other(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 1600, 850, 300, 200,
                                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_NE(other, nullptr);
    const auto below = [](HWND upper, HWND lower) {
        for (HWND w = GetWindow(upper, GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
            if (w == lower) return true;
        return false;
    };
    ASSERT_TRUE(below(Hwnd(), other.get())) << "topmost after the start";

    window.SetStacking(false, {1500, 800, 999, 999});
    EXPECT_EQ(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(below(other.get(), Hwnd())) << "behind the other window";
    EXPECT_EQ(Geometry(), "1500 800 181 91") << "moved, the size left as it was";

    window.SetStacking(true, {1672, 880, 0, 0});
    EXPECT_NE(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(below(Hwnd(), other.get())) << "above the other window again";
    EXPECT_EQ(Geometry(), "1672 880 181 91");
}

std::wstring Caption(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

struct MenuReadBack {
    std::vector<MenuItem> items;
    std::vector<std::pair<HMENU, UINT>> interfaceItems;  // their submenu and position
};

// The menu read back and compared with the tree, entry by entry, where the interface items are
// `entries` and `marked` is the one item with a mark.
void ReadBack(HMENU menu, std::span<const MenuNode> nodes, std::span<const InterfaceMenuEntry> entries,
              std::optional<MenuItem> marked, MenuReadBack& out) {
    const auto checked = [&](UINT position) { return (GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED) != 0; };
    UINT position = 0;
    for (const MenuNode& node : nodes) {
        if (node.kind == MenuNodeKind::Interfaces) {
            for (const InterfaceMenuEntry& entry : entries) {
                if (entry.separatorBefore) {
                    EXPECT_NE(GetMenuState(menu, position++, MF_BYPOSITION) & MF_SEPARATOR, 0u) << entry.caption;
                }
                EXPECT_EQ(Caption(menu, position), Widen(entry.caption));
                EXPECT_EQ(checked(position), entry.checked) << entry.caption;
                out.interfaceItems.emplace_back(menu, position++);
            }
            continue;
        }
        ASSERT_LT(static_cast<int>(position), GetMenuItemCount(menu)) << "missing: " << node.caption;
        const UINT at = position++;
        if (node.kind == MenuNodeKind::Separator) {
            EXPECT_NE(GetMenuState(menu, at, MF_BYPOSITION) & MF_SEPARATOR, 0u);
            continue;
        }
        EXPECT_EQ(Caption(menu, at), Widen(node.caption));
        const HMENU submenu = GetSubMenu(menu, static_cast<int>(at));
        EXPECT_EQ(submenu != nullptr, node.kind == MenuNodeKind::Submenu) << node.caption;
        if (submenu != nullptr) ReadBack(submenu, node.children, entries, marked, out);
        if (!node.item) continue;
        EXPECT_EQ(Win32ContextMenu::ItemForCommand(GetMenuItemID(menu, static_cast<int>(at))), node.item) << node.caption;
        EXPECT_EQ(checked(at), node.item == marked) << node.caption;
        out.items.push_back(*node.item);
    }
    EXPECT_EQ(GetMenuItemCount(menu), static_cast<int>(position)) << "the menu holds what the tree holds";
}

TEST(Win32ContextMenuTest, TheMenuIsTheTreeAndEachMarkLandsOnItsOwnItem) {
    Win32ContextMenu menu;
    const InterfaceMenuEntry entries[] = {{"Wi-Fi", true, false}, {"Loopback", false, true}};
    MenuReadBack back;
    for (int round = 0; round < 2; ++round) {  // filled again, not appended to
        menu.SetInterfaceItems(entries);
        back = {};
        ReadBack(menu.Handle(), ContextMenuTree(), entries, std::nullopt, back);
        if (HasFailure()) return;
    }
    ASSERT_EQ(back.interfaceItems.size(), 2u);
    const auto [submenu, position] = back.interfaceItems[1];
    EXPECT_EQ(Win32ContextMenu::InterfaceForCommand(GetMenuItemID(submenu, static_cast<int>(position))), 1u);
    for (const MenuItem item : back.items) {
        menu.SetChecked(item, true);
        EXPECT_TRUE(menu.Checked(item));
        MenuReadBack marked;
        ReadBack(menu.Handle(), ContextMenuTree(), entries, item, marked);
        menu.SetChecked(item, false);
        EXPECT_FALSE(menu.Checked(item));
        if (HasFailure()) return;
    }
}

TEST_F(Win32MainWindowTest, ALongRunLeavesTheGdiAndUserObjectsAsTheyWere) {
    const test::GuiObjects before = test::CountGuiObjects();
    const HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(test::CountGuiObjects().gdi, before.gdi + 1) << "the count sees one brush more";
    DeleteObject(probe);

    Start();
    const TwipsRect b = window.Bounds();
    test::GuiObjects afterTen;
    for (int tick = 1; tick <= 1000; ++tick) {
        Tick(40'000 + 1000 * static_cast<std::uint32_t>(tick % 7), 9000);
        // A resize now and then: the picture and the paint's back buffer are made anew.
        if (tick % 50 == 0) window.Move({b.left, b.top, tick % 100 == 0 ? 2715.0f : 3000.0f, b.height});
        if (tick == 10) afterTen = test::CountGuiObjects();
    }
    const test::GuiObjects afterThousand = test::CountGuiObjects();
    std::printf("GDI / USER objects: %lu / %lu after 10 ticks, %lu / %lu after 1000 (%s)\n", afterTen.gdi,
                afterTen.user, afterThousand.gdi, afterThousand.user, test::GuiObjectCountMethod().c_str());
    EXPECT_EQ(afterThousand.gdi, afterTen.gdi);
    EXPECT_EQ(afterThousand.user, afterTen.user);
    EXPECT_GT(afterTen.user, 0u) << "the window itself is counted";
}

}  // namespace
}  // namespace tg
