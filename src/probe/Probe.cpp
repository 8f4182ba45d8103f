#include "probe/Probe.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

#include "common/Text.h"
#include "common/Wrap32.h"
#include "counters/CIpHelper.h"
#include "counters/CIpUpdate.h"
#include "counters/IfTableParser.h"
#include "counters/IfTableWriter.h"
#include "probe/ProbeOptions.h"
#include "probe/ProbeUsage.h"
#include "settings/SettingsStore.h"

namespace tg::probe {
namespace {

// The probe has no window: the not-supported notice goes to the error stream.
class ConsoleMessages final : public MessageDialog {
 public:
    explicit ConsoleMessages(const TextOut& err) : m_err(err) {}
    void Show(std::string_view text, std::string_view caption, MessageIcon /*icon*/) override {
        m_err(std::string(caption) + ": " + std::string(text) + '\n');
    }

 private:
    const TextOut& m_err;
};

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, const TextOut& err) {
    bool opened = false;
    const auto text = ReadWholeFile(path, opened);
    if (!text) {
        err("tidegauge-probe: cannot " + std::string(opened ? "read " : "open ") + path + '\n');
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(text->begin(), text->end());
}

std::string U(std::int32_t v) { return std::to_string(AsUnsigned32(v)); }

const char* YesNo(bool value) { return value ? "yes" : "no"; }

void PrintRecord(const TextOut& out, const CInterface& r, bool counted) {
    const std::string address = r.AdapterAddress();
    out(std::to_string(r.InterfaceIndex()) + '\t' + std::to_string(r.InterfaceType()) + '\t' + r.InterfaceName() +
        '\t' + r.InterfaceDescription() + '\t' + (address.empty() ? "-" : address) + '\t' +
        std::to_string(r.AdminStatus()) + '/' + std::to_string(r.OperationalStatus()) + '\t' +
        U(r.OctetsReceived()) + '\t' + U(r.OctetsSent()) + '\t' + YesNo(r.HardwareInterface()) + '\t' +
        YesNo(counted) + '\n');
}

// A name given by mistake would otherwise read as an interface that is idle.
void WarnAbsent(const InterfaceSelection& selection, const CInterfaces& table, const TextOut& err) {
    for (const std::string& name : selection.Names()) {
        const bool present = std::any_of(table.begin(), table.end(),
                                         [&](const CInterfacePtr& r) { return r->InterfaceName() == name; });
        if (!present) err("tidegauge-probe: no interface '" + Printable(name) + "' now; it counts nothing\n");
    }
}

// Every row, and the totals of the rows the selection counts: the monitor's sums, not all rows'.
int PrintTable(TableSource& source, const InterfaceSelection& selection, const TextOut& out, const TextOut& err) {
    ConsoleMessages messages(err);
    UnsupportedNotice notice(messages);
    CIpHelper helper(source, notice);
    const auto records = helper.Interfaces();
    std::vector<bool> counted;
    selection.Counted(*records, counted);
    WarnAbsent(selection, *records, err);
    out("index\ttype\tname\tdescription\taddress\tadmin/oper\toctets-in\toctets-out\thardware\tcounted\n");
    IfTotals totals;
    std::size_t rowsCounted = 0;
    std::size_t i = 0;
    for (const CInterfacePtr& r : *records) {
        PrintRecord(out, *r, counted[i]);
        if (counted[i++]) {
            totals.bytesReceived = WrapAdd32(totals.bytesReceived, r->OctetsReceived());
            totals.bytesSent = WrapAdd32(totals.bytesSent, r->OctetsSent());
            ++rowsCounted;
        }
    }
    out("counted\t" + std::to_string(rowsCounted) + " of " + std::to_string(records->Count()) + " rows, interfaces " +
        DescribeSelection(selection) + "\treceived " + U(totals.bytesReceived) + "\tsent " + U(totals.bytesSent) +
        '\n');
    return kExitOk;
}

// What a live read counts: --interfaces, else the choice the monitor stored.
InterfaceSelection LiveSelection(const Options& o, const Environment& env) {
    if (o.interfaces) return *o.interfaces;
    if (!env.userSettings) return {};
    const auto backend = env.userSettings();
    return SelectionOrAutomatic(SettingsStore(*backend).Read(keys::interfaces));
}

// What a replay counts: --interfaces, else what the live read counted. A table saved before files
// carried a selection counts automatically.
std::optional<InterfaceSelection> ReplaySelection(const Options& o, std::span<const std::uint8_t> table,
                                                  const TextOut& err) {
    if (o.interfaces) return o.interfaces;
    const auto saved = SavedSelection(table);
    if (!saved) return InterfaceSelection();
    auto selection = SelectionFromSaved(*saved);
    if (!selection)
        err("tidegauge-probe: " + o.tableFile + ": the saved interfaces '" + Printable(*saved) + "' are garbled\n");
    return selection;
}

int RunTable(const Options& o, const Environment& env) {
    if (o.tableFile.empty()) return PrintTable(*env.systemSource(), LiveSelection(o, env), env.out, env.err);
    const auto bytes = ReadFile(o.tableFile, env.err);
    if (!bytes) return kExitUsage;
    if (const auto problem = CheckIfTable(*bytes)) {
        env.err("tidegauge-probe: " + o.tableFile + ": " + *problem + '\n');
        return kExitUsage;
    }
    const auto selection = ReplaySelection(o, *bytes, env.err);
    if (!selection) return kExitUsage;
    BufferTableSource source(*bytes);
    return PrintTable(source, *selection, env.out, env.err);
}

// The table as the system returned it, and after it the selection in effect, so that a replay
// counts the interfaces this read would have counted.
int RunDump(const Options& o, const Environment& env) {
    std::uint32_t status = 0;
    const auto source = env.systemSource();
    auto table = ReadRawTable(*source, &status);
    if (table.empty()) {
        env.err("tidegauge-probe: the interface table could not be read (code " + std::to_string(status) + ")\n");
        return kExitFailure;
    }
    const InterfaceSelection selection = LiveSelection(o, env);
    AppendSelectionBlock(table, SelectionToOption(selection));
    if (!WriteWholeFile(o.dumpFile, table)) {
        env.err("tidegauge-probe: cannot write " + o.dumpFile + '\n');
        return kExitFailure;
    }
    env.out("wrote " + std::to_string(table.size()) + " bytes to " + o.dumpFile + ", interfaces " +
            DescribeSelection(selection) + '\n');
    return kExitOk;
}

std::string WallClockStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::tm local = LocalTime(system_clock::to_time_t(now));
    const auto ms = static_cast<unsigned>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    const auto field = [](int value) { return ZeroPadded(static_cast<unsigned>(value), 2); };
    return field(local.tm_hour) + ':' + field(local.tm_min) + ':' + field(local.tm_sec) + '.' + ZeroPadded(ms, 3);
}

int RunWatch(const Options& o, const Environment& env) {
    ConsoleMessages messages(env.err);
    UnsupportedNotice notice(messages);
    const auto source = env.systemSource();
    CIpUpdate sampler(*source, notice, *env.clock);
    sampler.Select(LiveSelection(o, env));
    long printed = 0;
    TickResult tick;
    sampler.Data = [&](std::int32_t& /*OutData*/, std::int32_t& /*InData*/) {
        env.out(WallClockStamp() + " D:" + std::to_string(tick.down.kilobits) + " U:" +
                std::to_string(tick.up.kilobits) + '\n');
        ++printed;
    };
    std::chrono::nanoseconds next = env.clock->Now();
    for (bool first = true; printed < o.watchCount; first = false) {
        if (!first) {
            next += std::chrono::seconds(1);
            // After a stall (the process stopped, the machine suspended) the missed ticks are not
            // run back to back: each would cover a sliver of time, and a packet or two in it would
            // read as a huge rate. One tick covers the whole stall, then the old rhythm goes on.
            const std::chrono::nanoseconds now = env.clock->Now();
            if (now >= next) next += std::chrono::seconds((now - next) / std::chrono::seconds(1) + 1);
            env.sleepUntil(next);
        }
        sampler.Update(tick);
        if (first) WarnAbsent(sampler.Selection(), *tick.table, env.err);
    }
    return kExitOk;
}

}  // namespace

