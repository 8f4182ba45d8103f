#include "platform/win32/Win32MainWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "counters/UnsupportedNotice.h"
#include "common/Twips.h"
#include "mainwindow/frmMain.h"
#include "platform/win32/TideGaugeResources.h"
#include "platform/win32/MemberWindowProc.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "platform/windows/WideText.h"
#include "platform/win32/Win32Dpi.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace tg {

namespace {

constexpr const wchar_t* kClassName = L"TideGauge.frmMain";

// The pointer's message as the main window takes it; nothing for a message that is no pointer's.
std::optional<PointerEvent> PointerOf(HWND window, UINT message, WPARAM flags, LPARAM at) noexcept {
    PointerEvent e;
    switch (message) {
        case WM_MOUSEMOVE: e = {PointerAction::Move, 0}; break;
        case WM_LBUTTONDOWN: e = {PointerAction::Press, kLeftButton}; break;
        case WM_LBUTTONUP: e = {PointerAction::Release, kLeftButton}; break;
        case WM_RBUTTONDOWN: e = {PointerAction::Press, kRightButton}; break;
        case WM_RBUTTONUP: e = {PointerAction::Release, kRightButton}; break;
        default: return std::nullopt;
    }
    e.held = Buttons((flags & MK_LBUTTON) != 0, (flags & MK_RBUTTON) != 0, (flags & MK_MBUTTON) != 0);
    e.keys = Modifiers((flags & MK_SHIFT) != 0, (flags & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
    POINT p{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    ClientToScreen(window, &p);
    e.x = p.x;
    e.y = p.y;
    return e;
}

ATOM WindowClass(HINSTANCE instance, WNDPROC procedure) {
    static const ATOM atom = [&] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance;
        // Shared icons: the system frees them; a program built without its resources has none.
        wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TIDEGAUGE), IMAGE_ICON, 0, 0,
                                                 LR_DEFAULTSIZE | LR_SHARED));
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TIDEGAUGE), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                   LR_SHARED));
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

}  // namespace

Win32MainWindow::Win32MainWindow(Win32Desktop& desktop)
    : m_desktop(desktop),
      m_picture([this] { Invalidate(); }, [this] { Refresh(); }),
      m_backBrush(CreateSolidBrush(ToColorRef(frmMain::kDesignBackColour))),
      m_measureDc(CreateCompatibleDC(nullptr)),
      m_bounds{0, 0, frmMain::kDesignWidth, frmMain::kDesignHeight},
      m_cursor(LoadCursorW(nullptr, IDC_ARROW)) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const PixelRect p = ToPixels(m_bounds);
    // A tool window: a small gauge that stays on the desktop needs no taskbar button.
    m_window.reset(CreateWindowExW(WS_EX_TOOLWINDOW, MAKEINTATOM(WindowClass(instance, WindowProc)),
                                   Widen(kAppTitle).c_str(), WS_POPUP, p.x, p.y, p.cx, p.cy, nullptr, nullptr,
                                   instance, this));
    m_desktop.FollowDpiOf(m_window.get());
    m_font.reset(CreateLabelFont(m_desktop.Dpi()));
    MakeTooltip(instance);
}

// The text is asked for each time the tooltip shows (TTN_GETDISPINFO); several lines need a width.
void Win32MainWindow::MakeTooltip(HINSTANCE instance) {
    if (!m_window) return;
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    m_tooltip.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr));
    if (m_tooltip == nullptr) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window.get();
    tool.uId = reinterpret_cast<UINT_PTR>(m_window.get());
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_tooltip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_tooltip.get(), TTM_SETMAXTIPWIDTH, 0, 32767);
}

// The tooltip asks for its text as it is about to show, and says when it has gone.
bool Win32MainWindow::OnTooltipNotice(NMHDR& header) {
    if (header.hwndFrom != m_tooltip.get()) return false;
    if (header.code == TTN_GETDISPINFOW) OnTooltipText(reinterpret_cast<NMTTDISPINFOW&>(header));
    else if (header.code == TTN_POP) m_handlers->Tooltip_Hidden();
    else return false;
    return true;
}

void Win32MainWindow::OnTooltipText(NMTTDISPINFOW& info) {
    const std::optional<std::string> text = m_handlers->Tooltip_Query();
    m_tooltipText.clear();
    if (text) {
        for (const wchar_t c : Widen(*text)) {
            if (c == L'\n') m_tooltipText += L'\r';
            m_tooltipText += c;
        }
    }
    info.lpszText = m_tooltipText.data();  // empty: no tooltip
}

void Win32MainWindow::RefreshTooltip() {
    if (m_tooltip != nullptr) SendMessageW(m_tooltip.get(), TTM_UPDATE, 0, 0);
}

void Win32MainWindow::HideTooltip() {
    if (m_tooltip != nullptr) SendMessageW(m_tooltip.get(), TTM_POP, 0, 0);
}

