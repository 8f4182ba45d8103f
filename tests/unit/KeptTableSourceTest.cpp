#include "counters/KeptTableSource.h"

#include <gtest/gtest.h>

#include "Fakes.h"
#include "counters/IfTableLayout.h"

namespace tg {
namespace {

using namespace iftable;
using std::chrono::nanoseconds;

constexpr std::uint32_t kOk = TableSource::kNoError, kMore = TableSource::kInsufficientBuffer, kFailed = 31;
constexpr nanoseconds kLifetime = KeptTableSource::kKeptTableLifetime;

// Each read writes a table of `links` rows whose first row says which read it was and in what order.
class CountingSource final : public KeptTableSource {
 public:
    explicit CountingSource(Clock& clock) : KeptTableSource(clock) {}
    std::size_t links = 1;
    bool fails = false;
    std::vector<std::uint32_t> sizes;  // of each read's table

 private:
    std::uint32_t ReadTable(std::vector<std::uint8_t>& table, bool sorted) override {
        sizes.push_back(0);
        if (fails) return kFailed;
        std::vector<IfRowFields> rows(links);
        rows[0] = {.index = sorted ? 2u : 1u, .inOctets = static_cast<std::uint32_t>(sizes.size())};
        table = BuildIfTable(rows);
        sizes.back() = static_cast<std::uint32_t>(table.size());
        return kNoError;
    }
};

// kFill and kShort: a buffer of the size last answered, or one byte less.
enum class Buffer { kQuery, kFill, kShort, kNoSize };
using enum Buffer;

struct Call {
    Buffer buffer;
    std::uint32_t status;      // the system's read fails on a call expecting kFailed
    std::size_t reads;         // system reads made so far
    std::uint32_t served = 0;  // the read whose table answered the call; 0: none, the size is left alone
    bool sorted = false;
    nanoseconds wait{};  // since the call before
    std::size_t links = 1;
};

// Makes the calls in turn; a call that read more or less than it should ends the case there.
void Play(const char* name, const std::vector<Call>& calls) {
    test::FakeClock clock;
    CountingSource source(clock);
    std::uint32_t answered = 0;
    for (std::size_t step = 0; step < calls.size(); ++step) {
        const Call& call = calls[step];
        SCOPED_TRACE(testing::Message() << name << ", call " << step + 1);
        clock.Advance(call.wait);
        source.links = call.links;
        source.fails = call.status == kFailed;
        std::vector<std::uint8_t> buffer(answered + 8, 0xEE);
        std::uint32_t size = call.buffer == kQuery ? 0 : answered - (call.buffer == kShort ? 1 : 0);
        const std::uint32_t given = size;
        EXPECT_EQ(source.GetIfTable(call.buffer == kQuery ? nullptr : buffer.data(),
                                    call.buffer == kNoSize ? nullptr : &size, call.sorted),
                  call.status);
        ASSERT_EQ(source.sizes.size(), call.reads);
        if (call.served == 0) {
            EXPECT_EQ(size, given);
            continue;
        }
        EXPECT_EQ(size, source.sizes[call.served - 1]);
        answered = size;
        if (call.status != kOk) continue;
        EXPECT_EQ(GetU32(buffer.data() + RowOffset(1) + kInOctetsOffset), call.served);
        EXPECT_EQ(GetU32(buffer.data() + RowOffset(1) + kIndexOffset), call.sorted ? 2u : 1u);
        EXPECT_EQ(buffer[size], 0xEE) << "written past the table";
    }
}

TEST(KeptTableSource, AFillRightAfterItsQueryGetsTheQuerysTableAndAnyOtherReadsAnew) {
    const struct {
        const char* name;
        std::vector<Call> calls;
    } cases[] = {
        {"a link that appears in between waits for the next query",
         {{kQuery, kMore, 1, 1}, {kFill, kOk, 1, 1, false, {}, 2}, {kQuery, kMore, 2, 2, false, {}, 2}}},
        {"a fill uses the kept table up", {{kQuery, kMore, 1, 1}, {kFill, kOk, 1, 1}, {kFill, kOk, 2, 2}}},
        {"just inside the lifetime", {{kQuery, kMore, 1, 1}, {kFill, kOk, 1, 1, false, kLifetime - nanoseconds(1)}}},
        {"at the lifetime", {{kQuery, kMore, 1, 1}, {kFill, kOk, 2, 2, false, kLifetime}}},
        {"late, with a link more: the retry gets the late read",
         {{kQuery, kMore, 1, 1}, {kFill, kMore, 2, 2, false, kLifetime, 2}, {kFill, kOk, 2, 2, false, {}, 3}}},
        {"the other row order", {{kQuery, kMore, 1, 1}, {kFill, kOk, 2, 2, true}}},
        {"a buffer too small: the retry gets the read that answered it",
         {{kQuery, kMore, 1, 1}, {kShort, kMore, 2, 2}, {kFill, kOk, 2, 2, false, {}, 2}}},
        {"no size to answer in", {{kNoSize, TableSource::kInvalidParameter, 0}}},
        {"a failing query", {{kQuery, kFailed, 1}, {kQuery, kMore, 2, 2}}},
        {"a failing fill leaves nothing kept",
         {{kQuery, kMore, 1, 1}, {kFill, kFailed, 2, 0, true}, {kFill, kOk, 3, 3}}},
    };
    for (const auto& c : cases) Play(c.name, c.calls);
}

}  // namespace
}  // namespace tg
