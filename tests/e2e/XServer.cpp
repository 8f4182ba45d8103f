// What the tests ask of the X server directly. Kept apart: Xlib's macros (None, Status, Bool, ...)
// clash with names elsewhere in the tests.
// The tests' own header comes first: Xlib's macros must not reach GoogleTest's headers.
#include "GtkTestSupport.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>

namespace tg::test {

int StackingIndex(GdkWindow* toplevel) {
    if (!toplevel) return -1;
    Display* display = GDK_WINDOW_XDISPLAY(toplevel);
    const ::Window target = GDK_WINDOW_XID(toplevel);
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    // A round trip: every request made before it has been carried out when it answers.
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return -1;
    int index = -1;
    for (unsigned i = 0; i < count; ++i)
        if (children[i] == target) index = static_cast<int>(i);
    if (children) XFree(children);
    return index;
}

// GDK reads the pointer through the input extension and drops core events sent to a window, so
// the pointer is moved and pressed at the server as a user's would be.
void MovePointer(int x, int y) {
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
}

void SetButton(bool down) {
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    XTestFakeButtonEvent(display, 1, down ? True : False, CurrentTime);
    XSync(display, False);
}

void PressAndRelease(int pressX, int pressY, int releaseX, int releaseY) {
    MovePointer(pressX, pressY);
    SetButton(true);
    MovePointer(releaseX, releaseY);
    SetButton(false);
}

void PressKey(const char* keysym, bool control) {
    Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
    const KeyCode key = XKeysymToKeycode(display, XStringToKeysym(keysym));
    const KeyCode ctrl = XKeysymToKeycode(display, XK_Control_L);
    if (control) XTestFakeKeyEvent(display, ctrl, True, CurrentTime);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    if (control) XTestFakeKeyEvent(display, ctrl, False, CurrentTime);
    XSync(display, False);
}

}  // namespace tg::test
