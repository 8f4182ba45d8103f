#pragma once
// The OS interface table, with the calling protocol of the classic table call: a query with no
// buffer answers kInsufficientBuffer and the size needed; a fill into a buffer that is too small
// answers the same again; kInvalidParameter when there is no size to answer in; kNotSupported when
// the system has no such table.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Text.h"

namespace tg {

class TableSource {
 public:
    static constexpr std::uint32_t kNoError = 0;
    static constexpr std::uint32_t kNotSupported = 50;
    static constexpr std::uint32_t kInvalidParameter = 87;
    static constexpr std::uint32_t kInsufficientBuffer = 122;

    virtual ~TableSource() = default;

    // `table` may be null; `size` is the buffer's size in bytes on the way in and the size the table
    // needs (or used) on the way out. `sorted` false keeps the OS's own row order.
    virtual std::uint32_t GetIfTable(std::uint8_t* table, std::uint32_t* size, bool sorted) = 0;

    // The code page the table's description bytes are in.
    virtual std::u16string DecodeDescription(std::string_view bytes) const { return Latin1ToUtf16(bytes); }
};

}  // namespace tg
