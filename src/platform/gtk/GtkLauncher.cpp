#include "platform/gtk/GtkLauncher.h"

#include <gtk/gtk.h>

#include <array>
#include <string>

#include "platform/gtk/GObjectPtr.h"

namespace tg {

namespace {

// Desktops without a registered handler for web addresses often still have xdg-open, which knows
// $BROWSER and each desktop's own way of opening one.
bool SpawnXdgOpen(const std::string& address, gchar** environment, GError** error) {
    const std::array<const gchar*, 3> argv = {"xdg-open", address.c_str(), nullptr};
    return g_spawn_async(nullptr, const_cast<gchar**>(argv.data()), environment,
                         static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                                  G_SPAWN_STDERR_TO_DEV_NULL),
                         nullptr, nullptr, nullptr, error);
}

}  // namespace

void GtkLauncher::OpenAddress(std::string_view address) {
    const std::string uri(address);
    GdkDisplay* display = gdk_display_get_default();
    // The launch context carries the display, the startup notification and the environment to the browser.
    const GObjectPtr<GAppLaunchContext> context(display ? G_APP_LAUNCH_CONTEXT(gdk_display_get_app_launch_context(display))
                                                        : g_app_launch_context_new());
    m_environment.Scrub(context.get());
    g_autoptr(GError) error = nullptr;
    if (g_app_info_launch_default_for_uri(uri.c_str(), context.get(), &error)) return;
    g_auto(GStrv) environment = m_environment.ChildEnvironment();
    g_autoptr(GError) spawnError = nullptr;
    if (!SpawnXdgOpen(uri, environment, &spawnError))
        g_message("cannot open %s: %s; %s", uri.c_str(), error->message, spawnError->message);
}

}  // namespace tg
