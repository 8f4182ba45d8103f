#include <gtest/gtest.h>

#include <cmath>

#include "Fakes.h"
#include "FakeMainWindow.h"
#include "appearance/PixelSurface.h"
#include "mainwindow/MenuTree.h"
#include "mainwindow/frmMain.h"

namespace tg {
namespace {

using namespace std::chrono_literals;

constexpr std::int32_t kWhite = 0xFFFFFF, kYellowish = 0x80FFFF, kRed = 0xFF, kYellow = 0xFFFF;

class frmMainTest : public ::testing::Test, protected test::FakeMainWindow {
 protected:
    frmMainTest() {
        table.SetTotals({{1'000'000, 1'000'000}});
    }

    void Store(const SettingKey& key, const std::string& text) { settings.Set(kSettingsApp, kSettingsSection, key.name, text); }
    std::optional<std::string> Stored(const SettingKey& key) { return settings.Get(kSettingsApp, kSettingsSection, key.name); }

    // One tick of the timer in which the table moved these many bytes in and out.
    void Tick(std::uint32_t in, std::uint32_t out) {
        received += in;
        sent += out;
        table.SetTotals({{received, sent}});
        clock.Advance(1s);
        window.Timer2_Timer();
    }
    // One graph step with these kilobit values.
    void Data(double upKb, double downKb) { window.DrawGraph(upKb, downKb); }
    // The newest column: 50 twips left of the surface's right edge.
    std::int32_t BarColumn() const {
        return static_cast<std::int32_t>(std::lround((window.Picture2Bounds().width - 50) / 15));
    }

