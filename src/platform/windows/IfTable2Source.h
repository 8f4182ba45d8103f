#pragma once
// The interface table read through GetIfTable2 and written in the classic table's byte layout.
//
// The classic GetIfTable also lists the NDIS filter modules bound to each adapter (packet scheduler,
// lightweight filters, ...), and their counters repeat the adapter's, so a sum over its rows counts
// the same traffic two to four times. GetIfTable2 marks those rows; this source leaves them out.
// It also says which rows have a device behind them and what the user named each one: both go to
// the extras block after the rows, where the counting rule and the menu read them.

// ws2ipdef.h before iphlpapi.h: without it the GetIfTable2 types are left out.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "counters/IfTableWriter.h"
#include "counters/KeptTableSource.h"
#include "ports/Clock.h"

namespace tg {

// The two iphlpapi entry points, looked up at run time so the program still starts where they are
// missing (it then reports the table as not supported). Tests hand in their own.
struct IfTable2Api {
    using GetTableFn = ULONG(WINAPI*)(MIB_IF_TABLE2** table);
    using FreeTableFn = void(WINAPI*)(void* memory);

    GetTableFn getTable = nullptr;
    FreeTableFn freeTable = nullptr;

    // iphlpapi.dll from the system directory; both members null when either is missing.
    static IfTable2Api System();
};

// "\DEVICE\TCPIP_{GUID}", upper-case, as the classic table names an interface.
std::u16string IfRowName(const GUID& guid);

// `text` in `codePage`, cut at a character boundary so it fits the classic description column with
// its terminating zero.
std::string DescriptionInCodePage(std::wstring_view text, UINT codePage);

// One classic row from a GetIfTable2 row; the description in the ANSI code page, the alias in UTF-8.
IfRowFields IfRowFieldsFromRow2(const MIB_IF_ROW2& row);

// Not safe for concurrent calls on one object.
class IfTable2Source final : public KeptTableSource {
 public:
    IfTable2Source();
    IfTable2Source(const IfTable2Api& api, Clock& clock);

    std::u16string DecodeDescription(std::string_view bytes) const override;

 private:
    std::uint32_t ReadTable(std::vector<std::uint8_t>& table, bool sorted) override;

    IfTable2Api m_api;
    // Reused from call to call: their capacity follows the largest table seen, not the time run.
    std::vector<IfRowFields> m_rows;  // the rows that are not filter modules, in the system's order
    std::vector<std::size_t> m_order;
};

}  // namespace tg
