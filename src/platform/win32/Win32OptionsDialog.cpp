#include "platform/win32/Win32OptionsDialog.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "appearance/frmOptions.h"
#include "common/Twips.h"
#include "platform/win32/MemberWindowProc.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Dpi.h"
#include "platform/win32/Win32Picture.h"

namespace tg {

namespace {

constexpr const wchar_t* kClassName = L"TideGauge.frmOptions";
constexpr const char* kTitle = "配置";
constexpr float kClientWidth = 4530;  // twips
constexpr float kClientHeight = 2235;
constexpr UINT kFirstId = 100;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr int kDesignPosition = 20;  // the scroll bar's until Form_Load sets it

enum class Kind { Label, Swatch, Link, Check, Scroll };

struct ControlDef {
    const char* name;
    Kind kind;
    float left, top, width, height;  // twips
    const char* caption;
    int index;  // the swatch's n, or the LinkLabel
};

// In tab order. Labels take no focus and, as windowless labels do, lie below every other control:
// Label3's box reaches under Picture3, Label1's under Picture1.
constexpr ControlDef kControls[] = {
    {"Check1", Kind::Check, 120, 1320, 1695, 255, "设为开机启动项", 0},
    {"Label1", Kind::Label, 2400, 600, 1695, 255, "下方颜色", 0},
    {"Picture1", Kind::Swatch, 3840, 600, 255, 255, "", 1},
    {"Picture2", Kind::Swatch, 3840, 240, 255, 255, "", 2},
    {"Label2", Kind::Label, 2400, 240, 1695, 255, "上方颜色", 0},
    {"Picture3", Kind::Swatch, 1560, 240, 255, 255, "", 3},
    {"Label3", Kind::Label, 120, 240, 1695, 255, "下载颜色", 0},
    {"Picture4", Kind::Swatch, 1560, 600, 255, 255, "", 4},
    {"Label4", Kind::Label, 120, 600, 1695, 255, "上传颜色", 0},
    {"Picture5", Kind::Swatch, 1560, 960, 255, 255, "", 5},
    {"Label5", Kind::Label, 120, 960, 1695, 255, "文本颜色", 0},
    {"Label6", Kind::Label, 2400, 960, 1815, 255, "", 0},
    {"HScroll1", Kind::Scroll, 2400, 1320, 1695, 255, "", 0},
    {"Label8", Kind::Link, 2760, 1800, 780, 195, "主页", static_cast<int>(LinkLabel::Label8)},
    {"Label9", Kind::Link, 1560, 1800, 855, 195, "报告错误", static_cast<int>(LinkLabel::Label9)},
    {"Label10", Kind::Link, 120, 1800, 1185, 195, "程序交流", static_cast<int>(LinkLabel::Label10)},
    {"Label11", Kind::Link, 3720, 1800, 525, 195, "关于作者", static_cast<int>(LinkLabel::Label11)},
};

bool IsLabel(const ControlDef& def) { return def.kind == Kind::Label || def.kind == Kind::Link; }

UINT IdOf(const ControlDef& def) { return kFirstId + static_cast<UINT>(&def - kControls); }

const ControlDef* DefOf(UINT id) {
    if (id < kFirstId || id >= kFirstId + std::size(kControls)) return nullptr;
    return &kControls[id - kFirstId];
}

const ControlDef* DefOf(HWND control, HWND dialog) {
    if (control == nullptr || GetParent(control) != dialog) return nullptr;
    return DefOf(static_cast<UINT>(GetDlgCtrlID(control)));
}

const wchar_t* ClassOf(Kind kind) {
    switch (kind) {
        case Kind::Check: return L"BUTTON";
        case Kind::Scroll: return L"SCROLLBAR";
        default: return L"STATIC";
    }
}

DWORD StyleOf(Kind kind) {
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (kind) {
        case Kind::Check: return child | WS_TABSTOP | BS_AUTOCHECKBOX;
        case Kind::Scroll: return child | WS_TABSTOP | SBS_HORZ;
        case Kind::Swatch: return child | WS_TABSTOP | SS_NOTIFY;
        case Kind::Link: return child | SS_NOTIFY;
        default: return child;
    }
}

ATOM WindowClass(HINSTANCE instance, WNDPROC procedure) {
    static const ATOM atom = [&] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

// The system's message font, at the DPI the dialog is shown at.
HFONT CreateDialogFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return CreateLabelFont(dpi);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return CreateFontIndirectW(&font);
}

RECT OuterRect(float tpp, DWORD style, DWORD exStyle) {
    RECT r{0, 0, TwipsToPixels(kClientWidth, tpp), TwipsToPixels(kClientHeight, tpp)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    const LONG x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    return {x, y, x + w, y + h};
}

}  // namespace

Win32OptionsDialog::Win32OptionsDialog(HWND owner, const Win32Desktop& desktop)
    : m_owner(owner), m_desktop(desktop), m_font(CreateDialogFont(desktop.Dpi())) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const float tpp = desktop.TwipsPerPixelX();
    // Fixed single border and no minimise or maximise box; owned, so it has no taskbar button.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    const RECT r = OuterRect(tpp, style, exStyle);
    m_window.reset(CreateWindowExW(exStyle, MAKEINTATOM(WindowClass(instance, WindowProc)), Widen(kTitle).c_str(),
                                   style, r.left, r.top, r.right - r.left, r.bottom - r.top, owner, nullptr,
                                   instance, this));
    if (m_window) MakeControls(tpp);
}

Win32OptionsDialog::~Win32OptionsDialog() {
    if (m_modal) EndModal();
    if (m_window) SetWindowLongPtrW(m_window.get(), GWLP_USERDATA, 0);
}

void Win32OptionsDialog::MakeControls(float tpp) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const bool labels : {false, true}) {
        for (const ControlDef& def : kControls) {
            if (IsLabel(def) != labels) continue;
            const HWND control = CreateWindowExW(
                def.kind == Kind::Swatch ? WS_EX_CLIENTEDGE : 0, ClassOf(def.kind), Widen(def.caption).c_str(),
                StyleOf(def.kind), TwipsToPixels(def.left, tpp), TwipsToPixels(def.top, tpp),
                TwipsToPixels(def.width, tpp), TwipsToPixels(def.height, tpp), Handle(),
                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IdOf(def))), instance, nullptr);
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
        }
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    info.nMin = kOpacityMin;
    info.nMax = kOpacityMax;
    info.nPos = kDesignPosition;
    SetScrollInfo(Control("HScroll1"), SB_CTL, &info, FALSE);
}

