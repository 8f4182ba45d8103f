#include "platform/win32/Win32UsageDialog.h"

#include <commctrl.h>

#include <string>

#include "common/Text.h"
#include "common/Twips.h"
#include "platform/win32/MemberWindowProc.h"
#include "platform/windows/WideText.h"
#include "platform/win32/Win32DialogFrame.h"
#include "platform/win32/Win32Dpi.h"
#include "usage/UsageLayout.h"
#include "usage/frmUsage.h"

namespace tg {

namespace {

constexpr const wchar_t* kClassName = L"TideGauge.frmUsage";
constexpr UINT kFirstId = 100;  // a control's id: this plus its place in kUsageControls
constexpr UINT kFirstUpDownId = kFirstId + kUsageControls.size();  // a spin's arrows: this plus its place
constexpr UINT_PTR kRefreshTimer = 1;

UINT IdOf(std::size_t index) { return kFirstId + static_cast<UINT>(index); }
UINT UpDownIdOf(std::size_t index) { return kFirstUpDownId + static_cast<UINT>(index); }
bool IsSpin(std::size_t index) {
    return index < kUsageControls.size() && kUsageControls[index].kind == UsageControlKind::Spin;
}

DWORD AlignStyle(TextAlign align) {
    switch (align) {
        case TextAlign::Left: break;
        case TextAlign::Centre: return SS_CENTER;
        case TextAlign::Right: return SS_RIGHT;
    }
    return SS_LEFT;
}

ATOM WindowClass(HINSTANCE instance, WNDPROC procedure) {
    static const ATOM atom = RegisterDialogClass(instance, procedure, kClassName);
    return atom;
}

std::string TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace

Win32UsageDialog::Win32UsageDialog(HWND owner, const Win32Desktop& desktop)
    : m_owner(owner),
      m_font(CreateDialogFont(desktop.Dpi())),
      // Until the chart's control is made there is nothing to repaint (and a null window would be
      // every window).
      m_chart([this] { if (m_chartControl != nullptr) InvalidateRect(m_chartControl, nullptr, FALSE); },
              [this] { if (m_chartControl != nullptr) UpdateWindow(m_chartControl); }) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const float tpp = desktop.TwipsPerPixelX();
    // Fixed single border and no minimise or maximise box; owned, so it has no taskbar button.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    const RECT r = CentredWindowRect(TwipsToPixels(kUsageClientWidth, tpp), TwipsToPixels(kUsageClientHeight, tpp),
                                     style, exStyle);
    m_window.reset(CreateWindowExW(exStyle, MAKEINTATOM(WindowClass(instance, WindowProc)), Widen(Text(kUsageTitle)).c_str(),
                                   style, r.left, r.top, r.right - r.left, r.bottom - r.top, owner, nullptr, instance,
                                   this));
    if (m_window) MakeControls(tpp, desktop.Dpi());
}

Win32UsageDialog::~Win32UsageDialog() {
    if (m_modal) EndModal();
    if (m_window) SetWindowLongPtrW(m_window.get(), GWLP_USERDATA, 0);
    m_chartControl = nullptr;
}

void Win32UsageDialog::MakeControls(float tpp, UINT dpi) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto make = [&](DWORD exStyle, const wchar_t* cls, const std::wstring& text, DWORD style, const PixelRect& p,
                          UINT id) {
        const HWND control = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, p.x, p.y, p.cx,
                                             p.cy, Handle(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                             instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
        return control;
    };
    for (std::size_t i = 0; i < kUsageControls.size(); ++i) {
        const UsageControl& c = kUsageControls[i];
        const PixelRect p = RectToPixels(c.place, tpp);
        switch (c.kind) {
            case UsageControlKind::Chart:
                m_chart.Resize(p.cx, p.cy);
                m_chartControl = make(0, L"STATIC", L"", SS_OWNERDRAW, p, IdOf(i));
                break;
            case UsageControlKind::Spin: {
                // The arrows take the right end of the spin button's place, the edit the rest. The
                // up-down control may make itself narrower than asked: the edit meets it as it is.
                const int arrows = MulDiv(GetSystemMetrics(SM_CXVSCROLL), static_cast<int>(dpi),
                                          static_cast<int>(SystemDpi()));
                const HWND edit = make(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, p, IdOf(i));
                const HWND upDown = make(0, UPDOWN_CLASSW, L"", UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_HOTTRACK,
                                         {p.x + p.cx - arrows, p.y, arrows, p.cy}, UpDownIdOf(i));
                RECT made{};
                GetWindowRect(upDown, &made);
                const int width = made.right - made.left;
                SetWindowPos(upDown, nullptr, p.x + p.cx - width, p.y, width, p.cy, SWP_NOZORDER | SWP_NOACTIVATE);
                SetWindowPos(edit, nullptr, p.x, p.y, p.cx - width, p.cy, SWP_NOZORDER | SWP_NOACTIVATE);
                SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
                SendMessageW(upDown, UDM_SETRANGE32, c.spin.min, c.spin.max);
                SetSpinValue(i, c.spin.designValue);
                break;
            }
            default: make(0, L"STATIC", Widen(Text(c.caption)), SS_NOPREFIX | AlignStyle(c.align), p, IdOf(i)); break;
        }
    }
}

