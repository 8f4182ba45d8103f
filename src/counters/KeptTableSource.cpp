#include "counters/KeptTableSource.h"

#include <algorithm>

namespace tg {

std::uint32_t KeptTableSource::GetIfTable(std::uint8_t* table, std::uint32_t* size, bool sorted) {
    if (size == nullptr) return kInvalidParameter;
    const std::uint32_t capacity = table != nullptr ? *size : 0;
    const bool useKept = KeptTableServes(capacity, sorted);
    m_kept = false;
    if (!useKept) {
        if (const std::uint32_t status = ReadTable(m_table, sorted); status != kNoError) return status;
    }
    *size = static_cast<std::uint32_t>(m_table.size());
    if (capacity < m_table.size()) {
        // The caller comes back at once with a buffer of this size.
        m_kept = true;
        m_keptSorted = sorted;
        m_keptAt = m_clock.Now();
        return kInsufficientBuffer;
    }
    std::copy(m_table.begin(), m_table.end(), table);
    return kNoError;
}

bool KeptTableSource::KeptTableServes(std::uint32_t capacity, bool sorted) {
    return m_kept && m_keptSorted == sorted && capacity >= m_table.size() &&
           m_clock.Now() - m_keptAt < kKeptTableLifetime;
}

}  // namespace tg
