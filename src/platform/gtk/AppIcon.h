#pragma once
// The program's icon, drawn rather than loaded, so no file has to be found at run time: a light
// yellow to white gradient, as the window's own background, with a red and a yellow bar.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>

#include "platform/gtk/GObjectPtr.h"

namespace tg {

// The icon's name in the desktop's icon theme, where the package installs it.
inline constexpr const char* kAppIconName = "tidegauge";

// The icon, size x size pixels with alpha.
GObjectPtr<GdkPixbuf> DrawAppIcon(int size);

// Writes the icon as a PNG file at `path`, making its folders; false with `error` set when it cannot.
bool WriteAppIcon(const std::string& path, int size, GError** error);

// Makes the icon, at the sizes desktops ask for, the default of every window of the program.
void InstallAppIcon();

}  // namespace tg
