#pragma once
// Turns an interface table buffer into records and the two octet totals. Plain logic over bytes:
// it never reads outside the buffer it is given, whatever the buffer claims.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "counters/CInterfaces.h"

namespace tg {

// Converts the description bytes from the table's single-byte code page.
using AnsiDecoder = std::function<std::u16string(std::string_view bytes)>;

struct IfTotals {
    std::int32_t bytesReceived = 0;
    std::int32_t bytesSent = 0;
};

// "00" for a zero byte, otherwise upper-case hex without leading zeros; bytes joined by "-".
std::string FormatAdapterAddress(std::span<const std::uint8_t> bytes);

// How many rows a table whose first word is `count` has us read from `available` bytes: the row
// counter is 16-bit, so only the low 16 bits of the count (as signed) are honoured, and only rows
// that lie completely inside the buffer are read.
std::size_t RowsToRead(std::uint32_t count, std::size_t available) noexcept;

// Appends one record per row to `into` and adds the octet counters to `totals` (wrapping). The
// rows' extras block, where there is one, gives each record its hardware flag and alias.
void ParseIfTable(std::span<const std::uint8_t> buffer, CInterfaces& into, IfTotals& totals,
                  const AnsiDecoder& decode);

// The selection block of a saved table: the interface selection it was counted with.
std::optional<std::string> SavedSelection(std::span<const std::uint8_t> buffer);

// A strict check for tables handed in from outside (a saved file): nullopt when the buffer is
// exactly a count, that many rows and whole blocks, otherwise a one-line reason.
std::optional<std::string> CheckIfTable(std::span<const std::uint8_t> buffer);

}  // namespace tg
