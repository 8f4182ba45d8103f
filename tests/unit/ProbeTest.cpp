#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Fakes.h"
#include "common/Text.h"
#include "counters/IfTableLayout.h"
#include "probe/Probe.h"
#include "usage/UsageLog.h"
#include "settings/SettingsStore.h"

namespace tg {
namespace {

using namespace std::chrono_literals;

// What the probe takes for the OS table: the fixture's fake, which the test changes as it goes.
class Forwarding final : public TableSource {
 public:
    explicit Forwarding(TableSource& to) : m_to(to) {}
    std::uint32_t GetIfTable(std::uint8_t* table, std::uint32_t* size, bool sorted) override {
        return m_to.GetIfTable(table, size, sorted);
    }

 private:
    TableSource& m_to;
};

std::ptrdiff_t Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
    return parts;
}

// The hardware and counted columns of the --table row named `name`.
std::string Marks(const std::string& table, const std::string& name) {
    for (const std::string& line : Split(table, '\n')) {
        const auto fields = Split(line, '\t');
        if (fields.size() == 10 && fields[2] == name) return fields[8] + " " + fields[9];
    }
    return "(no row " + name + ")";
}

std::string LastLine(const std::string& text) { return Split(text, '\n').back(); }

// Three rows: loopback, a hardware link and a virtual one.
class ProbeTest : public ::testing::Test {
 protected:
    ProbeTest() {
        IfRowFields lo;
        lo.name = u"lo";
        lo.index = 1;
        lo.type = 24;
        lo.adminStatus = 1;
        lo.operStatus = 5;
        lo.inOctets = 0xFFFFFFF0u;
        lo.outOctets = 0xFFFFFFF0u;
        lo.description = "lo";
        IfRowFields eth = lo;
        eth.name = u"eth0";
        eth.index = 2;
        eth.type = 6;
        eth.address = {0x00, 0x0C, 0x29, 0x0A, 0xFF, 0x01};
        eth.inOctets = 0x20;
        eth.outOctets = 0x10;
        eth.description = "eth0";
        eth.hardware = true;
        IfRowFields veth = eth;
        veth.name = u"veth1";
        veth.index = 3;
        veth.inOctets = 0x100;
        veth.outOctets = 0x200;
        veth.description = "veth1";
        veth.hardware = false;
        rows = {lo, eth, veth};
        source.table = BuildIfTable(rows);
        env.systemSource = [this]() -> std::unique_ptr<TableSource> {
            sourcesMade++;
            return std::make_unique<Forwarding>(source);
        };
        env.userSettings = [this] { return std::make_unique<test::MemorySettings>(settings); };
        env.clock = &clock;
        env.sleepUntil = [this](std::chrono::nanoseconds deadline) {
            clock.now = deadline;
            // Traffic between ticks, bytes a second of lo, eth0 and veth1.
            constexpr std::uint32_t kIn[] = {4000, 2000, 3000}, kOut[] = {4000, 1000, 5000};
            for (std::size_t i = 0; i < rows.size(); ++i) {
                rows[i].inOctets += kIn[i];
                rows[i].outOctets += kOut[i];
            }
            source.table = BuildIfTable(rows);
        };
        env.out = [this](std::string_view text) { out << text; };
        env.err = [this](std::string_view text) { err << text; };
    }

    int Run(std::vector<std::string> args) { return probe::Run(args, env); }

    void StoreChoice(const std::string& text) { SettingsStore(settings).Write(keys::interfaces, text); }

    void ClearStreams() {
        out.str("");
        err.str("");
    }

    std::string TempPath(const char* name) {
        return ::testing::TempDir() + "tidegauge-probe-" + name + "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
    }

