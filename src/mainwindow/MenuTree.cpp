#include "mainwindow/MenuTree.h"

#include <algorithm>

namespace tg {

namespace {

constexpr MenuNode Command(MenuItem item, const char* caption) { return {MenuNodeKind::Command, item, caption, 0, {}}; }
constexpr MenuNode Check(MenuItem item, const char* caption) { return {MenuNodeKind::Check, item, caption, 0, {}}; }
constexpr MenuNode Radio(MenuItem item, const char* caption, std::int32_t value) {
    return {MenuNodeKind::Radio, item, caption, value, {}};
}
constexpr MenuNode Separator() { return {MenuNodeKind::Separator, std::nullopt, "", 0, {}}; }
constexpr MenuNode Submenu(const char* caption, std::span<const MenuNode> children) {
    return {MenuNodeKind::Submenu, std::nullopt, caption, 0, children};
}
constexpr MenuNode InterfaceItems() { return {MenuNodeKind::Interfaces, std::nullopt, "", 0, {}}; }

constexpr MenuNode kScales[] = {
    Radio(MenuItem::Kbps128, "128 Kbps", 128),    Radio(MenuItem::Kbps256, "256 Kbps", 256),
    Radio(MenuItem::Kbps512, "512 Kbps", 512),    Radio(MenuItem::Kbps1024, "1024 Kbps", 1024),
    Radio(MenuItem::Kbps2048, "2048 Kbps", 2048), Radio(MenuItem::KbpsAuto, "自动", kAutomaticScale),
};

constexpr MenuNode kInterfaces[] = {
    Check(MenuItem::InterfacesAuto, "自动"),
    Separator(),
    InterfaceItems(),
};

constexpr MenuNode kTop[] = {
    Check(MenuItem::ontop, "总在最前"),
    Separator(),
    Submenu("设置曲线最大值", kScales),
    Submenu("网络接口", kInterfaces),
    Separator(),
    Command(MenuItem::abt, "关于..."),
    Command(MenuItem::opt, "配置..."),
    Command(MenuItem::exit, "退出"),
};

// The list of nodes that holds `item`, searched depth first from `nodes`.
std::span<const MenuNode> ListHolding(std::span<const MenuNode> nodes, MenuItem item) {
    for (const MenuNode& node : nodes) {
        if (node.item == item) return nodes;
        if (const auto inner = ListHolding(node.children, item); !inner.empty()) return inner;
    }
    return {};
}

}  // namespace

std::span<const MenuNode> ContextMenuTree() { return kTop; }

std::span<const MenuNode> ScaleMenu() { return kScales; }

std::optional<MenuItem> ScaleItem(std::int32_t kbps) {
    const auto* it = std::ranges::find(kScales, kbps, &MenuNode::value);
    return it == std::end(kScales) ? std::nullopt : it->item;
}

std::optional<std::int32_t> ScaleOf(MenuItem item) {
    const auto* it = std::ranges::find(kScales, std::optional(item), &MenuNode::item);
    return it == std::end(kScales) ? std::nullopt : std::optional(it->value);
}

std::span<const MenuNode> RadioGroup(MenuItem item) {
    const std::span<const MenuNode> list = ListHolding(kTop, item);
    const auto node = std::ranges::find(list, std::optional(item), &MenuNode::item);
    return node != list.end() && node->kind == MenuNodeKind::Radio ? list : std::span<const MenuNode>{};
}

}  // namespace tg
