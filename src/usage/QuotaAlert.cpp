#include "usage/QuotaAlert.h"

#include <algorithm>
#include <vector>

#include "common/Texts.h"

namespace tg {

namespace {

// The record's fields, split at single spaces: the program writes it so and reads only its own.
std::vector<std::string_view> Fields(std::string_view record) {
    std::vector<std::string_view> fields;
    for (std::size_t space = record.find(' '); space != std::string_view::npos; space = record.find(' ')) {
        fields.push_back(record.substr(0, space));
        record.remove_prefix(space + 1);
    }
    fields.push_back(record);
    return fields;
}

}  // namespace

std::optional<int> ParseQuota(std::string_view text) noexcept { return WholeNumberIn(text, kNoQuota, kLargestQuota); }

int QuotaFromText(std::string_view text) noexcept { return ParseQuota(text).value_or(kNoQuota); }

void QuotaAlert::Restore(std::string_view record) {
    *this = QuotaAlert();
    const std::vector<std::string_view> fields = Fields(record);
    if (fields.size() != 1 + m_toldFor.size()) return;
    const std::optional<Day> period = DayFromText(fields[0]);
    std::array<int, kShares.size()> toldFor{};
    for (std::size_t i = 0; i < toldFor.size(); ++i) {
        const std::optional<int> limit = ParseQuota(fields[i + 1]);
        if (!limit) return;
        toldFor[i] = *limit;
    }
    if (!period) return;
    m_period = *period;
    m_toldFor = toldFor;
}

std::string QuotaAlert::Record() const {
    std::string record = DayText(m_period);
    for (const int limit : m_toldFor) record += ' ' + std::to_string(limit);
    return record;
}

std::optional<QuotaNotice> QuotaAlert::Check(Day periodFirst, std::uint64_t used, int quota) {
    if (quota <= kNoQuota) return std::nullopt;
    if (periodFirst != m_period) {
        m_period = periodFirst;
        m_toldFor.fill(kNoQuota);
    }
    // A limit is a whole number of gigabytes, so a hundredth of it is a whole number of bytes.
    const std::uint64_t limit = static_cast<std::uint64_t>(quota) * kBytesPerGigabyte;
    std::optional<std::size_t> due;
    for (std::size_t i = 0; i < kShares.size(); ++i)
        if (used >= limit / 100 * static_cast<std::uint64_t>(kShares[i]) && m_toldFor[i] < quota) due = i;
    if (!due) return std::nullopt;
    for (std::size_t i = 0; i <= *due; ++i) m_toldFor[i] = std::max(m_toldFor[i], quota);
    return QuotaNotice{kShares[*due], used, limit};
}

std::string QuotaNoticeText(const QuotaNotice& notice, DisplayUnit unit) {
    const std::string used = AmountText(unit, notice.used);
    const std::string limit = AmountText(unit, notice.limit);
    if (notice.percent >= 100) return FormatText(TextId::QuotaReached, {used, limit});
    return FormatText(TextId::QuotaShare, {used, limit, std::to_string(notice.percent)});
}

}  // namespace tg