    std::vector<IfRowFields> rows;
    test::FakeTableSource source;
    test::MemorySettings settings;
    test::FakeClock clock;
    int sourcesMade = 0;
    probe::Environment env;
    std::ostringstream out, err;
};

TEST_F(ProbeTest, TableListsEveryRowMarksTheCountedOnesAndSumsOnlyThose) {
    struct Case {
        const char* stored;
        std::vector<std::string> args;
        const char* lo;
        const char* eth0;
        const char* veth1;
        const char* totals;
    };
    for (const Case& c : std::vector<Case>{
             {"", {}, "no no", "yes yes", "no no", "counted\t1 of 3 rows, interfaces automatic\treceived 32\tsent 16"},
             {"veth1", {}, "no no", "yes no", "no yes", "counted\t1 of 3 rows, interfaces veth1\treceived 256\tsent 512"},
             // Wrapping: 0xFFFFFFF0 + 0x20 + 0x100 and 0xFFFFFFF0 + 0x10 + 0x200.
             {"veth1", {"--interfaces", "all"}, "no yes", "yes yes", "no yes",
              "counted\t3 of 3 rows, interfaces all\treceived 272\tsent 512"},
         }) {
        StoreChoice(c.stored);
        ClearStreams();
        auto args = c.args;
        args.insert(args.begin(), "--table");
        ASSERT_EQ(Run(args), probe::kExitOk) << err.str();
        const std::string text = out.str();
        EXPECT_EQ(Marks(text, "lo"), c.lo) << c.stored;
        EXPECT_EQ(Marks(text, "eth0"), c.eth0) << c.stored;
        EXPECT_EQ(Marks(text, "veth1"), c.veth1) << c.stored;
        EXPECT_EQ(LastLine(text), c.totals);
    }
    EXPECT_NE(out.str().find("2\t6\teth0\teth0\t00-C-29-A-FF-1\t1/5\t32\t16\tyes\tyes\n"), std::string::npos);
}

TEST_F(ProbeTest, WatchCountsTheStoredChoiceUnlessInterfacesIsGiven) {
    struct Case {
        const char* stored;
        std::vector<std::string> args;
        const char* reading;
        std::ptrdiff_t warnings;
    };
    for (const Case& c : std::vector<Case>{
             {"", {}, " D:16 U:8", 0},  // automatic: the hardware link alone
             {"veth1", {}, " D:24 U:40", 0},
             {"veth1", {"--interfaces", "lo"}, " D:32 U:32", 0},
             {"veth1", {"--interfaces", "eth0,veth1"}, " D:40 U:48", 0},
             {"veth1", {"--interfaces", "all"}, " D:72 U:80", 0},
             {"", {"--interfaces", "eht0,veth1"}, " D:24 U:40", 1},  // a name that is not there is said
         }) {
        StoreChoice(c.stored);
        ClearStreams();
        auto args = c.args;
        args.insert(args.begin(), {"--watch", "2"});
        ASSERT_EQ(Run(args), probe::kExitOk) << err.str();
        const auto lines = Split(out.str(), '\n');
        ASSERT_EQ(lines.size(), 2u) << out.str();
        for (const std::string& line : lines) EXPECT_NE(line.find(c.reading), std::string::npos) << line;
        EXPECT_EQ(Lines(err.str()), c.warnings) << err.str();
    }
    EXPECT_NE(err.str().find("'eht0'"), std::string::npos) << err.str();
}

TEST_F(ProbeTest, DumpThenReplayCountsWhatTheLiveReadCounted) {
    const std::string path = TempPath("dump");
    for (const auto& [stored, extra] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"", {}}, {"veth1", {}}, {"eth0", {"--interfaces", "all"}}, {"", {"--interfaces", "lo,veth1"}}}) {
        StoreChoice(stored);
        ClearStreams();
        auto live = extra, dump = extra;
        live.insert(live.begin(), "--table");
        dump.insert(dump.begin(), {"--dump", path});
        ASSERT_EQ(Run(dump), probe::kExitOk) << err.str();
        ASSERT_EQ(Run(live), probe::kExitOk) << err.str();
        const std::string expected = out.str().substr(out.str().find("index"));
        StoreChoice("lo");  // a replay does not follow this machine's choice
        ClearStreams();
        sourcesMade = 0;
        ASSERT_EQ(Run({"--table", "--table-file", path}), probe::kExitOk) << err.str();
        EXPECT_EQ(out.str(), expected) << stored;
        EXPECT_EQ(sourcesMade, 0) << "a replay never reads the OS";
    }
    ClearStreams();
    ASSERT_EQ(Run({"--table", "--table-file", path, "--interfaces", "eth0"}), probe::kExitOk);
    EXPECT_EQ(Marks(out.str(), "eth0"), "yes yes");
    EXPECT_EQ(Marks(out.str(), "veth1"), "no no");
    std::remove(path.c_str());
}

TEST_F(ProbeTest, ARowsOnlyFileCountsAllButLoopback) {
    // The classic table alone, as files dumped before the extras were: no hardware flags.
    const std::string path = TempPath("old");
    {
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(source.table.data()), iftable::RowOffset(4));
    }
    StoreChoice("lo");
    ASSERT_EQ(Run({"--table", "--table-file", path}), probe::kExitOk) << err.str();
    EXPECT_EQ(Marks(out.str(), "lo"), "no no");
    EXPECT_EQ(Marks(out.str(), "eth0"), "no yes");
    EXPECT_EQ(Marks(out.str(), "veth1"), "no yes");
    EXPECT_EQ(LastLine(out.str()), "counted\t2 of 3 rows, interfaces automatic\treceived 288\tsent 528");
    std::remove(path.c_str());
}

