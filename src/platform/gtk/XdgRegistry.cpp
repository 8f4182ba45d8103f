#include "platform/gtk/XdgRegistry.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/gtk/KeyFile.h"
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
            if (++i == exec.size() || kFieldCodes.find(exec[i]) == std::string_view::npos) return std::nullopt;
            if (exec[i] == '%') {
                program += '%';
                started = true;
            }
            continue;  // any other field code stands for nothing at login
        }
        program += c;
        started = true;
    }
    if (quoted || !started) return std::nullopt;
    return program;
}

}  // namespace autostart

namespace {

using keyfile::KeyFilePtr;
using keyfile::LoadStatus;

constexpr char kEntryGroup[] = "Desktop Entry";

// Lower case, character by character, as the registry compares names. nullopt for text that is
// not UTF-8, which no key file can hold.
std::optional<std::string> Fold(std::string_view text) {
    if (!keyfile::IsUtf8(text)) return std::nullopt;
    std::string folded;
    folded.reserve(text.size());
    const char* const end = text.data() + text.size();
    for (const char* p = text.data(); p < end; p = g_utf8_next_char(p)) {
        char utf8[6];
        folded.append(utf8, static_cast<std::size_t>(g_unichar_to_utf8(g_unichar_tolower(g_utf8_get_char(p)), utf8)));
    }
    return folded;
}

// A key path or value name as a group or key of registry.ini: the characters the format reserves
// written as %XX; the unnamed value is "@".
std::string Encode(std::string_view text, bool asKey) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    if (asKey && text.empty()) return "@";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        const bool reserved = c == '%' || c == '[' || c == ']' || c < 0x20 || c == 0x7F ||
                              (asKey && (c == '=' || c == '#' || c == ' ' || c == '@'));
        if (reserved) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string GroupName(std::uint32_t root, std::string_view foldedPath) {
    return std::to_string(root) + "\\" + Encode(foldedPath, false);
}

std::string EncodeValue(std::uint32_t type, std::string_view data) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = std::to_string(type) + ":";
    for (const char ch : data) {
        const auto c = static_cast<unsigned char>(ch);
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "<type>:<hex>" back into type and bytes; nullopt for anything else.
std::optional<std::pair<std::uint32_t, std::string>> DecodeValue(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == 0 || colon == std::string_view::npos || colon > 10) return std::nullopt;
    std::uint64_t type = 0;
    for (const char c : text.substr(0, colon)) {
        if (c < '0' || c > '9') return std::nullopt;
        type = type * 10 + static_cast<std::uint64_t>(c - '0');
    }
    const std::string_view hex = text.substr(colon + 1);
    if (type > 0xFFFFFFFFu || hex.size() % 2 != 0) return std::nullopt;
    std::string data;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        data += static_cast<char>(high * 16 + low);
    }
    return std::pair{static_cast<std::uint32_t>(type), std::move(data)};
}

std::optional<std::string> FoldPath(std::string_view path) {
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return Fold(path);
}

// The path and every key above it, the topmost first.
std::vector<std::string> PathAndParents(const std::string& path) {
    std::vector<std::string> keys;
    for (std::size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1))
        keys.push_back(path.substr(0, end));
    keys.push_back(path);
    return keys;
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

XdgRegistry::XdgRegistry(std::string configDir)
    : m_configDir(std::move(configDir)), m_runPath(*FoldPath(kRunKeyPath)), m_runValue(*Fold(kRunValueName)) {}

std::string XdgRegistry::ConfigDir() const { return m_configDir.empty() ? keyfile::UserConfigDir() : m_configDir; }
std::string XdgRegistry::AutostartDir() const { return ConfigDir() + "/autostart"; }
std::string XdgRegistry::AutostartPath() const { return AutostartDir() + "/tidegauge.desktop"; }
std::string XdgRegistry::StorePath() const { return ConfigDir() + "/" + std::string(kSettingsApp) + "/registry.ini"; }

