#pragma once
// Every key the program keeps in the settings store, its stored form and its default. A default
// left empty depends on the window's state at the moment of the read, and the reader passes it.
#include <array>
#include <string_view>

namespace tg {

inline constexpr std::string_view kSettingsApp = "TideGauge";
inline constexpr std::string_view kSettingsSection = "\xE9\x85\x8D\xE7\xBD\xAE";  // 配置, never shown: same in every language

enum class SettingForm {
    Twips,    // decimal number, read as single precision
    Scale,    // leading number, rounded to 32 bits: 128 ... 2048, or -1 for automatic
    Colour,   // decimal 0x00BBGGRR, read as a 32-bit integer
    Opacity,  // 0 (invisible) to 255 (opaque)
    Flag,     // "0" or "1" (the units: "0", "1", "2"), compared as exact texts
    List,     // names joined with ','; empty for automatic
    Day,      // a day of the month, 1 to 28
    Gigabytes,  // whole gigabytes of 10^9 bytes, 0 to 1,000,000; 0 for none
    Text,     // the program's own record, read back by the program alone
    Language,  // "en" for English; anything else, or none, Chinese
};

struct SettingKey {
    std::string_view name;
    SettingForm form;
    std::string_view fixedDefault;  // empty: computed by the reader from the window's state
};

namespace keys {
inline constexpr SettingKey x{"x", SettingForm::Twips, ""};
inline constexpr SettingKey y{"y", SettingForm::Twips, ""};
inline constexpr SettingKey x1{"x1", SettingForm::Twips, ""};
inline constexpr SettingKey y1{"y1", SettingForm::Twips, ""};
inline constexpr SettingKey kbps{"kbps", SettingForm::Scale, "-1"};
inline constexpr SettingKey bgcolor1{"bgcolor1", SettingForm::Colour, ""};  // graph bottom; first start 16777215
inline constexpr SettingKey bgcolor2{"bgcolor2", SettingForm::Colour, ""};  // graph top; first start 8454143
inline constexpr SettingKey bgcolor3{"bgcolor3", SettingForm::Colour, "255"};    // download bars
inline constexpr SettingKey bgcolor4{"bgcolor4", SettingForm::Colour, "65535"};  // upload bars
inline constexpr SettingKey bgcolor5{"bgcolor5", SettingForm::Colour, ""};  // read-outs; first start 0
inline constexpr SettingKey transpa{"transpa", SettingForm::Opacity, "180"};
inline constexpr SettingKey info{"info", SettingForm::Flag, "0"};
inline constexpr SettingKey ontop{"ontop", SettingForm::Flag, "1"};
inline constexpr SettingKey interfaces{"interfaces", SettingForm::List, ""};  // the interfaces counted
inline constexpr SettingKey periodstart{"periodstart", SettingForm::Day, "1"};  // a data plan's first day
inline constexpr SettingKey units{"units", SettingForm::Flag, "0"};     // the read-outs' unit: "0", "1" or "2"
inline constexpr SettingKey locked{"locked", SettingForm::Flag, "0"};  // "1": a drag neither moves nor resizes
inline constexpr SettingKey trayicon{"trayicon", SettingForm::Flag, "0"};  // "1": the notification-area icon shows
inline constexpr SettingKey hidden{"hidden", SettingForm::Flag, "0"};      // "1": hidden while the icon shows
inline constexpr SettingKey clickthrough{"clickthrough", SettingForm::Flag, "0"};  // "1": clicks pass through
inline constexpr SettingKey hidefullscreen{"hidefullscreen", SettingForm::Flag, "0"};  // "1": hidden for full screen
inline constexpr SettingKey quota{"quota", SettingForm::Gigabytes, "0"};  // a data plan's limit a period
inline constexpr SettingKey quotaalert{"quotaalert", SettingForm::Text, ""};  // the alerts given this period
inline constexpr SettingKey language{"language", SettingForm::Language, "zh"};  // of every text shown
}  // namespace keys

inline constexpr std::array<SettingKey, 24> kSettingKeys = {
    keys::x,        keys::y,        keys::x1,       keys::y1,      keys::kbps, keys::bgcolor1,   keys::bgcolor2,
    keys::bgcolor3, keys::bgcolor4, keys::bgcolor5, keys::transpa, keys::info, keys::ontop,      keys::interfaces,
    keys::periodstart, keys::units, keys::locked, keys::trayicon, keys::hidden, keys::clickthrough,
    keys::hidefullscreen, keys::quota, keys::quotaalert, keys::language,
};

}  // namespace tg
