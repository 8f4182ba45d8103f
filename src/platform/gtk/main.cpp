// tidegauge on Linux: GTK's environment, the Linux OS adapters and the GTK front end, started by
// the program's one start-up sequence.
#include <gtk/gtk.h>

#include <malloc.h>

#include <cstdio>

#include "common/AppTitle.h"
#include "mainwindow/Program.h"
#include "platform/gtk/GtkFrontEnd.h"
#include "platform/gtk/GtkStartEnvironment.h"
#include "platform/linux/KeyFileSettings.h"
#include "platform/linux/XdgRegistry.h"
#include "ports/SystemStores.h"
#include "ports/SystemTableSource.h"

int main(int argc, char** argv) {
    tg::GtkStartEnvironment::RestartWithLeanMemory(argv);
    // GLib's helper threads (D-Bus, its worker) allocate little and seldom, but an arena of their
    // own would keep a heap's worth of pages: they share the main thread's.
    mallopt(M_ARENA_MAX, 1);
    // The window places itself, which Wayland does not allow; XWayland does.
    gdk_set_allowed_backends("x11");
    g_set_prgname("tidegauge");
    tg::GtkStartEnvironment environment;
    environment.Prepare();
    if (!gtk_init_check(&argc, &argv)) {
        (void)std::fprintf(stderr, "tidegauge: cannot open the X display (is DISPLAY set?)\n");
        return 1;
    }
    g_set_application_name(tg::kAppTitle);

    const auto table = tg::MakeSystemTableSource();
    tg::KeyFileSettings settings;
    const auto usage = tg::MakeUserUsageStore();
    tg::XdgRegistry registry;
    tg::GtkFrontEnd frontEnd(environment, registry, tg::RunningProgramPath());
    return tg::RunProgram({*table, settings, *usage}, frontEnd);
}
