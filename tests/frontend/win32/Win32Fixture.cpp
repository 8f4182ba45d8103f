// The shared tests' front end on Windows: the Win32 windows under Wine on their own Xvfb, the
// pointer and keys as the messages the system sends, pixels read back from the windows' DCs.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "Win32Fixture.h"
#include "appearance/frmOptions.h"
#include "common/Text.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "platform/win32/Win32OptionsDialog.h"
#include "platform/win32/Win32OptionsHost.h"
#include "platform/win32/Win32UsageDialog.h"
#include "platform/win32/Win32UsageHost.h"
#include "platform/windows/WideText.h"
#include "usage/frmUsage.h"

#ifndef MN_GETHMENU
#define MN_GETHMENU 0x01E1
#endif

namespace tg::test {
namespace {

std::string TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

bool IsClass(HWND window, const wchar_t* expected) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return _wcsicmp(name, expected) == 0;
}

// A window's place in its parent's client area, or on the screen.
PixelRect PlaceOf(HWND window, HWND in) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, in, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

LPARAM At(int x, int y) {
    return static_cast<LPARAM>(static_cast<WORD>(x) | (static_cast<DWORD>(static_cast<WORD>(y)) << 16));
}

std::vector<MenuEntry> ReadMenu(HMENU menu) {
    std::vector<MenuEntry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 127;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        MenuEntry e;
        e.separator = (info.fType & MFT_SEPARATOR) != 0;
        // A greyed item's reason stands after a tab.
        const std::wstring_view shown = e.separator ? L"" : text;
        const std::u16string whole(shown.begin(), shown.end());
        const std::size_t tab = std::min(whole.find(u'\t'), whole.size());
        e.caption = Utf16ToUtf8(whole.substr(0, tab));
        e.tooltip = Utf16ToUtf8(whole.substr(std::min(tab + 1, whole.size())));
        e.enabled = (info.fState & MFS_GRAYED) == 0;
        e.checked = (info.fState & MFS_CHECKED) != 0;
        e.pick = info.wID;
        e.submenu = info.hSubMenu != nullptr;
        if (e.submenu) e.children = ReadMenu(info.hSubMenu);
        entries.push_back(std::move(e));
    }
    return entries;
}

// The icon's window in Wine's notification area, the newest on the right; none where the shell
// keeps its icons in no window.
HWND TrayIconWindow() {
    const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    HWND newest = nullptr;
    LONG right = LONG_MIN;
    for (HWND w = FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr); tray && w;
         w = FindWindowExW(tray, w, L"__winex11_tray_icon", nullptr)) {
        RECT r{};
        GetWindowRect(w, &r);
        if (IsWindowVisible(w) && r.left > right) std::tie(newest, right) = std::pair{w, r.left};
    }
    return newest;
}

