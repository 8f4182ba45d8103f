#pragma once
// The data plan's limit for a period (`quota`, whole gigabytes of 10^9 bytes) and the notices given
// as the period's traffic reaches 80 % and 100 % of it: each once a period, across runs too. The
// record kept in `quotaalert` is "<the period's first day> <limit a 80 % notice was given for>
// <limit a 100 % notice was given for>", in gigabytes, 0 for none ("2026-12-01 500 0"). A notice
// given for a limit counts for every lower limit, since the traffic it told of passed those too,
// so lowering the limit repeats nothing; a higher limit was never told of, so raising it arms the
// notices again.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/Amounts.h"
#include "usage/UsageLog.h"

namespace tg {

inline constexpr int kNoQuota = 0;
inline constexpr int kLargestQuota = 1'000'000;  // gigabytes
inline constexpr std::uint64_t kBytesPerGigabyte = 1'000'000'000;

// A whole number from 0 to kLargestQuota, or nothing.
std::optional<int> ParseQuota(std::string_view text) noexcept;
// The stored `quota`: anything but such a number means no limit.
int QuotaFromText(std::string_view text) noexcept;

// A notice that is due: the share of the limit reached, what the period used and the limit.
struct QuotaNotice {
    int percent = 0;
    std::uint64_t used = 0;   // bytes
    std::uint64_t limit = 0;  // bytes
    bool operator==(const QuotaNotice&) const = default;
};

class QuotaAlert {
 public:
    // The shares told of, in the order traffic reaches them.
    static constexpr std::array<int, 2> kShares = {80, 100};

    // Takes the stored record; one that cannot be read is none: nothing has been told this period.
    void Restore(std::string_view record);
    // The record to store, once Check has given a notice.
    std::string Record() const;
    // The period that starts on `periodFirst` has used `used` bytes of a limit of `quota` gigabytes:
    // the notice due now, if any, taken as given. Reaching both shares at once gives one notice,
    // of 100 %: it says all the other would, and a warning of what has already happened is noise.
    std::optional<QuotaNotice> Check(Day periodFirst, std::uint64_t used, int quota);

 private:
    Day m_period{};
    std::array<int, kShares.size()> m_toldFor{};  // per share, the largest limit told of in m_period
};

// The notice as the user reads it: what was used and the limit, in the unit's family.
std::string QuotaNoticeText(const QuotaNotice& notice, DisplayUnit unit);

}  // namespace tg
