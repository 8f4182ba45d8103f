#include "platform/gtk/GtkStartEnvironment.h"

#include <gio/gio.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/gtk/GtkLauncher.h"

namespace tg {
namespace {

namespace fs = std::filesystem;
using Value = std::optional<std::string>;

// A variable as the user's environment has it (nullopt: not there), for one scope.
class UserVariable {
 public:
    UserVariable(const char* name, const Value& value) : m_name(name) {
        if (const char* old = g_getenv(name)) m_old = old;
        Set(value);
    }
    ~UserVariable() { Set(m_old); }
    UserVariable(const UserVariable&) = delete;
    UserVariable& operator=(const UserVariable&) = delete;

 private:
    void Set(const Value& value) const {
        if (value) g_setenv(m_name, value->c_str(), TRUE);
        else g_unsetenv(m_name);
    }
    const char* m_name;
    Value m_old;
};

Value In(gchar** environment, const char* name) {
    const gchar* value = g_environ_getenv(environment, name);
    return value ? Value(value) : std::nullopt;
}

// GL off, and the plain theme the main window starts under.
TEST(GtkStartEnvironment, SetsItsSwitchesOnlyWhereTheUserSaidNothing) {
    struct Case {
        const char* name;
        Value user;
        std::string seen;
        bool added;
    };
    const Case cases[] = {
        {"GDK_GL", std::nullopt, "disable", true},
        {"GDK_GL", "", "", false},  // named but empty: GDK's own default, as the user asked
        {"GDK_GL", "always", "always", false},
        {"GDK_GL", "disable", "disable", false},
        {"GTK_THEME", std::nullopt, "TideGaugePlain", true},
        {"GTK_THEME", "", "", false},
        {"GTK_THEME", "Adwaita:dark", "Adwaita:dark", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " was " + c.user.value_or("(none)"));
        const UserVariable gl("GDK_GL", "always"), theme("GTK_THEME", "Adwaita");
        const UserVariable user(c.name, c.user);
        GtkStartEnvironment environment;
        environment.Prepare();
        EXPECT_STREQ(g_getenv(c.name), c.seen.c_str());
        EXPECT_EQ(environment.Added(), c.added ? std::vector<std::string>{c.name} : std::vector<std::string>{});
    }
}

TEST(GtkStartEnvironment, ProgramsWeStartGetTheUsersOwnEnvironment) {
    for (const Value& user : {Value(), Value("always")}) {
        const UserVariable set("GDK_GL", user);
        g_setenv("TG_A_USER_VARIABLE", "kept", TRUE);
        GtkStartEnvironment environment;
        environment.Prepare();

        g_auto(GStrv) spawned = environment.ChildEnvironment();
        EXPECT_EQ(In(spawned, "GDK_GL"), user);
        EXPECT_EQ(In(spawned, "TG_A_USER_VARIABLE"), "kept");

        g_autoptr(GAppLaunchContext) context = g_app_launch_context_new();
        environment.Scrub(context);
        g_auto(GStrv) launched = g_app_launch_context_get_environment(context);
        EXPECT_EQ(In(launched, "GDK_GL"), user);
        EXPECT_EQ(In(launched, "TG_A_USER_VARIABLE"), "kept");
        g_unsetenv("TG_A_USER_VARIABLE");
    }
}

// The restarted program: the switches it set itself are gone before anything it starts could see
// them, and only those.
TEST(GtkStartEnvironment, TheRestartedProgramDropsTheSwitchesItSet) {
    char program[] = "tidegauge";
    char* argv[] = {program, nullptr};
    g_setenv("G_SLICE", "always-malloc", TRUE);
    g_setenv("GLIBC_TUNABLES", "glibc.pthread.stack_cache_size=0", TRUE);
    g_setenv("TG_A_USER_VARIABLE", "kept", TRUE);
    g_setenv("TIDEGAUGE_RESTARTED", "G_SLICE,GLIBC_TUNABLES", TRUE);
    GtkStartEnvironment::RestartWithLeanMemory(argv);
    EXPECT_EQ(g_getenv("G_SLICE"), nullptr);
    EXPECT_EQ(g_getenv("GLIBC_TUNABLES"), nullptr);
    EXPECT_EQ(g_getenv("TIDEGAUGE_RESTARTED"), nullptr);
    EXPECT_STREQ(g_getenv("TG_A_USER_VARIABLE"), "kept");
    g_unsetenv("TG_A_USER_VARIABLE");
}

// The options dialog's link through GIO to the desktop's browser, a real program here that writes
// down the address it was given and the GDK_GL it found.
class GtkLauncherTest : public ::testing::Test {
 protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/tg-launcher-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        // Before GIO first reads them: it keeps what it found for the life of the process.
        g_setenv("XDG_DATA_HOME", (dir / "data").c_str(), TRUE);
        g_setenv("XDG_DATA_DIRS", (dir / "none").c_str(), TRUE);
        g_setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), TRUE);
        g_setenv("XDG_CONFIG_DIRS", (dir / "none").c_str(), TRUE);
        fs::create_directories(dir / "data/applications");
        fs::create_directories(dir / "config");
        const fs::path browser = dir / "browser";
        std::ofstream(browser) << "#!/bin/sh\nprintf '%s GDK_GL=%s\\n' \"$1\" \"${GDK_GL-unset}\" >>'"
                               << (dir / "opened").string() << "'\n";
        fs::permissions(browser, fs::perms::owner_all);
        std::ofstream(dir / "data/applications/tg-test-browser.desktop")
            << "[Desktop Entry]\nType=Application\nName=Test browser\nExec=" << browser.string()
            << " %u\nMimeType=x-scheme-handler/https;\n";
        std::ofstream(dir / "config/mimeapps.list")
            << "[Default Applications]\nx-scheme-handler/https=tg-test-browser.desktop\n";
    }
    static void TearDownTestSuite() { fs::remove_all(dir); }

    // What the browser wrote, once it wrote `count` lines or 10 s passed.
    static std::vector<std::string> Opened(std::size_t count) {
        std::vector<std::string> lines;
        for (int i = 0; i < 100 && lines.size() < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            lines.clear();
            std::ifstream in(dir / "opened");
            for (std::string line; std::getline(in, line);) lines.push_back(line);
        }
        return lines;
    }

    static inline fs::path dir;
};

TEST_F(GtkLauncherTest, TheBrowserGetsTheUsersEnvironmentNotOurs) {
    for (const Value& user : {Value(), Value("always")}) {
        const UserVariable set("GDK_GL", user);
        GtkStartEnvironment environment;
        environment.Prepare();
        ASSERT_NE(g_getenv("GDK_GL"), nullptr);
        GtkLauncher(environment).OpenAddress("https://example.invalid/" + user.value_or("none"));
    }
    EXPECT_THAT(Opened(2), ::testing::UnorderedElementsAre("https://example.invalid/none GDK_GL=unset",
                                                           "https://example.invalid/always GDK_GL=always"));
}

}  // namespace
}  // namespace tg
