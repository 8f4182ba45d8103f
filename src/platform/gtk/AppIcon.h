#pragma once
// The program's icon, drawn rather than loaded, so no file has to be found at run time: a light
// yellow to white gradient, as the window's own background, with a red and a yellow bar.
#include <gtk/gtk.h>

#include <string>

#include "platform/gtk/GObjectPtr.h"

namespace tg {

// The icon's name in the desktop's icon theme, where the package installs it.
inline constexpr const char* kAppIconName = "tidegauge";

// The icon, size x size pixels with alpha.
GObjectPtr<GdkPixbuf> DrawAppIcon(int size);

// Writes the icon as a PNG file at `path`, making its folders; false with `error` set when it cannot.
bool WriteAppIcon(const std::string& path, int size, GError** error);

// Gives the window the icon at the sizes desktops ask for. The window system keeps the pictures and
// the program does not: the main window, up all day, need not hold 100 KB of them.
void SetWindowIcon(GdkWindow* window);

// Makes the icon the default of every window of the program, as the dialogs want; once, when the
// first of them is made.
void InstallAppIcon();

// Gives a dialog its owner's icon; the program's when the owner has none of its own, as the main
// window has not.
void CopyWindowIcon(GtkWindow* dialog, GtkWindow* owner);

}  // namespace tg
