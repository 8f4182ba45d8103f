// What only the Linux desktop offers the program, against real services on the test's own X server
// and session bus (run under with-xvfb.sh and dbus-run-session): the icon as a StatusNotifierItem
// registered with a watcher the test plays, as a panel would; notifications shown by a real daemon;
// the full-screen check under a real window manager; the desktop's theme. Each test starts and ends
// what it needs.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <glib/gstdio.h>
#include <sys/wait.h>

#include <csignal>
#include <map>
#include <string>
#include <vector>

#include "GtkTestSupport.h"
#include "mainwindow/MenuTree.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/GtkNotifier.h"
#include "platform/gtk/GtkNotifyIcon.h"
#include "platform/gtk/GtkUsageDialog.h"

namespace tg {
namespace {

using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(5000);
    }
    return true;
}

// A process of the test's own, ended with the test whichever way it ends.
class Child {
 public:
    explicit Child(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        g_autoptr(GError) error = nullptr;
        const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD |
                                                    G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL);
        if (!g_spawn_async(nullptr, argv.data(), nullptr, flags, nullptr, nullptr, &m_pid, &error))
            ADD_FAILURE() << args[0] << ": " << error->message;
    }
    ~Child() {
        if (!m_pid) return;
        kill(m_pid, SIGCONT);
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        g_spawn_close_pid(m_pid);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    void Signal(int signal) const { kill(m_pid, signal); }

 private:
    GPid m_pid = 0;
};

std::string Output(const std::string& command) {
    g_autofree gchar* out = nullptr;
    g_spawn_command_line_sync(command.c_str(), &out, nullptr, nullptr, nullptr);
    return out ? out : "";
}

// The test's own connection to the bus, apart from the program's, as a panel's would be. Calls go
// out asynchronously: the program answers from this same thread's loop.
class Bus {
 public:
    Bus()
        : m_bus(g_dbus_connection_new_for_address_sync(
              g_getenv("DBUS_SESSION_BUS_ADDRESS"),
              static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
              nullptr, nullptr, nullptr)) {}
    GDBusConnection* get() const { return m_bus.get(); }

    GVariant* Call(const std::string& to, const std::string& path, const char* interface, const char* method,
                   GVariant* arguments) const {
        struct Reply {
            GVariant* value = nullptr;
            bool done = false;
        } reply;
        g_dbus_connection_call(
            get(), to.c_str(), path.c_str(), interface, method, arguments, nullptr, G_DBUS_CALL_FLAGS_NONE, 2000,
            nullptr,
            [](GObject* bus, GAsyncResult* result, gpointer r) {
                auto* out = static_cast<Reply*>(r);
                out->value = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, nullptr);
                out->done = true;
            },
            &reply);
        WaitFor([&] { return reply.done; });
        return reply.value;
    }
    bool Owned(const char* name) const {
        g_autoptr(GVariant) reply = Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                         "NameHasOwner", g_variant_new("(s)", name));
        gboolean owned = FALSE;
        if (reply) g_variant_get(reply, "(b)", &owned);
        return owned;
    }
    std::map<std::string, GVariant*> Properties(const std::string& to, const std::string& path) const {
        std::map<std::string, GVariant*> properties;
        g_autoptr(GVariant) reply = Call(to, path, "org.freedesktop.DBus.Properties", "GetAll",
                                         g_variant_new("(s)", "org.kde.StatusNotifierItem"));
        if (!reply) return properties;
        g_autoptr(GVariant) all = g_variant_get_child_value(reply, 0);
        GVariantIter iter;
        g_variant_iter_init(&iter, all);
        const gchar* name = nullptr;
        GVariant* value = nullptr;
        while (g_variant_iter_next(&iter, "{&sv}", &name, &value)) properties[name] = value;
        return properties;
    }
    std::string Text(const std::string& to, const std::string& path, const char* property) const {
        auto properties = Properties(to, path);
        std::string text;
        for (auto& [name, value] : properties) {
            if (name == property) text = g_variant_get_string(value, nullptr);
            g_variant_unref(value);
        }
        return text;
    }

 private:
    GObjectPtr<GDBusConnection> m_bus;
};