TEST_F(ProbeTest, MalformedOrMissingTableFileIsAOneLineErrorWithStatus2) {
    const std::string path = TempPath("bad");
    {
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(source.table.data()), 900);
    }
    EXPECT_EQ(Run({"--table", "--table-file", path}), probe::kExitUsage);
    EXPECT_EQ(Lines(err.str()), 1) << err.str();
    EXPECT_NE(err.str().find(path), std::string::npos);
    EXPECT_TRUE(out.str().empty());
    err.str("");
    EXPECT_EQ(Run({"--table", "--table-file", path + ".missing"}), probe::kExitUsage);
    EXPECT_EQ(Lines(err.str()), 1) << err.str();
    err.str("");
    {
        auto garbled = source.table;
        AppendSelectionBlock(garbled, "eth0,\n");
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(garbled.data()), static_cast<std::streamsize>(garbled.size()));
    }
    EXPECT_EQ(Run({"--table", "--table-file", path}), probe::kExitUsage);
    EXPECT_EQ(Lines(err.str()), 1) << err.str();
    EXPECT_TRUE(out.str().empty());
    std::remove(path.c_str());
}

TEST_F(ProbeTest, BadArgumentsAreOneLineErrorsWithStatus2) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--watch"}, {"--watch", "0"}, {"--watch", "x"}, {"--watch", "-3"}, {"--bogus"}, {"--bo\ngus"},
             {"--table-file", "f"}, {"--dump"}, {"--dump", "--table"}, {"--table", "--watch", "2"},
             {"--watch", "3", "--table-file", "f"}, {"--table", "--interfaces"}, {"--table", "--interfaces", ""},
             {"--table", "--interfaces", "eth0,,lo"}, {"--watch", "2", "--interfaces", "a\nb"},
             {"--dump", "f", "--interfaces", "a%41"}, {"--interfaces", "lo"}}) {
        ClearStreams();
        EXPECT_EQ(Run(args), probe::kExitUsage) << args[0];
        EXPECT_EQ(Lines(err.str()), 1) << err.str();
        EXPECT_EQ(out.str(), "") << args[0];
    }
    EXPECT_EQ(sourcesMade, 0);
    ClearStreams();
    EXPECT_EQ(Run({}), probe::kExitUsage);
    EXPECT_NE(err.str().find("usage:"), std::string::npos);
    ClearStreams();
    EXPECT_EQ(Run({"--table", "--help"}), probe::kExitOk);
    EXPECT_NE(out.str().find("--interfaces"), std::string::npos);
    EXPECT_EQ(err.str(), "");
}

TEST_F(ProbeTest, UsagePrintsTheDaysAndThePeriodsAndNamesGarbledLines) {
    struct Store final : UsageStore {
        std::optional<std::string> text;
        std::string error;
        std::optional<std::string> Read(std::string& e) override { e = error; return text; }
        bool Replace(std::string_view, std::string&) override { return false; }
        void KeepAside() override {}
        std::string Where() const override { return "usage.txt"; }
    } store;
    struct FixedDay final : Calendar {
        Day Today() override { return Day{std::chrono::year{2026}, std::chrono::December, std::chrono::day{8}}; }
    } calendar;
    env.usageStore = [&] { return std::make_unique<Store>(store); };
    env.calendar = &calendar;
    SettingsStore(settings).Write(keys::periodstart, "5");
    struct Case {
        std::optional<std::string> text;
        std::string readError;
        int status;
        std::ptrdiff_t outLines, errLines;
        const char* lastLine;
    } cases[] = {
        {"2026-11-04 1 1\n2026-11-05 10 20\n2026-12-08 5 6\n", "", 0, 6, 0,
         "last period 2026-11-05 to 2026-12-04\treceived 10\tsent 20\ttotal 30 bytes (0.03 KB)"},  // from the 5th
        {"2026-12-08 5 6\nbad\n2026-13-01 1 1\n", "", 0, 4, 2, "last period 2026-11-05 to 2026-12-04\treceived 0\tsent 0\ttotal 0 bytes (0 KB)"},
        {"bad\n", "", 2, 0, 1, "usage.txt:1: not a date and two numbers"},
        {"", "", 0, 3, 0, "last period 2026-11-05 to 2026-12-04\treceived 0\tsent 0\ttotal 0 bytes (0 KB)"},
        {std::nullopt, "", 0, 1, 0, "no usage recorded yet (usage.txt)"},
        {std::nullopt, "Permission denied", 1, 0, 1, "tidegauge-probe: usage.txt: Permission denied"},
    };
    for (const Case& c : cases) {
        store.text = c.text;
        store.error = c.readError;
        ClearStreams();
        EXPECT_EQ(Run({"--usage"}), c.status) << c.text.value_or("(none)");
        EXPECT_EQ(Lines(out.str()), c.outLines) << out.str();
        EXPECT_EQ(Lines(err.str()), c.errLines) << err.str();
        EXPECT_EQ(LastLine(c.outLines ? out.str() : err.str()), c.lastLine);
    }
    store.text = "2026-12-06 250000000 6\n";
    for (const auto& [quota, last] : std::vector<std::pair<const char*, const char*>>{
             {"1", "quota 1 GB\tthis period 25.00 % (250000006 of 1000000000 bytes)"},
             {"3000", "quota 3000 GB\tthis period 0.00 % (250000006 of 3000000000000 bytes)"},
             {"1e3", "last period 2026-11-05 to 2026-12-04\treceived 0\tsent 0\ttotal 0 bytes (0 KB)"}}) {
        SettingsStore(settings).Write(keys::quota, quota);
        ClearStreams();
        EXPECT_EQ(Run({"--usage"}), 0);
        EXPECT_EQ(LastLine(out.str()), last);
    }
    ClearStreams();
    const std::string path = TempPath("usage");
    std::ofstream(path) << "2026-12-08 1 2\n";
    EXPECT_EQ(Run({"--usage-file", path}), 0);
    EXPECT_NE(out.str().find("today 2026-12-08\treceived 1\tsent 2"), std::string::npos) << out.str();
    std::remove(path.c_str());
    EXPECT_EQ(Run({"--usage-file", path}), 2) << "a file that is not there";
}

