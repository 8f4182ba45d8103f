#include "platform/linux/KeyFileSettings.h"

#include <cstdio>

#include "platform/linux/KeyFile.h"

namespace tg {

KeyFileSettings::KeyFileSettings(std::string configDir) : m_configDir(std::move(configDir)) {}

std::string KeyFileSettings::FilePath(std::string_view app) const {
    return (m_configDir.empty() ? keyfile::UserConfigDir() : m_configDir) + "/" + std::string(app) + "/settings.ini";
}

std::optional<std::string> KeyFileSettings::Get(std::string_view app, std::string_view section, std::string_view key) {
    if (!keyfile::IsFolderName(app) || !keyfile::IsGroupName(section) || !keyfile::IsKeyName(key)) return std::nullopt;
    const keyfile::Loaded loaded = keyfile::Load(FilePath(app));
    if (loaded.status != keyfile::LoadStatus::kLoaded) return std::nullopt;
    return keyfile::GetText(loaded.file.get(), std::string(section).c_str(), std::string(key).c_str());
}

void KeyFileSettings::Set(std::string_view app, std::string_view section, std::string_view key,
                          std::string_view text) {
    if (!keyfile::IsFolderName(app) || !keyfile::IsGroupName(section) || !keyfile::IsKeyName(key)) {
        Report("settings not saved: \"" + std::string(app) + "\", \"" + std::string(section) + "\", \"" +
               std::string(key) + "\" cannot name a settings file, section and key");
        return;
    }
    const std::string path = FilePath(app);
    if (!keyfile::CanHoldValue(text)) {
        Report("settings not saved to " + path + ": the text for \"" + std::string(key) +
               "\" is not UTF-8 text or starts with a form feed");
        return;
    }
    const std::string group(section);
    const std::string name(key);
    const std::string value(text);
    const keyfile::WriteResult written = keyfile::Update(path, [&](GKeyFile* file) {
        g_key_file_set_string(file, group.c_str(), name.c_str(), value.c_str());
        return true;
    });
    if (written.ok)
        m_lastReport.clear();
    else
        Report("settings not saved: " + written.message);
}

void KeyFileSettings::Report(const std::string& message) {
    // One line per cause: a window that saves its place on every move does not fill the log.
    if (message == m_lastReport) return;
    m_lastReport = message;
    std::string line = message;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20) c = '?';
    (void)std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace tg
