#pragma once
// The options dialog as the program defines it: its window, its seventeen controls and the range
// and steps of its scroll bar, described once. Each front end builds its real window by walking
// this description and only translates it into widgets and messages; nothing here is re-typed in
// a front end.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/Texts.h"
#include "common/Twips.h"
#include "ports/OptionsPorts.h"

namespace tg {

enum class OptionsControlKind {
    Label,    // a caption; a click does nothing
    Readout,  // a label whose text frmOptions sets (Label6)
    Swatch,   // a picture box showing one colour; a click picks another
    Check,    // the start-at-logon box
    Scroll,   // the opacity scroll bar
    Link,     // a blue label that opens a web page
};

struct OptionsControl {
    std::string_view name;
    OptionsControlKind kind;
    TwipsRect place;           // in the client area
    TextId caption;            // None for a swatch or the scroll bar
    int tabIndex;
    int swatch = 0;                                // a swatch's number, 1 .. kSwatchCount
    std::optional<LinkLabel> link = std::nullopt;  // the page a link opens
};

// Only these kinds take the focus, so only they are Tab stops.
constexpr bool TakesFocus(OptionsControlKind kind) {
    return kind == OptionsControlKind::Swatch || kind == OptionsControlKind::Check ||
           kind == OptionsControlKind::Scroll;
}

inline constexpr TextId kOptionsTitle = TextId::OptionsTitle;
inline constexpr float kOptionsClientWidth = 4530;  // twips
inline constexpr float kOptionsClientHeight = 2235;
inline constexpr std::int32_t kLinkColour = 0x00FF0000;  // blue, as 0x00BBGGRR

// Label9 and Label11 reach nearly to the next link and to the dialog's edge: narrower, the toolkits'
// fonts cut 关于作者 itself short, and the English captions too.
inline constexpr std::array<OptionsControl, 17> kOptionsControls = [] {
    using enum OptionsControlKind;
    return std::array<OptionsControl, 17>{{
        {"Label3", Label, {120, 240, 1695, 255}, TextId::OptionsDownColour, 6},
        {"Picture3", Swatch, {1560, 240, 255, 255}, TextId::None, 5, 3},
        {"Label2", Label, {2400, 240, 1695, 255}, TextId::OptionsTopColour, 4},
        {"Picture2", Swatch, {3840, 240, 255, 255}, TextId::None, 3, 2},
        {"Label4", Label, {120, 600, 1695, 255}, TextId::OptionsUpColour, 8},
        {"Picture4", Swatch, {1560, 600, 255, 255}, TextId::None, 7, 4},
        {"Label1", Label, {2400, 600, 1695, 255}, TextId::OptionsBottomColour, 1},
        {"Picture1", Swatch, {3840, 600, 255, 255}, TextId::None, 2, 1},
        {"Label5", Label, {120, 960, 1695, 255}, TextId::OptionsTextColour, 10},
        {"Picture5", Swatch, {1560, 960, 255, 255}, TextId::None, 9, 5},
        {"Label6", Readout, {2400, 960, 1815, 255}, TextId::OptionsTransparency, 11},
        {"Check1", Check, {120, 1320, 1695, 255}, TextId::OptionsStartup, 0},
        {"HScroll1", Scroll, {2400, 1320, 1695, 255}, TextId::None, 12},
        {"Label10", Link, {120, 1800, 1185, 195}, TextId::LinkForum, 15, 0, LinkLabel::Label10},
        {"Label9", Link, {1560, 1800, 1080, 195}, TextId::LinkBugs, 14, 0, LinkLabel::Label9},
        {"Label8", Link, {2760, 1800, 780, 195}, TextId::LinkHome, 13, 0, LinkLabel::Label8},
        {"Label11", Link, {3720, 1800, 765, 195}, TextId::LinkAuthor, 16, 0, LinkLabel::Label11},
    }};
}();

// The controls by tab index, those that take no focus included.
constexpr std::array<const OptionsControl*, kOptionsControls.size()> OptionsTabOrder() {
    std::array<const OptionsControl*, kOptionsControls.size()> order{};
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = &kOptionsControls[i];
    std::sort(order.begin(), order.end(), [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

// HScroll1: the main window's opacity. A scroll bar's maximum is a position it can reach.
struct ScrollBarSpec {
    std::int16_t min, max;
    std::int16_t designPosition;  // until the load sets it
    std::int16_t smallChange;     // an arrow
    std::int16_t largeChange;     // a click in the track
};
inline constexpr ScrollBarSpec kHScroll1 = {10, 255, 20, 1, 20};

// What the user did to a scroll bar, as either platform reports it.
enum class ScrollAction {
    LineBack, LineForward,  // an arrow, or an arrow key
    PageBack, PageForward,  // a click in the track on that side of the thumb, or Page Up / Down
    ToStart, ToEnd,         // Home, End
    ThumbTrack,             // the thumb dragged, not yet let go
    ThumbRelease,           // the dragged thumb let go at `thumb`
};

// The position `action` commits from `current`, kept within the bar's range. Nothing while a drag
// is in progress, nor when the position stays: only a committed change runs the bar's handler.
constexpr std::optional<std::int16_t> CommitScroll(const ScrollBarSpec& bar, std::int16_t current,
                                                   ScrollAction action, int thumb = 0) {
    int position = current;
    switch (action) {
        case ScrollAction::LineBack: position -= bar.smallChange; break;
        case ScrollAction::LineForward: position += bar.smallChange; break;
        case ScrollAction::PageBack: position -= bar.largeChange; break;
        case ScrollAction::PageForward: position += bar.largeChange; break;
        case ScrollAction::ToStart: position = bar.min; break;
        case ScrollAction::ToEnd: position = bar.max; break;
        case ScrollAction::ThumbRelease: position = thumb; break;
        case ScrollAction::ThumbTrack: return std::nullopt;
    }
    position = std::clamp<int>(position, bar.min, bar.max);
    if (position == current) return std::nullopt;
    return static_cast<std::int16_t>(position);
}

}  // namespace tg
