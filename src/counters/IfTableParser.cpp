#include "counters/IfTableParser.h"

#include <algorithm>

#include "common/Text.h"
#include "common/Wrap32.h"
#include "counters/IfTableLayout.h"
#include "counters/IfTableWriter.h"

namespace tg {

using namespace iftable;

namespace {

std::int32_t Field(const std::uint8_t* row, std::size_t offset) {
    return AsSigned32(GetU32(row + offset));
}

// The name up to its first zero unit. Names are nearly always ASCII, which needs no UTF-16 detour.
std::string DecodeName(const std::uint8_t* row) {
    const std::uint8_t* field = row + kNameOffset;
    std::size_t units = 0;
    bool ascii = true;
    for (; units < kNameUnits; ++units) {
        const unsigned unit = field[2 * units] | (field[2 * units + 1] << 8);
        if (unit == 0) break;
        ascii = ascii && unit < 0x80;
    }
    std::string name(units, '\0');
    if (ascii) {
        for (std::size_t i = 0; i < units; ++i) name[i] = static_cast<char>(field[2 * i]);
        return name;
    }
    std::u16string wide(units, u'\0');
    for (std::size_t i = 0; i < units; ++i) wide[i] = static_cast<char16_t>(field[2 * i] | (field[2 * i + 1] << 8));
    return Utf16ToUtf8(wide);
}

// The length counts bytes. In a single-byte code page that is the same as cutting the converted
// text to that many characters; in a multi-byte one only whole bytes of the description are kept.
// ASCII reads the same in every code page, so it skips the decoder.
std::string DecodeDescription(const std::uint8_t* row, const AnsiDecoder& decode) {
    const std::uint32_t keep = GetU32(row + kDescriptionLengthOffset);
    const std::size_t bytes = std::min<std::size_t>(keep, kDescriptionBytes);
    const std::string_view text(reinterpret_cast<const char*>(row + kDescriptionOffset), bytes);
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii) return std::string(text);
    return Utf16ToUtf8(decode(text));
}

CInterfacePtr ParseRow(const std::uint8_t* row, const AnsiDecoder& decode) {
    auto r = std::make_shared<CInterface>();
    r->InterfaceDescription(DecodeDescription(row, decode));
    const std::int32_t addressLength = Field(row, kAddressLengthOffset);
    if (addressLength > 0) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(addressLength), kAddressBytes);
        r->AdapterAddress(FormatAdapterAddress({row + kAddressOffset, n}));
    }
    r->InterfaceIndex(Field(row, kIndexOffset));
    r->InterfaceType(Field(row, kTypeOffset));
    r->MaximumTransmissionUnit(Field(row, kMtuOffset));
    r->Speed(Field(row, kSpeedOffset));
    r->AdminStatus(Field(row, kAdminStatusOffset));
    r->OperationalStatus(Field(row, kOperStatusOffset));
    r->OctetsReceived(Field(row, kInOctetsOffset));
    r->UnicastPacketsReceived(Field(row, kInUcastOffset));
    r->NonunicastPacketsReceived(Field(row, kInNUcastOffset));
    r->DiscardedIncomingPackets(Field(row, kInDiscardsOffset));
    r->IncomingErrors(Field(row, kInErrorsOffset));
    r->UnknownProtocolPackets(Field(row, kInUnknownProtosOffset));
    r->OctetsSent(Field(row, kOutOctetsOffset));
    r->UnicastPacketsSent(Field(row, kOutUcastOffset));
    r->NonunicastPacketsSent(Field(row, kOutNUcastOffset));
    r->DiscardedOutgoingPackets(Field(row, kOutDiscardsOffset));
    r->OutgoingErrors(Field(row, kOutErrorsOffset));
    r->OutputQueueLength(Field(row, kOutQueueLengthOffset));
    r->InterfaceName(DecodeName(row));
    return r;
}

// The blocks after the declared rows: visit(tag, payload) for each whole one. False when the bytes
// after the rows are not whole blocks (a cut or damaged file); the blocks before that were visited.
template <typename Visit>
bool ForEachBlock(std::span<const std::uint8_t> buffer, Visit visit) {
    if (buffer.size() < kCountSize) return false;
    const std::uint64_t start = kCountSize + std::uint64_t{kRowSize} * GetU32(buffer.data());
    if (start > buffer.size()) return false;
    auto rest = buffer.subspan(static_cast<std::size_t>(start));
    while (!rest.empty()) {
        if (rest.size() < kBlockHeaderSize) return false;
        const std::uint32_t length = GetU32(rest.data() + 4);
        if (length > rest.size() - kBlockHeaderSize) return false;
        visit(std::string_view(reinterpret_cast<const char*>(rest.data()), 4), rest.subspan(kBlockHeaderSize, length));
        rest = rest.subspan(kBlockHeaderSize + length);
    }
    return true;
}

