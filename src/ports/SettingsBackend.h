#pragma once
// The per-user settings store: (application, section, key) -> text. Nothing is cached behind it:
// every Get reads the store as it is now. Set reports nothing; a failed write leaves what was there.
#include <optional>
#include <string>
#include <string_view>

namespace tg {

class SettingsBackend {
 public:
    virtual ~SettingsBackend() = default;
    virtual std::optional<std::string> Get(std::string_view app, std::string_view section, std::string_view key) = 0;
    virtual void Set(std::string_view app, std::string_view section, std::string_view key, std::string_view text) = 0;
};

}  // namespace tg
