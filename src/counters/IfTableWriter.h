#pragma once
// Writes interface rows into the table byte layout. Table sources that read a richer OS interface
// use it, and so do tests that need a buffer.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tg {

struct IfRowFields {
    std::u16string name = {};  // at most 255 units are kept, so the field stays zero-terminated
    std::uint32_t index = 0;
    std::uint32_t type = 0;
    std::uint32_t mtu = 0;
    std::uint32_t speed = 0;
    std::vector<std::uint8_t> address = {};  // over 8 bytes: length 0, as the table cannot hold it
    std::uint32_t adminStatus = 0;
    std::uint32_t operStatus = 0;
    std::uint32_t lastChange = 0;
    std::uint32_t inOctets = 0, inUcast = 0, inNUcast = 0, inDiscards = 0, inErrors = 0, inUnknownProtos = 0;
    std::uint32_t outOctets = 0, outUcast = 0, outNUcast = 0, outDiscards = 0, outErrors = 0, outQueueLength = 0;
    std::string description = {};  // single-byte code-page text; at most 256 bytes are kept
    // The extras block: a device stands behind the interface; the name a person gave it (UTF-8,
    // cut to 255 bytes at a character boundary).
    bool hardware = false;
    std::string alias = {};
};

void PutU32(std::uint8_t* at, std::uint32_t value) noexcept;
std::uint32_t GetU32(const std::uint8_t* at) noexcept;

// Writes one row into the 860 bytes at `row` (which are overwritten completely).
void WriteIfRow(std::uint8_t* row, const IfRowFields& fields);

// A whole table: the row count, every row, then the rows' extras block.
std::vector<std::uint8_t> BuildIfTable(std::span<const IfRowFields> rows);

// The same into `table`: the rows in the system's order, or by index when `sorted` (rows with the
// same index keep the system's order). The storage of `table` and of `order`, which only holds the
// row order while writing, is reused.
void WriteIfTable(std::vector<std::uint8_t>& table, std::span<const IfRowFields> rows, bool sorted,
                  std::vector<std::size_t>& order);

// Appends the selection block (a saved table's record of what counted).
void AppendSelectionBlock(std::vector<std::uint8_t>& table, std::string_view selection);

}  // namespace tg
