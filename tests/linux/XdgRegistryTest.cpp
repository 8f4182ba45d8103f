#include "platform/linux/XdgRegistry.h"

#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "TestFiles.h"
#include "settings/modRegistry.h"

namespace tg {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kCu = RegistryApi::kHkeyCurrentUser;
constexpr std::uint32_t kLm = 0x80000002u;
const RegValue kDflt = std::string("dflt");

using test::ReadFile;
using test::WriteFile;

// desktop-file-validate's verdict: its exit status and everything it said.
std::pair<int, std::string> Validate(const fs::path& file) {
    FILE* pipe = popen(("desktop-file-validate '" + file.string() + "' 2>&1").c_str(), "r");
    std::string said;
    char buffer[256];
    while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) said += buffer;
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

class XdgRegistryTest : public ::testing::Test {
 protected:
    void SetUp() override {
        char pattern[] = "/tmp/tg-xdgreg-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        reg = std::make_unique<XdgRegistry>(dir.string());
    }
    void TearDown() override { fs::remove_all(dir); }

    RegValue ReadRun(RegValue dflt = kDflt) { return ReadRegValue(*reg, kCu, kRunKeyPath, kRunValueName, dflt); }
    std::int32_t WriteRun(std::string_view text) { return WriteRegString(*reg, kCu, kRunKeyPath, kRunValueName, text); }
    fs::path Entry() const { return dir / "autostart" / "tidegauge.desktop"; }
    void ExpectValidEntry() {
        const auto [status, said] = Validate(Entry());
        EXPECT_EQ(status, 0) << said << ReadFile(Entry());
        EXPECT_EQ(said, "") << ReadFile(Entry());
    }
    // The entry as any key-file reader sees it.
    std::optional<std::string> EntryKey(const char* key) const {
        GKeyFile* file = g_key_file_new();
        gchar* value = g_key_file_load_from_file(file, Entry().c_str(), G_KEY_FILE_NONE, nullptr)
                           ? g_key_file_get_string(file, "Desktop Entry", key, nullptr)
                           : nullptr;
        g_key_file_free(file);
        std::optional<std::string> result;
        if (value != nullptr) result = value;
        g_free(value);
        return result;
    }

