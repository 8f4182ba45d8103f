#pragma once
// The context menu as data: every item, caption and submenu in display order. Both front ends
// build their real menus by walking it, and the portable code finds the scales and the groups of
// marks in it, so a new item is one line here.
#include <cstdint>
#include <optional>
#include <span>

#include "common/Texts.h"
#include "mainwindow/RateText.h"
#include "ports/Form.h"

namespace tg {

enum class MenuNodeKind {
    Command,     // runs its item's command
    Check,       // a command with a check mark of its own
    Radio,       // a check item of a group: picking one marks it and clears its siblings
    Separator,
    Submenu,     // opens `children`
    Interfaces,  // where the interface items of the moment go (Form::SetInterfaceItems)
};

struct MenuNode {
    TextId caption = TextId::None;       // None for Separator and Interfaces
    std::span<const MenuNode> children;  // Submenu only
    MenuNodeKind kind = MenuNodeKind::Separator;
    std::int32_t value = 0;              // Radio: what picking it selects (a scale's kilobits, a unit)
    std::optional<MenuItem> item;        // Command, Check and Radio nodes only

    // Whether a person picks it and the program then runs the item's command.
    constexpr bool Pickable() const noexcept { return item.has_value(); }
    // Both front ends show Radio items with the same check mark as Check items.
    constexpr bool Checkable() const noexcept { return kind == MenuNodeKind::Check || kind == MenuNodeKind::Radio; }
};

// The popup's top level, in display order.
std::span<const MenuNode> ContextMenuTree();

// The 设置曲线最大值 submenu: a Radio item per scale, the value its kilobits, -1 automatic.
std::span<const MenuNode> ScaleMenu();
inline constexpr std::int32_t kAutomaticScale = -1;
std::optional<MenuItem> ScaleItem(std::int32_t kbps);
std::optional<std::int32_t> ScaleOf(MenuItem item);

// The 显示单位 submenu: a Radio item per unit of the read-outs.
std::optional<MenuItem> UnitItem(DisplayUnit unit);
std::optional<DisplayUnit> UnitOf(MenuItem item);

// The 语言 (Language) submenu: a Radio item per language.
std::optional<MenuItem> LanguageItem(Language language);
std::optional<Language> LanguageOf(MenuItem item);

// The Radio siblings of `item`, the group a pick of it marks; empty when it is no Radio item.
std::span<const MenuNode> RadioGroup(MenuItem item);

}  // namespace tg
