#pragma once
// What the GTK fixture asks of the X server directly, as a user's devices or a window manager
// would. Kept apart: Xlib's macros (None, Status, Bool, ...) clash with names elsewhere.
#include <gdk/gdk.h>

#include <optional>

#include "common/Twips.h"

namespace tg::test {

// The pointer moved to a screen point, a button (1 left, 3 right) pressed or let go, a key pressed
// and released by its keysym's name ("a", "Return", "Tab") with a modifier held when one is named.
void MovePointer(int x, int y);
void SetButton(bool down, int button = 1);
void PressKey(const char* keysym, const char* modifier = nullptr);

// A window's place and size as the server has them, in root coordinates.
PixelRect ServerGeometry(GdkWindow* toplevel);
// Where a toplevel stands among the root window's children, bottom first: without a window manager
// that is the stacking order of the toplevels. -1 when it is none of them.
int StackingIndex(GdkWindow* toplevel);
// A 32-bit property of a window.
std::optional<unsigned long> CardinalProperty(GdkWindow* toplevel, const char* name);
// The window manager's close request (WM_DELETE_WINDOW).
void SendCloseRequest(GdkWindow* toplevel);

}  // namespace tg::test
