// Any bytes as an interface table: the parser must stay inside the buffer, the strict check must
// agree with it on well-formed tables, the totals must be the wrapped sums of the records, and the
// selection a saved table carries must be read or refused, never trusted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/Text.h"
#include "common/Wrap32.h"
#include "counters/IfTableParser.h"
#include "counters/IfTableWriter.h"
#include "counters/InterfaceSelection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tg::CInterfaces records;
    tg::IfTotals totals;
    tg::ParseIfTable({data, size}, records, totals, tg::Latin1ToUtf16);

    std::int32_t received = 0;
    for (const tg::CInterfacePtr& r : records) received = tg::WrapAdd32(received, r->OctetsReceived());
    if (received != totals.bytesReceived) std::abort();
    if (!tg::CheckIfTable({data, size}) && static_cast<std::uint32_t>(records.Count()) != tg::GetU32(data)) std::abort();

    if (const auto saved = tg::SavedSelection({data, size})) {
        if (const auto selection = tg::SelectionFromText(*saved)) {
            // What was read back is written the same way again.
            if (tg::SelectionFromText(tg::SelectionToText(*selection)) != selection) std::abort();
        }
        std::vector<bool> counted;
        tg::SelectionFromText(*saved).value_or(tg::InterfaceSelection()).Counted(records, counted);
        if (counted.size() != static_cast<std::size_t>(records.Count())) std::abort();
    }
    return 0;
}
