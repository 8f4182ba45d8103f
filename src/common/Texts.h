#pragma once
// Every text the program shows a person, by name, in the language the user picked. The texts come
// from po/zh_CN.po and po/en.po (generated into TextTable.inc); the Chinese ones are the program's
// originals and the default, so a user who never picks a language sees nothing new.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace tg {

enum class Language : std::uint8_t { Chinese, English };

// None is no text: an empty caption (a swatch, a spin button).
enum class TextId : std::uint16_t {
    None,
#define TG_TEXT(name, chinese, english) name,  // NOLINT(cppcoreguidelines-macro-usage)
#include "TextTable.inc"
#undef TG_TEXT
};

struct TextEntry {
    const char* name;
    const char* chinese;
    const char* english;  // empty where the catalogue has none yet: the Chinese text shows
};

// The stored setting: "en" is English, anything else Chinese.
Language LanguageFromSetting(std::string_view setting) noexcept;
std::string_view LanguageSetting(Language language) noexcept;

// The language of every text asked for from now on; the program starts in Chinese.
void SetLanguage(Language language) noexcept;
Language CurrentLanguage() noexcept;

// NUL-terminated, for the toolkits' C calls; "" for None.
const char* Text(TextId id) noexcept;
const char* TextIn(TextId id, Language language) noexcept;

// The text with {0}, {1}, ... replaced by the arguments; a mark without an argument stays as it is.
std::string FormatText(TextId id, std::initializer_list<std::string_view> arguments);

// Every named text, in the order of TextId after None.
std::span<const TextEntry> TextTable() noexcept;

}  // namespace tg
