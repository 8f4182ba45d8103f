// What one tick costs on Linux with the real interface table. Figures only; nothing is asserted.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "counters/CIpUpdate.h"
#include "counters/IfTableLayout.h"
#include "counters/IfTableWriter.h"
#include "counters/UnsupportedNotice.h"
#include "platform/linux/NetlinkTableSource.h"
#include "ports/Clock.h"
#include "ports/MessageDialog.h"

namespace {

class SilentDialog final : public tg::MessageDialog {
 public:
    void Show(std::string_view, std::string_view, tg::MessageIcon) override {}
};

const tg::NetlinkTableSourceOptions kCountersAlone{};
const tg::NetlinkTableSourceOptions kLinkDumps{.countersOnlyReads = false};

// Reads the table afresh for the fill as well, so a tick costs two reads: the design the source
// avoids by keeping the table its size query built. Here to show what that saves.
class TwoReadsPerTick final : public tg::TableSource {
 public:
    explicit TwoReadsPerTick(const tg::NetlinkTableSourceOptions& options) : m_source(options) {}
    std::uint32_t GetIfTable(std::uint8_t* table, std::uint32_t* size, bool sorted) override {
        if (table != nullptr) {
            std::uint32_t spent = *size;
            m_source.GetIfTable(table, &spent, sorted);  // takes the kept table, so the next call reads anew
        }
        return m_source.GetIfTable(table, size, sorted);
    }

 private:
    tg::NetlinkTableSource m_source;
};

std::uint32_t Links(tg::TableSource& source) {
    std::uint32_t size = 0;
    source.GetIfTable(nullptr, &size, false);
    std::vector<std::uint8_t> table(size);
    if (size < tg::iftable::kCountSize || source.GetIfTable(table.data(), &size, false) != 0) return 0;
    return tg::GetU32(table.data());
}

template <typename Source>
void RunUpdates(benchmark::State& state, const tg::NetlinkTableSourceOptions& options) {
    Source source(options);
    SilentDialog dialog;
    tg::UnsupportedNotice notice(dialog);
    tg::SteadyClock clock;
    tg::CIpUpdate update(source, notice, clock);
    tg::TickResult tick;
    for (auto _ : state) update.Update(tick);
    state.counters["links"] = Links(source);
}

void BM_Update(benchmark::State& state, const tg::NetlinkTableSourceOptions& options) {
    RunUpdates<tg::NetlinkTableSource>(state, options);
}
void BM_UpdateTwoReads(benchmark::State& state, const tg::NetlinkTableSourceOptions& options) {
    RunUpdates<TwoReadsPerTick>(state, options);
}
BENCHMARK_CAPTURE(BM_Update, counters_alone, kCountersAlone);
BENCHMARK_CAPTURE(BM_Update, link_dump_every_tick, kLinkDumps);
BENCHMARK_CAPTURE(BM_UpdateTwoReads, counters_alone, kCountersAlone);
BENCHMARK_CAPTURE(BM_UpdateTwoReads, link_dump_every_tick, kLinkDumps);

void BM_QueryAndFill(benchmark::State& state, const tg::NetlinkTableSourceOptions& options) {
    tg::NetlinkTableSource source(options);
    std::vector<std::uint8_t> buffer;
    for (auto _ : state) {
        std::uint32_t size = 0;
        source.GetIfTable(nullptr, &size, false);
        buffer.resize(size);
        source.GetIfTable(buffer.data(), &size, false);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["links"] = Links(source);
}
BENCHMARK_CAPTURE(BM_QueryAndFill, counters_alone, kCountersAlone);
BENCHMARK_CAPTURE(BM_QueryAndFill, link_dump_every_tick, kLinkDumps);

bool RunIp(const std::string& commands) {
    FILE* ip = ::popen("ip -batch - >/dev/null 2>&1", "w");
    if (ip == nullptr) return false;
    std::fputs(commands.c_str(), ip);
    return ::pclose(ip) == 0;
}

// Ten links in a network namespace of their own (beside a down "lo"), made once and kept alive by
// a descriptor: dummy links, or five veth pairs where the kernel has no dummy driver.
struct TenLinks {
    int ns = -1;  // -1: this process may not make namespaces, or ip(8) is missing
    const char* kind = "";
};

const TenLinks& MakeTenLinks() {
    static const TenLinks links = [] {
        TenLinks made;
        const int home = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        if (home < 0 || ::unshare(CLONE_NEWNET) != 0) {
            if (home >= 0) ::close(home);
            return made;
        }
        std::string dummies, veths;
        for (int i = 0; i < 10; ++i) {
            const std::string name = "tgb" + std::to_string(i);
            dummies += "link add " + name + " type dummy\nlink set " + name + " up\n";
            if (i % 2 == 0) veths += "link add " + name + " type veth peer name tgb" + std::to_string(i + 1) + "\n";
            veths += "link set " + name + " up\n";
        }
        if (RunIp(dummies)) made.kind = "10 dummy links, private namespace";
        else if (RunIp(veths)) made.kind = "5 veth pairs, private namespace";
        if (*made.kind != '\0') made.ns = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        ::setns(home, CLONE_NEWNET);
        ::close(home);
        return made;
    }();
    return links;
}

// Keeps this thread in the network namespace `ns` while it lives; stays home when ns is -1.
class Inside {
 public:
    explicit Inside(int ns) {
        if (ns < 0) return;
        m_home = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        if (m_home >= 0 && ::setns(ns, CLONE_NEWNET) != 0) ::close(std::exchange(m_home, -1));
    }
    ~Inside() {
        if (m_home < 0) return;
        ::setns(m_home, CLONE_NEWNET);
        ::close(m_home);
    }
    Inside(const Inside&) = delete;
    Inside& operator=(const Inside&) = delete;
    explicit operator bool() const { return m_home >= 0; }

 private:
    int m_home = -1;
};

// One tick over ten links, each one's difference taken: automatic counting finds no hardware link
// among them, so it counts every one but loopback. Where no namespace can be had, the machine's
// own links stand in, and "links" says how many there are.
void BM_UpdateTenLinks(benchmark::State& state) {
    const TenLinks& links = MakeTenLinks();
    const Inside inside(links.ns);
    tg::NetlinkTableSource source;
    SilentDialog dialog;
    tg::UnsupportedNotice notice(dialog);
    tg::SteadyClock clock;
    tg::CIpUpdate update(source, notice, clock);
    tg::TickResult tick;
    update.Update(tick);
    for (auto _ : state) update.Update(tick);
    std::vector<bool> counted;
    update.Selection().Counted(*tick.table, counted);
    state.counters["links"] = Links(source);
    state.counters["counted"] = static_cast<double>(std::count(counted.begin(), counted.end(), true));
    state.SetLabel(inside ? links.kind : "this machine's links");
}
BENCHMARK(BM_UpdateTenLinks);

}  // namespace
