#include "platform/win32/Win32DialogFrame.h"

#include "platform/win32/Win32Dpi.h"

namespace tg {

ATOM RegisterDialogClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = name;
    return RegisterClassExW(&wc);
}

HFONT CreateDialogFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return CreateLabelFont(dpi);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return CreateFontIndirectW(&font);
}

RECT CentredWindowRect(LONG width, LONG height, DWORD style, DWORD exStyle) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const LONG w = r.right - r.left;
    const LONG h = r.bottom - r.top;
    const LONG x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    const LONG y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    return {x, y, x + w, y + h};
}

void RunModalLoop(HWND dialog, const bool& running) {
    MSG msg;
    while (running) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void RunModalOver(HWND owner, HWND dialog, HWND focus, bool& running) {
    EnableWindow(owner, FALSE);
    running = true;
    ShowWindow(dialog, SW_SHOW);
    SetFocus(focus);
    RunModalLoop(dialog, running);
    if (running) EndModalOver(owner, dialog, running);
}

void EndModalOver(HWND owner, HWND dialog, bool& running) {
    running = false;
    EnableWindow(owner, TRUE);
    ShowWindow(dialog, SW_HIDE);
}

}  // namespace tg
