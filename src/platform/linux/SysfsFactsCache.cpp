#include "platform/linux/SysfsFactsCache.h"

#include <fcntl.h>
#include <linux/if_arp.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <limits>

namespace tg::netlink {
namespace {

std::string ReadSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::array<char, 32> text{};
    ssize_t n = 0;
    do n = ::read(fd, text.data(), text.size()); while (n < 0 && errno == EINTR);
    ::close(fd);
    return n > 0 ? std::string(text.data(), static_cast<std::size_t>(n)) : std::string();
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// The kernel already refuses such names; the check keeps a path built from one inside sysfs.
bool UsableInPath(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

std::uint32_t SpeedFromSysfs(std::string_view text) noexcept {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    std::int64_t mbits = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mbits);
    if (error != std::errc() || end != text.data() + text.size() || mbits <= 0) return 0;
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    if (mbits > kMax / 1'000'000) return kMax;
    return static_cast<std::uint32_t>(mbits * 1'000'000);
}

void SysfsFactsCache::StartDump() {
    for (Entry& entry : m_entries) entry.seen = false;
}

void SysfsFactsCache::EndDump() {
    std::erase_if(m_entries, [](const Entry& e) { return !e.seen; });
}

const SysfsFacts& SysfsFactsCache::Facts(const LinkMessage& link) {
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.index == link.index; });
    if (it == m_entries.end()) {
        it = m_entries.emplace(m_entries.end());
    } else if (it->operstate == link.operstate && it->arphrd == link.arphrd && it->name == link.name) {
        it->seen = true;
        return it->facts;
    }
    it->index = link.index;
    it->operstate = link.operstate;
    it->arphrd = link.arphrd;
    it->name = link.name;
    it->seen = true;
    it->facts = {};
    if (!UsableInPath(link.name)) return it->facts;
    const std::string dir = m_sysfsNet + '/' + link.name + '/';
    it->facts.wireless = link.arphrd == ARPHRD_ETHER && (Exists(dir + "wireless") || Exists(dir + "phy80211"));
    it->facts.hardware = Exists(dir + "device");
    it->facts.speed = SpeedFromSysfs(ReadSmallFile(dir + "speed"));
    return it->facts;
}

}  // namespace tg::netlink
