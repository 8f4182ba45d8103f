#pragma once
// Reads the OS interface table into a fresh collection of records at every read of Interfaces(),
// and sums the received and sent octet counters of all rows.
#include <cstdint>
#include <memory>

#include "counters/CInterfaces.h"
#include "counters/UnsupportedNotice.h"
#include "ports/TableSource.h"

namespace tg {

class CIpHelper {
 public:
    CIpHelper(TableSource& source, UnsupportedNotice& notice) : m_source(source), m_notice(notice) {}

    // Reads the table anew: a new collection, new totals.
    std::shared_ptr<CInterfaces> Interfaces();
    // Replaces the current collection; the totals stay.
    void Interfaces(std::shared_ptr<CInterfaces> vData) { m_interfaces = std::move(vData); }

    std::int32_t BytesReceived() const noexcept { return m_bytesReceived; }
    std::int32_t BytesSent() const noexcept { return m_bytesSent; }
    // Whether the last read got a table from the system (an empty one counts); a table that is not
    // supported, or whose read failed, reads as an empty collection as well.
    bool LastReadSucceeded() const noexcept { return m_lastReadSucceeded; }

 private:
    void LoadInterfaces();

    TableSource& m_source;
    UnsupportedNotice& m_notice;
    std::shared_ptr<CInterfaces> m_interfaces;
    std::int32_t m_bytesReceived = 0;
    std::int32_t m_bytesSent = 0;
    bool m_lastReadSucceeded = false;
};

}  // namespace tg