std::uint32_t BufferTableSource::GetIfTable(std::uint8_t* table, std::uint32_t* size, bool /*sorted*/) {
    const auto needed = static_cast<std::uint32_t>(m_table.size());
    if (table == nullptr || *size < needed) {
        *size = needed;
        return kInsufficientBuffer;
    }
    std::memcpy(table, m_table.data(), m_table.size());
    *size = needed;
    return kNoError;
}

std::vector<std::uint8_t> ReadRawTable(TableSource& source, std::uint32_t* status) {
    std::uint32_t size = 0;
    *status = source.GetIfTable(nullptr, &size, false);
    if (*status == TableSource::kNotSupported || size == 0) return {};
    std::vector<std::uint8_t> table(size);
    *status = source.GetIfTable(table.data(), &size, false);
    if (*status != TableSource::kNoError) return {};
    table.resize(std::min<std::size_t>(size, table.size()));
    return table;
}

namespace {

// A stream read to its end: nothing was written that closing could lose.
struct FileCloser {
    void operator()(std::FILE* file) const {
        static_cast<void>(std::fclose(file));  // NOLINT(cppcoreguidelines-owning-memory): the unique_ptr owns it
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, bool& opened) {
    const File file(std::fopen(path.c_str(), "rb"));
    opened = file != nullptr;
    if (!opened) return std::nullopt;
    std::string text;
    std::array<char, 4096> chunk{};
    for (std::size_t got = 0; (got = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0;)
        text.append(chunk.data(), got);
    if (std::ferror(file.get()) != 0) return std::nullopt;
    return text;
}

bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    File file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    // What the stream still buffers goes out as it closes: a failure there is a failed write.
    const bool closed = std::fclose(file.release()) == 0;  // NOLINT(cppcoreguidelines-owning-memory): released here
    return closed && written;
}

int Run(std::span<const std::string> args, const Environment& env) {
    std::string problem;
    const auto options = ParseOptions(args, problem);
    if (!options) {
        env.err("tidegauge-probe: " + problem + " (see --help)\n");
        return kExitUsage;
    }
    switch (options->mode) {
        case Options::Mode::Help: env.out(Usage()); return kExitOk;
        case Options::Mode::Table: return RunTable(*options, env);
        case Options::Mode::Dump: return RunDump(*options, env);
        case Options::Mode::Watch: return RunWatch(*options, env);
        case Options::Mode::Usage: return RunUsage(*options, env);
        case Options::Mode::None: break;
    }
    env.err(Usage());
    return kExitUsage;
}

}  // namespace tg::probe
