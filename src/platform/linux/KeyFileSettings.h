#pragma once
// The Linux settings store: one key file per application, <config>/<app>/settings.ini, whose groups
// are the sections and whose keys are the settings. <config> is the folder given to the constructor,
// or else $XDG_CONFIG_HOME (when it is an absolute path) or ~/.config, looked up at every call, so
// a change of the environment takes effect at once.
//
// Nothing is cached: every Get reads the file. Every Set reads it, changes one key and replaces the
// file at once (a new file renamed over the old), keeping comments, other keys and groups it does
// not know. A file that cannot be parsed reads as empty; the first write keeps it aside as
// settings.ini.bad (settings.ini.bad.1, .2, ... when that name is taken) and starts afresh.
// A write that fails leaves the old file as it was; Set reports it on stderr, once per cause.
#include <optional>
#include <string>
#include <string_view>

#include "ports/SettingsBackend.h"

namespace tg {

class KeyFileSettings final : public SettingsBackend {
 public:
    // configDir: the folder that holds one folder per application; empty to follow the environment.
    explicit KeyFileSettings(std::string configDir = {});

    std::optional<std::string> Get(std::string_view app, std::string_view section, std::string_view key) override;
    void Set(std::string_view app, std::string_view section, std::string_view key, std::string_view text) override;

    // The file that holds an application's settings.
    std::string FilePath(std::string_view app) const;

 private:
    void Report(const std::string& message);

    std::string m_configDir;
    std::string m_lastReport;
};

}  // namespace tg
