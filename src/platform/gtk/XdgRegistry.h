#pragma once
// The registry on Linux, kept in two places under the user's configuration folder <config> (given
// to the constructor, or else $XDG_CONFIG_HOME or ~/.config, looked up at every call):
//
// - The value Tidegauge of the current user's Run key is the autostart entry
//   <config>/autostart/tidegauge.desktop. Writing a program's path makes the desktop start that
//   program at login; writing the empty text marks the entry Hidden=true, which turns it off and
//   also masks a system-wide entry of the same name, and reads back as the empty text. The Run key
//   exists whenever the autostart folder does.
// - Every other key and value lives in <config>/TideGauge/registry.ini: a group per key, named
//   "<root>\<lower-cased path>", even when it holds no values, and per value an entry
//   "<lower-cased name>=<type>:<data as hex>", so any type and any bytes come back as stored.
//
// Key paths and value names are compared without regard to case, as in the registry. Text is
// UTF-8. Nothing is cached: every call reads the files and every write replaces a file at once.
// Not thread-safe: the handles belong to the object.
#include <glib.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ports/RegistryApi.h"

namespace tg {

// The autostart entry's Exec line, by the desktop-entry quoting rules (before the key-file
// escaping, which GLib adds and removes).
namespace autostart {

// A program path as one argument: in double quotes, with ", `, $ and \ preceded by a backslash
// and % written as %%.
std::string QuoteExecArgument(std::string_view path);

// The program an Exec line starts: its first argument with the quoting undone and field codes
// (%f, %U, ...) dropped. nullopt when there is none, a quote is left open, or a field code is not
// one of those the desktop-entry rules list.
std::optional<std::string> ExecProgram(std::string_view exec);

}  // namespace autostart

class XdgRegistry final : public RegistryApi {
 public:
    static constexpr std::int32_t kInvalidHandle = 6;
    static constexpr std::int32_t kWriteFault = 29;
    static constexpr std::int32_t kInvalidParameter = 87;
    static constexpr std::int32_t kDiskFull = 112;

    // configDir: the user's configuration folder; empty to follow the environment.
    explicit XdgRegistry(std::string configDir = {});
    XdgRegistry(const XdgRegistry&) = delete;
    XdgRegistry& operator=(const XdgRegistry&) = delete;

    std::int32_t OpenKey(std::uint32_t root, std::string_view path, Key* key) override;
    std::int32_t QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override;
    std::int32_t CreateKey(std::uint32_t root, std::string_view path, Key* key) override;
    std::int32_t SetStringValue(Key key, std::string_view name, const std::uint8_t* data, std::uint32_t size) override;
    void CloseKey(Key key) override;

    std::size_t TextUnitSize() const override { return 1; }
    std::string EncodeText(std::string_view utf8) const override { return std::string(utf8); }
    std::string DecodeText(std::string_view bytes) const override { return std::string(bytes); }

    // Stores a value of any type, creating its key, as a test or a tool sets the store up. The
    // autostart value takes string data only.
    std::int32_t Put(std::uint32_t root, std::string_view path, std::string_view name, std::uint32_t type,
                     std::string_view data);
    std::size_t OpenHandles() const { return m_handles.size(); }

    std::string AutostartPath() const;  // the autostart entry
    std::string StorePath() const;      // every other key and value

 private:
    struct Value {
        std::uint32_t type = 0;
        std::string data;
    };
    // A key as compared: its root and its lower-cased path without trailing backslashes.
    struct KeyName {
        std::uint32_t root = 0;
        std::string path;
    };

    std::string ConfigDir() const;
    std::string AutostartDir() const;
    bool IsRunOrAbove(const KeyName& key) const;
    bool IsRunValue(const KeyName& key, std::string_view foldedName) const;
    bool KeyExists(const KeyName& key, GKeyFile* store) const;
    std::optional<Value> ReadAutostart() const;
    std::optional<Value> ReadStored(const KeyName& key, const std::string& foldedName) const;
    std::int32_t WriteAutostart(std::string_view text);
    std::int32_t Store(const KeyName& key, const std::string& foldedName, std::uint32_t type, std::string_view data);
    Key Issue(KeyName key);

    std::string m_configDir;
    std::string m_runPath;    // the Run key, folded
    std::string m_runValue;   // its autostart value's name, folded
    std::map<Key, KeyName> m_handles;
    Key m_nextHandle = 1;
};

}  // namespace tg
