#include "mainwindow/MenuTree.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tg {

namespace {

constexpr MenuNode Command(MenuItem item, const char* caption) { return {caption, {}, MenuNodeKind::Command, 0, item}; }
constexpr MenuNode Check(MenuItem item, const char* caption) { return {caption, {}, MenuNodeKind::Check, 0, item}; }
constexpr MenuNode Radio(MenuItem item, const char* caption, std::int32_t value) {
    return {caption, {}, MenuNodeKind::Radio, value, item};
}
constexpr MenuNode Separator() { return {"", {}, MenuNodeKind::Separator, 0, std::nullopt}; }
constexpr MenuNode Submenu(const char* caption, std::span<const MenuNode> children) {
    return {caption, children, MenuNodeKind::Submenu, 0, std::nullopt};
}
constexpr MenuNode InterfaceItems() { return {"", {}, MenuNodeKind::Interfaces, 0, std::nullopt}; }

constexpr std::array kScales = {
    Radio(MenuItem::Kbps128, "128 Kbps", 128),    Radio(MenuItem::Kbps256, "256 Kbps", 256),
    Radio(MenuItem::Kbps512, "512 Kbps", 512),    Radio(MenuItem::Kbps1024, "1024 Kbps", 1024),
    Radio(MenuItem::Kbps2048, "2048 Kbps", 2048), Radio(MenuItem::KbpsAuto, "自动", kAutomaticScale),
};

constexpr std::array kInterfaces = {
    Check(MenuItem::InterfacesAuto, "自动"),
    Separator(),
    InterfaceItems(),
};

constexpr std::array kUnits = {
    Radio(MenuItem::UnitsKilobits, "千比特 (kb)", static_cast<std::int32_t>(DisplayUnit::Kilobits)),
    Radio(MenuItem::UnitsBits, "比特 (kb/Mb/Gb)", static_cast<std::int32_t>(DisplayUnit::Bits)),
    Radio(MenuItem::UnitsBytes, "字节 (KB/MB/GB)", static_cast<std::int32_t>(DisplayUnit::Bytes)),
};

constexpr std::array kTop = {
    Check(MenuItem::ontop, "总在最前"),
    Check(MenuItem::locked, "锁定位置"),
    Check(MenuItem::trayicon, "显示通知区域图标"),
    Check(MenuItem::hidden, "隐藏主窗口"),
    Check(MenuItem::clickthrough, "鼠标穿透"),
    Check(MenuItem::hidefullscreen, "全屏时隐藏"),
    Separator(),
    Submenu("设置曲线最大值", kScales),
    Submenu("网络接口", kInterfaces),
    Submenu("显示单位", kUnits),
    Command(MenuItem::usage, "流量统计..."),
    Separator(),
    Command(MenuItem::abt, "关于..."),
    Command(MenuItem::opt, "配置..."),
    Command(MenuItem::exit, "退出"),
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

std::span<const MenuNode> RadioGroup(MenuItem item) {
    const std::span<const MenuNode> list = ListHolding(item);
    const auto node = std::ranges::find(list, std::optional(item), &MenuNode::item);
    return node != list.end() && node->kind == MenuNodeKind::Radio ? list : std::span<const MenuNode>{};
}

}  // namespace tg
