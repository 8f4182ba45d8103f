// The options dialog as a user meets it, the same on every front end: the described controls at
// their places, the Tab order, and what each user action runs (and what the program's own changes
// do not run).
#include <gtest/gtest.h>

#include <utility>

#include "Fixture.h"
#include "appearance/frmOptions.h"
#include "settings/modRegistry.h"

namespace tg::test {
namespace {

// The kinds a user tells apart: the read-out is a label like the others.
ControlKind Shown(OptionsControlKind kind) {
    switch (kind) {
        case OptionsControlKind::Check: return ControlKind::Check;
        case OptionsControlKind::Scroll: return ControlKind::Scroll;
        case OptionsControlKind::Swatch: return ControlKind::Swatch;
        case OptionsControlKind::Link: return ControlKind::Link;
        default: return ControlKind::Label;
    }
}

Rgb Middle(const Image& image) { return image.width > 0 ? image.At(image.width / 2, image.height / 2) : Rgb{}; }

class OptionsDialogTest : public FixtureTest {
 protected:
    void SetUp() override { ui->OpenDialog(Dialog::Options); }
    PixelRect Expected(const TwipsRect& place) const { return RectToPixels(place, 15); }
    std::optional<std::string> Run() {
        const auto value = world.registry.Get(RegistryApi::kHkeyCurrentUser, kRunKeyPath, kRunValueName);
        return value ? std::optional<std::string>(CutAtNul(value->data)) : std::nullopt;
    }
    std::string Caption(std::string_view name) { return ui->Control(name).caption; }
    int Writes() { return world.settings.writes["transpa"]; }
};

TEST_F(OptionsDialogTest, AFixedDialogOverTheMainWindowInTheMiddleOfTheScreen) {
    const DialogFrame frame = ui->Frame();
    EXPECT_EQ(frame.title, Text(kOptionsTitle));
    const PixelRect client = Expected({0, 0, kOptionsClientWidth, kOptionsClientHeight});
    EXPECT_EQ(frame.client.cx, client.cx);
    EXPECT_EQ(frame.client.cy, client.cy);
    EXPECT_NEAR(2 * frame.outer.x + frame.outer.cx, 1920, 1);
    EXPECT_NEAR(2 * frame.outer.y + frame.outer.cy, 1080, 1);
    EXPECT_FALSE(frame.resizable);
    EXPECT_TRUE(frame.ownedByMainWindow);
}

TEST_F(OptionsDialogTest, TheControlsAreTheDescribedOnes) {
    for (const OptionsControl& c : kOptionsControls) {
        const ControlView control = ui->Control(c.name);
        ASSERT_TRUE(control.found) << c.name;
        EXPECT_EQ(control.place, Expected(c.place)) << c.name;
        EXPECT_EQ(control.caption, Text(c.caption)) << c.name;
        EXPECT_EQ(control.kind, Shown(c.kind)) << c.name;
        EXPECT_EQ(control.takesFocus, TakesFocus(c.kind)) << c.name;
    }
    ui->OptionsPort().SetLabel6("75透明度");
    for (const OptionsControl& c : kOptionsControls)
        EXPECT_EQ(Caption(c.name) == "75透明度", c.kind == OptionsControlKind::Readout) << c.name;
    const ControlView bar = ui->Control("HScroll1");
    EXPECT_EQ(bar.min, kHScroll1.min);
    EXPECT_EQ(bar.max, kHScroll1.max);
    EXPECT_EQ(bar.value, kHScroll1.designPosition);
    EXPECT_FALSE(ui->Control("Check1").checked) << "unchecked by design";
}

TEST_F(OptionsDialogTest, TabVisitsTheControlsThatTakeFocusInTheirOwnOrder) {
    std::vector<std::string> stops;
    for (const OptionsControl* c : OptionsTabOrder())
        if (TakesFocus(c->kind)) stops.emplace_back(c->name);
    std::vector<std::string> forward = stops, backward{stops.front()};
    forward.push_back(stops.front());
    backward.insert(backward.end(), stops.rbegin(), stops.rend());
    EXPECT_EQ(ui->TabWalk(true, stops.size()), forward) << "from the first stop round to it again";
    EXPECT_EQ(ui->TabWalk(false, stops.size()), backward);
}

// Each action commits once, as the bar's rules say; the program's own change runs no handler.
TEST_F(OptionsDialogTest, TheScrollBarCommitsOncePerActionAndNotForCode) {
    ui->Options().Form_Load();
    constexpr ScrollAction kActions[] = {ScrollAction::LineForward, ScrollAction::PageForward, ScrollAction::LineBack,
                                         ScrollAction::PageBack,    ScrollAction::ToEnd,       ScrollAction::ToStart};
    for (const bool byKey : {false, true}) {
        for (const ScrollAction action : kActions) {
            SCOPED_TRACE(std::string(byKey ? "key " : "mouse ") + std::to_string(static_cast<int>(action)));
            const int writes = Writes();
            const std::int16_t expected = *CommitScroll(kHScroll1, ui->OptionsPort().ScrollPosition(), action);
            ui->Scroll(action, byKey);
            EXPECT_TRUE(ui->WaitUntil([&] { return Writes() > writes; }));
            EXPECT_EQ(Writes(), writes + 1);
            EXPECT_EQ(ui->OptionsPort().ScrollPosition(), expected);
            EXPECT_EQ(ui->Control("HScroll1").value, expected);
            EXPECT_EQ(world.Stored("transpa"), std::to_string(expected));
            EXPECT_EQ(Caption("Label6"), TransparencyReadout(expected));
        }
    }
    const int writes = Writes();
    ui->Scroll(ScrollAction::LineBack, false);  // already at the start
    ui->OptionsPort().SetScrollPosition(100);
    EXPECT_EQ(ui->Control("HScroll1").value, 100);
    EXPECT_FALSE(ui->WaitUntil([&] { return Writes() != writes; }, 300ms)) << "a step past the end, and code";
}

TEST_F(OptionsDialogTest, TheThumbCommitsWhereItIsLetGoAndNotWhileItIsDragged) {
    ui->Options().Form_Load();
    const std::int16_t start = ui->OptionsPort().ScrollPosition();
    const int writes = Writes();
    const std::string readout = Caption("Label6");
    ui->HoldThumb();
    for (int step = 0; step < 6; ++step) ui->DragThumb(-5);
    EXPECT_EQ(Writes(), writes) << "nothing stored while the thumb is held";
    EXPECT_EQ(ui->OptionsPort().ScrollPosition(), start);
    EXPECT_EQ(Caption("Label6"), readout);
    ui->ReleaseThumb();
    EXPECT_TRUE(ui->WaitUntil([&] { return Writes() > writes; })) << "committed when let go";
    EXPECT_EQ(Writes(), writes + 1);
    const std::int16_t dropped = ui->OptionsPort().ScrollPosition();
    EXPECT_LT(dropped, start);
    EXPECT_EQ(ui->Control("HScroll1").value, dropped);
    EXPECT_EQ(world.Stored("transpa"), std::to_string(dropped));
    EXPECT_EQ(Caption("Label6"), TransparencyReadout(dropped));
}

TEST_F(OptionsDialogTest, Check1FromCodeRunsNoHandlerAndAUsersClickDoes) {
    ui->OptionsPort().SetCheck1(true);
    EXPECT_TRUE(ui->Control("Check1").checked);
    EXPECT_EQ(Run(), std::nullopt) << "set from code: nothing written";
    ui->OptionsPort().SetCheck1(false);
    ui->Click("Check1");
    EXPECT_TRUE(ui->WaitUntil([&] { return Run() == kProgramPath; })) << "checked by the user: started at logon";
    EXPECT_TRUE(ui->Control("Check1").checked);
    ui->Click("Check1");
    EXPECT_TRUE(ui->WaitUntil([&] { return Run() == ""; })) << "unchecked: the entry emptied";
    EXPECT_FALSE(ui->OptionsPort().Check1());
}

TEST_F(OptionsDialogTest, SwatchesShowTheirColourAndAClickPicksANewOne) {
    for (int n = 1; n <= kSwatchCount; ++n) ui->OptionsPort().SetSwatchColour(n, n == 3 ? 0x00FF0000 : 0x000000FF);
    EXPECT_TRUE(ui->WaitUntil([&] { return Middle(ui->CaptureControl("Picture3")) == RgbOf(0x00FF0000); }));
    EXPECT_EQ(Middle(ui->CaptureControl("Picture5")), RgbOf(0x000000FF));

    world.colours.answer = 0x0000FF00;
    ui->Click("Picture4");
    ASSERT_TRUE(ui->WaitUntil([&] { return world.colours.requests.size() == 1; }));
    EXPECT_EQ(ui->OptionsPort().SwatchColour(4), 0x0000FF00);
    EXPECT_EQ(world.Stored("bgcolor4"), "65280");
    EXPECT_TRUE(ui->WaitUntil([&] { return Middle(ui->CaptureControl("Picture4")) == RgbOf(0x0000FF00); }));
}

TEST_F(OptionsDialogTest, LinksShowAHandAndTheLinkColourAndOpenTheirPages) {
    // Tinted as the link colour is: glyphs smoothed over the dialog's grey keep its hue.
    const Rgb link = RgbOf(kLinkColour);
    const auto linkColoured = [&](const Rgb& c) {
        const int mean = (c.r + c.g + c.b) / 3, linkMean = (link.r + link.g + link.b) / 3;
        return (c.r - mean) * (link.r - linkMean) + (c.g - mean) * (link.g - linkMean) +
                   (c.b - mean) * (link.b - linkMean) >= 10'000;
    };
    for (const OptionsControl& c : kOptionsControls) {
        if (TakesFocus(c.kind)) continue;  // the labels: links and the rest
        const bool isLink = c.kind == OptionsControlKind::Link;
        const PointerShape shape = isLink ? PointerShape::Hand : PointerShape::Default;
        EXPECT_TRUE(ui->WaitUntil([&] { return ui->ShapeOver(c.name) == shape; })) << c.name;
        ui->Click(c.name);
        if (!isLink) {
            EXPECT_FALSE(ui->WaitUntil([&] { return !world.launcher.opened.empty(); }, 100ms)) << c.name;
            continue;
        }
        EXPECT_TRUE(ui->WaitUntil([&] { return !world.launcher.opened.empty(); })) << c.name;
        const std::vector<std::string> clicked = std::exchange(world.launcher.opened, {});
        ui->Options().Label_Click(*c.link);
        EXPECT_EQ(clicked, std::exchange(world.launcher.opened, {})) << c.name << ": the page of its own link";
        EXPECT_TRUE(ui->WaitUntil([&] { return ui->CaptureControl(c.name).Count(linkColoured) >= 10; })) << c.name;
    }
}

// As the program opens it: loaded from what is stored, modal over the main window, with its icon.
TEST_F(FixtureTest, TheOptionsHostLoadsTheDialogAndHoldsTheMainWindowUntilItCloses) {
    world.Store("transpa", "100");
    world.registry.Put(RegistryApi::kHkeyCurrentUser, kRunKeyPath, kRunValueName,
                       {RegistryApi::kTypeString, kProgramPath + '\0'});
    bool shown = false;
    ui->RunModal(Dialog::Options, [&] {
        shown = true;
        EXPECT_TRUE(ui->MainWindowWaits());
        EXPECT_TRUE(ui->HasMainWindowIcon());
        EXPECT_TRUE(ui->ShowsText(TransparencyReadout(100))) << "loaded";
    });
    EXPECT_TRUE(shown);
    EXPECT_FALSE(ui->MainWindowWaits()) << "free again once closed";
}

}  // namespace
}  // namespace tg::test
