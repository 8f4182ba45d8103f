#include "platform/win32/Win32Dpi.h"

#include "platform/win32/Win32Handles.h"

namespace tg {

UINT SystemDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96U;
}

DpiForWindowFn DpiForWindowEntryPoint() {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    // Through void (*)(), the one function pointer type every other converts to without a warning.
    return reinterpret_cast<DpiForWindowFn>(reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetDpiForWindow")));
}

HFONT CreateLabelFont(UINT dpi) {
    // 8.25 pt is 825 / 7200 inch.
    const int height = -MulDiv(825, static_cast<int>(dpi), 7200);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
}

}  // namespace tg
