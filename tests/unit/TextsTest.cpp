#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "common/Texts.h"

namespace tg {
namespace {

// The {n} marks of a text, which a translation must keep, in any order.
std::multiset<std::string> Marks(std::string_view text) {
    static const std::regex mark(R"(\{[0-9]\})");
    std::multiset<std::string> marks;
    const std::string s(text);
    for (auto it = std::sregex_iterator(s.begin(), s.end(), mark); it != std::sregex_iterator(); ++it)
        marks.insert(it->str());
    return marks;
}

TEST(TextsTest, EveryTextHasBothLanguagesWithTheSameMarksAndTheChoiceFallsBackToChinese) {
    std::set<std::string_view> names;
    for (const TextEntry& entry : TextTable()) {
        EXPECT_TRUE(names.insert(entry.name).second) << entry.name << " twice";
        EXPECT_STRNE(entry.chinese, "") << entry.name;
        EXPECT_STRNE(entry.english, "") << entry.name << " has no English";
        EXPECT_EQ(Marks(entry.chinese), Marks(entry.english)) << entry.name;
    }
    EXPECT_STREQ(TextIn(TextId::None, Language::English), "");
    EXPECT_STREQ(TextIn(static_cast<TextId>(TextTable().size() + 1), Language::English), "") << "past the table";
    for (const auto& [setting, language] : {std::pair{"en", Language::English}, {"zh", Language::Chinese},
                                            {"", Language::Chinese}, {"EN", Language::Chinese}}) {
        EXPECT_EQ(LanguageFromSetting(setting), language) << setting;
    }
    EXPECT_EQ(LanguageFromSetting(LanguageSetting(Language::English)), Language::English);
    SetLanguage(Language::English);
    EXPECT_EQ(FormatText(TextId::QuotaShare, {"8 GB", "10 GB", "80"}), "8 GB used this period: 80% of the monthly limit of 10 GB.");
    EXPECT_EQ(FormatText(TextId::QuotaShare, {"8 GB"}), "8 GB used this period: {2}% of the monthly limit of {1}.")
        << "a mark without an argument stays";
    SetLanguage(Language::Chinese);
    EXPECT_STREQ(Text(TextId::MenuExit), "退出");
}

#ifdef TG_SOURCE_DIR
// A C++ file's string literals, with their line numbers; comments and character literals skipped.
std::vector<std::pair<int, std::string>> Literals(const std::string& code) {
    std::vector<std::pair<int, std::string>> found;
    int line = 1;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '\n') ++line;
        if (c == '/' && i + 1 < code.size() && code[i + 1] == '/') {
            i = code.find('\n', i) - 1;
        } else if (c == '/' && i + 1 < code.size() && code[i + 1] == '*') {
            const std::size_t end = code.find("*/", i + 2);
            line += static_cast<int>(std::count(code.begin() + static_cast<std::ptrdiff_t>(i), code.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
            i = end + 1;
        } else if (c == '"' || (c == '\'' && (i == 0 || !std::isalnum(static_cast<unsigned char>(code[i - 1]))))) {
            std::string literal;
            for (++i; i < code.size() && code[i] != c; ++i) {
                if (code[i] == '\\') literal += code[i++];
                literal += code[i];
            }
            if (c == '"') found.emplace_back(line, literal);
        }
    }
    return found;
}

bool NonAscii(const std::string& literal) {
    static const std::regex escaped(R"(\\x[89A-Fa-f][0-9A-Fa-f])");
    return std::any_of(literal.begin(), literal.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }) ||
           std::regex_search(literal, escaped);
}

// What a person reads comes from the catalogues: no source file spells a text of its own in
// Chinese (or in any other script), and no front end hands a literal to a call that shows text.
// A symbol that reads the same in every language says so on its line.
TEST(TextsTest, NoSourceFileHoldsATextShownToAPerson) {
    static const std::regex shows(
        R"((gtk_label_new|gtk_window_set_title|_new_with_label|gtk_widget_set_tooltip_text|gtk_menu_item_set_label|)"
        R"(SetWindowTextW|MessageBoxW|AppendMenuW|InsertMenuW)\s*\([^;(]*L?")");
    const std::filesystem::path src = std::filesystem::path(TG_SOURCE_DIR) / "src";
    int files = 0;
    for (const auto& file : std::filesystem::recursive_directory_iterator(src)) {
        const std::string ext = file.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        ++files;
        std::stringstream code;
        code << std::ifstream(file.path()).rdbuf();
        std::vector<std::string> lines;
        for (std::string l; std::getline(code, l);) lines.push_back(l);
        const std::string where = file.path().lexically_relative(src).string();
        for (const auto& [line, literal] : Literals(code.str())) {
            const bool marked = lines[static_cast<std::size_t>(line - 1)].find("same in every language") != std::string::npos;
            EXPECT_TRUE(!NonAscii(literal) || marked) << where << ':' << line << ": \"" << literal << '"';
        }
        const bool frontEnd = where.starts_with("platform/gtk") || where.starts_with("platform/win32");
        for (std::size_t i = 0; frontEnd && i < lines.size(); ++i)
            EXPECT_FALSE(std::regex_search(lines[i], shows)) << where << ':' << i + 1 << ": " << lines[i];
    }
    EXPECT_GT(files, 100) << "the sources were found";
}
#endif

}  // namespace
}  // namespace tg
