#include "counters/InterfaceSelection.h"

#include <algorithm>

#include "common/Text.h"
#include "counters/IfTableLayout.h"

namespace tg {

namespace {

// Linux names have at most 15 bytes and Windows' "\DEVICE\TCPIP_{GUID}" 52; a list longer than
// this was not written by the program.
constexpr std::size_t kMaxNameBytes = 256;
constexpr std::size_t kMaxNames = 256;

bool IsLoopback(const CInterface& row) { return row.InterfaceType() == iftable::kIfTypeSoftwareLoopback; }

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One name of the list with its escapes undone; nullopt when it cannot be a name.
std::optional<std::string> Unescape(std::string_view text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
        if (c != '%') {
            name += c;
            continue;
        }
        const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) return std::nullopt;
        const char decoded = static_cast<char>(high * 16 + low);
        if (decoded != '%' && decoded != ',') return std::nullopt;
        name += decoded;
        i += 2;
    }
    if (name.empty() || name.size() > kMaxNameBytes || !IsUtf8(name)) return std::nullopt;
    return name;
}

}  // namespace

InterfaceSelection InterfaceSelection::All() {
    InterfaceSelection s;
    s.m_mode = Mode::All;
    return s;
}

InterfaceSelection InterfaceSelection::Chosen(std::vector<std::string> names) {
    InterfaceSelection s;
    for (std::string& name : names)
        if (std::find(s.m_names.begin(), s.m_names.end(), name) == s.m_names.end()) s.m_names.push_back(std::move(name));
    if (!s.m_names.empty()) s.m_mode = Mode::Chosen;
    return s;
}

void InterfaceSelection::Counted(const CInterfaces& table, std::vector<bool>& counted) const {
    counted.assign(static_cast<std::size_t>(table.Count()), false);
    const bool anyHardware =
        std::any_of(table.begin(), table.end(), [](const CInterfacePtr& r) { return r->HardwareInterface(); });
    std::size_t i = 0;
    for (const CInterfacePtr& row : table) {
        switch (m_mode) {
            case Mode::All: counted[i] = true; break;
            case Mode::Chosen:
                counted[i] = std::find(m_names.begin(), m_names.end(), row->InterfaceName()) != m_names.end();
                break;
            case Mode::Automatic: counted[i] = anyHardware ? row->HardwareInterface() : !IsLoopback(*row); break;
        }
        ++i;
    }
}

InterfaceSelection InterfaceSelection::Picked(std::string_view name) const {
    if (m_mode != Mode::Chosen) return Chosen({std::string(name)});
    std::vector<std::string> names = m_names;
    const auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) names.emplace_back(name);
    else names.erase(it);
    return Chosen(std::move(names));
}

std::string SelectionToText(const InterfaceSelection& selection) {
    std::string text;
    for (const std::string& name : selection.Names()) {
        if (!text.empty()) text += ',';
        for (const char c : name) {
            if (c == '%') text += "%25";
            else if (c == ',') text += "%2C";
            else text += c;
        }
    }
    return text;
}

std::optional<InterfaceSelection> SelectionFromText(std::string_view text) {
    std::vector<std::string> names;
    if (TrimSpaces(text).empty()) return InterfaceSelection();
    while (true) {
        const std::size_t comma = text.find(',');
        const auto name = Unescape(TrimSpaces(text.substr(0, comma)));
        if (!name || names.size() == kMaxNames) return std::nullopt;
        names.push_back(*name);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return InterfaceSelection::Chosen(std::move(names));
}

InterfaceSelection SelectionOrAutomatic(std::string_view text) {
    return SelectionFromText(text).value_or(InterfaceSelection());
}

std::optional<InterfaceSelection> SelectionFromOption(std::string_view text) {
    if (text == "all") return InterfaceSelection::All();
    if (TrimSpaces(text).empty()) return std::nullopt;
    return SelectionFromText(text);
}

}  // namespace tg
