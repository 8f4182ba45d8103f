#include "platform/gtk/PlainTheme.h"

// Made by glib-compile-resources from theme/plain.gresource.xml.
void tg_plain_theme_register_resource();

namespace tg {

namespace {

constexpr const char* kPlainTheme = "TideGaugePlain";

// Process-wide, as GTK's settings are: whether the plain theme is the one GTK has loaded.
bool& Plain() {
    static bool plain = false;
    return plain;
}

}  // namespace

// GTK loads a theme when its settings are first made, with the first widget, and GTK_THEME
// overrides every setting then: with it the desktop's theme is not parsed at all.
bool StartWithPlainTheme() {
    if (g_getenv("GTK_THEME") != nullptr) return false;
    if (!Plain()) tg_plain_theme_register_resource();
    g_setenv("GTK_THEME", kPlainTheme, TRUE);
    Plain() = true;
    return true;
}

// An empty GTK_THEME counts as none, so the desktop's settings decide (its settings daemon,
// settings.ini or GTK's default), and GTK restyles whatever exists. Replacing the value rather than
// removing it keeps the environment safe for GLib's threads, which may read it meanwhile. Naming
// the theme in GTK's setting instead would cost more than the plain theme saves, and going back to
// the plain theme after a dialog gave back little, cost a reload at every menu and leaked in GTK.
void UseDesktopTheme() {
    if (!Plain()) return;
    Plain() = false;
    g_setenv("GTK_THEME", "", TRUE);
    g_object_notify(G_OBJECT(gtk_settings_get_default()), "gtk-theme-name");
}

GtkWidget* NewDialog() {
    UseDesktopTheme();
    return GTK_WIDGET(g_object_new(GTK_TYPE_DIALOG, "use-header-bar", FALSE, nullptr));
}

}  // namespace tg
