#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Fakes.h"
#include "common/Text.h"
#include "probe/Probe.h"

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
        rows = {lo, eth};
        source.table = BuildIfTable(rows);
        env.systemSource = [this]() -> std::unique_ptr<TableSource> {
            sourcesMade++;
            return std::make_unique<Forwarding>(source);
        };
        env.clock = &clock;
        env.sleepUntil = [this](std::chrono::nanoseconds deadline) {
            clock.now = deadline;
            // Traffic between ticks: 2000 bytes in, 1000 out on eth0 each second.
            rows[1].inOctets += 2000;
            rows[1].outOctets += 1000;
            source.table = BuildIfTable(rows);
        };
        env.out = &out;
        env.err = &err;
    }

    int Run(std::vector<std::string> args) { return probe::Run(args, env); }

    std::string TempPath(const char* name) {
        return ::testing::TempDir() + "tidegauge-probe-" + name + "-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed());
    }

    std::vector<IfRowFields> rows;
    test::FakeTableSource source;
    test::FakeClock clock;
    int sourcesMade = 0;
    probe::Environment env;
    std::ostringstream out, err;
};

TEST_F(ProbeTest, TablePrintsEveryRecordAndTheWrappedTotals) {
    ASSERT_EQ(Run({"--table"}), probe::kExitOk) << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("1\t24\tlo\tlo\t-\t1/5\t4294967280\t4294967280\n"), std::string::npos) << text;
    EXPECT_NE(text.find("2\t6\teth0\teth0\t00-C-29-A-FF-1\t1/5\t32\t16\n"), std::string::npos) << text;
    EXPECT_NE(text.find("total\t2 rows\treceived 16\tsent 0\n"), std::string::npos) << text;
}

TEST_F(ProbeTest, DumpThenReplayGivesTheSameTable) {
    const std::string path = TempPath("dump");
    ASSERT_EQ(Run({"--dump", path}), probe::kExitOk) << err.str();
    ASSERT_EQ(Run({"--table"}), probe::kExitOk);
    const std::string live = out.str().substr(out.str().find("index"));
    out.str("");
    sourcesMade = 0;
    ASSERT_EQ(Run({"--table", "--table-file", path}), probe::kExitOk) << err.str();
    EXPECT_EQ(out.str(), live);
    EXPECT_EQ(sourcesMade, 0) << "a replay never reads the OS";
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
    std::remove(path.c_str());
}

TEST_F(ProbeTest, BadArgumentsAreUsageErrors) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"--watch"}, {"--watch", "0"}, {"--watch", "x"}, {"--watch", "-3"}, {"--bogus"},
             {"--table-file", "f"}, {"--dump"}, {"--table", "--watch", "2"}, {"--watch", "3", "--table-file", "f"}}) {
        err.str("");
        EXPECT_EQ(Run(args), probe::kExitUsage) << (args.empty() ? "(none)" : args[0]);
        EXPECT_FALSE(err.str().empty());
    }
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
