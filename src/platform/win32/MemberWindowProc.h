#pragma once
// A window procedure that hands each message to the C++ object that made the window: the object
// passes itself as CreateWindowExW's last argument, and the pointer rides in GWLP_USERDATA from
// WM_NCCREATE until WM_NCDESTROY. Messages before the first and after the last go to
// DefWindowProcW.
#include <windows.h>

namespace tg {

template <class Window, LRESULT (Window::*OnMessage)(HWND, UINT, WPARAM, LPARAM)>
LRESULT RouteToMember(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return self != nullptr ? (self->*OnMessage)(window, message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tg
