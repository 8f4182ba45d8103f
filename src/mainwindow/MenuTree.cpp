#include "mainwindow/MenuTree.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tg {

namespace {

using T = TextId;

constexpr MenuNode Command(MenuItem item, TextId caption) { return {caption, {}, MenuNodeKind::Command, 0, item}; }
constexpr MenuNode Check(MenuItem item, TextId caption) { return {caption, {}, MenuNodeKind::Check, 0, item}; }
constexpr MenuNode Radio(MenuItem item, TextId caption, std::int32_t value) {
    return {caption, {}, MenuNodeKind::Radio, value, item};
}
constexpr MenuNode Separator() { return {TextId::None, {}, MenuNodeKind::Separator, 0, std::nullopt}; }
constexpr MenuNode Submenu(TextId caption, std::span<const MenuNode> children) {
    return {caption, children, MenuNodeKind::Submenu, 0, std::nullopt};
}
constexpr MenuNode InterfaceItems() { return {TextId::None, {}, MenuNodeKind::Interfaces, 0, std::nullopt}; }

constexpr std::array kScales = {
    Radio(MenuItem::Kbps128, T::MenuScale128, 128),    Radio(MenuItem::Kbps256, T::MenuScale256, 256),
    Radio(MenuItem::Kbps512, T::MenuScale512, 512),    Radio(MenuItem::Kbps1024, T::MenuScale1024, 1024),
    Radio(MenuItem::Kbps2048, T::MenuScale2048, 2048), Radio(MenuItem::KbpsAuto, T::MenuAutomatic, kAutomaticScale),
};

constexpr std::array kInterfaces = {
    Check(MenuItem::InterfacesAuto, T::MenuAutomatic),
    Separator(),
    InterfaceItems(),
};

constexpr std::array kUnits = {
    Radio(MenuItem::UnitsKilobits, T::MenuUnitsKilobits, static_cast<std::int32_t>(DisplayUnit::Kilobits)),
    Radio(MenuItem::UnitsBits, T::MenuUnitsBits, static_cast<std::int32_t>(DisplayUnit::Bits)),
    Radio(MenuItem::UnitsBytes, T::MenuUnitsBytes, static_cast<std::int32_t>(DisplayUnit::Bytes)),
};

// Each language under its own name, so that anyone finds theirs.
constexpr std::array kLanguages = {
    Radio(MenuItem::LanguageChinese, T::MenuChinese, static_cast<std::int32_t>(Language::Chinese)),
    Radio(MenuItem::LanguageEnglish, T::MenuEnglish, static_cast<std::int32_t>(Language::English)),
};

constexpr std::array kTop = {
    Check(MenuItem::ontop, T::MenuOnTop),
    Check(MenuItem::locked, T::MenuLocked),
    Check(MenuItem::trayicon, T::MenuTrayIcon),
    Check(MenuItem::hidden, T::MenuHidden),
    Check(MenuItem::clickthrough, T::MenuClickThrough),
    Check(MenuItem::hidefullscreen, T::MenuHideFullScreen),
    Separator(),
    Submenu(T::MenuScale, kScales),
    Submenu(T::MenuInterfaces, kInterfaces),
    Submenu(T::MenuUnits, kUnits),
    Command(MenuItem::usage, T::MenuUsage),
    Separator(),
    Command(MenuItem::abt, T::MenuAbout),
    Command(MenuItem::opt, T::MenuOptions),
    Submenu(T::MenuLanguage, kLanguages),
    Command(MenuItem::exit, T::MenuExit),
};

// The list of nodes that holds `item`, the top level and every submenu searched.
std::span<const MenuNode> ListHolding(MenuItem item) {
    std::vector<std::span<const MenuNode>> lists{kTop};
    while (!lists.empty()) {
        const std::span<const MenuNode> list = lists.back();
        lists.pop_back();
        for (const MenuNode& node : list) {
            if (node.item == item) return list;
            if (!node.children.empty()) lists.push_back(node.children);
        }
    }
    return {};
}

// A Radio group's item that selects `value`, and the value an item of the group selects.
std::optional<MenuItem> ItemWithValue(std::span<const MenuNode> group, std::int32_t value) {
    const auto node = std::ranges::find(group, value, &MenuNode::value);
    return node != group.end() ? node->item : std::nullopt;
}

std::optional<std::int32_t> ValueOf(std::span<const MenuNode> group, MenuItem item) {
    const auto node = std::ranges::find(group, std::optional(item), &MenuNode::item);
    return node != group.end() ? std::optional(node->value) : std::nullopt;
}

}  // namespace

std::span<const MenuNode> ContextMenuTree() { return kTop; }

std::span<const MenuNode> ScaleMenu() { return kScales; }

std::optional<MenuItem> ScaleItem(std::int32_t kbps) { return ItemWithValue(kScales, kbps); }

std::optional<std::int32_t> ScaleOf(MenuItem item) { return ValueOf(kScales, item); }

std::optional<MenuItem> UnitItem(DisplayUnit unit) { return ItemWithValue(kUnits, static_cast<std::int32_t>(unit)); }

std::optional<DisplayUnit> UnitOf(MenuItem item) {
    const std::optional<std::int32_t> value = ValueOf(kUnits, item);
    return value ? std::optional(static_cast<DisplayUnit>(*value)) : std::nullopt;
}

std::optional<MenuItem> LanguageItem(Language language) {
    return ItemWithValue(kLanguages, static_cast<std::int32_t>(language));
}

std::optional<Language> LanguageOf(MenuItem item) {
    const std::optional<std::int32_t> value = ValueOf(kLanguages, item);
    return value ? std::optional(static_cast<Language>(*value)) : std::nullopt;
}

std::span<const MenuNode> RadioGroup(MenuItem item) {
    const std::span<const MenuNode> list = ListHolding(item);
    const auto node = std::ranges::find(list, std::optional(item), &MenuNode::item);
    return node != list.end() && node->kind == MenuNodeKind::Radio ? list : std::span<const MenuNode>{};
}

}  // namespace tg
