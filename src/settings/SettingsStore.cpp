#include "settings/SettingsStore.h"

#include <optional>

#include "common/Rounding.h"
#include "settings/Conversions.h"

namespace tg {

std::string SettingsStore::Read(std::string_view app, std::string_view section, std::string_view key,
                                std::string_view dflt) const {
    std::optional<std::string> stored = m_backend.Get(app, section, key);
    return stored ? std::move(*stored) : std::string(dflt);
}

std::string SettingsStore::Read(std::string_view app, std::string_view section, std::string_view key,
                                double dflt) const {
    return Read(app, section, key, NumberToText(dflt));
}

void SettingsStore::Write(std::string_view app, std::string_view section, std::string_view key,
                          std::string_view text) {
    m_backend.Set(app, section, key, text);
}

std::string SettingsStore::Read(const SettingKey& key, std::string_view dflt) const {
    return Read(kSettingsApp, kSettingsSection, key.name, dflt);
}

void SettingsStore::Write(const SettingKey& key, std::int32_t number) { Write(key, std::to_string(number)); }

namespace {

// The fixed default of a key, as the reader's type; every table default is a valid number.
double FixedDefault(const SettingKey& key) { return ParseNumber(key.fixedDefault).value_or(0); }

}  // namespace

float ReadTwips(const SettingsStore& store, const SettingKey& key, float dflt) {
    const auto number = ParseNumber(store.Read(key, NumberToText(dflt)));
    return number ? ToSingle(*number).value_or(dflt) : dflt;
}

std::int32_t ReadScale(const SettingsStore& store) {
    const double dflt = FixedDefault(keys::kbps);
    const auto scale = ToInt32HalfEven(LeadingNumber(store.Read(keys::kbps)));
    return scale.value_or(static_cast<std::int32_t>(dflt));
}

std::int32_t ReadColour(const SettingsStore& store, const SettingKey& key, std::int32_t dflt) {
    const auto number = ParseNumber(store.Read(key, std::to_string(dflt)));
    return number ? ToInt32HalfEven(*number).value_or(dflt) : dflt;
}

std::int32_t ReadColour(const SettingsStore& store, const SettingKey& key) {
    return ReadColour(store, key, static_cast<std::int32_t>(FixedDefault(key)));
}

std::int16_t ReadOpacityRoundedDown(const SettingsStore& store) {
    const auto dflt = static_cast<std::int16_t>(FixedDefault(keys::transpa));
    const auto number = ParseNumber(store.Read(keys::transpa));
    return number ? ToInt16Floor(*number).value_or(dflt) : dflt;
}

std::int16_t ReadOpacityRounded(const SettingsStore& store) {
    const auto dflt = static_cast<std::int16_t>(FixedDefault(keys::transpa));
    const auto number = ParseNumber(store.Read(keys::transpa));
    return number ? ToInt16HalfEven(*number).value_or(dflt) : dflt;
}

}  // namespace tg
