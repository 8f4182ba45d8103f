// Parsing the interface table against a plain copy of the same bytes, and one Update of the
// sampler over an in-memory table. Figures only: nothing here is asserted.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "common/Text.h"
#include "counters/CIpUpdate.h"
#include "counters/IfTableParser.h"
#include "counters/IfTableWriter.h"

namespace {

std::vector<std::uint8_t> Table(std::size_t rows) {
    std::vector<tg::IfRowFields> fields(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        fields[i].name = tg::Utf8ToUtf16("\\DEVICE\\TCPIP_{4F0B1C2D-0000-4000-8000-" + std::to_string(100000000000 + i) + "}");
        fields[i].index = static_cast<std::uint32_t>(i + 1);
        fields[i].type = 6;
        fields[i].address = {0x00, 0x0C, 0x29, 0x0A, 0xFF, static_cast<std::uint8_t>(i)};
        fields[i].inOctets = static_cast<std::uint32_t>(i * 1000);
        fields[i].outOctets = static_cast<std::uint32_t>(i * 500);
        fields[i].description = "Ethernet adapter " + std::to_string(i);
    }
    return tg::BuildIfTable(fields);
}

void BM_CopyTable(benchmark::State& state) {
    const auto table = Table(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::vector<std::uint8_t> copy(table.size());
        std::memcpy(copy.data(), table.data(), table.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * table.size()));
}

void BM_ParseTable(benchmark::State& state) {
    const auto table = Table(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        tg::CInterfaces records;
        tg::IfTotals totals;
        tg::ParseIfTable(table, records, totals, tg::Latin1ToUtf16);
        benchmark::DoNotOptimize(totals.bytesReceived);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * table.size()));
}

BENCHMARK(BM_CopyTable)->Arg(4)->Arg(500);
BENCHMARK(BM_ParseTable)->Arg(4)->Arg(500);

}  // namespace