    std::uint32_t received = 1'000'000, sent = 1'000'000;
};

TEST_F(frmMainTest, FirstStartOnAnEmptyStore) {
    window.Form_Load();
    const TwipsRect b = form.Bounds();
    EXPECT_EQ(b.left, 1920 * 15 - 1000 - 2715);
    EXPECT_EQ(b.top, 1080 * 15 - 3000);
    EXPECT_EQ(b.width, 2715);
    EXPECT_EQ(b.height, 1365);
    EXPECT_EQ(form.surface.height, 1365 - 30);
    ASSERT_EQ(form.topmost.size(), 1u);
    EXPECT_EQ(form.topmost[0].x, 1672);  // 25085 / 15, rounded
    EXPECT_EQ(form.topmost[0].cx, 181);
    EXPECT_TRUE(form.MenuChecked(MenuItem::ontop));
    EXPECT_TRUE(form.MenuChecked(MenuItem::KbpsAuto));
    EXPECT_FALSE(form.MenuChecked(MenuItem::Kbps128));
    EXPECT_EQ(window.ScaleKbps(), -1);
    EXPECT_EQ(window.GraphMax(), 128);
    EXPECT_EQ(form.alpha, 180);
    EXPECT_EQ(form.colour[LabelId::Label1], 0);
    EXPECT_EQ(form.backColour, kYellowish);
    EXPECT_EQ(picture.Pixel(5, 0), kYellowish) << "gradient from the window's colour at the top";
    EXPECT_EQ(picture.Pixel(5, 88), 0xFDFFFF) << "to the surface's white at the bottom";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "TideGauge");
    EXPECT_NE(messages.shown[0].text.find("\r\nThis is a simple bandwidth monitor"), std::string::npos);
    EXPECT_EQ(settings.values.size(), 1u) << "only info is written";
    EXPECT_EQ(Stored(keys::info), "1");
    EXPECT_EQ(form.timerChanges, std::vector<bool>{true}) << "the timer starts last, once";
    EXPECT_GE(form.shows, 2);
}

TEST_F(frmMainTest, DesignValuesBeforeTheFirstStart) {
    window.Form_Initialize();
    EXPECT_EQ(form.text[LabelId::Label9], "0 Kb");
    EXPECT_EQ(form.text[LabelId::Label10], "0 Kb");
    EXPECT_EQ(form.text[LabelId::Label1], "128 Kb");
    EXPECT_EQ(form.position[LabelId::Label10], std::make_pair(2280.0f, 120.0f));
    EXPECT_EQ(form.colour[LabelId::Label9], 0xC0C0C0);
    EXPECT_EQ(form.Bounds().width, 2715);
    EXPECT_FALSE(form.timer);
}

TEST_F(frmMainTest, SecondCopyEndsWithoutShowingOrWriting) {
    desktop.anotherInstance = true;
    window.Form_Load();
    EXPECT_TRUE(desktop.exited);
    EXPECT_EQ(form.shows, 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(settings.values.empty());
    EXPECT_FALSE(form.timer);
}

TEST_F(frmMainTest, StoredPlaceIsKeptOnItsScreen) {
    Store(keys::x, "30000");  // right of the primary screen's last possible left edge
    Store(keys::y, "15000");  // below 95 % of the screen height less the window
    Store(keys::y1, "15000"); // taller than 90 % of the screen
    Store(keys::info, "1");
    window.Form_Load();
    EXPECT_EQ(form.Bounds().left, 0);
    EXPECT_EQ(form.Bounds().top, 0);
    EXPECT_EQ(form.Bounds().height, 2000);
    EXPECT_EQ(form.Bounds().width, 2715);
}

TEST_F(frmMainTest, AWindowOnASecondMonitorStaysThere) {
    desktop.monitors.push_back({28800, 0, 1280 * 15, 1024 * 15});
    Store(keys::x, "35000");
    Store(keys::y, "2000");
    Store(keys::info, "1");
    window.Form_Load();
    EXPECT_EQ(form.Bounds().left, 35000);
    EXPECT_EQ(form.Bounds().top, 2000);
    Store(keys::x, "60000");  // on no monitor: the primary screen's rules
    window.Form_Load();
    EXPECT_EQ(form.Bounds().left, 0);
}

TEST_F(frmMainTest, ScaleAndTopmostFromTheStore) {
    Store(keys::info, "1");
    Store(keys::ontop, "0");
    Store(keys::kbps, "300");
    window.Form_Load();
    EXPECT_EQ(window.ScaleKbps(), 300);
    for (const MenuNode& scale : ScaleMenu()) EXPECT_FALSE(form.MenuChecked(*scale.item)) << "no scale offers 300";
    EXPECT_FALSE(form.MenuChecked(MenuItem::ontop));
    EXPECT_TRUE(form.topmost.empty());
    Store(keys::kbps, "garbage");
    window.Form_Load();
    EXPECT_EQ(window.ScaleKbps(), 0);
    Store(keys::kbps, "1024");
    window.Form_Load();
    EXPECT_TRUE(form.MenuChecked(MenuItem::Kbps1024));
}

TEST_F(frmMainTest, AStoredOpacityTooLowToSeeStartsAtTheDefault) {
    Store(keys::info, "1");
    const std::pair<const char*, int> cases[] = {
        {"0", 180}, {"9.9", 180}, {"10", 10}, {"254.7", 254}, {"255", 255}, {"abc", 180}};
    for (const auto& [stored, applied] : cases) {
        Store(keys::transpa, stored);
        form.alpha = -1;
        window.Form_Load();
        EXPECT_EQ(form.alpha, applied) << "transpa " << stored;
    }
    // Levels beyond 0..255 are not applied at all: the window keeps the level it has.
    for (const char* stored : {"999", "-5"}) {
        Store(keys::transpa, stored);
        form.alpha = 77;
        window.Form_Load();
        EXPECT_EQ(form.alpha, 77) << "transpa " << stored;
    }
}

TEST_F(frmMainTest, ReRunKeepsColoursResetsTheMaximumAndStartsAFreshSampler) {
    Store(keys::bgcolor3, "65280");
    window.Form_Load();
    Tick(1000, 1000);
    Tick(400'000, 1000);
    EXPECT_EQ(window.GraphMax(), 3210);
    Store(keys::bgcolor2, "bad");  // not a number: the current colour stays
    window.Form_Load();
    EXPECT_EQ(window.GraphMax(), 128);
    EXPECT_EQ(window.DownColor(), 65280);
    EXPECT_EQ(window.BackColor(), kYellowish);
    EXPECT_EQ(messages.shown.size(), 1u) << "info is 1 now";
    form.text.clear();
    Tick(8000, 8000);
    EXPECT_TRUE(form.text.empty()) << "the new sampler's first tick is its baseline";
    Tick(8000, 8000);
    EXPECT_EQ(form.text[LabelId::Label9], "D:64kb");
}

TEST_F(frmMainTest, ReadOutsAfterATick) {
    window.Form_Load();
    Tick(5000, 5000);
    Tick(128'000, 1000);
    EXPECT_EQ(form.text[LabelId::Label9], "D:1024kb");
    EXPECT_EQ(form.text[LabelId::Label10], "U:8kb");
    EXPECT_EQ(form.text[LabelId::Label1], "1034kb Max");
    form.labelWidth = 900;  // a longer upload text
    Tick(1000, 1'000'000);
    EXPECT_EQ(form.position[LabelId::Label10].first, 2715 - 150 - 900) << "the upload read-out keeps its right edge";
}

TEST_F(frmMainTest, AnIdleSecondReadsZeroAndScrollsAnEmptyColumn) {
    window.Form_Load();
    Tick(0, 0);
    Tick(1000, 64'000);
    const std::int32_t x = BarColumn();
    const std::int32_t bottom = picture.Height() - 1;
    ASSERT_EQ(picture.Pixel(x, bottom), kYellow);
    Tick(0, 0);
    EXPECT_EQ(form.text[LabelId::Label9], "D:0kb");
    EXPECT_EQ(form.text[LabelId::Label10], "U:0kb");
    EXPECT_EQ(picture.Pixel(x - 1, bottom), kYellow) << "last second's bar moved left";
    EXPECT_NE(picture.Pixel(x, bottom), kYellow) << "this second's column is empty";
}

// The window manager may make the window smaller than the program ever would.
TEST_F(frmMainTest, ResizeEnforcesMinimumsAndLaysOutTheLabels) {
    window.Form_Load();
    picture.Clear(0x123456);
    window.Form_Placed({100, 100, 20, 20});
    EXPECT_EQ(form.Bounds().width, 500);
    EXPECT_EQ(form.Bounds().height, 500);
    EXPECT_NE(picture.Pixel(0, 0), 0x123456) << "the background was repainted";
    EXPECT_FALSE(form.visible[LabelId::Label9]);

    window.Form_Placed({100, 100, 103, 44});
    EXPECT_FALSE(form.visible[LabelId::Label1]) << "1545 wide hides the read-outs";
    window.Form_Placed({100, 100, 104, 44});
    EXPECT_TRUE(form.visible[LabelId::Label10]);
    EXPECT_EQ(form.position[LabelId::Label10].first, 1560 - 150 - form.labelWidth);
    EXPECT_EQ(form.position[LabelId::Label1].second, 660 - 350);
    EXPECT_EQ(form.surface.width, 1560);
    EXPECT_EQ(form.surface.height, 630);
}

// The X server answers late, in order; Windows at once, inside the request.
TEST_F(frmMainTest, AnswersToTheProgramsOwnRequestsAreNoNews) {
    window.Form_Load();
    const TwipsRect s = window.Picture2Bounds();
    window.Picture2_MouseDown(kLeftButton, 0, 300, 300);
    window.Picture2_MouseMove(kLeftButton, 0, 450, 300);  // to 1682 880
    window.Picture2_MouseMove(kLeftButton, 0, 450, 300);  // to 1692 880
    window.Form_Placed({1682, 880, 181, 91});
    EXPECT_EQ(form.Bounds().left, 25085 + 300) << "a late answer does not pull the window back";
    window.Form_Placed({1692, 880, 181, 91});
    window.Form_Placed({1692, 880, 181, 91});
    EXPECT_EQ(form.Bounds().left, 25085 + 300) << "the twips it was given, not those of its pixels";
    window.Picture2_MouseUp(kLeftButton, 0, 450, 300);
    const std::size_t moves = form.moves.size();
    window.Form_Placed({1600, 800, 181, 91});
    EXPECT_EQ(form.Bounds().left, 24000) << "a place never asked for is the system's doing";
    EXPECT_EQ(form.Bounds().top, 12000);
    EXPECT_EQ(form.Bounds().width, 2715) << "the same pixels: the twips are kept";
    EXPECT_EQ(form.moves.size(), moves) << "the window is where the system put it already";
    window.Form_Placed({1682, 880, 181, 91});
    EXPECT_EQ(form.Bounds().left, 25230) << "nor is one asked for before the last answer";
    window.Form_Placed({1600, 800, 181, 91});

    window.Picture2_MouseDown(kLeftButton, 0, s.width - 10, s.height - 10);
    window.Picture2_MouseMove(kLeftButton, 0, 3001, 1500);
    EXPECT_EQ(window.Picture2Bounds().width, 3001) << "a new size in twips is laid out though its pixels are the same";
    window.Form_Placed({1600, 800, 200, 100});
    EXPECT_EQ(form.Bounds().width, 3001);
    window.Form_Placed({1600, 800, 250, 100});
    EXPECT_EQ(form.Bounds().width, 3750) << "nor asked for, this size";
    EXPECT_EQ(form.Bounds().left, 24000);
    EXPECT_EQ(picture.Width(), 250) << "and laid out";
}

// The front ends report the pointer on the screen. What happens over Picture2 is its event, in its
// twips from where the window was asked to be (the system's reports lag behind a drag); a press
// holds the pointer until no button is left down, whether the release counts its own button (X)
// or not (Windows).
TEST_F(frmMainTest, ThePointerIsPicture2sOverItAndWhileAPressOnItLasts) {
    window.Form_Load();  // at 1672 880; the picture 181 x 89 pixels, the window 91 high
    const auto pointer = [&](PointerAction action, std::int16_t button, std::int16_t held, int x, int y) {
        return window.Form_Pointer({action, button, held, kShiftKey, x, y});
    };
    EXPECT_FALSE(pointer(PointerAction::Press, kLeftButton, kLeftButton, 1672 + 50, 880 + 89)) << "the strip below";
    EXPECT_FALSE(pointer(PointerAction::Move, 0, 0, 1671, 900)) << "left of the window";
    EXPECT_FALSE(form.captured);
    EXPECT_TRUE(pointer(PointerAction::Move, 0, 0, 1672 + 178, 880 + 86));
    EXPECT_EQ(form.cursor, Cursor::SizeNwse) << "a move over the grip, in twips of the picture";

    const TwipsRect start = form.Bounds();
    EXPECT_TRUE(pointer(PointerAction::Press, kLeftButton, kLeftButton, 1672 + 50, 880 + 30));
    EXPECT_TRUE(form.captured);
    EXPECT_TRUE(window.Dragging());
    EXPECT_TRUE(pointer(PointerAction::Move, 0, kLeftButton, 1672 + 60, 880 + 25));
    EXPECT_EQ(form.Bounds().left, start.left + 150);
    EXPECT_EQ(form.Bounds().top, start.top - 75);
    EXPECT_TRUE(pointer(PointerAction::Move, 0, kLeftButton, 1672 + 60, 880 + 25));
    EXPECT_EQ(form.Bounds().left, start.left + 150) << "the same point, measured from the new place";
    EXPECT_TRUE(pointer(PointerAction::Move, 0, kLeftButton, 100, 880 + 25)) << "off the window, held";
    EXPECT_EQ(form.Bounds().left, start.left + 150 + (100 - 1682 - 50) * 15);
    for (const std::int16_t heldAtRelease : {Buttons(true, true, false), kLeftButton}) {
        EXPECT_TRUE(pointer(PointerAction::Press, kRightButton, Buttons(true, true, false), 100, 900));
        EXPECT_TRUE(pointer(PointerAction::Release, kRightButton, heldAtRelease, 100, 900));
        EXPECT_TRUE(form.captured) << "the left button is still down";
    }
    EXPECT_EQ(form.popups, 2) << "each right release opened the menu";
    EXPECT_TRUE(pointer(PointerAction::Release, kLeftButton, 0, 100, 900));
    EXPECT_FALSE(form.captured);
    EXPECT_EQ(Stored(keys::x), std::to_string(static_cast<int>(form.Bounds().left))) << "the drag's end stored";
    EXPECT_FALSE(pointer(PointerAction::Move, 0, 0, 1900, 100)) << "let go: no longer the picture's";
}

// Hand-edited settings can ask for a window millions of pixels across. The start-up shrinks it,
// but only after the size was applied, so the picture must not be that large meanwhile.
TEST_F(frmMainTest, ThePictureNeverOutgrowsTheScreens) {
    Store(keys::x1, "1e7");
    Store(keys::y1, "1e9");
    PixelRect largest;
    form.onPlace = [&](const TwipsRect&) {
        largest.cx = std::max(largest.cx, form.surfacePixels.cx);
        largest.cy = std::max(largest.cy, form.surfacePixels.cy);
        picture.Resize(form.surfacePixels.cx, form.surfacePixels.cy);
    };
    window.Form_Load();
    EXPECT_EQ(largest.cx, 1920);
    EXPECT_EQ(largest.cy, 1080);
    EXPECT_EQ(form.Bounds().width, 2000) << "wider than the screen: the fallback width";
    EXPECT_EQ(form.Bounds().height, 2000) << "taller than the screen: the fallback height";
    EXPECT_EQ(picture.Width(), 133);
    EXPECT_EQ(picture.Height(), 131);
    form.screen = {0, 0, 150, 100};
    window.Form_Placed({0, 0, 160, 90});
    EXPECT_EQ(picture.Width(), 150) << "the side that does not fit is cut";
    EXPECT_EQ(picture.Height(), 88) << "the side that fits keeps its size";
}

// A tick pumps messages twice on its way, and a pump may run the next tick inside it.
// The inner one measures from the same baseline over two seconds: the outer's 512 kb up is 256 kb.
TEST_F(frmMainTest, ATickPaintsOnceWhenItHasDrawnEverything) {
    window.Form_Load();
    Tick(1000, 1000);
    int inner = 0, paintsWhilePumping = 0;
    desktop.onPump = [&] {
        paintsWhilePumping += form.paints;
        if (inner++ == 0) Tick(1000, 1000);
    };
    form.paints = 0;
    Tick(0, 64'000);
    EXPECT_EQ(window.GraphMax(), 522) << "raised to 266 by the inner tick, then by the outer's own rate";
    EXPECT_EQ(paintsWhilePumping, 0) << "nothing painted halfway";
    EXPECT_EQ(form.paints, 1) << "for both ticks, after the outer one";
    EXPECT_TRUE(window.Form_Changed()) << "between ticks a change paints at once";
    desktop.onPump = nullptr;
    Tick(0, 0);
    EXPECT_NE(window.TooltipText()->find("启动以来  接收 8.00 kb  发送 520 kb"), std::string::npos)
        << "every byte of the three ticks counted once: " << *window.TooltipText();
}

TEST_F(frmMainTest, OnAnotherResolutionTheWindowKeepsItsTwipsAtTheOfferedPlace) {
    window.Form_Load();
    const TwipsRect before = form.Bounds();
    desktop.tppX = desktop.tppY = 10;  // 144 DPI
    window.Form_DpiChanged({100, 50, 400, 300});
    EXPECT_EQ(form.Bounds().left, 1000);
    EXPECT_EQ(form.Bounds().top, 500);
    EXPECT_EQ(form.Bounds().width, before.width);
    EXPECT_EQ(form.Bounds().height, before.height);
    EXPECT_EQ(form.surfacePixels.cx, 272) << "2715 twips at 10 a pixel, the half to even";
    EXPECT_EQ(form.surfacePixels.cy, 134);
    const std::size_t moves = form.moves.size();
    window.Form_Placed({100, 50, 272, 136});
    EXPECT_EQ(form.moves.size(), moves);
    EXPECT_EQ(form.Bounds().width, before.width) << "the answer to the move it made";
}

// The window's close request and the session's end call the unload as the exit command does.
TEST_F(frmMainTest, TheExitCommandUnloadsTheWindowThenEndsTheProgram) {
    window.Form_Load();
    bool closedFirst = false;
    desktop.onExit = [&] { closedFirst = form.closed; };
    window.MenuCommand(MenuItem::exit);
    EXPECT_TRUE(desktop.exited);
    EXPECT_TRUE(closedFirst);
}

TEST_F(frmMainTest, FixedScaleCutsBarsAtTheTop) {
    Store(keys::kbps, "128");
    window.Form_Load();
    picture.Clear(kWhite);
    Data(256, 64);
    EXPECT_EQ(window.GraphMax(), 128);
    const std::int32_t x = BarColumn();
    EXPECT_EQ(picture.Pixel(x, 0), kYellow) << "upload twice the scale reaches the top";
    EXPECT_EQ(picture.Pixel(x, 88), kYellow) << "upload drawn over download";
}

TEST_F(frmMainTest, AutomaticScaleOnlyGrowsAndUploadDecides) {
    window.Form_Load();
    Data(200, 500);
    EXPECT_EQ(window.GraphMax(), 210) << "upload decides when both exceed the maximum";
    Data(200, 500);
    EXPECT_EQ(window.GraphMax(), 510);
    Data(100, 50);
    EXPECT_EQ(window.GraphMax(), 510) << "never shrinks";
    Data(40000, 8);
    EXPECT_EQ(window.GraphMax(), 40010) << "the maximum is 32-bit: fast links still draw";
    EXPECT_EQ(picture.Pixel(BarColumn(), 1), kYellow);
}

TEST_F(frmMainTest, ScaleZeroIsAutomaticToo) {
    Store(keys::kbps, "0");
    window.Form_Load();
    Data(100, 300);
    EXPECT_EQ(window.GraphMax(), 310);
}

TEST_F(frmMainTest, EachStepScrollsOnePixelAndDrawsBothBars) {
    Store(keys::kbps, "128");
    window.Form_Load();
    picture.Clear(kWhite);
    Data(32, 64);  // a quarter and a half of the scale
    const std::int32_t x = BarColumn();
    const std::int32_t H = picture.Height();
    EXPECT_EQ(picture.Pixel(x, H - 2), kYellow);
    EXPECT_EQ(picture.Pixel(x, H - 30), kRed) << "download shows above the shorter upload";
    EXPECT_EQ(picture.Pixel(x, H - 50), kWhite);
    Data(0, 0);
    EXPECT_EQ(picture.Pixel(x - 1, H - 30), kRed) << "the column moved one pixel left";
    EXPECT_EQ(picture.Pixel(x, H - 30), kWhite) << "a zero tick draws no bar";
}

TEST_F(frmMainTest, GripIsStrictAndAPressInItResizes) {
    window.Form_Load();
    const TwipsRect s = window.Picture2Bounds();
    window.Picture2_MouseDown(kLeftButton, 0, s.width - 100, s.height - 50);
    EXPECT_TRUE(window.Dragging()) << "exactly width - 100 is outside the grip";
    window.Picture2_MouseUp(kLeftButton, 0, s.width - 100, s.height - 50);
    window.Picture2_MouseDown(kLeftButton, 0, s.width - 99, s.height - 99);
    EXPECT_TRUE(window.Resizing());
    window.Picture2_MouseMove(kLeftButton, 0, 200, 3000);
    EXPECT_EQ(form.Bounds().width, 500);
    EXPECT_EQ(form.Bounds().height, 3000);
    EXPECT_EQ(desktop.sleeps, std::vector<std::uint32_t>{100});
    window.Picture2_MouseUp(kLeftButton, 0, 200, 3000);
    EXPECT_EQ(Stored(keys::x1), "500");
    EXPECT_EQ(Stored(keys::y1), "3000");
    EXPECT_EQ(form.cursor, Cursor::Default);
}

TEST_F(frmMainTest, DragMovesByThePointerAndAClickStillWritesThePlace) {
    window.Form_Load();
    const TwipsRect start = form.Bounds();
    window.Picture2_MouseDown(kLeftButton, 0, 300, 300);
    window.Picture2_MouseUp(kLeftButton, 0, 300, 300);
    EXPECT_EQ(Stored(keys::x), std::to_string(static_cast<int>(start.left)));
    window.Picture2_MouseDown(kLeftButton, 0, 300, 300);
    window.Picture2_MouseMove(kLeftButton, 0, 450, 240);
    EXPECT_EQ(form.Bounds().left, start.left + 150);
    EXPECT_EQ(form.Bounds().top, start.top - 60);
    window.Picture2_MouseMove(kLeftButton | kRightButton, 0, 900, 900);
    EXPECT_EQ(form.Bounds().left, start.left + 150) << "two buttons held: no move";
    EXPECT_TRUE(desktop.sleeps.empty());
    window.Picture2_MouseUp(kRightButton, 0, 450, 240);
    EXPECT_FALSE(window.Dragging());
    EXPECT_EQ(Stored(keys::y), std::to_string(static_cast<int>(start.top - 60)));
    EXPECT_EQ(form.popups, 1) << "a right release ends the move, then opens the menu";
}

TEST_F(frmMainTest, HoverShowsTheSizingCursorAndTheMenuStopsTheTimer) {
    window.Form_Load();
    const TwipsRect s = window.Picture2Bounds();
    window.Picture2_MouseMove(0, 0, s.width - 10, s.height - 10);
    EXPECT_EQ(form.cursor, Cursor::SizeNwse);
    window.Picture2_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(form.cursor, Cursor::Default);
    window.Picture2_MouseDown(kRightButton, 0, 10, 10);
    EXPECT_FALSE(window.Dragging());
    EXPECT_FALSE(window.Resizing());
    bool timerDuringMenu = true;
    form.onPopup = [&] { timerDuringMenu = form.timer; };
    window.Picture2_MouseUp(kRightButton, 0, 10, 10);
    EXPECT_FALSE(timerDuringMenu);
    EXPECT_TRUE(form.timer);
}

TEST_F(frmMainTest, AReRunInsideATickDoesNotPullTheSamplerAway) {
    Store(keys::info, "1");
    window.Form_Load();
    Tick(1000, 1000);
    bool reran = false;
    desktop.onPump = [&] {
        if (reran) return;
        reran = true;
        window.Form_Load();  // the options dialog closing while the graph step pumps messages
    };
    Tick(8000, 8000);
    EXPECT_TRUE(reran);
    EXPECT_EQ(window.GraphMax(), 128);
}

}  // namespace
}  // namespace tg
