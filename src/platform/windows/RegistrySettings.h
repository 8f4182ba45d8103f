#pragma once
// The Windows settings store: the current user's registry, one key per section,
// HKEY_CURRENT_USER\Software\<app>\<section>, holding one string value (REG_SZ) per setting.
//
// Every name and text goes through the wide-character calls as UTF-16, so the section 配置 and any
// text are stored as they are whatever the ANSI code page. Nothing is cached: every Get reads the
// registry. A value of another type, or one that cannot be read, is absent, and is left as it is;
// a string value reads up to its first NUL, with or without a terminating one. Set reports nothing:
// a failed write leaves what was there.
#include <optional>
#include <string>
#include <string_view>

#include "ports/SettingsBackend.h"

namespace tg {

class RegistrySettings final : public SettingsBackend {
 public:
    std::optional<std::string> Get(std::string_view app, std::string_view section, std::string_view key) override;
    void Set(std::string_view app, std::string_view section, std::string_view key, std::string_view text) override;

    // The key that holds a section, below HKEY_CURRENT_USER.
    static std::string KeyPath(std::string_view app, std::string_view section);
};

}  // namespace tg
