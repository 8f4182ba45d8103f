#include "probe/Probe.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>

#include "common/Wrap32.h"
#include "counters/CIpHelper.h"
#include "counters/CIpUpdate.h"
#include "counters/IfTableParser.h"

namespace tg::probe {
namespace {

constexpr const char* kUsage =
    "usage: tidegauge-probe --table [--table-file FILE]\n"
    "       tidegauge-probe --watch N\n"
    "       tidegauge-probe --dump FILE\n";

// The probe has no window: the not-supported notice goes to the error stream.
class ConsoleMessages final : public MessageDialog {
 public:
    explicit ConsoleMessages(std::ostream& err) : m_err(err) {}
    void Show(std::string_view text, std::string_view caption, MessageIcon /*icon*/) override {
        m_err << caption << ": " << text << '\n';
    }

 private:
    std::ostream& m_err;
};

struct Options {
    enum class Mode { None, Table, Watch, Dump } mode = Mode::None;
    std::string tableFile;
    std::string dumpFile;
    long watchCount = 0;
};

std::optional<long> ParseCount(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n > 0 ? std::optional<long>(n) : std::nullopt;
}

// nullopt and a message on the error stream when the arguments do not make a command.
std::optional<Options> ParseArgs(std::span<const std::string> args, std::ostream& err) {
    Options o;
    auto setMode = [&](Options::Mode m) {
        if (o.mode != Options::Mode::None && o.mode != m) return false;
        o.mode = m;
        return true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == "--table") ok = setMode(Options::Mode::Table);
        else if (a == "--table-file" && hasValue) o.tableFile = args[++i];
        else if (a == "--dump" && hasValue) { ok = setMode(Options::Mode::Dump); o.dumpFile = args[++i]; }
        else if (a == "--watch" && hasValue) {
            ok = setMode(Options::Mode::Watch);
            const auto n = ParseCount(args[++i]);
            if (!n) { err << "tidegauge-probe: --watch needs a whole number of lines above 0\n"; return std::nullopt; }
            o.watchCount = *n;
        } else ok = false;
        if (!ok) { err << "tidegauge-probe: unexpected argument '" << a << "'\n" << kUsage; return std::nullopt; }
    }
    if (o.mode == Options::Mode::None || (!o.tableFile.empty() && o.mode != Options::Mode::Table)) {
        err << kUsage;
        return std::nullopt;
    }
    return o;
}

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, std::ostream& err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) { err << "tidegauge-probe: cannot open " << path << '\n'; return std::nullopt; }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) { err << "tidegauge-probe: cannot read " << path << '\n'; return std::nullopt; }
    return bytes;
}

std::uint32_t U(std::int32_t v) { return AsUnsigned32(v); }

void PrintRecord(std::ostream& out, const CInterface& r) {
    out << r.InterfaceIndex() << '\t' << r.InterfaceType() << '\t' << r.InterfaceName() << '\t'
        << r.InterfaceDescription() << '\t' << (r.AdapterAddress().empty() ? "-" : r.AdapterAddress())
        << '\t' << r.AdminStatus() << '/' << r.OperationalStatus() << '\t' << U(r.OctetsReceived())
        << '\t' << U(r.OctetsSent()) << '\n';
}

int PrintTable(TableSource& source, std::ostream& out, std::ostream& err) {
    ConsoleMessages messages(err);
    UnsupportedNotice notice(messages);
    CIpHelper helper(source, notice);
    const auto records = helper.Interfaces();
    out << "index\ttype\tname\tdescription\taddress\tadmin/oper\toctets-in\toctets-out\n";
    for (const CInterfacePtr& r : *records) PrintRecord(out, *r);
    out << "total\t" << records->Count() << " rows\treceived " << U(helper.BytesReceived()) << "\tsent "
        << U(helper.BytesSent()) << '\n';
    return kExitOk;
}

int RunTable(const Options& o, const Environment& env) {
    if (o.tableFile.empty()) return PrintTable(*env.systemSource(), *env.out, *env.err);
    const auto bytes = ReadFile(o.tableFile, *env.err);
    if (!bytes) return kExitUsage;
    if (const auto problem = CheckIfTable(*bytes)) {
        *env.err << "tidegauge-probe: " << o.tableFile << ": " << *problem << '\n';
        return kExitUsage;
    }
    BufferTableSource source(*bytes);
    return PrintTable(source, *env.out, *env.err);
}

int RunDump(const Options& o, const Environment& env) {
    std::uint32_t status = 0;
    const auto source = env.systemSource();
    const auto table = ReadRawTable(*source, &status);
    if (table.empty()) {
        *env.err << "tidegauge-probe: the interface table could not be read (code " << status << ")\n";
        return kExitFailure;
    }
    std::ofstream file(o.dumpFile, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(table.data()), static_cast<std::streamsize>(table.size()));
    file.close();
    if (!file) { *env.err << "tidegauge-probe: cannot write " << o.dumpFile << '\n'; return kExitFailure; }
    *env.out << "wrote " << table.size() << " bytes to " << o.dumpFile << '\n';
    return kExitOk;
}

std::string WallClockStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::ostringstream s;
    s << std::put_time(&local, "%H:%M:%S") << '.' << std::setw(3) << std::setfill('0') << ms;
    return s.str();
}

int RunWatch(const Options& o, const Environment& env) {
    ConsoleMessages messages(*env.err);
    UnsupportedNotice notice(messages);
    const auto source = env.systemSource();
    CIpUpdate sampler(*source, notice, *env.clock);
    long printed = 0;
    sampler.Data = [&](std::int32_t& OutData, std::int32_t& InData) {
        *env.out << WallClockStamp() << " D:" << KilobitsFromKilobytes(OutData)
                 << " U:" << KilobitsFromKilobytes(InData) << std::endl;
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
        sampler.Update();
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

int Run(std::span<const std::string> args, const Environment& env) {
    const auto options = ParseArgs(args, *env.err);
    if (!options) return kExitUsage;
    switch (options->mode) {
        case Options::Mode::Table: return RunTable(*options, env);
        case Options::Mode::Dump: return RunDump(*options, env);
        case Options::Mode::Watch: return RunWatch(*options, env);
        case Options::Mode::None: break;
    }
    return kExitUsage;
}

}  // namespace tg::probe
