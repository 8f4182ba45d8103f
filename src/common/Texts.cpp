#include "common/Texts.h"

#include <array>

namespace tg {

namespace {

constexpr std::array kTexts = {
#define TG_TEXT(name, chinese, english) TextEntry{#name, chinese, english},
#include "TextTable.inc"
#undef TG_TEXT
};

// The UI thread sets it and reads it; the worker that sends notices gets finished texts.
Language g_language = Language::Chinese;

}  // namespace

Language LanguageFromSetting(std::string_view setting) noexcept {
    return setting == "en" ? Language::English : Language::Chinese;
}

std::string_view LanguageSetting(Language language) noexcept { return language == Language::English ? "en" : "zh"; }

void SetLanguage(Language language) noexcept { g_language = language; }

Language CurrentLanguage() noexcept { return g_language; }

const char* TextIn(TextId id, Language language) noexcept {
    const auto index = static_cast<std::size_t>(id);
    if (index == 0 || index > kTexts.size()) return "";
    const TextEntry& entry = kTexts[index - 1];
    return language == Language::English && *entry.english != '\0' ? entry.english : entry.chinese;
}

const char* Text(TextId id) noexcept { return TextIn(id, g_language); }

std::string FormatText(TextId id, std::initializer_list<std::string_view> arguments) {
    const std::string_view pattern = Text(id);
    std::string text;
    std::size_t i = 0;
    for (std::size_t mark = pattern.find('{'); mark != std::string_view::npos; mark = pattern.find('{', mark + 1)) {
        if (mark + 2 >= pattern.size() || pattern[mark + 2] != '}' || pattern[mark + 1] < '0') continue;
        const auto n = static_cast<std::size_t>(pattern[mark + 1] - '0');
        if (n >= arguments.size()) continue;
        text.append(pattern.substr(i, mark - i)).append(arguments.begin()[n]);
        i = mark + 3;
    }
    return text.append(pattern.substr(i));
}

std::span<const TextEntry> TextTable() noexcept { return kTexts; }

}  // namespace tg
