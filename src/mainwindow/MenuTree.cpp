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

}  // namespace

std::span<const MenuNode> ContextMenuTree() { return kTop; }

std::span<const MenuNode> ScaleMenu() { return kScales; }

std::optional<MenuItem> ScaleItem(std::int32_t kbps) {
    for (const MenuNode& node : kScales)
        if (node.value == kbps) return node.item;
    return std::nullopt;
}

std::optional<std::int32_t> ScaleOf(MenuItem item) {
    for (const MenuNode& node : kScales)
        if (node.item == item) return node.value;
    return std::nullopt;
}

std::optional<MenuItem> UnitItem(DisplayUnit unit) {
    for (const MenuNode& node : kUnits)
        if (node.value == static_cast<std::int32_t>(unit)) return node.item;
    return std::nullopt;
}

std::optional<DisplayUnit> UnitOf(MenuItem item) {
    for (const MenuNode& node : kUnits)
        if (node.item == item) return static_cast<DisplayUnit>(node.value);
    return std::nullopt;
}

std::optional<MenuItem> LanguageItem(Language language) {
    for (const MenuNode& node : kLanguages)
        if (node.value == static_cast<std::int32_t>(language)) return node.item;
    return std::nullopt;
}

std::optional<Language> LanguageOf(MenuItem item) {
    for (const MenuNode& node : kLanguages)
        if (node.item == item) return static_cast<Language>(node.value);
    return std::nullopt;
}

std::span<const MenuNode> RadioGroup(MenuItem item) {
    const std::span<const MenuNode> list = ListHolding(item);
    const auto node = std::ranges::find(list, std::optional(item), &MenuNode::item);
    return node != list.end() && node->kind == MenuNodeKind::Radio ? list : std::span<const MenuNode>{};
}

}  // namespace tg
