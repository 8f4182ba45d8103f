#include "platform/linux/KeyFileSettings.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "TestFiles.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

namespace tg {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kApp = kSettingsApp;
constexpr std::string_view kSection = kSettingsSection;

using test::ReadFile;
using test::WriteFile;

// Runs `body` in a child process and gives its exit status (-1 when it did not exit normally).
template <typename Body>
int InChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class KeyFileSettingsTest : public ::testing::Test {
 protected:
    void SetUp() override {
        char pattern[] = "/tmp/tg-keyfile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        settings = std::make_unique<KeyFileSettings>(dir.string());
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path File() const { return dir / "TideGauge" / "settings.ini"; }
    std::optional<std::string> Get(std::string_view key) { return settings->Get(kApp, kSection, key); }
    void Set(std::string_view key, std::string_view text) { settings->Set(kApp, kSection, key, text); }
    std::vector<std::string> AppFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(File().parent_path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
    std::unique_ptr<KeyFileSettings> settings;
};

// ---- round trips ------------------------------------------------------------------------------

TEST_F(KeyFileSettingsTest, AnyTextReadsBackExactly) {
    const std::string texts[] = {
        "",         "512",       " lead",       "trail ",          "  both  ",     " ",           "   ",
        "a\nb",     "\r\n",      "tab\tinside", "\ttab",           "tab\t",        "back\\slash", "\\",
        "ends\\",   "\\s \\n",   "#hash",       "; semicolon",     "a=b",          "=",           "[group]",
        "潮位 配置", "naïve ü ",  "\x0b\x0c",    "%s %d \"quoted\"", "\\\\server\\x", " \n ",
        "a\f",      " \fb",      "\t\f",        "\x0b\f",
    };
    for (std::size_t i = 0; i < std::size(texts); ++i) Set("k" + std::to_string(i), texts[i]);

    KeyFileSettings other(dir.string());
    GKeyFile* plain = g_key_file_new();
    ASSERT_TRUE(g_key_file_load_from_file(plain, File().c_str(), G_KEY_FILE_NONE, nullptr));
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        const std::string key = "k" + std::to_string(i);
        EXPECT_EQ(other.Get(kApp, kSection, key), texts[i]) << '"' << texts[i] << '"';
        // Any key-file reader sees the same text: nothing private in the file's format.
        gchar* seen = g_key_file_get_string(plain, std::string(kSection).c_str(), key.c_str(), nullptr);
        EXPECT_STREQ(seen, texts[i].c_str());
        g_free(seen);
    }
    g_key_file_free(plain);
}

TEST_F(KeyFileSettingsTest, EmptyStoreRewritesAndSeparateSections) {
    for (const SettingKey& key : kSettingKeys) EXPECT_FALSE(Get(key.name)) << key.name;
    EXPECT_FALSE(fs::exists(File().parent_path())) << "reading creates nothing";
    WriteFile(File(), "");
    for (const SettingKey& key : kSettingKeys) EXPECT_FALSE(Get(key.name)) << key.name;

    for (const char* text : {"128", "-1", "2048"}) Set("kbps", text);
    EXPECT_EQ(Get("kbps"), "2048");
    const std::string file = ReadFile(File());
    EXPECT_EQ(file.find("kbps="), file.rfind("kbps=")) << file;

    settings->Set(kApp, "Other", "kbps", "7");
    settings->Set("Other app", kSection, "kbps", "9");
    EXPECT_EQ(Get("kbps"), "2048");
    EXPECT_EQ(settings->Get(kApp, "Other", "kbps"), "7");
    EXPECT_EQ(settings->Get("Other app", kSection, "kbps"), "9");
    EXPECT_FALSE(settings->Get(kApp, "other", "kbps")) << "sections are case-sensitive, as the file is";
}

TEST_F(KeyFileSettingsTest, NamesAndTextsTheFileCannotHoldAreRefused) {
    Set("kbps", "512");
    const std::string before = ReadFile(File());
    for (const char* key : {"", "a=b", "[x]", " lead", "trail ", "#c", "a\nb"}) {
        Set(key, "1");
        EXPECT_FALSE(Get(key)) << key;
    }
    for (const char* section : {"", "a]b", "a\nb"}) settings->Set(kApp, section, "kbps", "1");
    for (const char* app : {"", ".", "..", "a/b"}) settings->Set(app, kSection, "kbps", "1");
    Set("kbps", std::string("5\0" "12", 4));
    Set("kbps", "\xff\xfe");
    // Every reader drops a form feed at the start of a value, and no escape keeps it.
    Set("kbps", "\f");
    Set("kbps", "\f512");
    EXPECT_EQ(ReadFile(File()), before);
    EXPECT_EQ(Get("kbps"), "512");
    EXPECT_EQ(AppFolder(), std::vector<std::string>{"settings.ini"});
    EXPECT_FALSE(fs::exists(dir / "a"));
}

// ---- files written by others ------------------------------------------------------------------

TEST_F(KeyFileSettingsTest, GarbledFileReadsAsDefaultsAndIsKeptAsideOnWrite) {
    const std::string garbage[] = {
        std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
        "[\xE9\x85\x8D\xE7\xBD\xAE]\nkbps=512\nthis line has no equals sign\n",
        "[\xE9\x85\x8D\xE7\xBD\xAE]\nkbps=512\nx1=\xff\xfe\n",
        "kbps=512\n[\xE9\x85\x8D\xE7\xBD\xAE]\n",
    };
    std::vector<std::string> kept;
    for (std::size_t n = 0; n < std::size(garbage); ++n) {
        WriteFile(File(), garbage[n]);
        for (const SettingKey& key : kSettingKeys) EXPECT_FALSE(Get(key.name)) << n << ' ' << key.name;
        EXPECT_EQ(ReadScale(SettingsStore(*settings)), -1);
        EXPECT_EQ(ReadFile(File()), garbage[n]) << "reading moves nothing";

        Set("transpa", "200");
        kept.push_back(n == 0 ? "settings.ini.bad" : "settings.ini.bad." + std::to_string(n));
        for (std::size_t i = 0; i < kept.size(); ++i)
            EXPECT_EQ(ReadFile(File().parent_path() / kept[i]), garbage[i]) << kept[i];
        EXPECT_EQ(Get("transpa"), "200");
        EXPECT_FALSE(Get("kbps")) << "the write starts from an empty file";
    }
}

TEST_F(KeyFileSettingsTest, CommentsOtherKeysAndUnknownGroupsSurviveAWrite) {
    const std::string lines[] = {"# written by hand", "# the scale", "Name[de]=Bandbreite", "[Unknown]",
                                 "future=yes"};
    WriteFile(File(), "# written by hand\n[\xE9\x85\x8D\xE7\xBD\xAE]\n# the scale\nkbps=512\nName[de]=Bandbreite\n"
                      "\n[Unknown]\nfuture=yes\n");
    Set("kbps", "1024");
    Set("transpa", "100");
    const std::string file = ReadFile(File());
    for (const std::string& line : lines) EXPECT_NE(file.find(line + "\n"), std::string::npos) << line << "\n" << file;
    EXPECT_EQ(Get("kbps"), "1024");
    EXPECT_EQ(settings->Get(kApp, "Unknown", "future"), "yes");
}

// A file saved on Windows has CR LF line ends, and an editor may leave the last line without one.
TEST_F(KeyFileSettingsTest, CarriageReturnLineEndsReadAlikeOnEveryLineAndAfterAWrite) {
    WriteFile(File(), "[\xE9\x85\x8D\xE7\xBD\xAE]\r\nx=15000\r\ny=7500\r");
    EXPECT_EQ(Get("x"), "15000");
    EXPECT_EQ(Get("y"), "7500") << "the last line, with no newline after its CR";
    Set("kbps", "512");
    EXPECT_EQ(Get("x"), "15000");
    EXPECT_EQ(Get("y"), "7500");
    // A value that really ends in carriage returns keeps all but the line end's own.
    WriteFile(File(), "[\xE9\x85\x8D\xE7\xBD\xAE]\nx=\\s\t\r\r");
    const std::optional<std::string> before = Get("x");
    Set("kbps", "256");
    EXPECT_EQ(Get("x"), before) << "another key's write changed this one";
}

TEST_F(KeyFileSettingsTest, OtherProcessesSeeEveryWriteAndNoneIsLost) {
    EXPECT_EQ(InChild([&] {
                  KeyFileSettings mine(dir.string());
                  SettingsStore(mine).Write(keys::kbps, 512);
                  return 0;
              }),
              0);
    const SettingsStore store(*settings);
    EXPECT_EQ(ReadScale(store), 512);
    WriteFile(File(), "[\xE9\x85\x8D\xE7\xBD\xAE]\nkbps=256\n");
    EXPECT_EQ(ReadScale(store), 256) << "nothing cached";

    // Two processes updating the file at once: each read-change-replace waits for the other.
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        if (writers[w] == 0) {
            KeyFileSettings mine(dir.string());
            for (int i = 0; i < 25; ++i) mine.Set(kApp, kSection, "w" + std::to_string(w) + "_" + std::to_string(i), "x");
            _exit(0);
        }
    }
    for (const pid_t pid : writers) waitpid(pid, nullptr, 0);
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < 25; ++i) EXPECT_EQ(Get("w" + std::to_string(w) + "_" + std::to_string(i)), "x") << w << i;
    EXPECT_EQ(Get("kbps"), "256");
}

