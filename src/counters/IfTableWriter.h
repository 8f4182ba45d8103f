#pragma once
// Writes interface rows into the table byte layout. Table sources that read a richer OS interface
// use it, and so do tests that need a buffer.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tg {

struct IfRowFields {
    std::u16string name;  // at most 255 units are kept, so the field stays zero-terminated
    std::uint32_t index = 0;
    std::uint32_t type = 0;
    std::uint32_t mtu = 0;
    std::uint32_t speed = 0;
    std::vector<std::uint8_t> address;  // over 8 bytes: length 0, as the table cannot hold it
    std::uint32_t adminStatus = 0;
    std::uint32_t operStatus = 0;
    std::uint32_t lastChange = 0;
    std::uint32_t inOctets = 0, inUcast = 0, inNUcast = 0, inDiscards = 0, inErrors = 0, inUnknownProtos = 0;
    std::uint32_t outOctets = 0, outUcast = 0, outNUcast = 0, outDiscards = 0, outErrors = 0, outQueueLength = 0;
    std::string description;  // single-byte code-page text; at most 256 bytes are kept
};

void PutU32(std::uint8_t* at, std::uint32_t value) noexcept;
std::uint32_t GetU32(const std::uint8_t* at) noexcept;

// Writes one row into the 860 bytes at `row` (which are overwritten completely).
void WriteIfRow(std::uint8_t* row, const IfRowFields& fields);

// A whole table: the row count, then every row.
std::vector<std::uint8_t> BuildIfTable(std::span<const IfRowFields> rows);

}  // namespace tg
