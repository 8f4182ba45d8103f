// Any bytes as an interface table: the parser must stay inside the buffer, the strict check must
// agree with it on well-formed tables, and the totals must be the wrapped sums of the records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/Text.h"
#include "common/Wrap32.h"
#include "counters/IfTableParser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tg::CInterfaces records;
    tg::IfTotals totals;
    tg::ParseIfTable({data, size}, records, totals, tg::Latin1ToUtf16);

    std::int32_t received = 0;
    for (const tg::CInterfacePtr& r : records) received = tg::WrapAdd32(received, r->OctetsReceived());
    if (received != totals.bytesReceived) std::abort();
    if (!tg::CheckIfTable({data, size}) && static_cast<std::size_t>(records.Count()) * 860 + 4 != size) std::abort();
    return 0;
}
