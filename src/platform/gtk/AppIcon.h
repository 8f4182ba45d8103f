#pragma once
// The program's icon, drawn rather than loaded, so no file has to be found at run time: a light
// yellow to white gradient, as the window's own background, with a red and a yellow bar.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include "platform/gtk/GObjectPtr.h"

namespace tg {

// The icon, size x size pixels with alpha.
GObjectPtr<GdkPixbuf> DrawAppIcon(int size);

// Makes the icon, at the sizes desktops ask for, the default of every window of the program.
void InstallAppIcon();

}  // namespace tg
