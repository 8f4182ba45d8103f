#include "platform/gtk/GtkStartEnvironment.h"

#include <unistd.h>

#include "platform/gtk/PlainTheme.h"

namespace tg {

namespace {

// Set beside G_SLICE by the restart, so the restarted program knows the switch is its own.
constexpr const char* kRestarted = "TIDEGAUGE_PLAIN_MALLOC";

void ForgetPlainMalloc() {
    g_unsetenv(kRestarted);
    g_unsetenv("G_SLICE");
}

}  // namespace

void GtkStartEnvironment::RestartWithPlainMalloc(char** argv) {
    if (g_getenv(kRestarted) != nullptr) return ForgetPlainMalloc();
    // From 2.76 on, GLib's slices are plain malloc blocks already; a user's G_SLICE is theirs.
    if (glib_check_version(2, 76, 0) == nullptr || g_getenv("G_SLICE") != nullptr) return;
    g_setenv("G_SLICE", "always-malloc", TRUE);
    g_setenv(kRestarted, "1", TRUE);
    // By its own path, not /proc/self/exe: the kernel names the process after the file it ran.
    g_autofree gchar* self = g_file_read_link("/proc/self/exe", nullptr);
    if (self != nullptr) execv(self, argv);
    ForgetPlainMalloc();
}

void GtkStartEnvironment::Prepare() {
    // On X11, GDK opens a GL connection at start-up only to find visuals for GL drawing, which the
    // monitor never does: it draws with cairo into image surfaces. With Mesa that connection loads
    // the driver and its shader compiler, whose relocated pages were most of the program's private
    // memory (about 11 of 16 MiB).
    if (g_getenv("GDK_GL") == nullptr && g_setenv("GDK_GL", "disable", FALSE)) m_added.emplace_back("GDK_GL");
    if (StartWithPlainTheme()) m_added.emplace_back("GTK_THEME");
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
