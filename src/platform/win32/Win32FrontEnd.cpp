#include "platform/win32/Win32FrontEnd.h"

#include <utility>

namespace tg {

Win32FrontEnd::Win32FrontEnd(RegistryApi& registry, std::string programPath)
    : m_window(m_desktop),
      m_messages(m_window.Handle()),
      m_options(m_window.Handle(), m_desktop, m_colours, {registry, m_launcher, std::move(programPath)}),
      m_usage(m_window.Handle(), m_desktop),
      m_icon(m_window.Handle()),
      m_notifier(m_icon) {
    m_window.SetNotifyIcon(&m_icon);
}

int Win32FrontEnd::RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

}  // namespace tg