TEST_F(KeyFileSettingsTest, WritesThroughASymbolicLink) {
    WriteFile(dir / "dotfiles" / "settings.ini", "[\xE9\x85\x8D\xE7\xBD\xAE]\nkbps=512\n");
    fs::create_directories(File().parent_path());
    fs::create_symlink(dir / "dotfiles" / "settings.ini", File());
    Set("transpa", "90");
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_NE(ReadFile(dir / "dotfiles" / "settings.ini").find("transpa=90"), std::string::npos);
    EXPECT_EQ(Get("kbps"), "512");
}

// ---- failed writes ----------------------------------------------------------------------------

TEST_F(KeyFileSettingsTest, FailedWritesLoseNothing) {
    // A folder that cannot be made, even by root: its parent is a file.
    WriteFile(dir / "plain", "not a folder");
    KeyFileSettings blocked((dir / "plain").string());
    testing::internal::CaptureStderr();
    blocked.Set(kApp, kSection, "kbps", "512");
    blocked.Set(kApp, kSection, "kbps", "512");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "one line per cause: " << said;
    EXPECT_FALSE(blocked.Get(kApp, kSection, "kbps"));
    EXPECT_EQ(ReadFile(dir / "plain"), "not a folder");

    // A full disk: the new file cannot be written whole, so the old one stays.
    Set("kbps", "512");
    const std::string before = ReadFile(File());
    EXPECT_EQ(InChild([&] {
                  signal(SIGXFSZ, SIG_IGN);
                  const rlimit small{4096, 4096};
                  setrlimit(RLIMIT_FSIZE, &small);
                  KeyFileSettings mine(dir.string());
                  mine.Set(kApp, kSection, "huge", std::string(100000, 'a'));
                  return 0;
              }),
              0);
    EXPECT_EQ(ReadFile(File()), before);
    EXPECT_EQ(AppFolder(), std::vector<std::string>{"settings.ini"}) << "no half-written file left behind";
    EXPECT_EQ(Get("kbps"), "512");

    // A settings file that cannot be read is not garbled: it is neither replaced nor moved.
    fs::remove(File());
    fs::create_directories(File() / "inside");
    Set("kbps", "1");
    EXPECT_FALSE(Get("kbps"));
    EXPECT_TRUE(fs::is_directory(File() / "inside"));
    EXPECT_EQ(AppFolder(), std::vector<std::string>{"settings.ini"});
}

