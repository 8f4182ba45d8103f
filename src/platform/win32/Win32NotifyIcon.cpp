#include "platform/win32/Win32NotifyIcon.h"

#include <algorithm>
#include <span>
#include <thread>
#include <utility>

#include "platform/windows/WideText.h"

namespace tg {

namespace {

// The text in one of the structure's fixed fields, terminated, cut where it does not fit at the
// end of a character: never between the two halves of a surrogate pair.
void CopyCut(std::wstring_view text, std::span<wchar_t> field) {
    std::size_t n = std::min(text.size(), field.size() - 1);
    if (n < text.size() && n > 0 && IS_HIGH_SURROGATE(text[n - 1])) --n;
    text.copy(field.data(), n);
    field[n] = L'\0';
}

// The window's own small icon; a program built without its resources shows the system's.
HICON IconOf(HWND window) {
    auto* const small = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
    return small != nullptr ? small : LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace

Win32NotifyIcon::Win32NotifyIcon(HWND window, std::wstring trayClass)
    : m_window(window), m_trayClass(std::move(trayClass)), m_icon(IconOf(window)) {}

Win32NotifyIcon::~Win32NotifyIcon() { Show(false); }

UINT Win32NotifyIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool Win32NotifyIcon::Available() { return FindWindowW(m_trayClass.c_str(), nullptr) != nullptr; }

NOTIFYICONDATAW Win32NotifyIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = m_window;
    data.uID = kId;
    data.uFlags = flags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = m_icon;
    CopyCut(m_tip, data.szTip);
    return data;
}

NOTIFYICONDATAW Win32NotifyIcon::BalloonData(std::string_view title, std::string_view text) const {
    NOTIFYICONDATAW data = Data(NIF_INFO);
    CopyCut(Widen(title), data.szInfoTitle);
    CopyCut(Widen(text), data.szInfo);
    data.dwInfoFlags = NIIF_INFO;
    return data;
}

// A shell that kept the icon through its restart refuses to add it twice: it takes it anew instead.
void Win32NotifyIcon::Add() {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    m_added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE || Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void Win32NotifyIcon::Show(bool shown) {
    if (shown == m_shown) return;
    m_shown = shown;
    if (shown) {
        Add();
    } else if (m_added) {
        NOTIFYICONDATAW data = Data(0);
        Shell_NotifyIconW(NIM_DELETE, &data);
        m_added = false;
    }
}

// The tooltip changes at most once a tick; each change is a call into the shell's process.
void Win32NotifyIcon::SetText(std::string_view tooltip, std::string_view /*label*/) {
    std::wstring tip = Widen(tooltip);
    if (tip == m_tip) return;
    m_tip = std::move(tip);
    if (!m_added) return;
    NOTIFYICONDATAW data = Data(NIF_TIP);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Win32NotifyIcon::Restore() {
    if (m_shown) Add();
}

bool Win32NotifyIcon::Balloon(std::string_view title, std::string_view text) const {
    if (!m_added) return false;
    NOTIFYICONDATAW data = BalloonData(title, text);
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void Win32Notifier::Notify(std::string_view title, std::string_view text) {
    if (m_icon.Balloon(title, text)) return;
    std::thread([title = Widen(title), text = Widen(text)] {
        MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
    }).detach();
}

}  // namespace tg
