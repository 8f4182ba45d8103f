#pragma once
// The byte layout of the interface table as the OS returns it: a little-endian 32-bit row count,
// then fixed-size rows. Every table source writes it and the parser reads it; the offsets live here
// only.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tg::iftable {

inline constexpr std::size_t kCountSize = 4;
inline constexpr std::size_t kRowSize = 860;

inline constexpr std::size_t kNameOffset = 0;
inline constexpr std::size_t kNameUnits = 256;  // UTF-16LE code units
inline constexpr std::size_t kIndexOffset = 512;
inline constexpr std::size_t kTypeOffset = 516;
inline constexpr std::size_t kMtuOffset = 520;
inline constexpr std::size_t kSpeedOffset = 524;
inline constexpr std::size_t kAddressLengthOffset = 528;
inline constexpr std::size_t kAddressOffset = 532;
inline constexpr std::size_t kAddressBytes = 8;
inline constexpr std::size_t kAdminStatusOffset = 540;
inline constexpr std::size_t kOperStatusOffset = 544;
inline constexpr std::size_t kLastChangeOffset = 548;
inline constexpr std::size_t kInOctetsOffset = 552;
inline constexpr std::size_t kInUcastOffset = 556;
inline constexpr std::size_t kInNUcastOffset = 560;
inline constexpr std::size_t kInDiscardsOffset = 564;
inline constexpr std::size_t kInErrorsOffset = 568;
inline constexpr std::size_t kInUnknownProtosOffset = 572;
inline constexpr std::size_t kOutOctetsOffset = 576;
inline constexpr std::size_t kOutUcastOffset = 580;
inline constexpr std::size_t kOutNUcastOffset = 584;
inline constexpr std::size_t kOutDiscardsOffset = 588;
inline constexpr std::size_t kOutErrorsOffset = 592;
inline constexpr std::size_t kOutQueueLengthOffset = 596;
inline constexpr std::size_t kDescriptionLengthOffset = 600;
inline constexpr std::size_t kDescriptionOffset = 604;
inline constexpr std::size_t kDescriptionBytes = 256;

static_assert(kDescriptionOffset + kDescriptionBytes == kRowSize);
static_assert(kNameOffset + 2 * kNameUnits == kIndexOffset);

// Byte offset of row i, counted from 1.
constexpr std::size_t RowOffset(std::size_t i) { return kCountSize + kRowSize * (i - 1); }

// After the rows our sources append blocks the classic table has no column for, and a saved table
// keeps them, so a replay counts what the live read counted. Each block is a 4-byte tag, a 32-bit
// payload length and the payload. Readers skip tags they do not know; a table without blocks (an
// older dump file) reads as rows without extras.
inline constexpr std::size_t kBlockHeaderSize = 8;
// Per row, in the rows' order: one flags byte, one length byte, that many bytes of UTF-8 alias.
inline constexpr std::array<char, 4> kRowExtrasTag = {'T', 'G', 'R', 'X'};
inline constexpr std::uint8_t kFlagHardware = 0x01;
inline constexpr std::size_t kMaxAliasBytes = 255;
// The interface selection in effect when the table was saved, as its setting's text.
inline constexpr std::array<char, 4> kSelectionTag = {'T', 'G', 'S', 'L'};

// The interface type codes the table uses (IANA ifType).
enum IfType : std::uint32_t {
    kIfTypeOther = 1,
    kIfTypeEthernet = 6,
    kIfTypePpp = 23,
    kIfTypeSoftwareLoopback = 24,
    kIfTypeWireless = 71,
    kIfTypeTunnel = 131,
};

// Administrative status codes.
enum AdminStatus : std::uint32_t { kAdminUp = 1, kAdminDown = 2, kAdminTesting = 3 };

// Operational status codes of the table (not the RFC 2863 ones: see MibOperStatusFromIfOper).
enum MibOperStatus : std::uint32_t {
    kOperNonOperational = 0,
    kOperUnreachable = 1,
    kOperDisconnected = 2,
    kOperConnecting = 3,
    kOperConnected = 4,
    kOperOperational = 5,
};

// RFC 2863 ifOperStatus, the scale both platforms' richer interface APIs report.
enum IfOperStatus : std::uint32_t {
    kIfOperUp = 1,
    kIfOperDown = 2,
    kIfOperTesting = 3,
    kIfOperUnknown = 4,
    kIfOperDormant = 5,
    kIfOperNotPresent = 6,
    kIfOperLowerLayerDown = 7,
};

// The table's operational code for an RFC 2863 status. An "unknown" link that is administratively
// up counts as operational: virtual links (loopback, tun) report no carrier state at all.
MibOperStatus MibOperStatusFromIfOper(IfOperStatus status, bool adminUp) noexcept;

}  // namespace tg::iftable
