#pragma once
// The main window paints every pixel of itself and needs nothing of GTK's theme, whose parsed style
// sheet was the largest part of the running monitor's memory (about 1 MiB of its heap for good and
// 2 MiB at the peak). So the program starts under a theme with nothing but a tooltip's rules, and
// the desktop's theme is loaded when a menu or a dialog is first about to show (about 15 ms), and
// then kept.
// A theme the user names in GTK_THEME is used throughout, as always.
#include <gtk/gtk.h>

namespace tg {

// Before gtk_init: makes the first theme GTK loads the plain one. False when the user's environment
// has GTK_THEME, even empty: then it is theirs.
bool StartWithPlainTheme();

// Before GTK draws anything besides the main window: the desktop's theme from now on.
void UseDesktopTheme();

// A dialog without a header bar, made under the desktop's theme.
GtkWidget* NewDialog();

}  // namespace tg
