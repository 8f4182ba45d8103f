#include "platform/gtk/GtkStartEnvironment.h"

#include <unistd.h>

#include "platform/gtk/PlainTheme.h"

namespace tg {

namespace {

// Set by the restart to the switches it added, comma-separated, so the restarted program knows
// which are its own.
constexpr const char* kRestarted = "TIDEGAUGE_RESTARTED";

void ForgetRestartSwitches(const char* added) {
    g_auto(GStrv) names = g_strsplit(added, ",", -1);
    for (gchar** name = names; *name != nullptr; ++name) {
        if (**name != '\0') g_unsetenv(*name);
    }
    g_unsetenv(kRestarted);
}

}  // namespace

void GtkStartEnvironment::RestartWithLeanMemory(char** argv) {
    if (const char* added = g_getenv(kRestarted)) return ForgetRestartSwitches(added);
    std::string added;
    const auto add = [&added](const char* name, const char* value) {
        // A switch the user's environment already names is theirs.
        if (g_getenv(name) != nullptr) return;
        g_setenv(name, value, TRUE);
        added += added.empty() ? name : std::string(",") + name;
    };
    // From 2.76 on, GLib's slices are plain malloc blocks already.
    if (glib_check_version(2, 76, 0) != nullptr) add("G_SLICE", "always-malloc");
    // glibc keeps the stacks of threads that ended for the next ones, thread-local blocks and all:
    // Pango's font-matching threads, done within the first second, left about 20 KiB behind.
    add("GLIBC_TUNABLES", "glibc.pthread.stack_cache_size=0");
    if (added.empty()) return;
    g_setenv(kRestarted, added.c_str(), TRUE);
    // By its own path, not /proc/self/exe: the kernel names the process after the file it ran.
    g_autofree gchar* self = g_file_read_link("/proc/self/exe", nullptr);
    if (self != nullptr) execv(self, argv);
    ForgetRestartSwitches(added.c_str());
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
