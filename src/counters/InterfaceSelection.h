#pragma once
// Which interfaces the totals sum.
//
// Automatic (the default): the hardware interfaces, those with a device behind them. A loopback,
// a bridge, a VPN or a container's veth carries bytes that a hardware interface counts as well, or
// that never leave the machine. Where no interface is hardware (a container, some virtual
// machines), every interface but loopback.
// Chosen: the interfaces the user picked, by their stable names (the table's interface name). One
// that is absent counts nothing and stays chosen for when it comes back.
// All: every row, as the probe's --interfaces all asks.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "counters/CInterfaces.h"

namespace tg {

class InterfaceSelection {
 public:
    enum class Mode { Automatic, Chosen, All };

    InterfaceSelection() = default;  // automatic
    static InterfaceSelection All();
    // No names: automatic. Repeated names count once.
    static InterfaceSelection Chosen(std::vector<std::string> names);

    Mode GetMode() const noexcept { return m_mode; }
    const std::vector<std::string>& Names() const noexcept { return m_names; }
    bool operator==(const InterfaceSelection&) const = default;

    // Whether each row of `table` counts, in the table's order, into `counted` (reused storage).
    void Counted(const CInterfaces& table, std::vector<bool>& counted) const;

    // The menu's pick of an interface: in automatic mode the choice becomes that interface alone;
    // otherwise it is toggled, and taking out the last one returns to automatic.
    InterfaceSelection Picked(std::string_view name) const;

 private:
    Mode m_mode = Mode::Automatic;
    std::vector<std::string> m_names;
};

// The stored form: empty for automatic, else the names joined with ','; a '%' or ',' inside a
// name is written %25 or %2C. Spaces around a name are ignored on reading.
std::string SelectionToText(const InterfaceSelection& selection);
// nullopt when the text is garbled: an empty name, a bad % escape, a control character, text that
// is not UTF-8, or a name or list longer than any system gives.
std::optional<InterfaceSelection> SelectionFromText(std::string_view text);
// The stored choice as the program counts by it: a garbled text means automatic (and is left as it
// is until the user picks again).
InterfaceSelection SelectionOrAutomatic(std::string_view text);
// The probe's --interfaces: "all", or a list as stored.
std::optional<InterfaceSelection> SelectionFromOption(std::string_view text);

}  // namespace tg