Win32MainWindow::~Win32MainWindow() {
    // The window's last messages find no object behind it any more.
    if (m_window) SetWindowLongPtrW(m_window.get(), GWLP_USERDATA, 0);
}

PixelRect Win32MainWindow::ToPixels(const TwipsRect& t) const { return RectToPixels(t, Tpp()); }

void Win32MainWindow::Place(const PixelRect& p, HWND after, UINT flags) const {
    if (Handle() != nullptr) SetWindowPos(Handle(), after, p.x, p.y, p.cx, p.cy, flags);
}

void Win32MainWindow::Invalidate() {
    if (m_handlers != nullptr && !m_handlers->Form_Changed()) return;
    Repaint();
}

void Win32MainWindow::Refresh() {
    if (m_handlers != nullptr && !m_handlers->Form_Changed()) return;
    Repaint();
    if (Handle() != nullptr) UpdateWindow(Handle());
}

void Win32MainWindow::Repaint() {
    if (Handle() != nullptr) InvalidateRect(Handle(), nullptr, FALSE);
}

void Win32MainWindow::Move(const TwipsRect& bounds) {
    m_bounds = bounds;
    Place(ToPixels(bounds), nullptr, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindow::Adopt(const TwipsRect& bounds) { m_bounds = bounds; }

void Win32MainWindow::PlaceSurface(const TwipsRect& /*bounds*/, const PixelRect& pixels) {
    m_surfacePixels = pixels;
    m_picture.Resize(pixels.cx, pixels.cy);
}

PixelRect Win32MainWindow::ScreenPixels() const {
    return {0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

void Win32MainWindow::Show() {
    if (Handle() != nullptr) ShowWindow(Handle(), SW_SHOW);
}

void Win32MainWindow::Hide() {
    if (Handle() != nullptr) ShowWindow(Handle(), SW_HIDE);
}

// The system passes a click through a window only when it is both layered and transparent; the
// layered style and its alpha stay as SetAlpha left them (an opaque layer where it has not run).
void Win32MainWindow::SetClickThrough(bool through) {
    if (Handle() == nullptr) return;
    const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    if (through && (style & WS_EX_LAYERED) == 0) SetAlpha(255);
    const LONG_PTR layered = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    SetWindowLongPtrW(Handle(), GWL_EXSTYLE, through ? layered | WS_EX_TRANSPARENT : layered & ~WS_EX_TRANSPARENT);
}

void Win32MainWindow::SetMenuEnabled(MenuItem item, bool enabled, std::string_view why) {
    m_menu.SetEnabled(item, enabled, why);
}

void Win32MainWindow::MakeTopmost(const PixelRect& pixels) {
    Place(pixels, HWND_TOPMOST, SWP_NOACTIVATE);
}

// A window that SetWindowPos activates is brought to the top of its band whatever place it was
// given, so the way down is taken without activation: otherwise the window would stay topmost.
void Win32MainWindow::SetStacking(bool topmost, const PixelRect& place) {
    if (topmost) Place(place, HWND_TOPMOST, SWP_NOSIZE);
    else Place(place, HWND_BOTTOM, SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32MainWindow::SetAlpha(std::uint8_t level) {
    if (Handle() == nullptr) return;
    const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    if ((style & WS_EX_LAYERED) == 0) SetWindowLongPtrW(Handle(), GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(Handle(), 0, level, LWA_ALPHA);
}

void Win32MainWindow::SetBackColour(std::int32_t colour) {
    m_backBrush.reset(CreateSolidBrush(ToColorRef(colour)));
    Invalidate();
}

void Win32MainWindow::SetLabelText(LabelId label, std::string_view text) {
    LabelFor(label).text = Widen(text);
    Invalidate();
}

void Win32MainWindow::SetLabelPosition(LabelId label, float left, float top) {
    LabelFor(label).left = left;
    LabelFor(label).top = top;
    Invalidate();
}

void Win32MainWindow::SetLabelVisible(LabelId label, bool visible) {
    LabelFor(label).visible = visible;
    Invalidate();
}

void Win32MainWindow::SetLabelColour(LabelId label, std::int32_t colour) {
    LabelFor(label).colour = ToColorRef(colour);
    Invalidate();
}

float Win32MainWindow::LabelWidth(LabelId label) const {
    const std::wstring& text = LabelFor(label).text;
    const Selection font(m_measureDc.get(), m_font.get());
    SIZE size{};
    GetTextExtentPoint32W(m_measureDc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return static_cast<float>(size.cx) * Tpp();
}

void Win32MainWindow::SetCursor(Cursor cursor) {
    m_cursor = LoadCursorW(nullptr, cursor == Cursor::SizeNwse ? IDC_SIZENWSE : IDC_ARROW);
    ::SetCursor(m_cursor);
}

void Win32MainWindow::CapturePointer(bool captured) {
    if (!captured) ReleaseCapture();
    else if (Handle() != nullptr) SetCapture(Handle());
}

void Win32MainWindow::SetTimerEnabled(bool enabled) {
    if (Handle() == nullptr) return;
    if (enabled) SetTimer(Handle(), kTimer2, frmMain::kTimerInterval, nullptr);
    else KillTimer(Handle(), kTimer2);
}

// The command is carried out before this returns: frmMain restarts its timer afterwards.
void Win32MainWindow::PopupMenu() {
    if (Handle() == nullptr) return;
    POINT at{};
    GetCursorPos(&at);
    if (const auto command = m_menu.Popup(Handle(), at)) Command(*command);
}

// The icon leaves the notification area while its window is still there to name it.
void Win32MainWindow::Close() {
    if (m_icon != nullptr) m_icon->Show(false);
    m_tooltip.reset();
    m_window.reset();
    PostQuitMessage(0);
}

void Win32MainWindow::Command(UINT id) const {
    if (m_handlers == nullptr) return;
    if (const auto item = Win32ContextMenu::ItemForCommand(id)) m_handlers->MenuCommand(*item);
    else if (const auto position = Win32ContextMenu::InterfaceForCommand(id)) m_handlers->Interface_Click(*position);
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToMember<Win32MainWindow, &Win32MainWindow::OnMessage>(window, message, wParam, lParam);
}

// Until frmMain is attached the window only paints: it is not shown before.
LRESULT Win32MainWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        OnPaint(window);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;  // the paint covers every pixel
    if (m_handlers == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_MOVE:
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) OnPlaced(window);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(*reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == kTimer2) m_handlers->Timer2_Timer();
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT) break;
            ::SetCursor(m_cursor);
            return TRUE;
        case WM_NOTIFY:
            if (!OnTooltipNotice(*reinterpret_cast<NMHDR*>(lParam))) break;
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) != 0 || lParam != 0) break;
            Command(LOWORD(wParam));
            return 0;
        case Win32NotifyIcon::kCallbackMessage:
            OnIconMessage(LOWORD(lParam));
            return 0;
        case WM_CLOSE:
            m_handlers->Form_QueryUnload();
            return 0;
        case WM_ENDSESSION:
            // The session ends once every window has answered: the program goes the way it always does.
            if (wParam != FALSE) m_handlers->Form_QueryUnload();
            return 0;
        default:
            if (message == Win32NotifyIcon::TaskbarCreatedMessage()) {
                if (m_icon != nullptr) m_icon->Restore();
                return 0;
            }
            if (const auto pointer = PointerOf(window, message, wParam, lParam); pointer && m_handlers->Form_Pointer(*pointer))
                return 0;
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The shell tells of the pointer over the icon with the mouse messages a window would get; a
// click is a button let go.
void Win32MainWindow::OnIconMessage(UINT mouse) {
    if (mouse == WM_LBUTTONUP) m_handlers->NotifyIcon_Click();
    else if (mouse == WM_RBUTTONUP) m_handlers->ShowContextMenu();
}

void Win32MainWindow::OnPlaced(HWND window) {
    RECT r{};
    if (GetWindowRect(window, &r))
        m_handlers->Form_Placed({r.left, r.top, r.right - r.left, r.bottom - r.top});
}

void Win32MainWindow::OnDpiChanged(const RECT& suggested) {
    m_font.reset(CreateLabelFont(m_desktop.Dpi()));
    m_handlers->Form_DpiChanged(
        {suggested.left, suggested.top, suggested.right - suggested.left, suggested.bottom - suggested.top});
}

void Win32MainWindow::OnPaint(HWND window) {
    const PaintDc screen(window);
    RECT client{};
    GetClientRect(window, &client);
    const std::int32_t w = std::max<std::int32_t>(client.right, 1);
    const std::int32_t h = std::max<std::int32_t>(client.bottom, 1);
    // Drawn off screen first, so the read-outs never flicker over a bare picture.
    if (!m_back || m_back->Width() != w || m_back->Height() != h) m_back = std::make_unique<MemoryBitmap>(w, h);
    const HDC back = m_back->Dc();
    FillRect(back, &client, m_backBrush.get());
    m_picture.Paint(back, m_surfacePixels.x, m_surfacePixels.y);
    DrawLabels(back);
    BitBlt(screen.Get(), 0, 0, w, h, back, 0, 0, SRCCOPY);
}

void Win32MainWindow::DrawLabels(HDC dc) const {
    const float tpp = Tpp();
    const Selection font(dc, m_font.get());
    SetBkMode(dc, TRANSPARENT);
    for (const Label& label : m_labels) {
        if (!label.visible) continue;
        SetTextColor(dc, label.colour);
        TextOutW(dc, TwipsToPixels(label.left, tpp), TwipsToPixels(label.top, tpp), label.text.c_str(),
                 static_cast<int>(label.text.size()));
    }
}

}  // namespace tg
