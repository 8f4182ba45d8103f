#include <gtest/gtest.h>

#include "MainWindowFakes.h"
#include "appearance/MiscCode.h"
#include "appearance/PixelFills.h"
#include "appearance/PixelSurface.h"

namespace tg {
namespace {

TEST(MiscCode, VertexChannelsAreTheColourBytesTimes256) {
    const GradientVertex white = VertexFor(1, 2, 0x00FFFFFF);
    EXPECT_EQ(white.red, 0xFF00);
    EXPECT_EQ(white.green, 0xFF00);
    EXPECT_EQ(white.blue, 0xFF00);
    EXPECT_EQ(white.alpha, 0);
    const GradientVertex rgb = VertexFor(0, 0, static_cast<std::int32_t>(0x80123456u));  // top byte ignored
    EXPECT_EQ(rgb.red, 0x5600);
    EXPECT_EQ(rgb.green, 0x3400);
    EXPECT_EQ(rgb.blue, 0x1200);
    const GradientVertex black = VertexFor(0, 0, 0);
    EXPECT_EQ(black.red + black.green + black.blue, 0);
    EXPECT_EQ(ToColor16(0x12345678), 0x5678);
}

TEST(MiscCode, PaintGradientClearsThenBlendsTopToBottom) {
    PixelSurface s(10, 100);
    s.Line(0x00FF00, 3, 0, 3, 100);  // a graph bar that must go
    PaintGradient({s, 150, 1500, 0x00FFFFFF, 15, 15}, 0x00FFFFFF, 0x00000000, true);
    EXPECT_EQ(s.Pixel(3, 0), 0);
    EXPECT_EQ(s.Pixel(3, 50), 0x7F7F7F);
    EXPECT_EQ(s.Pixel(3, 99), 0xFCFCFC);
    EXPECT_EQ(s.Pixel(0, 99), s.Pixel(9, 99)) << "vertical: rows are even";

    PaintGradient({s, 150, 1500, 0x00FFFFFF, 15, 15}, 0x0000FF, 0x000000, false);
    EXPECT_EQ(s.Pixel(0, 7), 0);
    EXPECT_EQ(s.Pixel(5, 7), 0x7F);
    EXPECT_EQ(s.Pixel(5, 99), 0x7F) << "horizontal: columns are even";
}

TEST(MiscCode, ZeroSizedTargetIsOnlyCleared) {
    PixelSurface s(4, 4);
    PaintGradient({s, 7, 1500, 0x000080, 15, 15}, 0xFFFFFF, 0xFFFFFF, true);  // 7 twips: 0 pixels wide
    EXPECT_EQ(s.Pixel(0, 0), 0x000080);
    EXPECT_EQ(s.Pixel(3, 3), 0x000080);
}

TEST(MiscCode, TransparencyLevelsInAndOutOfRange) {
    test::FakeForm form;
    EXPECT_EQ(ApplyTransparency(form, 0), 0);
    EXPECT_EQ(form.alpha, 0);
    EXPECT_EQ(ApplyTransparency(form, 255), 0);
    EXPECT_EQ(form.alpha, 255);
    EXPECT_EQ(ApplyTransparency(form, -1), 1);
    EXPECT_EQ(ApplyTransparency(form, 256), 1);
    EXPECT_EQ(form.alpha, 255) << "an out-of-range level keeps the alpha set before";
}

TEST(PixelSurface, ScrollMovesEveryRowOnePixelAndKeepsTheLastColumn) {
    PixelSurface s(5, 2);
    for (int x = 0; x < 5; ++x) s.Line(x, x, 0, x, 2);
    s.ScrollLeft(2685, 1335);  // larger than the image, as the graph passes it
    EXPECT_EQ(s.Pixel(0, 0), 1);
    EXPECT_EQ(s.Pixel(3, 1), 4);
    EXPECT_EQ(s.Pixel(4, 1), 4);
}

TEST(PixelSurface, LinesLeaveOutTheirEndAndClipFarPoints) {
    PixelSurface s(3, 10);
    s.Clear(0);
    s.Line(0xFF, 1, 10, 1, 7);
    EXPECT_EQ(s.Pixel(1, 9), 0xFF);
    EXPECT_EQ(s.Pixel(1, 8), 0xFF);
    EXPECT_EQ(s.Pixel(1, 7), 0) << "the end point is not drawn";
    s.Line(0xFF00, 2, 10, 2, -2'000'000'000);
    EXPECT_EQ(s.Pixel(2, 0), 0xFF00);
    s.Line(0xFF0000, 0, 0, 3, 3);
    EXPECT_EQ(s.Pixel(0, 0), 0xFF0000);
    EXPECT_EQ(s.Pixel(2, 2), 0xFF0000);
    s.Line(0xFF, 50, 0, 50, 10);  // outside: nothing, no crash
    s.Resize(2, 12);
    EXPECT_EQ(s.Pixel(1, 9), 0xFF) << "resizing keeps the overlap";
    EXPECT_EQ(s.Pixel(1, 11), 0);
}

// A gradient takes one fill a row or a column, a bar one a colour, a box beyond the limit none. That
// the fills paint exactly the pixels is checked on the X server's copy, in the front-end suite.
TEST(PixelFills, FewRectanglesForGradientsAndBarsAndNoneBeyondTheLimit) {
    PixelSurface s(40, 20);
    FillGradient(s, {0, 0, 40, 20}, 0x00FF0000, 0x000000FF, true);
    EXPECT_EQ(FillsFor(s, {0, 0, 40, 20}, 100).size(), 20u);
    FillGradient(s, {0, 0, 40, 20}, 0x00FF0000, 0x000000FF, false);
    EXPECT_EQ(FillsFor(s, {-5, -5, 400, 400}, 100).size(), 40u);
    s.Clear(0x00FFFFFF);
    s.Line(0xFF, 7, 20, 7, 12);
    s.Line(0xFF00, 7, 20, 7, 16);
    EXPECT_EQ(FillsFor(s, {7, -2'000'000'000, 8, 2'000'000'000}, 100).size(), 3u) << "back colour, red, green";
    for (int y = 0; y < 20; ++y)
        for (int x = y % 2; x < 40; x += 2) s.Line(0, x, y, x, y + 1);
    EXPECT_TRUE(FillsFor(s, {0, 0, 40, 20}, 100).empty()) << "chequered";
    EXPECT_EQ(FillsFor(s, {0, 0, 40, 20}, 800).size(), 800u);
}

}  // namespace
}  // namespace tg