TEST_F(ProbeTest, WatchPrintsOneKilobitLinePerDataEvent) {
    ASSERT_EQ(Run({"--watch", "3"}), probe::kExitOk) << err.str();
    std::istringstream lines(out.str());
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ++n;
        EXPECT_NE(line.find(" D:16 U:8"), std::string::npos) << line;  // 2 kB and 1 kB a second
        EXPECT_EQ(line[2], ':') << "starts with a time of day: " << line;
    }
    EXPECT_EQ(n, 3);
    EXPECT_EQ(clock.now, 100s + 3s) << "a baseline tick, then one tick a second";
}

TEST_F(ProbeTest, WatchAfterAStallTakesOneTickForTheWholeOfIt) {
    // Sleeping costs a millisecond even when the deadline has passed; traffic flows at 2000 and
    // 1000 bytes a second, plus a small packet each way whenever the probe reads.
    int sleeps = 0;
    env.sleepUntil = [&](std::chrono::nanoseconds deadline) {
        const std::chrono::nanoseconds before = clock.now;
        clock.now = std::max(clock.now + 1ms, deadline);
        if (++sleeps == 2) clock.now += 5500ms;  // stopped for five and a half seconds
        const auto ms = static_cast<std::uint32_t>((clock.now - before) / 1ms);
        rows[1].inOctets += 2 * ms + 150;
        rows[1].outOctets += ms + 150;
        source.table = BuildIfTable(rows);
    };
    ASSERT_EQ(Run({"--watch", "5"}), probe::kExitOk) << err.str();
    std::istringstream lines(out.str());
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ++n;
        const auto d = std::stol(line.substr(line.find(" D:") + 3));
        EXPECT_LE(d, 24) << "no reading far above the 16 kb/s flowing, plus a packet: " << line;
    }
    EXPECT_EQ(n, 5);
    EXPECT_EQ(sleeps, 5) << "one tick over the stall, none to catch up";
}

TEST(BufferTableSource, FollowsTheQueryThenFillProtocol) {
    probe::BufferTableSource s(std::vector<std::uint8_t>(864, 7));
    std::uint32_t size = 0;
    EXPECT_EQ(s.GetIfTable(nullptr, &size, false), TableSource::kInsufficientBuffer);
    EXPECT_EQ(size, 864u);
    std::vector<std::uint8_t> small(863);
    size = 863;
    EXPECT_EQ(s.GetIfTable(small.data(), &size, false), TableSource::kInsufficientBuffer);
    std::vector<std::uint8_t> big(900, 0);
    size = 900;
    EXPECT_EQ(s.GetIfTable(big.data(), &size, false), TableSource::kNoError);
    EXPECT_EQ(size, 864u);
    EXPECT_EQ(big[863], 7);
    EXPECT_EQ(big[864], 0);
}

}  // namespace
}  // namespace tg
