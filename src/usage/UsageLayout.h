#pragma once
// The usage dialog (流量统计) as the program defines it: its window, its controls and the range
// of its spin button, described once. Each front end builds its real window by walking this
// description and only translates it into widgets and messages.
#include <array>
#include <cstddef>
#include <string_view>

#include "common/Twips.h"
#include "usage/QuotaAlert.h"
#include "usage/UsageLog.h"
#include "usage/UsageSummary.h"

namespace tg {

enum class UsageControlKind {
    Label,     // a fixed caption
    Amount,    // an amount of one line of the summary, set by frmUsage
    DayLabel,  // the day of the month under a bar of the chart, set by frmUsage
    Chart,     // the picture of the last kChartDays days
    Spin,      // a number with arrows: a period's first day, the data plan's limit
};

enum class TextAlign { Left, Centre, Right };
enum class UsageColumn { Received, Sent, Total };

// A spin button's range and steps. Its stored value is a whole number in the range, and what is
// stored otherwise shows and means the design value.
struct SpinRange {
    int min = 0, max = 0;
    int designValue = 0;  // until the load sets it
    int step = 1;         // an arrow, an arrow key, a turn of the wheel
};
// A period's first day of the month, and the data plan's limit in whole gigabytes (0: none).
inline constexpr SpinRange kPeriodStartSpin = {kFirstPeriodStart, kLastPeriodStart, kFirstPeriodStart, 1};
inline constexpr SpinRange kQuotaSpin = {kNoQuota, kLargestQuota, kNoQuota, 1};

struct UsageControl {
    std::string_view name;
    UsageControlKind kind;
    TwipsRect place;           // in the client area
    TextId caption = TextId::None;  // None where frmUsage sets the text
    TextAlign align = TextAlign::Left;
    int line = 0;  // an amount's line of UsageSummary::lines
    UsageColumn column = UsageColumn::Received;
    int bar = 0;  // a day label's bar, 0 the oldest
    SpinRange spin{};  // a spin button's
};

// Only the spin buttons take the focus.
constexpr bool TakesFocus(UsageControlKind kind) { return kind == UsageControlKind::Spin; }

inline constexpr TextId kUsageTitle = TextId::UsageTitle;
inline constexpr float kUsageClientWidth = 4800;  // twips
inline constexpr float kUsageClientHeight = 5040;
// While the dialog is open its totals and chart follow the log at this pace.
inline constexpr unsigned kUsageRefreshMilliseconds = 1000;


namespace usage_layout {

// The grid: a row of column captions over one row per line of the summary. The captions' column
// takes the longest of them in English ("Last period").
inline constexpr float kCaptionLeft = 120, kCaptionWidth = 1020;
inline constexpr float kColumnLeft = 1200, kColumnStep = 1140, kColumnWidth = 1080;
inline constexpr float kRowTop = 120, kRowStep = 300, kRowHeight = 255;
// The chart, its day labels under it, and the spin buttons with their captions, a row each.
inline constexpr TwipsRect kChart = {150, 1740, 4500, 1800};
inline constexpr float kDayLabelTop = 3570, kDayLabelWidth = 360, kDayLabelHeight = 255;
inline constexpr float kSpinRowTop = 3960, kSpinRowStep = 480;
constexpr TwipsRect SpinCaption(int row) { return {120, kSpinRowTop + 60 + static_cast<float>(row) * kSpinRowStep, 2400, 255}; }
constexpr TwipsRect SpinPlace(int row) { return {2640, kSpinRowTop + static_cast<float>(row) * kSpinRowStep, 1200, 375}; }
constexpr UsageControl SpinButton(std::string_view name, int row, SpinRange range) {
    UsageControl c{name, UsageControlKind::Spin, SpinPlace(row)};
    c.spin = range;
    return c;
}

constexpr TwipsRect Cell(int row, int column) {
    return {kColumnLeft + static_cast<float>(column) * kColumnStep, kRowTop + static_cast<float>(row) * kRowStep,
            kColumnWidth, kRowHeight};
}
constexpr TwipsRect RowCaption(int row) {
    return {kCaptionLeft, kRowTop + static_cast<float>(row) * kRowStep, kCaptionWidth, kRowHeight};
}
constexpr UsageControl AmountCell(std::string_view name, int line, UsageColumn column) {
    return {name, UsageControlKind::Amount, Cell(line + 1, static_cast<int>(column)), TextId::None, TextAlign::Right, line, column};
}
// Centred under the bar's share of the chart's width.
constexpr UsageControl DayLabelUnder(std::string_view name, int bar) {
    const float centre = kChart.left + (static_cast<float>(bar) + 0.5F) * kChart.width / kChartDays;
    const TwipsRect place{centre - kDayLabelWidth / 2, kDayLabelTop, kDayLabelWidth, kDayLabelHeight};
    UsageControl c{name, UsageControlKind::DayLabel, place};
    c.align = TextAlign::Centre;
    c.bar = bar;
    return c;
}

}  // namespace usage_layout

inline constexpr std::array<UsageControl, 29> kUsageControls = [] {
    using namespace usage_layout;
    using enum UsageControlKind;
    using enum UsageColumn;
    return std::array<UsageControl, 29>{{
        {"ReceivedCaption", Label, Cell(0, 0), TextId::UsageReceived, TextAlign::Right},
        {"SentCaption", Label, Cell(0, 1), TextId::UsageSent, TextAlign::Right},
        {"TotalCaption", Label, Cell(0, 2), TextId::UsageTotal, TextAlign::Right},
        {"TodayCaption", Label, RowCaption(1), kUsageLineCaptions[0]},
        AmountCell("TodayReceived", 0, Received),
        AmountCell("TodaySent", 0, Sent),
        AmountCell("TodayTotal", 0, Total),
        {"YesterdayCaption", Label, RowCaption(2), kUsageLineCaptions[1]},
        AmountCell("YesterdayReceived", 1, Received),
        AmountCell("YesterdaySent", 1, Sent),
        AmountCell("YesterdayTotal", 1, Total),
        {"PeriodCaption", Label, RowCaption(3), kUsageLineCaptions[2]},
        AmountCell("PeriodReceived", 2, Received),
        AmountCell("PeriodSent", 2, Sent),
        AmountCell("PeriodTotal", 2, Total),
        {"LastPeriodCaption", Label, RowCaption(4), kUsageLineCaptions[3]},
        AmountCell("LastPeriodReceived", 3, Received),
        AmountCell("LastPeriodSent", 3, Sent),
        AmountCell("LastPeriodTotal", 3, Total),
        {"Chart", Chart, kChart},
        DayLabelUnder("Day1", 1),
        DayLabelUnder("Day8", 8),
        DayLabelUnder("Day15", 15),
        DayLabelUnder("Day22", 22),
        DayLabelUnder("Day29", 29),
        {"PeriodStartCaption", Label, SpinCaption(0), TextId::UsagePeriodStart},
        SpinButton("PeriodStart", 0, kPeriodStartSpin),
        {"QuotaCaption", Label, SpinCaption(1), TextId::UsageQuota},
        SpinButton("Quota", 1, kQuotaSpin),
    }};
}();

// The control of that kind (the chart, the first spin button): the first, or the end of the table.
constexpr std::size_t UsageControlIndex(UsageControlKind kind) {
    std::size_t i = 0;
    while (i < kUsageControls.size() && kUsageControls[i].kind != kind) ++i;
    return i;
}
// The control of that name, or the end of the table.
constexpr std::size_t UsageControlIndex(std::string_view name) {
    std::size_t i = 0;
    while (i < kUsageControls.size() && kUsageControls[i].name != name) ++i;
    return i;
}
// The two spin buttons.
inline constexpr std::size_t kPeriodStartControl = UsageControlIndex("PeriodStart");
inline constexpr std::size_t kQuotaControl = UsageControlIndex("Quota");

}  // namespace tg
