#include "common/Texts.h"

#include <array>

namespace tg {

namespace {

constexpr std::array kTexts = {
// The generated table is a list of TG_TEXT(...) lines, read twice: here and for TextId.
#define TG_TEXT(name, chinese, english) TextEntry{#name, chinese, english},  // NOLINT(cppcoreguidelines-macro-usage)
#include "TextTable.inc"
#undef TG_TEXT
};

// The UI thread sets it and reads it; the worker that sends notices gets finished texts.
Language& Chosen() noexcept {
    static Language language = Language::Chinese;
    return language;
}

}  // namespace

Language LanguageFromSetting(std::string_view setting) noexcept {
    return setting == "en" ? Language::English : Language::Chinese;
}

std::string_view LanguageSetting(Language language) noexcept { return language == Language::English ? "en" : "zh"; }

void SetLanguage(Language language) noexcept { Chosen() = language; }

Language CurrentLanguage() noexcept { return Chosen(); }

const char* TextIn(TextId id, Language language) noexcept {
    const auto index = static_cast<std::size_t>(id);
    if (index == 0 || index > kTexts.size()) return "";
    const TextEntry& entry = kTexts[index - 1];
    return language == Language::English && *entry.english != '\0' ? entry.english : entry.chinese;
}

const char* Text(TextId id) noexcept { return TextIn(id, Chosen()); }

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
