#include <gtest/gtest.h>

#include "Fakes.h"
#include "counters/CIpHelper.h"

namespace tg {
namespace {

using test::FakeTableSource;
using test::RecordingMessages;

class CIpHelperTest : public ::testing::Test {
 protected:
    FakeTableSource source;
    RecordingMessages messages;
    UnsupportedNotice notice{messages};
    CIpHelper helper{source, notice};
};

TEST_F(CIpHelperTest, QueriesThenFillsInTheOsOrderAndSums) {
    source.SetTotals({{100, 10}, {0xFFFFFFFFu, 5}});
    const auto records = helper.Interfaces();
    EXPECT_EQ(source.calls, 2);
    EXPECT_EQ(source.sortFlags, (std::vector<bool>{false, false}));
    EXPECT_EQ(records->Count(), 2);
    EXPECT_EQ(helper.BytesReceived(), 99);
    EXPECT_EQ(helper.BytesSent(), 15);
}

TEST_F(CIpHelperTest, EveryReadIsANewCollectionAndOldHoldersKeepTheirs) {
    source.SetTotals({{1, 1}});
    const auto first = helper.Interfaces();
    source.SetTotals({{7, 8}, {1, 1}});
    const auto second = helper.Interfaces();
    EXPECT_NE(first, second);
    EXPECT_EQ(first->Count(), 1);
    EXPECT_EQ(first->Item(1)->OctetsReceived(), 1);
    EXPECT_EQ(second->Count(), 2);
    EXPECT_EQ(helper.BytesReceived(), 8);
    EXPECT_EQ(helper.BytesSent(), 9);
}

TEST_F(CIpHelperTest, FailedFillGivesAnEmptyReadWithZeroTotals) {
    source.SetTotals({{5, 5}});
    helper.Interfaces();
    source.fillResult = 31;
    const auto records = helper.Interfaces();
    EXPECT_EQ(records->Count(), 0);
    EXPECT_EQ(helper.BytesReceived(), 0);
    EXPECT_EQ(helper.BytesSent(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CIpHelperTest, ZeroSizeQueryReadsNothing) {
    source.table.clear();
    source.queryResult = TableSource::kNoError;
    EXPECT_EQ(helper.Interfaces()->Count(), 0);
    EXPECT_EQ(source.calls, 1);
}

TEST_F(CIpHelperTest, NotSupportedIsShownOncePerRunAndReadsAsEmpty) {
    source.SetTotals({{5, 5}});
    source.queryResult = TableSource::kNotSupported;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(helper.Interfaces()->Count(), 0);
        EXPECT_EQ(helper.BytesReceived(), 0);
    }
    CIpHelper another(source, notice);  // a sampler made again by a re-run start-up
    another.Interfaces();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "IP Helper is not supported by this system.");
    EXPECT_EQ(messages.shown[0].caption, "TideGauge");
    EXPECT_EQ(source.calls, 4) << "no fill after a not-supported query";
}

TEST_F(CIpHelperTest, WriteReplacesTheCollectionButNotTheTotals) {
    source.SetTotals({{3, 4}});
    helper.Interfaces();
    auto mine = std::make_shared<CInterfaces>();
    helper.Interfaces(mine);
    EXPECT_EQ(helper.BytesReceived(), 3);
    EXPECT_EQ(helper.BytesSent(), 4);
}

}  // namespace
}  // namespace tg