bool XdgRegistry::IsRunOrAbove(const KeyName& key) const {
    return key.root == kHkeyCurrentUser &&
           (key.path == m_runPath || (m_runPath.size() > key.path.size() && m_runPath.starts_with(key.path) &&
                                      m_runPath[key.path.size()] == '\\'));
}

bool XdgRegistry::IsRunValue(const KeyName& key, std::string_view foldedName) const {
    return key.root == kHkeyCurrentUser && key.path == m_runPath && foldedName == m_runValue;
}

bool XdgRegistry::KeyExists(const KeyName& key, GKeyFile* store) const {
    if (key.path.empty()) return true;  // a root
    if (IsRunOrAbove(key) && g_file_test(AutostartDir().c_str(), G_FILE_TEST_IS_DIR)) return true;
    const std::string group = GroupName(key.root, key.path);
    if (g_key_file_has_group(store, group.c_str())) return true;
    // A key below it, written by hand without its parents, still makes it exist.
    gchar** groups = g_key_file_get_groups(store, nullptr);
    bool below = false;
    for (gchar** g = groups; *g != nullptr && !below; ++g) below = g_str_has_prefix(*g, (group + "\\").c_str());
    g_strfreev(groups);
    return below;
}

RegistryApi::Key XdgRegistry::Issue(KeyName key) {
    while (m_nextHandle == 0 || m_handles.count(m_nextHandle)) ++m_nextHandle;
    const Key handle = m_nextHandle++;
    m_handles.emplace(handle, std::move(key));
    return handle;
}

std::int32_t XdgRegistry::OpenKey(std::uint32_t root, std::string_view path, Key* key) {
    if (key == nullptr) return kInvalidParameter;
    const std::optional<std::string> folded = FoldPath(path);
    if (!folded) return kFileNotFound;
    KeyName name{root, *folded};
    const keyfile::Loaded store = keyfile::Load(StorePath());
    if (!KeyExists(name, store.file.get())) return kFileNotFound;
    *key = Issue(std::move(name));
    return kOk;
}

std::int32_t XdgRegistry::CreateKey(std::uint32_t root, std::string_view path, Key* key) {
    if (key == nullptr) return kInvalidParameter;
    const std::optional<std::string> folded = FoldPath(path);
    if (!folded) return kInvalidParameter;
    KeyName name{root, *folded};

    // The Run key and the keys above it are the autostart folder.
    if (root == kHkeyCurrentUser && (name.path == m_runPath || name.path.starts_with(m_runPath + "\\")) &&
        g_mkdir_with_parents(AutostartDir().c_str(), 0700) != 0)
        return ErrorCode({false, g_file_error_from_errno(errno), {}});

    const auto addMissing = [&](GKeyFile* store) {
        bool added = false;
        for (const std::string& path : PathAndParents(name.path)) {
            if (KeyExists({root, path}, store)) continue;
            // A group without entries: GLib makes one only along with an entry.
            const std::string group = GroupName(root, path);
            g_key_file_set_value(store, group.c_str(), "@", "");
            g_key_file_remove_key(store, group.c_str(), "@", nullptr);
            added = true;
        }
        return added;
    };
    const keyfile::Loaded store = keyfile::Load(StorePath());
    if (addMissing(store.file.get())) {
        const keyfile::WriteResult written = keyfile::Update(StorePath(), addMissing);
        if (!written.ok) return ErrorCode(written);
    }
    *key = Issue(std::move(name));
    return kOk;
}

std::int32_t XdgRegistry::QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                                     std::uint32_t* size) {
    const auto handle = m_handles.find(key);
    if (handle == m_handles.end()) return kInvalidHandle;
    const std::optional<std::string> folded = Fold(name);
    if (!folded) return kFileNotFound;
    const std::optional<Value> value =
        IsRunValue(handle->second, *folded) ? ReadAutostart() : ReadStored(handle->second, *folded);
    if (!value) return kFileNotFound;
    if (type != nullptr) *type = value->type;
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (data == nullptr) {
        if (size != nullptr) *size = needed;
        return kOk;
    }
    if (size == nullptr) return kInvalidParameter;
    if (*size < needed) {
        *size = needed;
        return kMoreData;
    }
    std::memcpy(data, value->data.data(), needed);
    *size = needed;
    return kOk;
}

