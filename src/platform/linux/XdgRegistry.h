#pragma once
// The registry on Linux holds the one value the program keeps there: Tidegauge under the current
// user's Run key, which is the autostart entry <config>/autostart/tidegauge.desktop (<config> given
// to the constructor, or else $XDG_CONFIG_HOME or ~/.config, looked up at every call). Writing a
// program's path makes the desktop start that program at login; writing the empty text marks the
// entry Hidden=true, which turns it off and also masks a system-wide entry of the same name, and
// reads back as the empty text. Every other key cannot be created and every other value is absent.
//
// The Run key's path and the value's name are compared without regard to ASCII case, as the
// registry does. Text is UTF-8. Nothing is cached: every call reads the entry, and every write
// replaces it at once.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ports/RegistryApi.h"

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

    std::int32_t OpenKey(std::uint32_t root, std::string_view path, Key* key) override;
    std::int32_t QueryValue(Key key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* size) override;
    std::int32_t CreateKey(std::uint32_t root, std::string_view path, Key* key) override;
    std::int32_t SetStringValue(Key key, std::string_view name, const std::uint8_t* data, std::uint32_t size) override;
    void CloseKey(Key /*key*/) override {}

    std::size_t TextUnitSize() const override { return 1; }
    std::string EncodeText(std::string_view utf8) const override { return std::string(utf8); }
    std::string DecodeText(std::string_view bytes) const override { return std::string(bytes); }

    std::string AutostartPath() const;

 private:
    // The program the entry starts, the empty text when it is turned off, nullopt when there is no
    // usable entry.
    std::optional<std::string> ReadAutostart() const;
    std::int32_t WriteAutostart(std::string_view program) const;

    std::string m_configDir;
};

}  // namespace tg