bool IsTag(std::string_view tag, const std::array<char, 4>& expected) {
    return tag == std::string_view(expected.data(), expected.size());
}

// visit(flags, alias) for each whole entry of a row extras payload; false when one is cut off.
template <typename Visit>
bool ForEachRowExtra(std::span<const std::uint8_t> payload, Visit visit) {
    while (!payload.empty()) {
        if (payload.size() < 2 || payload[1] > payload.size() - 2) return false;
        visit(payload[0], std::string_view(reinterpret_cast<const char*>(payload.data() + 2), payload[1]));
        payload = payload.subspan(2 + std::size_t{payload[1]});
    }
    return true;
}

void ApplyRowExtras(std::span<const std::uint8_t> buffer, CInterfaces& into, std::int32_t firstNew) {
    ForEachBlock(buffer, [&](std::string_view tag, std::span<const std::uint8_t> payload) {
        if (!IsTag(tag, kRowExtrasTag)) return;
        std::int32_t position = firstNew;
        ForEachRowExtra(payload, [&](std::uint8_t flags, std::string_view alias) {
            if (position > into.Count()) return;
            CInterface& record = *into.Item(position++);
            record.HardwareInterface((flags & kFlagHardware) != 0);
            record.InterfaceAlias(std::string(alias));
        });
    });
}

}  // namespace

std::string FormatAdapterAddress(std::span<const std::uint8_t> bytes) {
    static constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t b : bytes) {
        if (!text.empty()) text += '-';
        if (b == 0) {
            text += "00";
        } else {
            if (b >= 16) text += kHex[b >> 4];
            text += kHex[b & 0xF];
        }
    }
    return text;
}

std::size_t RowsToRead(std::uint32_t count, std::size_t available) noexcept {
    const auto low16 = static_cast<std::int16_t>(static_cast<std::uint16_t>(count & 0xFFFF));
    if (low16 <= 0 || available < kCountSize) return 0;
    const std::size_t complete = (available - kCountSize) / kRowSize;
    return std::min(static_cast<std::size_t>(low16), complete);
}

void ParseIfTable(std::span<const std::uint8_t> buffer, CInterfaces& into, IfTotals& totals,
                  const AnsiDecoder& decode) {
    if (buffer.size() < kCountSize) return;
    const std::size_t rows = RowsToRead(GetU32(buffer.data()), buffer.size());
    const std::int32_t firstNew = into.Count() + 1;
    into.Reserve(static_cast<std::size_t>(into.Count()) + rows);
    for (std::size_t i = 1; i <= rows; ++i) {
        const std::uint8_t* row = buffer.data() + RowOffset(i);
        CInterfacePtr record = ParseRow(row, decode);
        totals.bytesReceived = WrapAdd32(totals.bytesReceived, record->OctetsReceived());
        totals.bytesSent = WrapAdd32(totals.bytesSent, record->OctetsSent());
        into.Add(record);
    }
    ApplyRowExtras(buffer, into, firstNew);
}

std::optional<std::string> SavedSelection(std::span<const std::uint8_t> buffer) {
    std::optional<std::string> selection;
    ForEachBlock(buffer, [&](std::string_view tag, std::span<const std::uint8_t> payload) {
        if (IsTag(tag, kSelectionTag)) selection.emplace(reinterpret_cast<const char*>(payload.data()), payload.size());
    });
    return selection;
}

std::optional<std::string> CheckIfTable(std::span<const std::uint8_t> buffer) {
    if (buffer.size() < kCountSize)
        return "too short for an interface table (" + std::to_string(buffer.size()) + " bytes)";
    const std::uint64_t count = GetU32(buffer.data());
    const std::uint64_t expected = kCountSize + count * kRowSize;
    if (count > 0x7FFF) return "row count " + std::to_string(count) + " is over 32767";
    if (buffer.size() < expected)
        return "row count " + std::to_string(count) + " needs " + std::to_string(expected) +
               " bytes, the table has " + std::to_string(buffer.size());
    bool extrasWhole = true;
    std::uint64_t extras = 0;
    const bool blocksWhole = ForEachBlock(buffer, [&](std::string_view tag, std::span<const std::uint8_t> payload) {
        if (!IsTag(tag, kRowExtrasTag)) return;
        extrasWhole = extrasWhole && ForEachRowExtra(payload, [&](std::uint8_t, std::string_view) { ++extras; });
    });
    if (!blocksWhole)
        return "the " + std::to_string(buffer.size() - expected) + " bytes after the rows are not whole blocks";
    if (!extrasWhole || extras > count) return "the rows' extras block is damaged";
    return std::nullopt;
}

}  // namespace tg