std::int32_t XdgRegistry::SetStringValue(Key key, std::string_view name, const std::uint8_t* data,
                                         std::uint32_t size) {
    const auto handle = m_handles.find(key);
    if (handle == m_handles.end()) return kInvalidHandle;
    const std::optional<std::string> folded = Fold(name);
    if (!folded || (data == nullptr && size != 0)) return kInvalidParameter;
    const std::string_view bytes = size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data), size);
    if (IsRunValue(handle->second, *folded)) return WriteAutostart(bytes);
    return Store(handle->second, *folded, kTypeString, bytes);
}

void XdgRegistry::CloseKey(Key key) { m_handles.erase(key); }

std::int32_t XdgRegistry::Put(std::uint32_t root, std::string_view path, std::string_view name, std::uint32_t type,
                              std::string_view data) {
    Key handle = 0;
    const std::int32_t created = CreateKey(root, path, &handle);
    if (created != kOk) return created;
    const KeyName key = m_handles.at(handle);
    CloseKey(handle);
    const std::optional<std::string> folded = Fold(name);
    if (!folded) return kInvalidParameter;
    if (IsRunValue(key, *folded)) return type == kTypeString ? WriteAutostart(data) : kInvalidParameter;
    return Store(key, *folded, type, data);
}

std::optional<XdgRegistry::Value> XdgRegistry::ReadStored(const KeyName& key, const std::string& foldedName) const {
    const keyfile::Loaded store = keyfile::Load(StorePath());
    gchar* text = g_key_file_get_value(store.file.get(), GroupName(key.root, key.path).c_str(),
                                       Encode(foldedName, true).c_str(), nullptr);
    if (text == nullptr) return std::nullopt;
    auto decoded = DecodeValue(text);
    g_free(text);
    if (!decoded) return std::nullopt;
    return Value{decoded->first, std::move(decoded->second)};
}

std::int32_t XdgRegistry::Store(const KeyName& key, const std::string& foldedName, std::uint32_t type,
                                std::string_view data) {
    const std::string group = GroupName(key.root, key.path);
    const std::string entry = Encode(foldedName, true);
    const std::string value = EncodeValue(type, data);
    const keyfile::WriteResult written = keyfile::Update(StorePath(), [&](GKeyFile* store) {
        g_key_file_set_value(store, group.c_str(), entry.c_str(), value.c_str());
        return true;
    });
    return written.ok ? kOk : ErrorCode(written);
}

std::optional<XdgRegistry::Value> XdgRegistry::ReadAutostart() const {
    const keyfile::Loaded entry = keyfile::Load(AutostartPath());
    GKeyFile* file = entry.file.get();
    if (entry.status != LoadStatus::kLoaded || !g_key_file_has_group(file, kEntryGroup)) return std::nullopt;
    if (Flag(file, "Hidden", false) || !Flag(file, "X-GNOME-Autostart-enabled", true))
        return Value{kTypeString, std::string(1, '\0')};
    gchar* exec = g_key_file_get_string(file, kEntryGroup, "Exec", nullptr);
    if (exec == nullptr) return std::nullopt;
    std::optional<std::string> program = autostart::ExecProgram(exec);
    g_free(exec);
    if (!program) return std::nullopt;
    return Value{kTypeString, *program + '\0'};
}

std::int32_t XdgRegistry::WriteAutostart(std::string_view text) {
    const std::string path(text.substr(0, text.find('\0')));
    if (!keyfile::IsUtf8(path)) return kInvalidParameter;
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