HWND Win32OptionsDialog::Control(std::string_view name) const {
    for (const ControlDef& def : kControls) {
        if (def.name == name) return GetDlgItem(Handle(), static_cast<int>(IdOf(def)));
    }
    return nullptr;
}

void Win32OptionsDialog::CopyIconFromMainWindow() {
    // The main window's icons are its class's, loaded shared: the dialog uses them without owning them.
    const auto bigIcon = static_cast<LPARAM>(GetClassLongPtrW(m_owner, GCLP_HICON));
    const auto smallIcon = static_cast<LPARAM>(GetClassLongPtrW(m_owner, GCLP_HICONSM));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, bigIcon);
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, smallIcon != 0 ? smallIcon : bigIcon);
}

void Win32OptionsDialog::SetCheck1(bool checked) {
    // BM_SETCHECK sends no notification, so the click handler stays out of it.
    SendMessageW(Control("Check1"), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32OptionsDialog::Check1() const {
    return SendMessageW(Control("Check1"), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32OptionsDialog::SetScrollPosition(std::int16_t position) {
    SetScrollPos(Control("HScroll1"), SB_CTL, position, TRUE);
}

std::int16_t Win32OptionsDialog::ScrollPosition() const {
    return static_cast<std::int16_t>(GetScrollPos(Control("HScroll1"), SB_CTL));
}

void Win32OptionsDialog::SetLabel6(std::string_view text) { SetWindowTextW(Control("Label6"), Widen(text).c_str()); }

void Win32OptionsDialog::SetSwatchColour(int n, std::int32_t colour) {
    if (n < 1 || n > kSwatchCount) return;
    const auto i = static_cast<std::size_t>(n - 1);
    m_colours[i] = colour;
    m_brushes[i].reset(CreateSolidBrush(ToColorRef(colour)));
    InvalidateRect(Control("Picture" + std::to_string(n)), nullptr, TRUE);
}

std::int32_t Win32OptionsDialog::SwatchColour(int n) const {
    return n >= 1 && n <= kSwatchCount ? m_colours[static_cast<std::size_t>(n - 1)] : 0;
}

void Win32OptionsDialog::ShowModal() {
    if (Handle() == nullptr) return;
    EnableWindow(m_owner, FALSE);
    m_modal = true;
    ShowWindow(Handle(), SW_SHOW);
    SetFocus(Control("Check1"));
    MSG msg;
    while (m_modal) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The quit belongs to the main loop: it goes back on the queue for that loop to see.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (IsDialogMessageW(Handle(), &msg)) continue;  // Tab, the arrows and Space for the controls
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (m_modal) EndModal();
}

// The owner is enabled before the window goes, so the system hands the activation back to it.
void Win32OptionsDialog::EndModal() {
    m_modal = false;
    EnableWindow(m_owner, TRUE);
    ShowWindow(Handle(), SW_HIDE);
}

LRESULT CALLBACK Win32OptionsDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToMember<Win32OptionsDialog, &Win32OptionsDialog::OnMessage>(window, message, wParam, lParam);
}

LRESULT Win32OptionsDialog::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_HSCROLL:
            OnScroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
            return 0;
        case WM_CTLCOLORSTATIC:
            if (const LRESULT brush = OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return brush;
            break;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_CLOSE:
            if (m_modal) EndModal();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32OptionsDialog::OnCommand(UINT id, UINT code) {
    const ControlDef* def = DefOf(id);
    if (def == nullptr || m_handlers == nullptr) return;
    if (def->kind == Kind::Check && code == BN_CLICKED) m_handlers->Check1_Click();
    if (def->kind == Kind::Swatch && code == STN_CLICKED) m_handlers->Picture_Click(def->index);
    if (def->kind == Kind::Link && code == STN_CLICKED) m_handlers->Label_Click(static_cast<LinkLabel>(def->index));
}

// The position is committed, and the change handler runs, for every step but a drag of the thumb
// in progress: the drag commits once, where the thumb is let go.
void Win32OptionsDialog::OnScroll(UINT code, int thumb) {
    const int old = ScrollPosition();
    int position = old;
    switch (code) {
        case SB_LINELEFT: position -= kArrowStep; break;
        case SB_LINERIGHT: position += kArrowStep; break;
        case SB_PAGELEFT: position -= kPageStep; break;
        case SB_PAGERIGHT: position += kPageStep; break;
        case SB_THUMBPOSITION: position = thumb; break;
        case SB_LEFT: position = kOpacityMin; break;
        case SB_RIGHT: position = kOpacityMax; break;
        default: return;  // SB_THUMBTRACK, SB_ENDSCROLL
    }
    position = std::clamp<int>(position, kOpacityMin, kOpacityMax);
    if (position == old) return;
    SetScrollPosition(static_cast<std::int16_t>(position));
    if (m_handlers != nullptr) m_handlers->HScroll1_Change();
}

// The swatches show their colour; the link labels are blue on the dialog's face.
LRESULT Win32OptionsDialog::OnControlColour(HDC dc, HWND control) const {
    const ControlDef* def = DefOf(control, Handle());
    if (def == nullptr) return 0;
    if (def->kind == Kind::Swatch) {
        return reinterpret_cast<LRESULT>(m_brushes[static_cast<std::size_t>(def->index - 1)].get());
    }
    if (def->kind != Kind::Link) return 0;
    SetTextColor(dc, kLinkColour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

bool Win32OptionsDialog::OnSetCursor(HWND over) const {
    const ControlDef* def = DefOf(over, Handle());
    if (def == nullptr || def->kind != Kind::Link) return false;
    ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

}  // namespace tg