// A StatusNotifierWatcher as a panel runs it, keeping the last item that registered.
class Watcher {
 public:
    explicit Watcher(const Bus& bus) : m_bus(bus) {
        g_autoptr(GDBusNodeInfo) node = g_dbus_node_info_new_for_xml(
            "<node><interface name='org.kde.StatusNotifierWatcher'><method name='RegisterStatusNotifierItem'>"
            "<arg type='s' direction='in'/></method></interface></node>",
            nullptr);
        static const GDBusInterfaceVTable kTable = {OnCall, nullptr, nullptr, {}};
        m_object = g_dbus_connection_register_object(bus.get(), "/StatusNotifierWatcher", node->interfaces[0], &kTable,
                                                     this, nullptr, nullptr);
        m_name = g_bus_own_name_on_connection(bus.get(), "org.kde.StatusNotifierWatcher", G_BUS_NAME_OWNER_FLAGS_NONE,
                                              nullptr, nullptr, nullptr, nullptr);
        EXPECT_TRUE(WaitFor([&] { return bus.Owned("org.kde.StatusNotifierWatcher"); }));
    }
    ~Watcher() {
        g_bus_unown_name(m_name);
        g_dbus_connection_unregister_object(m_bus.get(), m_object);
        WaitFor([&] { return !m_bus.Owned("org.kde.StatusNotifierWatcher"); });
    }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    std::string service, path;

 private:
    static void OnCall(GDBusConnection* /*bus*/, const gchar* sender, const gchar* /*path*/,
                       const gchar* /*interface*/, const gchar* /*method*/, GVariant* arguments,
                       GDBusMethodInvocation* invocation, gpointer self) {
        auto* watcher = static_cast<Watcher*>(self);
        const gchar* item = nullptr;
        g_variant_get(arguments, "(&s)", &item);
        watcher->service = sender;
        watcher->path = item;
        g_dbus_method_invocation_return_value(invocation, nullptr);
    }

    const Bus& m_bus;
    guint m_object = 0, m_name = 0;
};

class NotifyIconTest : public ::testing::Test {
 protected:
    Bus bus;
    std::vector<MenuItem> picked;
    ContextMenu menu{[this](MenuItem item) { picked.push_back(item); }, [](std::size_t) {}};
    GtkNotifyIcon icon{menu};
};

TEST_F(NotifyIconTest, ANotificationAreaIsThereWhileAWatcherOwnsItsName) {
    EXPECT_FALSE(icon.Available()) << "no watcher yet";
    {
        const Watcher watcher(bus);
        EXPECT_TRUE(WaitFor([&] { return icon.Available(); }));
    }
    EXPECT_TRUE(WaitFor([&] { return !icon.Available(); })) << "the watcher went";
    const Watcher watcher(bus);
    GtkNotifyIcon late{menu};
    EXPECT_TRUE(late.Available()) << "a watcher that was there before the first question";
}

TEST_F(NotifyIconTest, TheItemRegistersAndShowsItsStatusTextsIconAndMenu) {
    Watcher watcher(bus);
    icon.SetText("D: 1.20 MB/s\nU: 3.00 KB/s", "\xE2\x86\x93" "1.20M \xE2\x86\x91" "3.00K");
    icon.Show(true);
    ASSERT_TRUE(WaitFor([&] { return !watcher.path.empty(); })) << "never registered";
    const auto text = [&](const char* property) { return bus.Text(watcher.service, watcher.path, property); };
    EXPECT_EQ(text("Status"), "Active");
    EXPECT_EQ(text("Title"), "D: 1.20 MB/s\nU: 3.00 KB/s");
    EXPECT_EQ(text("XAyatanaLabel"), "\xE2\x86\x93" "1.20M \xE2\x86\x91" "3.00K");
    EXPECT_EQ(text("IconName"), "tidegauge");
    const std::string folder = text("IconThemePath");
    EXPECT_TRUE(g_file_test((folder + "/hicolor/22x22/apps/tidegauge.png").c_str(), G_FILE_TEST_EXISTS)) << folder;

    icon.SetText("D: 0 B/s", "\xE2\x86\x93" "0");
    EXPECT_TRUE(WaitFor([&] { return text("Title") == "D: 0 B/s" && text("XAyatanaLabel") == "\xE2\x86\x93" "0"; }));
    icon.Show(false);
    EXPECT_TRUE(WaitFor([&] { return text("Status") == "Passive"; }));
}

// A left click (Activate), and a middle click (SecondaryActivate, and the library's own name
// for it), each reach the program as a click on the icon.
TEST_F(NotifyIconTest, EachActivationIsAClickOfTheIcon) {
    Watcher watcher(bus);
    int clicks = 0;
    icon.Attach([&] { ++clicks; });
    icon.Show(true);
    ASSERT_TRUE(WaitFor([&] { return !watcher.path.empty(); }));
    const struct {
        const char* method;
        GVariant* (*arguments)();
    } calls[] = {{"Activate", [] { return g_variant_new("(ii)", 10, 20); }},
                 {"SecondaryActivate", [] { return g_variant_new("(ii)", 10, 20); }},
                 {"XAyatanaSecondaryActivate", [] { return g_variant_new("(u)", 0u); }}};
    for (const auto& c : calls) {
        const int before = clicks;
        g_autoptr(GVariant) reply =
            bus.Call(watcher.service, watcher.path, "org.kde.StatusNotifierItem", c.method, c.arguments());
        EXPECT_TRUE(reply) << c.method << " answered";
        EXPECT_TRUE(WaitFor([&] { return clicks == before + 1; })) << c.method;
    }
}

