#include "platform/linux/XdgRegistry.h"

#include <glib.h>

#include <cstring>

#include "platform/linux/KeyFile.h"
#include "settings/SettingsKeys.h"
#include "settings/modRegistry.h"

namespace tg {

namespace autostart {

std::string QuoteExecArgument(std::string_view path) {
    std::string out = "\"";
    for (const char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        if (c == '%') out += '%';
        out += c;
    }
    return out + '"';
}

namespace {
// What may follow a '%' in an Exec line: the listed field codes, and '%' itself.
constexpr std::string_view kFieldCodes = "%fFuUdDnNickvm";

// What the field code after a '%' stands for at login: "%%" for a '%', any other listed code for
// nothing. False for a code the desktop-entry rules do not list.
bool TakeFieldCode(char code, std::string& program, bool& started) {
    if (kFieldCodes.find(code) == std::string_view::npos) return false;
    if (code == '%') {
        program += '%';
        started = true;
    }
    return true;
}

}  // namespace

std::optional<std::string> ExecProgram(std::string_view exec) {
    std::string program;
    bool started = false;
    bool quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
                continue;
            }
            if (c == '\\' && i + 1 < exec.size() && std::strchr("\"`$\\", exec[i + 1]) != nullptr) {
                program += exec[++i];
                continue;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (started) return program;
            continue;
        } else if (c == '"') {
            quoted = started = true;
            continue;
        }
        if (c == '%') {
            // A code the desktop-entry rules do not list makes the whole line invalid.
            if (++i == exec.size() || !TakeFieldCode(exec[i], program, started)) return std::nullopt;
            continue;
        }
        program += c;
        started = true;
    }
    if (quoted || !started) return std::nullopt;
    return program;
}

}  // namespace autostart

namespace {

constexpr const char* kEntryGroup = "Desktop Entry";
// The only key there is; modRegistry closes what it opens, so no handle needs to be told apart.
constexpr RegistryApi::Key kRunKey = 1;

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && g_ascii_strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool IsRunKey(std::uint32_t root, std::string_view path) {
    return root == RegistryApi::kHkeyCurrentUser && SameName(path, kRunKeyPath);
}

std::int32_t ErrorCode(const keyfile::WriteResult& result) {
    switch (result.fileError) {
        case G_FILE_ERROR_ACCES:
        case G_FILE_ERROR_PERM:
        case G_FILE_ERROR_ROFS: return RegistryApi::kAccessDenied;
        case G_FILE_ERROR_NOSPC: return XdgRegistry::kDiskFull;
        default: return XdgRegistry::kWriteFault;
    }
}

bool Flag(GKeyFile* file, const char* key, bool dflt) {
    GError* error = nullptr;
    const bool value = g_key_file_get_boolean(file, kEntryGroup, key, &error);
    if (error == nullptr) return value;
    g_error_free(error);
    return dflt;
}

}  // namespace

XdgRegistry::XdgRegistry(std::string configDir) : m_configDir(std::move(configDir)) {}

std::string XdgRegistry::AutostartPath() const {
    return (m_configDir.empty() ? keyfile::UserConfigDir() : m_configDir) + "/autostart/tidegauge.desktop";
}

std::int32_t XdgRegistry::OpenKey(std::uint32_t root, std::string_view path, Key* key) {
    if (key == nullptr) return kInvalidParameter;
    if (!IsRunKey(root, path)) return kFileNotFound;
    *key = kRunKey;
    return kOk;
}

// The autostart folder is made with the entry's first write.
std::int32_t XdgRegistry::CreateKey(std::uint32_t root, std::string_view path, Key* key) {
    if (key == nullptr) return kInvalidParameter;
    if (!IsRunKey(root, path)) return kAccessDenied;
    *key = kRunKey;
    return kOk;
}

std::int32_t XdgRegistry::QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                                     std::uint32_t* size) {
    if (key != kRunKey) return kInvalidHandle;
    if (!SameName(name, kRunValueName)) return kFileNotFound;
    const std::optional<std::string> program = ReadAutostart();
    if (!program) return kFileNotFound;
    if (type != nullptr) *type = kTypeString;
    const auto needed = static_cast<std::uint32_t>(program->size() + 1);  // with its NUL, as stored
    if (data == nullptr) {
        if (size != nullptr) *size = needed;
        return kOk;
    }
    if (size == nullptr) return kInvalidParameter;
    if (*size < needed) {
        *size = needed;
        return kMoreData;
    }
    std::memcpy(data, program->c_str(), needed);
    *size = needed;
    return kOk;
}

std::int32_t XdgRegistry::SetStringValue(Key key, std::string_view name, const std::uint8_t* data,
                                         std::uint32_t size) {
    if (key != kRunKey) return kInvalidHandle;
    if (data == nullptr && size != 0) return kInvalidParameter;
    if (!SameName(name, kRunValueName)) return kAccessDenied;
    const std::string_view text = size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data), size);
    return WriteAutostart(text.substr(0, text.find('\0')));
}

std::optional<std::string> XdgRegistry::ReadAutostart() const {
    const keyfile::Loaded entry = keyfile::Load(AutostartPath());
    GKeyFile* file = entry.file.get();
    if (entry.status != keyfile::LoadStatus::kLoaded || !g_key_file_has_group(file, kEntryGroup)) return std::nullopt;
    if (Flag(file, "Hidden", false) || !Flag(file, "X-GNOME-Autostart-enabled", true)) return std::string();
    const std::optional<std::string> exec = keyfile::GetText(file, kEntryGroup, "Exec");
    return exec ? autostart::ExecProgram(*exec) : std::nullopt;
}

std::int32_t XdgRegistry::WriteAutostart(std::string_view program) const {
    if (!keyfile::IsUtf8(program)) return kInvalidParameter;
    const std::string path(program);
    const std::string name(kSettingsApp);
    const keyfile::WriteResult written = keyfile::Update(AutostartPath(), [&](GKeyFile* file) {
        // The entry's group comes first in the file; anything else in a file of this name is not ours.
        gchar* start = g_key_file_get_start_group(file);
        if (start != nullptr && std::strcmp(start, kEntryGroup) != 0) {
            gchar** groups = g_key_file_get_groups(file, nullptr);
            for (gchar** g = groups; *g != nullptr; ++g) g_key_file_remove_group(file, *g, nullptr);
            g_strfreev(groups);
        }
        g_free(start);
        g_key_file_set_string(file, kEntryGroup, "Type", "Application");
        g_key_file_set_string(file, kEntryGroup, "Name", name.c_str());
        if (path.empty()) {
            g_key_file_set_boolean(file, kEntryGroup, "Hidden", true);
            g_key_file_set_boolean(file, kEntryGroup, "X-GNOME-Autostart-enabled", false);
            return true;
        }
        g_key_file_set_string(file, kEntryGroup, "Comment", "Download and upload rates of this computer");
        g_key_file_set_string(file, kEntryGroup, "Exec", autostart::QuoteExecArgument(path).c_str());
        // Set rather than removed: of a key written twice by hand the last counts, and removing it
        // would bring back the one before.
        g_key_file_set_boolean(file, kEntryGroup, "Hidden", false);
        g_key_file_set_boolean(file, kEntryGroup, "X-GNOME-Autostart-enabled", true);
        return true;
    });
    return written.ok ? kOk : ErrorCode(written);
}

}  // namespace tg
