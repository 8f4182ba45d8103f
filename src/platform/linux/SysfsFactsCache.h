#pragma once
// What sysfs says about a link that its link message does not, read once per link and state:
// reading it takes several system calls per link, more than the counters cost, and what it says
// (the speed above all) changes only with the link's identity or state.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/NetlinkMessages.h"

namespace tg::netlink {

struct SysfsFacts {
    bool wireless = false;
    bool hardware = false;  // a device stands behind it: its sysfs folder has a "device" entry
    std::uint32_t speed = 0;
};

// bit/s from the text of <sysfs>/<name>/speed (Mbit/s, "-1" when there is no link), clamped to
// 32 bits; anything unreadable is 0.
std::uint32_t SpeedFromSysfs(std::string_view text) noexcept;

class SysfsFactsCache {
 public:
    // sysfsNet: the folder that holds a folder per link, /sys/class/net on a running system.
    explicit SysfsFactsCache(std::string sysfsNet) : m_sysfsNet(std::move(sysfsNet)) {}

    // A link dump asks for every link it holds between the two; links it did not hold are forgotten.
    void StartDump();
    void EndDump();

    // Read again when the link's name, hardware type or state differs from the last time.
    const SysfsFacts& Facts(const LinkMessage& link);

 private:
    struct Entry {
        std::int32_t index = 0;
        std::uint8_t operstate = 0;
        std::uint16_t arphrd = 0;
        std::string name;
        SysfsFacts facts;
        bool seen = false;
    };

    std::string m_sysfsNet;
    std::vector<Entry> m_entries;
};

}  // namespace tg::netlink