    fs::path dir;
    std::unique_ptr<XdgRegistry> reg;
};

// ---- the autostart value ----------------------------------------------------------------------

TEST_F(XdgRegistryTest, AnyProgramPathBecomesAValidEntryAndReadsBack) {
    const std::string paths[] = {
        "/usr/bin/tidegauge",
        "/opt/tide gauge/tidegauge",
        "/home/u/\"quoted\" dir/tg",
        "/home/u/$HOME/`id`/tg",
        "/mnt/c/Program Files\\TideGauge\\tidegauge.exe",
        "/home/李雷/潮位计/tidegauge",
        "/srv/100% sure/%f",
        "/tmp/it's; #not=a comment/ tg ",
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        ASSERT_EQ(WriteRun(path), 0);
        ExpectValidEntry();
        EXPECT_EQ(ReadRun(), RegValue(path));
        EXPECT_EQ(EntryKey("Type"), "Application");
        EXPECT_EQ(EntryKey("X-GNOME-Autostart-enabled"), "true");
        EXPECT_EQ(EntryKey("Hidden"), "false");

        // A shell's double-quote rules are the same as the entry's, apart from %%.
        const std::optional<std::string> exec = EntryKey("Exec");
        ASSERT_TRUE(exec);
        gint argc = 0;
        gchar** argv = nullptr;
        ASSERT_TRUE(g_shell_parse_argv(exec->c_str(), &argc, &argv, nullptr)) << *exec;
        std::string program = argv[0];
        for (std::size_t at = 0; (at = program.find("%%", at)) != std::string::npos; ++at) program.erase(at, 1);
        EXPECT_EQ(argc, 1) << *exec;
        EXPECT_EQ(program, path) << *exec;
        g_strfreev(argv);
    }
    ASSERT_EQ(WriteRun("/a\\b"), 0);
    EXPECT_NE(ReadFile(Entry()).find("\nExec=\"/a\\\\\\\\b\"\n"), std::string::npos)
        << "one backslash, escaped for the command line and again for the key file:\n" << ReadFile(Entry());
}

TEST_F(XdgRegistryTest, EmptyTextTurnsAutostartOffAndReadsBackEmpty) {
    ASSERT_EQ(WriteRun(""), 0) << "with no entry yet";
    ExpectValidEntry();
    EXPECT_EQ(ReadRun(), RegValue(std::string()));

    ASSERT_EQ(WriteRun("/usr/bin/tidegauge"), 0);
    EXPECT_EQ(ReadRun(), RegValue(std::string("/usr/bin/tidegauge")));
    ASSERT_EQ(WriteRun(""), 0);
    ExpectValidEntry();
    EXPECT_EQ(EntryKey("Hidden"), "true");
    EXPECT_EQ(ReadRun(), RegValue(std::string()));

    RegistryApi::Key key = 0;
    ASSERT_EQ(reg->OpenKey(kCu, kRunKeyPath, &key), 0);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(reg->QueryValue(key, "TIDEGAUGE", &type, nullptr, &size), 0);
    EXPECT_EQ(type, RegistryApi::kTypeString);
    EXPECT_EQ(size, 1u);
    reg->CloseKey(key);

    ASSERT_EQ(WriteRun("/usr/bin/tidegauge"), 0);
    EXPECT_EQ(EntryKey("Hidden"), "false") << "on again";
    EXPECT_EQ(ReadRun(), RegValue(std::string("/usr/bin/tidegauge")));
}

TEST_F(XdgRegistryTest, NeverWrittenReadsTheDefault) {
    EXPECT_EQ(ReadRun(), kDflt);
    EXPECT_EQ(ReadRun(42), RegValue(42));
    fs::create_directories(dir / "autostart");
    EXPECT_EQ(ReadRun(), kDflt) << "an empty autostart folder";
}

TEST_F(XdgRegistryTest, EntriesEditedByHand) {
    const std::string head = "[Desktop Entry]\nType=Application\nName=T\n";
    const std::pair<std::string, RegValue> cases[] = {
        {head + "Exec=/usr/bin/tidegauge --small %U\n", std::string("/usr/bin/tidegauge")},
        {head + "Exec=\"/opt/a b/tg\" %f\n", std::string("/opt/a b/tg")},
        {head + "Exec=%U /usr/bin/tg\n", std::string("/usr/bin/tg")},
        {head + "Exec=/opt/100%%/tg%k\n", std::string("/opt/100%/tg")},
        // Only the listed field codes: any other makes the line invalid, a split character included.
        {head + "Exec=/opt/t%\xC3\xA9\n", kDflt},
        {head + "Exec=\"/opt/t%/x\"\n", kDflt},
        {head + "Exec=/opt/t%z\n", kDflt},
        {head + "X-GNOME-Autostart-enabled=false\nExec=/x\n", std::string()},
        {head + "Exec=\"/opt/unterminated\n", kDflt},
        {head + "Exec=\n", kDflt},
        {head, kDflt},
        {"[Other]\nExec=/x\n", kDflt},
        {"\xff\xfe\x01 not an entry", kDflt},
    };
    for (const auto& [content, expected] : cases) {
        WriteFile(Entry(), content);
        EXPECT_EQ(ReadRun(), expected) << content;
    }

    // The garbled entry is kept aside (not as a .desktop file, so nothing starts it).
    ASSERT_EQ(WriteRun("/new/tg"), 0);
    EXPECT_EQ(ReadFile(Entry().string() + ".bad"), cases[std::size(cases) - 1].first);
    EXPECT_EQ(ReadRun(), RegValue(std::string("/new/tg")));

    // What the user added stays through turning autostart off and on.
    WriteFile(Entry(), "# my note\n" + head + "Exec=/old/tg\nX-GNOME-Autostart-Delay=5\n");
    ASSERT_EQ(WriteRun(""), 0);
    ASSERT_EQ(WriteRun("/new/tg"), 0);
    ExpectValidEntry();
    const std::string entry = ReadFile(Entry());
    EXPECT_EQ(entry.rfind("# my note\n", 0), 0u) << entry;
    EXPECT_EQ(entry.find('['), entry.find("[Desktop Entry]\n")) << "the entry's group still comes first\n" << entry;
    EXPECT_EQ(EntryKey("X-GNOME-Autostart-Delay"), "5");
    EXPECT_EQ(ReadRun(), RegValue(std::string("/new/tg")));

    // Keys written twice: the last one counts, before a write and after it.
    WriteFile(Entry(), head + "Exec=/old/tg\nHidden=true\nHidden=true\n");
    EXPECT_EQ(ReadRun(), RegValue(std::string()));
    ASSERT_EQ(WriteRun("/new/tg"), 0);
    EXPECT_EQ(ReadRun(), RegValue(std::string("/new/tg"))) << ReadFile(Entry());
}

// ---- nothing else ----------------------------------------------------------------------------

TEST_F(XdgRegistryTest, OnlyTheRunValueIsKept) {
    ASSERT_EQ(WriteRun("/usr/bin/tidegauge"), 0);
    const std::string before = ReadFile(Entry());
    EXPECT_NE(WriteRegString(*reg, kCu, "Software\\TideGauge", "v", "text"), 0);
    EXPECT_NE(WriteRegString(*reg, kLm, kRunKeyPath, kRunValueName, "/opt/tg"), 0) << "only the user's Run key";
    EXPECT_NE(WriteRegString(*reg, kCu, kRunKeyPath, "OtherApp", "/opt/tg"), 0);
    EXPECT_EQ(ReadRegValue(*reg, kCu, kRunKeyPath, "OtherApp", kDflt), kDflt);
    EXPECT_EQ(ReadRegValue(*reg, kLm, kRunKeyPath, kRunValueName, kDflt), kDflt);
    EXPECT_EQ(ReadFile(Entry()), before);
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(dir), fs::recursive_directory_iterator()), 2) << "the autostart folder and its entry";
    // The registry's names know no case.
    EXPECT_EQ(ReadRegValue(*reg, kCu, "SOFTWARE\\microsoft\\Windows\\CurrentVersion\\RUN", "TIDEGAUGE", kDflt),
              RegValue(std::string("/usr/bin/tidegauge")));

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    const std::uint8_t byte = 0;
    EXPECT_EQ(reg->QueryValue(0, kRunValueName, &type, nullptr, &size), XdgRegistry::kInvalidHandle);
    EXPECT_EQ(reg->SetStringValue(0, kRunValueName, &byte, 1), XdgRegistry::kInvalidHandle);
}

