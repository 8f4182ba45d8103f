#pragma once
// The message port as a system message box over the main window.
#include <windows.h>

#include "ports/MessageDialog.h"

namespace tg {

class Win32MessageBox final : public MessageDialog {
 public:
    explicit Win32MessageBox(HWND owner) : m_owner(owner) {}
    void Show(std::string_view text, std::string_view caption, MessageIcon icon) override;

 private:
    HWND m_owner;
};

}  // namespace tg
