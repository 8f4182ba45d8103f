#include <gtest/gtest.h>

#include "mainwindow/RateText.h"

namespace tg {
namespace {

TEST(RateText, ThreeSignificantFiguresAtEveryBoundary) {
    struct Case {
        std::uint64_t bits;
        const char* asBits;
        const char* asBytes;
    } cases[] = {
        {0, "0kb", "0KB"},
        {999, "1.00kb", "0.12KB"},
        {9'985, "9.98kb", "1.25KB"},  // 9.985: the half goes to the even 8
        {9'995, "10.0kb", "1.25KB"},  // 9.995 rounds up into the next size: one decimal fewer
        {99'960, "100kb", "12.5KB"},
        {954'000, "954kb", "119KB"},
        {999'000, "999kb", "125KB"},
        {999'499, "999kb", "125KB"},
        {999'500, "1.00Mb", "125KB"},  // never four figures: 999.5 kb is 1.00 Mb
        {999'600, "1.00Mb", "125KB"},
        {1'000'000, "1.00Mb", "125KB"},
        {30'400'000, "30.4Mb", "3.80MB"},
        {1'200'000'000, "1.20Gb", "150MB"},
        {7'999'999'999, "8.00Gb", "1.00GB"},
        {2'147'483'647'000, "2.15Tb", "268GB"},  // the largest whole-kilobit read-out
        {UINT64_MAX, "999Tb", "125TB"},  // beyond any link: held below a petabit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RateText(DisplayUnit::Bits, {0, c.bits}), c.asBits) << c.bits;
        EXPECT_EQ(RateText(DisplayUnit::Bytes, {0, c.bits}), c.asBytes) << c.bits;
    }
    EXPECT_EQ(RateText(DisplayUnit::Kilobits, {30400, 0}), "30400kb") << "whole kilobits as the read-outs always were";
    EXPECT_EQ(RateText(DisplayUnit::Kilobits, {2147483647, 0}), "2147483647kb");
}

TEST(RateText, AmountsAndTheStoredUnit) {
    EXPECT_EQ(AmountText(DisplayUnit::Bytes, 1'234'567'890), "1.23 GB");
    EXPECT_EQ(AmountText(DisplayUnit::Bytes, 0), "0 KB");
    EXPECT_EQ(AmountText(DisplayUnit::Bits, 1'230'000'000), "9.84 Gb");
    EXPECT_EQ(AmountText(DisplayUnit::Kilobits, 500), "4.00 kb");
    const std::pair<const char*, DisplayUnit> stored[] = {
        {"0", DisplayUnit::Kilobits}, {"1", DisplayUnit::Bits},     {"2", DisplayUnit::Bytes},
        {"3", DisplayUnit::Kilobits}, {"", DisplayUnit::Kilobits}, {"1 ", DisplayUnit::Kilobits},
    };
    for (const auto& [text, unit] : stored) EXPECT_EQ(UnitFromText(text), unit) << '"' << text << '"';
}

}  // namespace
}  // namespace tg

#include "mainwindow/Tooltip.h"

namespace tg {
namespace {

TEST(Tooltip, EachInterfaceWithItsRatesThenTheTotals) {
    CInterfaces table;
    for (const char* name : {"eth0", "lo"}) {
        auto row = std::make_shared<CInterface>();
        row->InterfaceDescription(name);
        table.Add(row);
    }
    const std::vector<RowTick> rows = {{true, 3'800'000, 125'000}, {false, 0, 0}};
    TooltipFacts facts{table, rows, std::chrono::seconds(1), DisplayUnit::Bits, {1'230'000'000, 45'600'000},
                       std::nullopt, std::nullopt};
    EXPECT_EQ(TooltipText(facts),
              "eth0  计入  D:30.4Mb U:1.00Mb\n"
              "lo  不计入  D:0kb U:0kb\n"
              "启动以来  接收 9.84 Gb  发送 365 Mb");
    facts.unit = DisplayUnit::Kilobits;
    facts.elapsed = std::chrono::seconds(2);
    facts.today = Usage{1'230'000'000, 1};
    facts.period = Usage{0, 0};
    EXPECT_EQ(TooltipText(facts),
              "eth0  计入  D:15200kb U:496kb\n"  // whole kilobytes a second, times 8
              "lo  不计入  D:0kb U:0kb\n"
              "启动以来  接收 9.84 Gb  发送 365 Mb\n"
              "今天  接收 1.23 GB  发送 0.00 KB\n"
              "本期  接收 0 KB  发送 0 KB");
}

}  // namespace
}  // namespace tg
