#include "platform/gtk/GtkStartEnvironment.h"

namespace tg {

void GtkStartEnvironment::Prepare() {
    // On X11, GDK opens a GL connection at start-up only to find visuals for GL drawing, which the
    // monitor never does: it draws with cairo into image surfaces. With Mesa that connection loads
    // the driver and its shader compiler, whose relocated pages were most of the program's private
    // memory (about 11 of 16 MiB).
    if (g_getenv("GDK_GL") == nullptr && g_setenv("GDK_GL", "disable", FALSE)) m_added.emplace_back("GDK_GL");
}

void GtkStartEnvironment::Scrub(GAppLaunchContext* context) const {
    for (const std::string& name : m_added) g_app_launch_context_unsetenv(context, name.c_str());
}

gchar** GtkStartEnvironment::ChildEnvironment() const {
    gchar** environment = g_get_environ();
    for (const std::string& name : m_added) environment = g_environ_unsetenv(environment, name.c_str());
    return environment;
}

}  // namespace tg
