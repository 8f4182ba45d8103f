// The tests' own header comes first: Xlib's macros must not reach the others.
#include "XServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>

#include <vector>

namespace tg::test {

namespace {

Display* XDisplay() { return GDK_DISPLAY_XDISPLAY(gdk_display_get_default()); }

}  // namespace

// GDK reads the pointer through the input extension and drops core events sent to a window, so
// the pointer is moved and pressed at the server as a user's would be.
void MovePointer(int x, int y) {
    XTestFakeMotionEvent(XDisplay(), -1, x, y, CurrentTime);
    XSync(XDisplay(), False);
}

void SetButton(bool down, int button) {
    XTestFakeButtonEvent(XDisplay(), static_cast<unsigned>(button), down ? True : False, CurrentTime);
    XSync(XDisplay(), False);
}

void PressKey(const char* keysym, const char* modifier) {
    Display* display = XDisplay();
    const KeyCode key = XKeysymToKeycode(display, XStringToKeysym(keysym));
    const KeyCode held = modifier ? XKeysymToKeycode(display, XStringToKeysym(modifier)) : 0;
    if (held) XTestFakeKeyEvent(display, held, True, CurrentTime);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    if (held) XTestFakeKeyEvent(display, held, False, CurrentTime);
    XSync(display, False);
}

PixelRect ServerGeometry(GdkWindow* toplevel) {
    ::Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    if (!XGetGeometry(XDisplay(), GDK_WINDOW_XID(toplevel), &root, &x, &y, &w, &h, &border, &depth)) return {};
    XTranslateCoordinates(XDisplay(), GDK_WINDOW_XID(toplevel), root, 0, 0, &x, &y, &child);
    return {x, y, static_cast<std::int32_t>(w), static_cast<std::int32_t>(h)};
}

int StackingIndex(GdkWindow* toplevel) {
    if (!toplevel) return -1;
    Display* display = XDisplay();
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

namespace {

// The longs of a 32-bit property, as Xlib hands them over.
std::vector<unsigned long> Longs(GdkWindow* toplevel, const char* name, Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(XDisplay(), GDK_WINDOW_XID(toplevel), XInternAtom(XDisplay(), name, False), 0, 64, False,
                           type, &actual, &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        values.assign(longs, longs + count);
    }
    if (data) XFree(data);
    return values;
}

}  // namespace

std::optional<unsigned long> CardinalProperty(GdkWindow* toplevel, const char* name) {
    const std::vector<unsigned long> values = Longs(toplevel, name, XA_CARDINAL);
    if (values.empty()) return std::nullopt;
    return values.front() & 0xFFFFFFFFUL;
}

void SendCloseRequest(GdkWindow* toplevel) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = GDK_WINDOW_XID(toplevel);
    event.xclient.message_type = XInternAtom(XDisplay(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(XDisplay(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(XDisplay(), GDK_WINDOW_XID(toplevel), False, NoEventMask, &event);
    XSync(XDisplay(), False);
}

}  // namespace tg::test
