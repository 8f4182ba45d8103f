#pragma once
// What the program's dialogs share on Windows: their window class, the system's message font at the
// dialog's DPI, a window rectangle centred on the screen round a client area, and the modal run.
#include <windows.h>

namespace tg {

// Registers a dialog's window class: the arrow cursor over the dialog face colour.
ATOM RegisterDialogClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* name);

// The system's message font, at the DPI the dialog is shown at.
HFONT CreateDialogFont(UINT dpi);

// The outer rectangle of a window of this style whose client area is width x height pixels,
// centred on the primary screen.
RECT CentredWindowRect(LONG width, LONG height, DWORD style, DWORD exStyle);

// Runs the thread's messages, Tab, the arrows, Enter and Escape going to the dialog's controls,
// for as long as `running` holds. A quit message ends it and goes back on the queue for the main
// loop, whose it is.
void RunModalLoop(HWND dialog, const bool& running);

// Shows the dialog over its owner, which is disabled meanwhile, with the focus on `focus`, and runs
// the modal loop until EndModalOver clears `running` (or a quit message comes).
void RunModalOver(HWND owner, HWND dialog, HWND focus, bool& running);
// The owner is enabled before the dialog goes, so the system hands the activation back to it.
void EndModalOver(HWND owner, HWND dialog, bool& running);

}  // namespace tg
