#include "platform/gtk/GtkNotifyIcon.h"

#include <gtk/gtk.h>

#include <array>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/gtk/AppIcon.h"
#include "platform/gtk/OnDemandLibraries.h"

namespace tg {

namespace {

constexpr const char* kWatcher = "org.kde.StatusNotifierWatcher";
constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kItemId = "tidegauge";
constexpr int kBusTimeout = 2000;  // ms; the bus daemon answers at once, or is stuck
constexpr std::array kThemeSizes = {16, 22, 24, 32, 48, 64};

// The package installs the icon in the hicolor theme. Run from its build folder the program has
// none there, so the drawn icon goes into a theme folder of the program's own, and the host is
// told to look there too (a folder of loose icons is what some hosts search, a theme others).
std::string IconFolder() {
    if (gtk_icon_theme_has_icon(gtk_icon_theme_get_default(), kAppIconName)) return {};
    const std::string folder = std::string(g_get_user_runtime_dir()) + "/tidegauge-icons";
    const std::string file = std::string("/") + kAppIconName + ".png";
    bool written = WriteAppIcon(folder + file, kThemeSizes.back(), nullptr);
    for (const int size : kThemeSizes) {
        const std::string side = std::to_string(size);
        std::string path = folder;
        path.append("/hicolor/").append(side).append("x").append(side).append("/apps").append(file);
        written = WriteAppIcon(path, size, nullptr) && written;
    }
    return written ? folder : std::string();
}

bool IsMember(GDBusMessage* message, const char* member) {
    return g_strcmp0(g_dbus_message_get_member(message), member) == 0;
}

}  // namespace

// What a click reaches on the main thread; the bus's filter runs on GDBus's own thread and only
// posts to it, and whatever it posted finds no icon once the icon has gone.
struct GtkNotifyIcon::Relay {
    std::function<void()> click;
};

GtkNotifyIcon::GtkNotifyIcon(ContextMenu& menu) : m_menu(menu), m_relay(std::make_shared<Relay>()) {}

GtkNotifyIcon::~GtkNotifyIcon() {
    m_relay->click = nullptr;
    if (m_filter) g_dbus_connection_remove_filter(m_bus.get(), m_filter);
    if (m_watch) g_bus_unwatch_name(m_watch);
}

void GtkNotifyIcon::Attach(std::function<void()> click) { m_relay->click = std::move(click); }

// Once: no session bus now means none for the program's life. The bus going away must not end
// the monitor, which GLib's shared connection would do.
bool GtkNotifyIcon::Connect() {
    if (std::exchange(m_connectTried, true)) return m_bus != nullptr;
    m_bus.reset(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    if (!m_bus) return false;
    g_dbus_connection_set_exit_on_close(m_bus.get(), FALSE);
    g_autoptr(GVariant) owned = g_dbus_connection_call_sync(
        m_bus.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        g_variant_new("(s)", kWatcher), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, kBusTimeout, nullptr, nullptr);
    if (owned) g_variant_get(owned, "(b)", &m_watcher);
    m_watch = g_bus_watch_name_on_connection(m_bus.get(), kWatcher, G_BUS_NAME_WATCHER_FLAGS_NONE, OnWatcher,
                                             OnNoWatcher, this, nullptr);
    return true;
}

// The answer is kept up to date by the watch, so asking costs nothing after the first time. With a
// tray running the indicator library is loaded here already: an icon offered without it could hide
// the main window with nothing left to bring it back.
bool GtkNotifyIcon::Available() { return Connect() && m_watcher && LoadIndicatorLibrary(); }

void GtkNotifyIcon::OnWatcher(GDBusConnection* /*bus*/, const gchar* /*name*/, const gchar* /*owner*/, gpointer self) {
    static_cast<GtkNotifyIcon*>(self)->m_watcher = true;
}

void GtkNotifyIcon::OnNoWatcher(GDBusConnection* /*bus*/, const gchar* /*name*/, gpointer self) {
    static_cast<GtkNotifyIcon*>(self)->m_watcher = false;
}

// The item registers itself with the watcher, and again whenever a watcher appears. This version
// of the library exports no ToolTip: the title stands in for it, which hosts show when there is
// none.
void GtkNotifyIcon::MakeIndicator() {
    const IndicatorLibrary* lib = LoadIndicatorLibrary();
    if (m_indicator || !lib || !Connect()) return;
    const std::string folder = IconFolder();
    m_indicator.reset(lib->newWithPath(kItemId, kAppIconName, APP_INDICATOR_CATEGORY_APPLICATION_STATUS,
                                       folder.empty() ? nullptr : folder.c_str()));
    lib->setTitle(m_indicator.get(), m_tooltip.c_str());  // none: the application's name
    lib->setLabel(m_indicator.get(), m_label.c_str(), nullptr);
    lib->setMenu(m_indicator.get(), m_menu.Widget());
    m_filter = g_dbus_connection_add_filter(m_bus.get(), FilterClicks,
                                            Give(std::make_unique<std::shared_ptr<Relay>>(m_relay)),
                                            DeleteGiven<std::shared_ptr<Relay>>);
}

void GtkNotifyIcon::Show(bool shown) {
    if (shown) MakeIndicator();
    if (!m_indicator) return;
    LoadIndicatorLibrary()->setStatus(m_indicator.get(),
                                      shown ? APP_INDICATOR_STATUS_ACTIVE : APP_INDICATOR_STATUS_PASSIVE);
}

// The library sends the host a change only when the text differs.
void GtkNotifyIcon::SetText(std::string_view tooltip, std::string_view label) {
    m_tooltip = tooltip;
    m_label = label;
    if (!m_indicator) return;
    const IndicatorLibrary* lib = LoadIndicatorLibrary();
    lib->setTitle(m_indicator.get(), m_tooltip.c_str());
    lib->setLabel(m_indicator.get(), m_label.c_str(), nullptr);
}

// This version of the library answers SecondaryActivate (a middle click, on most hosts) only by
// activating a menu item, and has no Activate (a left click) at all, so a host calling it gets an
// error and opens the menu instead. The filter sees both calls before the library does: each
// becomes a click of the icon, and Activate gets its answer here.
GDBusMessage* GtkNotifyIcon::FilterClicks(GDBusConnection* bus, GDBusMessage* message, gboolean incoming,
                                          gpointer relay) {
    if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_CALL ||
        g_strcmp0(g_dbus_message_get_path(message), kPath) != 0 ||
        g_strcmp0(g_dbus_message_get_interface(message), kItemInterface) != 0)
        return message;
    const bool activate = IsMember(message, "Activate");
    if (!activate && !IsMember(message, "SecondaryActivate") && !IsMember(message, "XAyatanaSecondaryActivate"))
        return message;
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer posted) {
            const auto& to = *static_cast<std::shared_ptr<Relay>*>(posted);
            if (to->click) to->click();
            return G_SOURCE_REMOVE;
        },
        Give(std::make_unique<std::shared_ptr<Relay>>(*static_cast<std::shared_ptr<Relay>*>(relay))),
        DeleteGiven<std::shared_ptr<Relay>>);
    if (!activate) return message;
    g_autoptr(GDBusMessage) reply = g_dbus_message_new_method_reply(message);
    g_dbus_connection_send_message(bus, reply, G_DBUS_SEND_MESSAGE_FLAGS_NONE, nullptr, nullptr);
    g_object_unref(message);
    return nullptr;
}

}  // namespace tg
