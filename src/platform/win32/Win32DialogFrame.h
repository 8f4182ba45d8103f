#pragma once
// What the program's dialogs share on Windows: the system's message font at the dialog's DPI, a
// window rectangle centred on the screen round a client area, and the modal message loop.
#include <windows.h>

namespace tg {

// The system's message font, at the DPI the dialog is shown at.
HFONT CreateDialogFont(UINT dpi);

// The outer rectangle of a window of this style whose client area is width x height pixels,
// centred on the primary screen.
RECT CentredWindowRect(LONG width, LONG height, DWORD style, DWORD exStyle);

// Runs the thread's messages, Tab, the arrows, Enter and Escape going to the dialog's controls,
// for as long as `running` holds. A quit message ends it and goes back on the queue for the main
// loop, whose it is.
void RunModalLoop(HWND dialog, const bool& running);

}  // namespace tg
