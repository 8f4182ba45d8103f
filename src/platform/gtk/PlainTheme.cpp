#include "platform/gtk/PlainTheme.h"

#include <gtk/gtk.h>
#include <malloc.h>

// Made by glib-compile-resources from theme/plain.gresource.xml.
void tg_plain_theme_register_resource();

namespace tg {

namespace {

constexpr const char* kPlainTheme = "TideGaugePlain";

// Process-wide, as GTK's settings are.
struct State {
    bool ours = false;  // the user named no theme, so which one is used is ours to say
    int holders = 0;    // the DesktopTheme objects alive
    guint trim = 0;     // the idle call that gives the freed pages back
};

State& Shared() {
    static State state;
    return state;
}

// GTK_THEME overrides every setting whenever GTK loads a theme, and an empty one counts as none.
// Replacing the value rather than removing it keeps the environment safe for GLib's threads,
// which may read it meanwhile. Setting the theme's property instead would cost more than the
// plain theme saves: GTK then keeps a second set of parsed defaults.
void Load(const char* theme) {
    g_setenv("GTK_THEME", theme, TRUE);
    g_object_notify(G_OBJECT(gtk_settings_get_default()), "gtk-theme-name");
}

// The theme's blocks lie among others in the heap; malloc gives whole free pages back only when asked.
gboolean Trim(gpointer /*unused*/) {
    Shared().trim = 0;
    malloc_trim(0);
    return G_SOURCE_REMOVE;
}

}  // namespace

// GTK loads a theme when its settings are first made, with the first widget: with GTK_THEME set
// before then, the desktop's theme is not parsed at all.
bool StartWithPlainTheme() {
    if (g_getenv("GTK_THEME") != nullptr) return false;
    if (!Shared().ours) tg_plain_theme_register_resource();
    g_setenv("GTK_THEME", kPlainTheme, TRUE);
    Shared().ours = true;
    return true;
}

// What the desktop says (its settings daemon, settings.ini or GTK's default); GTK restyles
// whatever exists under it.
DesktopTheme::DesktopTheme() {
    State& state = Shared();
    if (state.holders++ == 0 && state.ours) Load("");
}

DesktopTheme::~DesktopTheme() {
    State& state = Shared();
    if (--state.holders > 0 || !state.ours) return;
    Load(kPlainTheme);
    if (state.trim == 0) state.trim = g_idle_add_full(G_PRIORITY_LOW, Trim, nullptr, nullptr);
}

}  // namespace tg