// ---- where the file is ------------------------------------------------------------------------

TEST_F(KeyFileSettingsTest, FollowsTheEnvironmentAtEveryCall) {
    const char* names[] = {"XDG_CONFIG_HOME", "HOME"};
    std::optional<std::string> saved[2];
    for (int i = 0; i < 2; ++i)
        if (const char* value = std::getenv(names[i])) saved[i] = value;

    setenv("HOME", (dir / "home").c_str(), 1);
    KeyFileSettings env;
    setenv("XDG_CONFIG_HOME", (dir / "a").c_str(), 1);
    env.Set(kApp, kSection, "kbps", "1");
    EXPECT_EQ(ReadFile(dir / "a" / "TideGauge" / "settings.ini"), "[\xE9\x85\x8D\xE7\xBD\xAE]\nkbps=1\n");
    setenv("XDG_CONFIG_HOME", (dir / "b").c_str(), 1);
    EXPECT_FALSE(env.Get(kApp, kSection, "kbps"));
    env.Set(kApp, kSection, "kbps", "2");
    EXPECT_TRUE(fs::exists(dir / "b" / "TideGauge" / "settings.ini"));

    // Empty or relative: ignored, as the base-directory rules say; unset likewise.
    int n = 3;
    for (const char* value : {"", "relative/config", static_cast<const char*>(nullptr)}) {
        if (value != nullptr)
            setenv("XDG_CONFIG_HOME", value, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        env.Set(kApp, kSection, "kbps", std::to_string(n));
        EXPECT_EQ(SettingsStore(env).Read(keys::kbps), std::to_string(n)) << (value ? value : "unset");
        EXPECT_NE(ReadFile(dir / "home" / ".config" / "TideGauge" / "settings.ini").find("kbps=" + std::to_string(n)),
                  std::string::npos);
        ++n;
    }
    EXPECT_FALSE(fs::exists("relative"));

    for (int i = 0; i < 2; ++i)
        if (saved[i])
            setenv(names[i], saved[i]->c_str(), 1);
        else
            unsetenv(names[i]);
}

}  // namespace
}  // namespace tg
