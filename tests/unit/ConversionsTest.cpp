#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include "common/Rounding.h"
#include "settings/Conversions.h"

namespace tg {
namespace {

TEST(Conversions, RoundHalfEven) {
    const std::pair<double, double> cases[] = {
        {0.5, 0},    {1.5, 2},    {2.5, 2},   {3.5, 4},        {-0.5, -0},   {-1.5, -2}, {-2.5, -2},
        {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e15 + 0.5, 1e15}, {127.5, 128}, {128.5, 128},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(Conversions, ParseNumberTakesOnlyAWholeDecimalNumber) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"512", 512},          {"  -1  ", -1},    {"+7", 7},           {"0.5", 0.5},   {".5", 0.5},
        {"5.", 5},             {"1e3", 1000},     {"1E+3", 1000},      {"2.5D-1", 0.25}, {"16777215", 16777215},
        {"\t12\r\n", 12},      {"", std::nullopt}, {" ", std::nullopt}, {"abc", std::nullopt},
        {"12abc", std::nullopt}, {"1 2", std::nullopt}, {"--1", std::nullopt}, {".", std::nullopt},
        {"e5", std::nullopt},  {"1e", std::nullopt}, {"0x10", std::nullopt}, {"1e999", std::nullopt},
        {"inf", std::nullopt}, {"nan", std::nullopt}, {"1e-999", 0},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseNumber(text), expected) << '"' << text << '"';
}

TEST(Conversions, LeadingNumberReadsAsFarAsANumberGoes) {
    const std::pair<const char*, double> cases[] = {
        {"512", 512},      {"  256kbps", 256}, {"-1", -1},   {"1024.5 ", 1024.5}, {"3e2x", 300},
        {"3ex", 3},        {"abc", 0},         {"", 0},      {"- 5", 0},          {"+12.5e1", 125},
        {"\t\n64", 64},    {"0x80", 0},        {".25", 0.25},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(LeadingNumber(text), expected) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(LeadingNumber("9e999")));
}

TEST(Conversions, IntegerConversionsRoundAndRejectWhatDoesNotFit) {
    EXPECT_EQ(ToInt32HalfEven(2.5), 2);
    EXPECT_EQ(ToInt32HalfEven(-3.5), -4);
    EXPECT_EQ(ToInt32HalfEven(2147483647.4), 2147483647);
    EXPECT_EQ(ToInt32HalfEven(2147483647.5), std::nullopt);
    EXPECT_EQ(ToInt32HalfEven(-2147483648.5), -2147483648) << "halves to even stays in range";
    EXPECT_EQ(ToInt32HalfEven(-2147483649.0), std::nullopt);
    EXPECT_EQ(ToInt32HalfEven(std::numeric_limits<double>::quiet_NaN()), std::nullopt);

    EXPECT_EQ(ToInt16HalfEven(180.5), 180);
    EXPECT_EQ(ToInt16HalfEven(32767.5), std::nullopt);
    EXPECT_EQ(ToInt16HalfEven(-32768.4), -32768);

    EXPECT_EQ(ToInt16Floor(180.9), 180);
    EXPECT_EQ(ToInt16Floor(-0.5), -1);
    EXPECT_EQ(ToInt16Floor(32767.9), 32767);
    EXPECT_EQ(ToInt16Floor(32768), std::nullopt);
    EXPECT_EQ(ToInt16Floor(-32769), std::nullopt);

    EXPECT_EQ(ToSingle(11645), 11645.0f);
    EXPECT_EQ(ToSingle(0.1), 0.1f);
    EXPECT_EQ(ToSingle(1e39), std::nullopt);
    EXPECT_EQ(ToSingle(-1e39), std::nullopt);
}

TEST(Conversions, NumberToTextReadsBackTheSameNumber) {
    for (const double v : {0.0, -1.0, 11645.0, 0.5, 12345.678, 1e20, -3.25e-7}) {
        const std::string text = NumberToText(v);
        EXPECT_EQ(ParseNumber(text), v) << text;
    }
    EXPECT_EQ(NumberToText(11645), "11645");
    EXPECT_EQ(NumberToText(-1), "-1");
}

// The text is the standard library's shortest form, which settings written by earlier builds hold:
// checked at the awkward values (the ends of the range, powers of two and of ten and their
// neighbours, whole numbers past 2^53) and over random bit patterns, floats and ratios.
TEST(Conversions, NumberToTextWritesTheShortestFormTheLibraryWrites) {
    const auto library = [](double v) {
        std::array<char, 64> buffer{};
        return std::string(buffer.data(), std::to_chars(buffer.data(), buffer.data() + buffer.size(), v).ptr);
    };
    std::vector<double> values = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::max(), 123456789012345680000.0, 0.3, 2.5e-5};
    for (int e = -1074; e <= 1023; e += 7) values.push_back(std::ldexp(1.0, e));
    for (double p = 1e-320; std::isfinite(p); p *= 10) values.push_back(p);
    std::mt19937_64 random(19);
    for (int i = 0; i < 4000; ++i) {
        values.push_back(std::bit_cast<double>(random()));
        values.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(random() >> 33)));
        values.push_back(static_cast<double>(random() >> (random() % 64)) / static_cast<double>(1 + random() % 1000));
    }
    for (const double v : values) {
        for (const double near : {std::nextafter(v, 0.0), v, std::nextafter(v, HUGE_VAL)}) {
            if (near == 0) continue;
            EXPECT_EQ(NumberToText(near), library(near)) << std::hexfloat << near;
            EXPECT_EQ(NumberToText(-near), library(-near)) << std::hexfloat << near;
        }
    }
}

}  // namespace
}  // namespace tg