HWND Win32UsageDialog::Control(std::string_view name) const {
    for (std::size_t i = 0; i < kUsageControls.size(); ++i)
        if (kUsageControls[i].name == name) return GetDlgItem(Handle(), static_cast<int>(IdOf(i)));
    return nullptr;
}

HWND Win32UsageDialog::UpDown(std::size_t control) const {
    return GetDlgItem(Handle(), static_cast<int>(UpDownIdOf(control)));
}

HWND Win32UsageDialog::Edit(std::size_t control) const { return GetDlgItem(Handle(), static_cast<int>(IdOf(control))); }

int Win32UsageDialog::SpinValue(std::size_t control) const { return IsSpin(control) ? m_values[control] : 0; }

void Win32UsageDialog::CopyIconFromMainWindow() {
    // The main window's icons are its class's, loaded shared: the dialog uses them without owning them.
    const auto bigIcon = static_cast<LPARAM>(GetClassLongPtrW(m_owner, GCLP_HICON));
    const auto smallIcon = static_cast<LPARAM>(GetClassLongPtrW(m_owner, GCLP_HICONSM));
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, bigIcon);
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, smallIcon != 0 ? smallIcon : bigIcon);
}

void Win32UsageDialog::SetText(std::size_t control, std::string_view text) {
    if (control < kUsageControls.size())
        SetWindowTextW(GetDlgItem(Handle(), static_cast<int>(IdOf(control))), Widen(text).c_str());
}

ChartPicture Win32UsageDialog::Chart() { return {m_chart, m_chart.Width(), m_chart.Height()}; }

// Neither the edit's change nor the arrows' new position is reported for a value set here: the
// dialog listens to neither.
void Win32UsageDialog::SetSpinValue(std::size_t control, int value) {
    if (!IsSpin(control)) return;
    m_values[control] = value;
    SetWindowTextW(Edit(control), std::to_wstring(value).c_str());
    SendMessageW(UpDown(control), UDM_SETPOS32, 0, value);
}

void Win32UsageDialog::ShowModal() {
    if (Handle() == nullptr) return;
    SetTimer(Handle(), kRefreshTimer, kUsageRefreshMilliseconds, nullptr);
    RunModalOver(m_owner, Handle(), Control("PeriodStart"), m_modal);
    KillTimer(Handle(), kRefreshTimer);  // also when a quit message ended the loop
}

void Win32UsageDialog::EndModal() {
    KillTimer(Handle(), kRefreshTimer);
    EndModalOver(m_owner, Handle(), m_modal);
}

LRESULT CALLBACK Win32UsageDialog::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteToMember<Win32UsageDialog, &Win32UsageDialog::OnMessage>(window, message, wParam, lParam);
}

LRESULT Win32UsageDialog::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY:
            // An arrow is about to step: what was typed is committed first, and the step goes on
            // from what that left.
            if (const auto* n = reinterpret_cast<const NMHDR*>(lParam); n->code == UDN_DELTAPOS)
                CommitTyped(static_cast<std::size_t>(n->idFrom - kFirstUpDownId));
            return 0;
        case WM_VSCROLL:
            if (LOWORD(wParam) == SB_THUMBPOSITION && lParam != 0)
                OnStepped(static_cast<std::size_t>(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) - kFirstUpDownId);
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->hwndItem != m_chartControl) break;
            m_chart.Paint(item->hDC, 0, 0);
            return TRUE;
        }
        case WM_TIMER:
            if (wParam == kRefreshTimer && m_handlers != nullptr) m_handlers->Timer1_Timer();
            return 0;
        case WM_CLOSE:
            if (m_modal) EndModal();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Enter and Escape reach the window as IDOK and IDCANCEL through the dialog's message loop.
void Win32UsageDialog::OnCommand(UINT id, UINT code) {
    if (id == IDCANCEL) {
        if (m_modal) EndModal();
    } else if (id == IDOK) {
        for (std::size_t i = 0; i < kUsageControls.size(); ++i) CommitTyped(i);
    } else if (code == EN_KILLFOCUS && id >= kFirstId) {
        CommitTyped(id - kFirstId);
    }
}

// Only what differs from the value shown is news: a spin left untouched says nothing.
void Win32UsageDialog::CommitTyped(std::size_t control) {
    if (!IsSpin(control) || m_handlers == nullptr) return;
    const std::string typed = TextOf(Edit(control));
    if (typed != std::to_string(m_values[control])) m_handlers->Spin_Typed(control, typed);
}

void Win32UsageDialog::OnStepped(std::size_t control) {
    if (!IsSpin(control)) return;
    const auto position = static_cast<int>(SendMessageW(UpDown(control), UDM_GETPOS32, 0, 0));
    if (position == m_values[control]) return;
    m_values[control] = position;
    SetWindowTextW(Edit(control), std::to_wstring(position).c_str());
    if (m_handlers != nullptr) m_handlers->Spin_Change(control);
}

}  // namespace tg
