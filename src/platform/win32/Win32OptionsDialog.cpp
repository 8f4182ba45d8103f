#include "platform/win32/Win32OptionsDialog.h"

#include <algorithm>
#include <optional>
#include <string>

#include "appearance/frmOptions.h"
#include "common/Twips.h"
#include "platform/win32/MemberWindowProc.h"
#include "platform/windows/WideText.h"
#include "platform/win32/Win32DialogFrame.h"
#include "platform/win32/Win32Picture.h"

namespace tg {

namespace {

constexpr const wchar_t* kClassName = L"TideGauge.frmOptions";
constexpr UINT kFirstId = 100;  // a control's id: this plus its place in kOptionsControls

using Kind = OptionsControlKind;

// Windowless labels on Windows: they take no focus and lie below every other control, so
// Label3's box reaches under Picture3 and Label1's under Picture1.
bool IsLabel(Kind kind) { return kind == Kind::Label || kind == Kind::Readout || kind == Kind::Link; }

UINT IdOf(const OptionsControl& c) { return kFirstId + static_cast<UINT>(&c - kOptionsControls.data()); }

const OptionsControl* ControlOf(UINT id) {
    if (id < kFirstId || id >= kFirstId + kOptionsControls.size()) return nullptr;
    return &kOptionsControls[id - kFirstId];
}

const OptionsControl* ControlOf(HWND control, HWND dialog) {
    if (control == nullptr || GetParent(control) != dialog) return nullptr;
    return ControlOf(static_cast<UINT>(GetDlgCtrlID(control)));
}

const wchar_t* ClassOf(Kind kind) {
    switch (kind) {
        case Kind::Check: return L"BUTTON";
        case Kind::Scroll: return L"SCROLLBAR";
        default: return L"STATIC";
    }
}

DWORD StyleOf(Kind kind) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (TakesFocus(kind) ? WS_TABSTOP : 0);
    switch (kind) {
        case Kind::Check: return style | BS_AUTOCHECKBOX;
        case Kind::Scroll: return style | SBS_HORZ;
        case Kind::Swatch:
        case Kind::Link: return style | SS_NOTIFY;
        default: return style;
    }
}

// What a scroll bar's notification asks for; nothing for the end of a scroll.
std::optional<ScrollAction> ActionOf(UINT code) {
    switch (code) {
        case SB_LINELEFT: return ScrollAction::LineBack;
        case SB_LINERIGHT: return ScrollAction::LineForward;
        case SB_PAGELEFT: return ScrollAction::PageBack;
        case SB_PAGERIGHT: return ScrollAction::PageForward;
        case SB_LEFT: return ScrollAction::ToStart;
        case SB_RIGHT: return ScrollAction::ToEnd;
        case SB_THUMBTRACK: return ScrollAction::ThumbTrack;
        case SB_THUMBPOSITION: return ScrollAction::ThumbRelease;
        default: return std::nullopt;
    }
}

ATOM WindowClass(HINSTANCE instance, WNDPROC procedure) {
    static const ATOM atom = RegisterDialogClass(instance, procedure, kClassName);
    return atom;
}

}  // namespace

Win32OptionsDialog::Win32OptionsDialog(HWND owner, const Win32Desktop& desktop)
    : m_owner(owner), m_desktop(desktop), m_font(CreateDialogFont(desktop.Dpi())) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const float tpp = desktop.TwipsPerPixelX();
    // Fixed single border and no minimise or maximise box; owned, so it has no taskbar button.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    const RECT r = CentredWindowRect(TwipsToPixels(kOptionsClientWidth, tpp), TwipsToPixels(kOptionsClientHeight, tpp),
                                     style, exStyle);
    const std::wstring title = Widen(Text(kOptionsTitle));
    m_window.reset(CreateWindowExW(exStyle, MAKEINTATOM(WindowClass(instance, WindowProc)), title.c_str(), style,
                                   r.left, r.top, r.right - r.left, r.bottom - r.top, owner, nullptr, instance, this));
    if (m_window) MakeControls(tpp);
}

Win32OptionsDialog::~Win32OptionsDialog() {
    if (m_modal) EndModal();
    if (m_window) SetWindowLongPtrW(m_window.get(), GWLP_USERDATA, 0);
}

// In tab order, since the dialog's Tab goes through its children in the order they were made.
void Win32OptionsDialog::MakeControls(float tpp) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const bool labels : {false, true}) {
        for (const OptionsControl* c : OptionsTabOrder()) {
            if (IsLabel(c->kind) != labels) continue;
            const PixelRect p = RectToPixels(c->place, tpp);
            const HWND control = CreateWindowExW(
                c->kind == Kind::Swatch ? WS_EX_CLIENTEDGE : 0, ClassOf(c->kind), Widen(Text(c->caption)).c_str(),
                StyleOf(c->kind), p.x, p.y, p.cx, p.cy, Handle(),
                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IdOf(*c))), instance, nullptr);
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
        }
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_POS;
    info.nMin = kHScroll1.min;
    info.nMax = kHScroll1.max;
    info.nPos = kHScroll1.designPosition;
    SetScrollInfo(Control("HScroll1"), SB_CTL, &info, FALSE);
}

HWND Win32OptionsDialog::Control(std::string_view name) const {
    for (const OptionsControl& c : kOptionsControls) {
        if (c.name == name) return GetDlgItem(Handle(), static_cast<int>(IdOf(c)));
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
    const auto order = OptionsTabOrder();
    const OptionsControl* const first =
        *std::find_if(order.begin(), order.end(), [](const auto* c) { return TakesFocus(c->kind); });
    RunModalOver(m_owner, Handle(), Control(first->name), m_modal);
}

void Win32OptionsDialog::EndModal() { EndModalOver(m_owner, Handle(), m_modal); }

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
    const OptionsControl* c = ControlOf(id);
    if (c == nullptr || m_handlers == nullptr) return;
    if (c->kind == Kind::Check && code == BN_CLICKED) m_handlers->Check1_Click();
    if (c->kind == Kind::Swatch && code == STN_CLICKED) m_handlers->Picture_Click(c->swatch);
    if (c->kind == Kind::Link && code == STN_CLICKED) m_handlers->Label_Click(*c->link);
}

void Win32OptionsDialog::OnScroll(UINT code, int thumb) {
    const auto action = ActionOf(code);
    if (action && m_handlers != nullptr) m_handlers->HScroll1_Scroll(*action, thumb);
}

// The swatches show their colour; the link labels are in the link colour on the dialog's face.
LRESULT Win32OptionsDialog::OnControlColour(HDC dc, HWND control) const {
    const OptionsControl* c = ControlOf(control, Handle());
    if (c == nullptr) return 0;
    if (c->kind == Kind::Swatch) {
        return reinterpret_cast<LRESULT>(m_brushes[static_cast<std::size_t>(c->swatch - 1)].get());
    }
    if (c->kind != Kind::Link) return 0;
    SetTextColor(dc, ToColorRef(kLinkColour));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

bool Win32OptionsDialog::OnSetCursor(HWND over) const {
    const OptionsControl* c = ControlOf(over, Handle());
    if (c == nullptr || c->kind != Kind::Link) return false;
    ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return true;
}

}  // namespace tg
