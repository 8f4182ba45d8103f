#pragma once
// The main window paints every pixel of itself and needs nothing of GTK's theme, whose parsed style
// sheet was the largest part of the running monitor's memory (about 1 MiB of its heap for good and
// 2 MiB at the peak). So the program runs under a theme without rules, and the desktop's theme is
// loaded only while a menu, a tooltip or a dialog shows (about 15 ms each time). A theme the user
// names in GTK_THEME is used throughout, as always.

namespace tg {

// Before gtk_init: makes the first theme GTK loads the plain one. False when the user's environment
// has GTK_THEME, even empty: then it is theirs.
bool StartWithPlainTheme();

// While one lives, GTK draws with the desktop's theme; when the last goes, the plain theme is back
// and the freed memory goes back to the system. Make it before the widgets it is for.
class DesktopTheme {
 public:
    DesktopTheme();
    ~DesktopTheme();
    DesktopTheme(const DesktopTheme&) = delete;
    DesktopTheme& operator=(const DesktopTheme&) = delete;
};

}  // namespace tg
