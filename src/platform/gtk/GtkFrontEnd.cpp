#include "platform/gtk/GtkFrontEnd.h"

#include <malloc.h>

#include <utility>

#include "mainwindow/frmMain.h"

namespace tg {

GtkFrontEnd::GtkFrontEnd(const GtkStartEnvironment& environment, RegistryApi& registry, std::string programPath)
    : m_window(m_desktop),
      m_messages(m_window.Window()),
      m_launcher(environment),
      m_options(m_window.Window(), m_desktop, {registry, m_launcher, std::move(programPath)}),
      m_usage(m_window.Window(), m_desktop),
      m_icon(m_window.Menu()) {}

void GtkFrontEnd::Attach(frmMain& form) {
    m_window.Attach(form);
    m_icon.Attach([&form] { form.NotifyIcon_Click(); });
}

int GtkFrontEnd::RunMessageLoop() {
    // Start-up frees most of what it allocates (the theme's style sheet is parsed through
    // temporary trees), but the freed pages lie between live blocks, where malloc keeps them.
    // Once the first frames are drawn they go back to the system.
    g_idle_add_full(G_PRIORITY_LOW, [](gpointer) { malloc_trim(0); return G_SOURCE_REMOVE; }, nullptr, nullptr);
    gtk_main();
    return 0;
}

}  // namespace tg
