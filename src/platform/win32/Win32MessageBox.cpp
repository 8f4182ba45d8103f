#include "platform/win32/Win32MessageBox.h"

#include "platform/windows/WideText.h"

namespace tg {

void Win32MessageBox::Show(std::string_view text, std::string_view caption, MessageIcon icon) {
    // Once the window is gone the box stands on its own.
    const HWND owner = IsWindow(m_owner) ? m_owner : nullptr;
    const UINT type = MB_OK | (icon == MessageIcon::Information ? MB_ICONINFORMATION : 0U);
    MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
}

}  // namespace tg
