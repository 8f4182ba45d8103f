#pragma once
// The settings store the subsystems use, and the typed readers of its keys. Every read goes to the
// backend at the moment of the read; every write is made at once.
#include <cstdint>
#include <string>
#include <string_view>

#include "ports/SettingsBackend.h"
#include "settings/SettingsKeys.h"

namespace tg {

class SettingsStore {
 public:
    explicit SettingsStore(SettingsBackend& backend) : m_backend(backend) {}

    // The stored text, or the default (as text) when the key is absent.
    std::string Read(std::string_view app, std::string_view section, std::string_view key,
                     std::string_view dflt) const;
    std::string Read(std::string_view app, std::string_view section, std::string_view key, double dflt) const;
    void Write(std::string_view app, std::string_view section, std::string_view key, std::string_view text);

    // The program's own keys, under its application name and section.
    std::string Read(const SettingKey& key, std::string_view dflt) const;
    std::string Read(const SettingKey& key) const { return Read(key, key.fixedDefault); }
    void Write(const SettingKey& key, std::string_view text) { Write(kSettingsApp, kSettingsSection, key.name, text); }
    void Write(const SettingKey& key, std::int32_t number);

 private:
    SettingsBackend& m_backend;
};

// Typed readers. A stored text that is not a number, or is out of the type's range, reads as the
// default; the default of a key whose table entry has none is the caller's.
float ReadTwips(const SettingsStore& store, const SettingKey& key, float dflt);
std::int32_t ReadScale(const SettingsStore& store);
std::int32_t ReadColour(const SettingsStore& store, const SettingKey& key, std::int32_t dflt);
std::int32_t ReadColour(const SettingsStore& store, const SettingKey& key);
// At start-up the opacity is rounded down; the options dialog rounds halves to even.
std::int16_t ReadOpacityRoundedDown(const SettingsStore& store);
std::int16_t ReadOpacityRounded(const SettingsStore& store);

}  // namespace tg
