#include "counters/IfTableWriter.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "counters/IfTableLayout.h"

namespace tg {

using namespace iftable;

void PutU32(std::uint8_t* at, std::uint32_t value) noexcept {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* at) noexcept {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

void WriteIfRow(std::uint8_t* row, const IfRowFields& f) {
    std::memset(row, 0, kRowSize);
    const std::size_t units = std::min(f.name.size(), kNameUnits - 1);
    for (std::size_t i = 0; i < units; ++i) {
        row[kNameOffset + 2 * i] = static_cast<std::uint8_t>(f.name[i] & 0xFF);
        row[kNameOffset + 2 * i + 1] = static_cast<std::uint8_t>(f.name[i] >> 8);
    }
    PutU32(row + kIndexOffset, f.index);
    PutU32(row + kTypeOffset, f.type);
    PutU32(row + kMtuOffset, f.mtu);
    PutU32(row + kSpeedOffset, f.speed);
    if (f.address.size() <= kAddressBytes) {
        PutU32(row + kAddressLengthOffset, static_cast<std::uint32_t>(f.address.size()));
        std::copy(f.address.begin(), f.address.end(), row + kAddressOffset);
    }
    PutU32(row + kAdminStatusOffset, f.adminStatus);
    PutU32(row + kOperStatusOffset, f.operStatus);
    PutU32(row + kLastChangeOffset, f.lastChange);
    PutU32(row + kInOctetsOffset, f.inOctets);
    PutU32(row + kInUcastOffset, f.inUcast);
    PutU32(row + kInNUcastOffset, f.inNUcast);
    PutU32(row + kInDiscardsOffset, f.inDiscards);
    PutU32(row + kInErrorsOffset, f.inErrors);
    PutU32(row + kInUnknownProtosOffset, f.inUnknownProtos);
    PutU32(row + kOutOctetsOffset, f.outOctets);
    PutU32(row + kOutUcastOffset, f.outUcast);
    PutU32(row + kOutNUcastOffset, f.outNUcast);
    PutU32(row + kOutDiscardsOffset, f.outDiscards);
    PutU32(row + kOutErrorsOffset, f.outErrors);
    PutU32(row + kOutQueueLengthOffset, f.outQueueLength);
    const std::size_t descLen = std::min(f.description.size(), kDescriptionBytes);
    PutU32(row + kDescriptionLengthOffset, static_cast<std::uint32_t>(descLen));
    std::copy_n(f.description.begin(), descLen, row + kDescriptionOffset);
}

namespace {

// At most `limit` bytes of UTF-8 text, never ending inside a character.
std::string_view CutUtf8(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<std::uint8_t>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

void AppendBlockHeader(std::vector<std::uint8_t>& table, const std::array<char, 4>& tag, std::size_t payload) {
    const std::size_t at = table.size();
    table.resize(at + kBlockHeaderSize);
    std::copy(tag.begin(), tag.end(), table.begin() + static_cast<std::ptrdiff_t>(at));
    PutU32(table.data() + at + 4, static_cast<std::uint32_t>(payload));
}

void AppendRowExtras(std::vector<std::uint8_t>& table, std::span<const IfRowFields> rows,
                     std::span<const std::size_t> order) {
    std::size_t payload = 0;
    for (const std::size_t i : order) payload += 2 + CutUtf8(rows[i].alias, kMaxAliasBytes).size();
    AppendBlockHeader(table, kRowExtrasTag, payload);
    for (const std::size_t i : order) {
        const std::string_view alias = CutUtf8(rows[i].alias, kMaxAliasBytes);
        table.push_back(rows[i].hardware ? kFlagHardware : 0);
        table.push_back(static_cast<std::uint8_t>(alias.size()));
        table.insert(table.end(), alias.begin(), alias.end());
    }
}

// Ties go to the earlier row, which keeps the sort stable without the buffer std::stable_sort
// would allocate on every call.
void OrderRows(std::span<const IfRowFields> rows, bool sorted, std::vector<std::size_t>& order) {
    order.resize(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (!sorted) return;
    std::sort(order.begin(), order.end(), [rows](std::size_t a, std::size_t b) {
        return rows[a].index != rows[b].index ? rows[a].index < rows[b].index : a < b;
    });
}

}  // namespace

void WriteIfTable(std::vector<std::uint8_t>& table, std::span<const IfRowFields> rows, bool sorted,
                  std::vector<std::size_t>& order) {
    OrderRows(rows, sorted, order);
    table.resize(kCountSize + kRowSize * order.size());
    PutU32(table.data(), static_cast<std::uint32_t>(order.size()));
    for (std::size_t i = 0; i < order.size(); ++i) WriteIfRow(table.data() + RowOffset(i + 1), rows[order[i]]);
    AppendRowExtras(table, rows, order);
}

std::vector<std::uint8_t> BuildIfTable(std::span<const IfRowFields> rows) {
    std::vector<std::size_t> order;
    std::vector<std::uint8_t> table;
    WriteIfTable(table, rows, false, order);
    return table;
}

void AppendSelectionBlock(std::vector<std::uint8_t>& table, std::string_view selection) {
    AppendBlockHeader(table, kSelectionTag, selection.size());
    table.insert(table.end(), selection.begin(), selection.end());
}

MibOperStatus iftable::MibOperStatusFromIfOper(IfOperStatus status, bool adminUp) noexcept {
    switch (status) {
        case kIfOperUp: return kOperOperational;
        case kIfOperDormant: return kOperConnecting;
        case kIfOperDown:
        case kIfOperLowerLayerDown: return kOperDisconnected;
        case kIfOperUnknown: return adminUp ? kOperOperational : kOperNonOperational;
        case kIfOperTesting:
        case kIfOperNotPresent: break;
    }
    return kOperNonOperational;
}

}  // namespace tg