// dunst on the test's display and bus; its history lists what it showed once it is closed.
TEST(NotifierTest, ADaemonShowsTheNoticeAndTheCallerNeverWaitsForIt) {
    const Bus bus;
    g_autofree gchar* config = g_build_filename(g_get_tmp_dir(), "tidegauge-dunstrc", nullptr);
    ASSERT_TRUE(g_file_set_contents(config, "", 0, nullptr));
    const Child dunst({"dunst", "-config", config});
    ASSERT_TRUE(WaitFor([&] { return bus.Owned("org.freedesktop.Notifications"); }, 5s));
    GtkNotifier notifier;
    const std::string texts[] = {"\xE6\x9C\xAC\xE6\x9C\x9F 8.00 GB / 10 GB", "\xE6\x9C\xAC\xE6\x9C\x9F 10.0 GB / 10 GB"};
    dunst.Signal(SIGSTOP);  // a daemon that does not answer for now
    for (const std::string& text : texts) {
        const auto start = std::chrono::steady_clock::now();
        notifier.Notify("TideGauge", text);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms) << "the caller waited";
    }
    dunst.Signal(SIGCONT);
    EXPECT_TRUE(WaitFor([] { return Output("dunstctl count displayed") == "2\n"; }, 5s))
        << Output("dunstctl count");
    Output("dunstctl close-all");
    const std::string history = Output("dunstctl history");
    for (const std::string& text : texts) EXPECT_NE(history.find(text), std::string::npos) << history;
    g_unlink(config);
}

// openbox on the test's display; the other program's window is xmessage's, made full screen and
// maximised through the window manager with wmctrl.
TEST(FullScreenTest, OnlyAnotherProgramsWindowFillingTheMonitorCounts) {
    const Child openbox({"openbox", "--sm-disable"});
    // Its client list comes once it has taken over the screen: a window mapped before then was
    // once left unmanaged under load, and never listed.
    ASSERT_TRUE(WaitFor([] { return Output("xprop -root _NET_CLIENT_LIST").find("window id") != std::string::npos; },
                        20s));
    const Child other({"xmessage", "-geometry", "300x100+50+50", "-title", "tidegauge-other", "other"});
    GtkDesktop desktop;
    const PixelRect mainWindow{1672, 880, 181, 91};
    const auto wm = [](const char* state) { Output(std::string("wmctrl -r tidegauge-other -b ") + state); };
    // Twice it took more than 5 s while clang-tidy ran beside the test.
    ASSERT_TRUE(WaitFor([] { return Output("wmctrl -l").find("tidegauge-other") != std::string::npos; }, 20s));
    Output("wmctrl -a tidegauge-other");
    const struct {
        const char* state;  // what the window manager is asked, none for nothing
        bool covered;
    } cases[] = {{nullptr, false},
                 {"add,fullscreen", true},
                 {"remove,fullscreen", false},
                 {"add,maximized_vert,maximized_horz", false},
                 {"remove,maximized_vert,maximized_horz", false}};
    for (const auto& c : cases) {
        if (c.state) wm(c.state);
        EXPECT_TRUE(WaitFor([&] { return desktop.FullScreenActive(mainWindow) == c.covered; }))
            << (c.state ? c.state : "as it opened");
    }
    wm("add,fullscreen");
    ASSERT_TRUE(WaitFor([&] { return desktop.FullScreenActive(mainWindow); }));
    const OwnedWidget ours = OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_window_fullscreen(GTK_WINDOW(ours.get()));
    gtk_widget_show(ours.get());
    gtk_window_present(GTK_WINDOW(ours.get()));
    EXPECT_TRUE(WaitFor([&] { return !desktop.FullScreenActive(mainWindow); })) << "our own full-screen window";
}

// A button's padding comes only from a theme's rules; the plain theme has none. No other test of this
// program shows a menu, tooltip or dialog, so the theme is still the one it started with.
bool DesktopThemeLoaded() {
    const OwnedWidget button = OwnWidget(gtk_button_new());
    GtkBorder padding{};
    gtk_style_context_get_padding(gtk_widget_get_style_context(button.get()), GTK_STATE_FLAG_NORMAL, &padding);
    return padding.left > 0;
}

TEST(PlainThemeTest, TheDesktopsThemeComesWithTheFirstDialogAndStays) {
    const OwnedWidget window = OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    EXPECT_FALSE(DesktopThemeLoaded()) << "a window of the program's own";
    const GtkDesktop desktop;
    { const GtkUsageDialog dialog(GTK_WINDOW(window.get()), desktop); }
    EXPECT_TRUE(DesktopThemeLoaded());
}

}  // namespace
}  // namespace tg
