#pragma once
// The DPI calls of newer Windows, looked up at run time so the program still starts without them.
#include <windows.h>

namespace tg {

// The DPI of the primary screen as the process sees it.
UINT SystemDpi();

// GetDpiForWindow, or null where user32 lacks it.
using DpiForWindowFn = UINT(WINAPI*)(HWND);
DpiForWindowFn DpiForWindowEntryPoint();

// The read-outs' font, Arial 8.25 pt, at this DPI.
HFONT CreateLabelFont(UINT dpi);

}  // namespace tg
