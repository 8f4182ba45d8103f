#include "counters/CIpHelper.h"

#include <algorithm>
#include <vector>

#include "counters/IfTableParser.h"

namespace tg {

std::shared_ptr<CInterfaces> CIpHelper::Interfaces() {
    m_interfaces = std::make_shared<CInterfaces>();
    LoadInterfaces();
    return m_interfaces;
}

void CIpHelper::LoadInterfaces() {
    m_bytesReceived = 0;
    m_bytesSent = 0;
    m_lastReadSucceeded = false;
    std::uint32_t size = 0;
    if (m_source.GetIfTable(nullptr, &size, false) == TableSource::kNotSupported) {
        m_notice.Show();
        return;
    }
    if (size == 0) return;
    std::vector<std::uint8_t> buffer(size);
    if (m_source.GetIfTable(buffer.data(), &size, false) != TableSource::kNoError) return;

    const std::size_t used = std::min<std::size_t>(size, buffer.size());
    IfTotals totals;
    ParseIfTable({buffer.data(), used}, *m_interfaces, totals,
                 [this](std::string_view bytes) { return m_source.DecodeDescription(bytes); });
    m_bytesReceived = totals.bytesReceived;
    m_bytesSent = totals.bytesSent;
    m_lastReadSucceeded = true;
}

}  // namespace tg
