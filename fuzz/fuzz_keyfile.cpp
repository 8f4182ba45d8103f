// Any bytes as one of the files the Linux stores read from the user's configuration folder: the
// settings file or the autostart entry. Every read must give text or nothing; a value written must
// read back as written, must leave every other value as it read before (or, when the file could not
// be parsed, keep that file aside unchanged), and must leave a file that parses.
//
// Input: [which file][the file's bytes...]. The folder is private to the process and named by
// XDG_CONFIG_HOME, as the program finds it.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/KeyFile.h"
#include "platform/linux/KeyFileSettings.h"
#include "platform/linux/XdgRegistry.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "settings/modRegistry.h"

namespace {

namespace fs = std::filesystem;
using tg::keyfile::LoadStatus;

constexpr std::uint32_t kCu = tg::RegistryApi::kHkeyCurrentUser;

fs::path g_config;  // the private XDG_CONFIG_HOME

// Stops the run at a broken invariant, naming its line for whoever reads the crash.
void Check(bool ok, int line = __builtin_LINE()) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken at %s:%d\n", __FILE__, line);
    std::abort();
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void RemoveConfig() {
    std::error_code ignored;
    fs::remove_all(g_config, ignored);
}

// The end of the input as a candidate text to write: short, so the files stay small.
std::string Tail(std::string_view bytes) {
    return std::string(bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 48)));
}

// ---- the settings file -------------------------------------------------------------------------

std::vector<std::optional<std::string>> ReadAll(tg::KeyFileSettings& settings) {
    std::vector<std::optional<std::string>> values;
    for (const tg::SettingKey& key : tg::kSettingKeys) {
        std::optional<std::string> value = settings.Get(tg::kSettingsApp, tg::kSettingsSection, key.name);
        if (value) Check(tg::keyfile::IsUtf8(*value));
        values.push_back(std::move(value));
    }
    return values;
}

std::size_t IndexOf(const tg::SettingKey& key) {
    std::size_t i = 0;
    while (tg::kSettingKeys[i].name != key.name) ++i;
    return i;
}

// The typed readers over whatever the file holds: a number always, and the caller's default when
// the key reads nothing.
void ReadTyped(const tg::SettingsStore& store, const std::vector<std::optional<std::string>>& values) {
    for (std::size_t i = 0; i < tg::kSettingKeys.size(); ++i) {
        const tg::SettingKey& key = tg::kSettingKeys[i];
        Check(std::isfinite(tg::ReadTwips(store, key, 7.5f)));
        const std::int32_t colour = tg::ReadColour(store, key, 0x123456);
        if (!values[i]) Check(colour == 0x123456);
    }
    const std::int32_t scale = tg::ReadScale(store);
    if (!values[IndexOf(tg::keys::kbps)]) Check(scale == -1);
    tg::ReadOpacityRoundedDown(store);
    tg::ReadOpacityRounded(store);
}

void FuzzSettings(std::string_view bytes) {
    const fs::path file = g_config / "TideGauge" / "settings.ini";
    WriteFile(file, bytes);
    const LoadStatus status = tg::keyfile::Load(file).status;
    tg::KeyFileSettings settings;
    const tg::SettingsStore store(settings);
    const auto before = ReadAll(settings);
    Check(ReadAll(settings) == before);  // nothing cached, nothing changed by reading
    ReadTyped(store, before);

    // Write a value the file itself gave (GLib's unescaping undone by its escaping), or else raw bytes.
    const std::size_t from = bytes.size() % before.size();
    const std::size_t to = (from + 1) % before.size();
    const std::string text = before[from] ? *before[from] : Tail(bytes);
    settings.Set(tg::kSettingsApp, tg::kSettingsSection, tg::kSettingKeys[to].name, text);
    const auto after = ReadAll(settings);
    if (!tg::keyfile::CanHoldValue(text)) {  // refused: nothing changed
        Check(after == before && ReadFile(file) == bytes);
        return;
    }
    Check(after[to] == text);
    Check(tg::keyfile::Load(file).status == LoadStatus::kLoaded);
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i == to) continue;
        Check(status == LoadStatus::kLoaded ? after[i] == before[i] : !after[i]);
    }
    if (status == LoadStatus::kGarbled) Check(ReadFile(file.string() + ".bad") == bytes);
}

// ---- the autostart entry -----------------------------------------------------------------------

tg::RegValue ReadRun(tg::XdgRegistry& reg) {
    // A number as the default: no program name can be mistaken for it.
    const tg::RegValue read = tg::ReadRegValue(reg, kCu, tg::kRunKeyPath, tg::kRunValueName, std::int32_t{-7});
    if (const auto* text = std::get_if<std::string>(&read))
        Check(text->find('\0') == std::string::npos && tg::keyfile::IsUtf8(*text));
    return read;
}

void FuzzAutostart(std::string_view bytes) {
    // The Exec line's rules on their own: any line parses or not, and any path comes back through them.
    tg::autostart::ExecProgram(bytes);
    Check(tg::autostart::ExecProgram(tg::autostart::QuoteExecArgument(bytes)) == std::string(bytes));

    tg::XdgRegistry reg;
    const fs::path file = reg.AutostartPath();
    WriteFile(file, bytes);
    const tg::RegValue read = ReadRun(reg);
    Check(ReadRun(reg) == read);

    const auto* readText = std::get_if<std::string>(&read);
    const std::string program = readText != nullptr && !readText->empty() ? *readText : tg::CutAtNul(Tail(bytes));
    const std::int32_t written = tg::WriteRegString(reg, kCu, tg::kRunKeyPath, tg::kRunValueName, program);
    if (!tg::keyfile::IsUtf8(program)) {
        Check(written == tg::XdgRegistry::kInvalidParameter && ReadFile(file) == bytes);
        return;
    }
    Check(written == tg::RegistryApi::kOk);
    Check(ReadRun(reg) == tg::RegValue(program));
    Check(tg::keyfile::Load(file).status == LoadStatus::kLoaded);
    Check(tg::WriteRegString(reg, kCu, tg::kRunKeyPath, tg::kRunValueName, "") == tg::RegistryApi::kOk);
    Check(ReadRun(reg) == tg::RegValue(std::string()));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every GLib allocation through malloc, so the address sanitizer sees them all.
    setenv("G_SLICE", "always-malloc", 1);
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "tg-fuzz-keyfile-XXXXXX").string();
    Check(mkdtemp(pattern.data()) != nullptr);
    g_config = pattern;
    setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    std::atexit(RemoveConfig);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    RemoveConfig();
    fs::create_directories(g_config);
    if (data[0] % 2 == 0)
        FuzzSettings(bytes);
    else
        FuzzAutostart(bytes);
    return 0;
}