// A press and release of the right or left button at a screen point, as the system's input.
void ClickAt(POINT p, bool right) {
    INPUT in[3] = {};
    const DWORD flags[3] = {MOUSEEVENTF_MOVE, static_cast<DWORD>(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                            static_cast<DWORD>(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)};
    for (int i = 0; i < 3; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        in[i].mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        in[i].mi.dwFlags = flags[i] | MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(3, in, sizeof(INPUT));
}

class Win32Fixture;
Win32Fixture* g_current = nullptr;  // the fixture whose timer or window procedure runs

class Win32Fixture final : public Fixture {
 public:
    Win32Fixture() {
        window.Attach(form);
        window.SetNotifyIcon(&icon);
        // The WM_PAINTs the window gets, counted in front of its window procedure.
        s_painted[window.Handle()] = &m_paints;
        m_original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Counting)));
        s_originals[window.Handle()] = m_original;
    }
    // A quit posted by a closed window must not reach the next test.
    ~Win32Fixture() override {
        if (m_otherWindow) DestroyWindow(m_otherWindow);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    frmMain& Main() override { return form; }
    Form& Window() override { return window; }
    void Start() override {
        form.Form_Initialize();
        form.Form_Load();
        UpdateWindow(Hwnd());
    }
    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s) override {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (done()) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
    bool Shown() override { return Hwnd() != nullptr && IsWindowVisible(Hwnd()); }
    PixelRect Place() override { return Hwnd() ? PlaceOf(Hwnd(), HWND_DESKTOP) : PixelRect{}; }
    Image Capture(const PixelRect& area) override { return CaptureOf(Hwnd(), area); }
    std::optional<bool> Topmost() override { return (GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    std::optional<int> Opacity() override {
        BYTE alpha = 255;
        DWORD flags = 0;
        if (!GetLayeredWindowAttributes(Hwnd(), nullptr, &alpha, &flags) || !(flags & LWA_ALPHA)) return 255;
        return alpha;
    }
    void PlaceBySystem(const PixelRect& p) override {
        SetWindowPos(Hwnd(), nullptr, p.x, p.y, p.cx, p.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // As the system routes the pointer: to the window holding the capture, else to the one under it.
    void PointerDown(Point p, Button button) override {
        m_buttons |= button == Button::Left ? MK_LBUTTON : MK_RBUTTON;
        Route(p, button == Button::Left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN);
    }
    void PointerMove(Point p) override { Route(p, WM_MOUSEMOVE); }
    void PointerUp(Point p, Button button) override {
        m_buttons &= ~static_cast<WPARAM>(button == Button::Left ? MK_LBUTTON : MK_RBUTTON);
        Route(p, button == Button::Left ? WM_LBUTTONUP : WM_RBUTTONUP);
    }
    // The system's own choice is undone first, as WM_SETCURSOR must undo it.
    PointerShape ShapeAt(Point p) override {
        PointerMove(p);
        const HWND under = WindowFromPoint({p.x, p.y});
        ::SetCursor(nullptr);
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        const HCURSOR cursor = GetCursor();
        if (cursor == LoadCursorW(nullptr, IDC_SIZENWSE)) return PointerShape::Sizing;
        if (cursor == LoadCursorW(nullptr, IDC_HAND)) return PointerShape::Hand;
        if (cursor == LoadCursorW(nullptr, IDC_ARROW)) return PointerShape::Default;
        return PointerShape::Other;
    }
    int Paints() override { return m_paints; }

    void OpenOtherWindow(const PixelRect& p) override {
        static const ATOM counting = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = CountingPresses;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
            wc.lpszClassName = L"TideGauge.Test.Other";
            return RegisterClassW(&wc);
        }();
        m_otherWindow = CreateWindowExW(0, MAKEINTATOM(counting), L"other", WS_POPUP | WS_VISIBLE, p.x, p.y, p.cx, p.cy,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_otherWindow, nullptr);
    }
    int OtherWindowPresses() override { return s_presses[m_otherWindow]; }
    bool AboveOtherWindow() override {
        for (HWND w = GetWindow(Hwnd(), GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
            if (w == m_otherWindow) return true;
        return false;
    }

    // The right click pops the menu up in the system's own loop: a timer inside it takes the menu
    // from its window and dismisses it.
    std::vector<MenuEntry> OpenMenu() override {
        m_menu = nullptr;
        m_menuEnd = std::chrono::steady_clock::now() + 3s;
        g_current = this;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, TakeMenu);
        const PixelRect p = Place();
        PointerDown({p.x + 20, p.y + 20}, Button::Right);
        PointerUp({p.x + 20, p.y + 20}, Button::Right);
        KillTimer(nullptr, timer);
        EXPECT_NE(m_menu, nullptr) << "no menu popped up";
        return m_menu ? ReadMenu(m_menu) : std::vector<MenuEntry>{};
    }
    // A right click on the icon where Wine's notification area shows it; elsewhere the shell's
    // word of that click, sent as the shell sends it.
    std::vector<MenuEntry> OpenIconMenu() override {
        icon.Show(true);
        m_menu = nullptr;
        m_menuEnd = std::chrono::steady_clock::now() + 3s;
        g_current = this;
        const UINT_PTR timer = SetTimer(nullptr, 0, 20, TakeMenu);
        if (const HWND shown = TrayIconWindow()) {
            RECT r{};
            GetWindowRect(shown, &r);
            ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, true);
        } else {
            PostMessageW(Hwnd(), Win32NotifyIcon::kCallbackMessage, Win32NotifyIcon::kId, WM_RBUTTONUP);
        }
        WaitUntil([&] { return m_menu != nullptr || std::chrono::steady_clock::now() > m_menuEnd; }, 4s);
        KillTimer(nullptr, timer);
        EXPECT_NE(m_menu, nullptr) << "no menu popped up from the icon";
        return m_menu ? ReadMenu(m_menu) : std::vector<MenuEntry>{};
    }
    void Pick(const MenuEntry& entry) override {
        if (Hwnd()) SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(entry.pick), 0), 0);
    }
    void CloseBySystem() override { SendMessageW(Hwnd(), WM_CLOSE, 0, 0); }
    // The session's end asked, called off, then carried out: only the last ends the program.
    void EndSession() override {
        EXPECT_TRUE(SendMessageW(Hwnd(), WM_QUERYENDSESSION, 0, 0)) << "the program lets the session end";
        SendMessageW(Hwnd(), WM_ENDSESSION, FALSE, 0);
        EXPECT_TRUE(Shown()) << "the session goes on";
        SendMessageW(Hwnd(), WM_ENDSESSION, TRUE, 0);
    }

    void OpenDialog(Dialog which) override {
        m_which = which;
        if (which == Dialog::Options) {
            m_optionsDialog = std::make_unique<Win32OptionsDialog>(Hwnd(), desktop);
            m_options = std::make_unique<frmOptions>(
                OptionsPortsRefs{*m_optionsDialog, window, m_store, world.registry, world.colours, world.launcher},
                kDialogColours, kProgramPath, reinterpret_cast<std::uintptr_t>(m_optionsDialog->Handle()));
            m_optionsDialog->Attach(*m_options);
            m_dialog = m_optionsDialog->Handle();
        } else {
            m_usageDialog = std::make_unique<Win32UsageDialog>(Hwnd(), desktop);
            m_usage = std::make_unique<frmUsage>(UsagePortsRefs{*m_usageDialog, m_store, world.calendar}, world.log,
                                                 kUsageColours);
            m_usageDialog->Attach(*m_usage);
            m_dialog = m_usageDialog->Handle();
        }
        ShowWindow(m_dialog, SW_SHOWNOACTIVATE);
        UpdateWindow(m_dialog);
    }
    frmOptions& Options() override { return *m_options; }
    OptionsDialog& OptionsPort() override { return *m_optionsDialog; }
    frmUsage& Usage() override { return *m_usage; }
    UsageDialog& UsagePort() override { return *m_usageDialog; }

    DialogFrame Frame() override {
        DialogFrame f;
        f.title = TextOf(m_dialog);
        RECT client{};
        GetClientRect(m_dialog, &client);
        POINT origin{0, 0};
        ClientToScreen(m_dialog, &origin);
        f.client = {origin.x, origin.y, client.right, client.bottom};
        f.outer = PlaceOf(m_dialog, HWND_DESKTOP);
        f.resizable = (GetWindowLongPtrW(m_dialog, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX)) != 0;
        f.ownedByMainWindow = GetWindow(m_dialog, GW_OWNER) == Hwnd();
        return f;
    }
    ControlView Control(std::string_view name) override {
        ControlView v;
        const HWND c = Named(name);
        if (!c) return v;
        v.found = true;
        v.place = PlaceOf(c, m_dialog);
        v.caption = TextOf(c);
        const LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
        v.takesFocus = (style & WS_TABSTOP) != 0;
        if (IsClass(c, L"Button")) {
            v.kind = ControlKind::Check;
            v.checked = SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
        } else if (IsClass(c, L"ScrollBar")) {
            v.kind = ControlKind::Scroll;
            GetScrollRange(c, SB_CTL, &v.min, &v.max);
            v.value = GetScrollPos(c, SB_CTL);
        } else if (IsClass(c, L"Edit")) {
            // The spin button is the edit and its arrows side by side.
            v.kind = ControlKind::Spin;
            const HWND arrows = m_usageDialog->UpDown();
            const PixelRect a = PlaceOf(arrows, m_dialog);
            v.place.cx = a.x + a.cx - v.place.x;
            SendMessageW(arrows, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&v.min), reinterpret_cast<LPARAM>(&v.max));
            v.value = static_cast<int>(SendMessageW(arrows, UDM_GETPOS32, 0, 0));
        } else if ((style & SS_TYPEMASK) == SS_OWNERDRAW) {
            v.kind = ControlKind::Chart;
        } else if (GetWindowLongPtrW(c, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
            v.kind = ControlKind::Swatch;  // a sunken box of one colour
        } else {
            v.kind = (style & SS_NOTIFY) ? ControlKind::Link : ControlKind::Label;
            const LONG_PTR type = style & SS_TYPEMASK;
            v.align = type == SS_CENTER ? TextAlign::Centre : type == SS_RIGHT ? TextAlign::Right : TextAlign::Left;
        }
        return v;
    }
    Image CaptureControl(std::string_view name) override {
        const HWND c = Named(name);
        if (!c) return {};
        UpdateWindow(m_dialog);
        RECT r{};
        GetClientRect(c, &r);
        return CaptureOf(c, {0, 0, r.right, r.bottom});
    }
    PixelRect ScreenPlace(std::string_view name) override { return PlaceOf(Named(name), HWND_DESKTOP); }
    std::vector<std::string> TabWalk(bool forward, std::size_t presses) override {
        if (!IsChild(m_dialog, GetFocus())) SetFocus(GetNextDlgTabItem(m_dialog, nullptr, FALSE));
        std::vector<std::string> names{NameOf(GetFocus())};
        for (std::size_t i = 0; i < presses; ++i) {
            DialogKey(VK_TAB, !forward);
            names.push_back(NameOf(GetFocus()));
        }
        return names;
    }
    // The bar's own notifications for the mouse; for keys, the focused bar makes them itself.
    void Scroll(ScrollAction action, bool byKey) override {
        static constexpr struct {
            ScrollAction action;
            UINT code;
            WPARAM key;
        } kWays[] = {{ScrollAction::LineBack, SB_LINELEFT, VK_LEFT},   {ScrollAction::LineForward, SB_LINERIGHT, VK_RIGHT},
                     {ScrollAction::PageBack, SB_PAGELEFT, VK_PRIOR},  {ScrollAction::PageForward, SB_PAGERIGHT, VK_NEXT},
                     {ScrollAction::ToStart, SB_LEFT, VK_HOME},        {ScrollAction::ToEnd, SB_RIGHT, VK_END}};
        const HWND bar = Named("HScroll1");
        for (const auto& way : kWays) {
            if (way.action != action) continue;
            if (byKey) {
                SetFocus(bar);
                SendMessageW(bar, WM_KEYDOWN, way.key, 1);
                SendMessageW(bar, WM_KEYUP, way.key, 0xC0000001);
            } else {
                BarNotifies(way.code);
                BarNotifies(SB_ENDSCROLL);
            }
        }
    }
    void HoldThumb() override { m_thumb = GetScrollPos(Named("HScroll1"), SB_CTL); }
    void DragThumb(int pixels) override {
        m_thumb += pixels;
        BarNotifies(SB_THUMBTRACK, m_thumb);
    }
    void ReleaseThumb() override {
        BarNotifies(SB_THUMBPOSITION, m_thumb);
        BarNotifies(SB_ENDSCROLL);
    }
    void TypeIntoSpin(std::string_view text, Commit commit, std::string_view name) override {
        const HWND edit = Named(name);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        for (const char k : text) SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(k), 1);
        EXPECT_EQ(TextOf(edit), text);
        if (commit == Commit::Enter) DialogKey(VK_RETURN, false);
        if (commit == Commit::Leave) SetFocus(m_dialog);
    }
    // A press and release on the arrows, in their upper or lower half.
    void ClickSpinArrow(bool up, std::string_view name) override {
        const HWND arrows = m_usageDialog->UpDown(UsageControlIndex(name));
        RECT r{};
        GetClientRect(arrows, &r);
        const LPARAM at = At(r.right / 2, up ? 2 : r.bottom - 3);
        SendMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(arrows, WM_LBUTTONUP, 0, at);
    }

    void RunModal(Dialog which, const std::function<void()>& whileOpen) override {
        m_which = which;
        const HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
        const ULONG_PTR before = SetClassLongPtrW(Hwnd(), GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
        m_whileOpen = whileOpen;
        m_modalEnd = std::chrono::steady_clock::now() + 10s;
        g_current = this;
        m_modalTimer = SetTimer(nullptr, 0, 50, WatchModal);
        if (which == Dialog::Options) {
            Win32OptionsHost(Hwnd(), desktop, world.colours, {world.registry, world.launcher, kProgramPath})
                .ShowOptions(window, world.settings, kDialogColours);
        } else {
            Win32UsageHost(Hwnd(), desktop).ShowUsage(world.settings, world.calendar, world.log, kUsageColours);
        }
        KillTimer(nullptr, m_modalTimer);
        SetClassLongPtrW(Hwnd(), GCLP_HICON, static_cast<LONG_PTR>(before));
        EXPECT_FALSE(m_whileOpen) << "the dialog never showed";
        m_dialog = nullptr;
    }
    bool MainWindowWaits() override { return !IsWindowEnabled(Hwnd()); }
    bool ShowsText(std::string_view text) override {
        struct Search {
            std::string_view text;
            bool found = false;
        } search{text};
        EnumChildWindows(m_dialog, [](HWND child, LPARAM p) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(p);
            s.found = s.found || (IsWindowVisible(child) && TextOf(child) == s.text);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    bool HasMainWindowIcon() override {
        const auto icon = reinterpret_cast<HICON>(SendMessageW(m_dialog, WM_GETICON, ICON_BIG, 0));
        return icon != nullptr && icon == reinterpret_cast<HICON>(GetClassLongPtrW(Hwnd(), GCLP_HICON));
    }

    int m_paints = 0;  // before the window: its last messages are still counted
    WNDPROC m_original = nullptr;
    Win32Desktop desktop;
    Win32MainWindow window{desktop};
    Win32NotifyIcon icon{window.Handle()};
    Win32Notifier notifier{icon};

 private:
    HWND Hwnd() const { return window.Handle(); }
    void Route(Point p, UINT message) {
        POINT at{p.x, p.y};
        HWND target = GetCapture();
        if (!target) target = WindowFromPoint(at);
        if (!target) return;
        ScreenToClient(target, &at);
        SendMessageW(target, message, m_buttons, At(at.x, at.y));
    }
    static Image CaptureOf(HWND window, const PixelRect& area) {
        Image image;
        if (!window || area.cx <= 0 || area.cy <= 0) return image;
        UpdateWindow(window);
        MemoryBitmap copy(area.cx, area.cy);
        const WindowDc dc(window);
        BitBlt(copy.Dc(), 0, 0, area.cx, area.cy, dc.Get(), area.x, area.y, SRCCOPY);
        GdiFlush();
        image.width = area.cx;
        image.height = area.cy;
        for (std::int32_t y = 0; y < area.cy; ++y)
            for (std::int32_t x = 0; x < area.cx; ++x) {
                const std::uint32_t p = copy.Row(y)[x];
                image.pixels.push_back({static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                                        static_cast<int>(p & 0xFF)});
            }
        return image;
    }
    HWND Named(std::string_view name) const {
        if (m_which == Dialog::Options) return m_optionsDialog ? m_optionsDialog->Control(name) : nullptr;
        return m_usageDialog ? m_usageDialog->Control(name) : nullptr;
    }
    std::string NameOf(HWND control) const {
        for (const OptionsControl& c : kOptionsControls)
            if (Named(c.name) == control) return std::string(c.name);
        return "(none)";
    }
    // A key as the dialog's message loop hands it to the dialog manager, Shift held or not.
    void DialogKey(WPARAM key, bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        const BYTE saved = keys[VK_SHIFT];
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
        IsDialogMessageW(m_dialog, &msg);
        keys[VK_SHIFT] = saved;
        SetKeyboardState(keys);
    }
    void BarNotifies(UINT code, int thumb = 0) {
        SendMessageW(m_dialog, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(Named("HScroll1")));
    }

    static void CALLBACK TakeMenu(HWND, UINT, UINT_PTR, DWORD) {
        Win32Fixture& self = *g_current;
        const HWND popup = FindWindowW(L"#32768", nullptr);
        if (popup && IsWindowVisible(popup)) self.m_menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        if (self.m_menu || std::chrono::steady_clock::now() > self.m_menuEnd) EndMenu();
    }
    static void CALLBACK WatchModal(HWND, UINT, UINT_PTR, DWORD) {
        Win32Fixture& self = *g_current;
        const char* title = self.m_which == Dialog::Options ? Text(kOptionsTitle) : Text(kUsageTitle);
        const HWND dialog = FindWindowW(nullptr, Widen(title).c_str());
        const bool late = std::chrono::steady_clock::now() > self.m_modalEnd;
        if ((!dialog || !IsWindowVisible(dialog)) && !late) return;
        KillTimer(nullptr, self.m_modalTimer);
        if (dialog && self.m_whileOpen) {
            self.m_dialog = dialog;
            std::exchange(self.m_whileOpen, nullptr)();
        }
        if (dialog) PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    static LRESULT CALLBACK Counting(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_PAINT) ++*s_painted[hwnd];
        return CallWindowProcW(s_originals[hwnd], hwnd, message, wParam, lParam);
    }
    static LRESULT CALLBACK CountingPresses(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) ++s_presses[hwnd];
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    static inline std::map<HWND, int*> s_painted;
    static inline std::map<HWND, int> s_presses;
    static inline std::map<HWND, WNDPROC> s_originals;

    TestDesktop<Win32Desktop> ending{desktop, world.exits};
    frmMain form{{window, window.Picture(), ending, world.messages, world.settings, world.table, world.clock,
                  world.options, &world.recorder, &world.usage, &icon, &notifier}};
    WPARAM m_buttons = 0;
    HWND m_otherWindow = nullptr;
    HMENU m_menu = nullptr;
    std::chrono::steady_clock::time_point m_menuEnd, m_modalEnd;
    SettingsStore m_store{world.settings};
    Dialog m_which = Dialog::Options;
    std::unique_ptr<Win32OptionsDialog> m_optionsDialog;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<Win32UsageDialog> m_usageDialog;
    std::unique_ptr<frmUsage> m_usage;
    HWND m_dialog = nullptr;
    int m_thumb = 0;
    std::function<void()> m_whileOpen;
    UINT_PTR m_modalTimer = 0;
};

}  // namespace

std::unique_ptr<Fixture> MakeFixture() { return std::make_unique<Win32Fixture>(); }

Win32MainWindow& NativeWindow(Fixture& front) { return dynamic_cast<Win32Fixture&>(front).window; }

Win32NotifyIcon& NativeIcon(Fixture& front) { return dynamic_cast<Win32Fixture&>(front).icon; }

}  // namespace tg::test
