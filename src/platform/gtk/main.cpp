// tidegauge on Linux: the real ports, the GTK window, frmMain, and GTK's main loop.
#include <gtk/gtk.h>

#include <malloc.h>

#include <cstdio>

#include "mainwindow/frmMain.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/GtkLauncher.h"
#include "platform/gtk/GtkMainWindow.h"
#include "platform/gtk/GtkMessageBox.h"
#include "platform/gtk/GtkStartEnvironment.h"
#include "platform/gtk/GtkOptionsHost.h"
#include "platform/linux/KeyFileSettings.h"
#include "platform/gtk/GtkUsageHost.h"
#include "platform/linux/XdgRegistry.h"
#include "ports/SystemStores.h"
#include "ports/SystemTableSource.h"

int main(int argc, char** argv) {
    tg::GtkStartEnvironment::RestartWithPlainMalloc(argv);
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
    tg::InstallAppIcon();

    const auto table = tg::MakeSystemTableSource();
    tg::KeyFileSettings settings;
    tg::SteadyClock clock;
    tg::GtkDesktop desktop;
    tg::GtkMainWindow window(desktop);
    tg::GtkMessageBox messages(window.Window());
    tg::XdgRegistry registry;
    tg::GtkLauncher launcher(environment);
    tg::GtkOptionsHost options(window.Window(), desktop, {registry, launcher, tg::RunningProgramPath()});
    const auto usageStore = tg::MakeUserUsageStore();
    tg::SystemCalendar calendar;
    tg::UsageRecorder usage(*usageStore, calendar, clock, tg::ReportOnStandardError);
    tg::GtkUsageHost usageDialog(window.Window(), desktop);
    tg::frmMain form({window, window.Picture(), desktop, messages, settings, *table, clock, options, &usage, &usageDialog});
    window.Attach(form);

    form.Form_Initialize();
    form.Form_Load();
    // Start-up frees most of what it allocates (the theme's style sheet is parsed through
    // temporary trees), but the freed pages lie between live blocks, where malloc keeps them.
    // Once the first frames are drawn they go back to the system.
    g_idle_add_full(G_PRIORITY_LOW, [](gpointer) { malloc_trim(0); return G_SOURCE_REMOVE; }, nullptr, nullptr);
    gtk_main();
    return 0;
}