// ---- failed writes ----------------------------------------------------------------------------

TEST_F(XdgRegistryTest, FailedWritesReportAnErrorAndKeepTheOldEntry) {
    WriteFile(dir / "plain", "not a folder");
    XdgRegistry blocked((dir / "plain").string());
    EXPECT_NE(WriteRegString(blocked, kCu, kRunKeyPath, kRunValueName, "/usr/bin/tg"), 0);
    EXPECT_EQ(ReadRegValue(blocked, kCu, kRunKeyPath, kRunValueName, kDflt), kDflt);

    ASSERT_EQ(WriteRun("/usr/bin/tidegauge"), 0);
    const std::string before = ReadFile(Entry());
    EXPECT_EQ(WriteRun("/not/utf8/\xff"), XdgRegistry::kInvalidParameter);
    const int code = [&] {
        const pid_t pid = fork();
        if (pid == 0) {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit small{64, 64};  // smaller than any entry: as a full disk
            setrlimit(RLIMIT_FSIZE, &small);
            XdgRegistry mine(dir.string());
            _exit(WriteRegString(mine, kCu, kRunKeyPath, kRunValueName, "/opt/other/tidegauge") != 0 ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }();
    EXPECT_EQ(code, 0) << "the failed write was reported";
    EXPECT_EQ(ReadFile(Entry()), before);
    EXPECT_EQ(ReadRun(), RegValue(std::string("/usr/bin/tidegauge")));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir / "autostart")) ++files;
    EXPECT_EQ(files, 1u) << "no half-written file left behind";
}

}  // namespace
}  // namespace tg
