// Picture2 drawn by GDI against the pixel rules the Linux front end reproduces: the same calls must
// give the same image on both platforms.
#include "platform/win32/Win32Picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "appearance/MiscCode.h"
#include "appearance/PixelSurface.h"

namespace tg {
namespace {

constexpr std::int32_t kWidth = 181, kHeight = 89;

// The bitmap as GDI hands it out, rows of 0x00RRGGBB, top row first.
std::vector<std::uint32_t> ReadBack(const Win32Picture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.Width();
    info.bmiHeader.biHeight = -picture.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(picture.Width()) * picture.Height());
    GdiFlush();
    const WindowDc screen(nullptr);
    const int rows = GetDIBits(screen.Get(), picture.Bitmap(), 0, static_cast<UINT>(picture.Height()), pixels.data(), &info,
                               DIB_RGB_COLORS);
    EXPECT_EQ(rows, picture.Height());
    for (std::uint32_t& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        most = d > most ? d : most;
    }
    return most;
}

struct Comparison {
    int offByOne = 0;
    int wrong = 0;
    std::string first;
};

Comparison Compare(const PixelSurface& expected, const std::vector<std::uint32_t>& seen) {
    Comparison c;
    for (std::int32_t y = 0; y < expected.Height(); ++y) {
        for (std::int32_t x = 0; x < expected.Width(); ++x) {
            const std::uint32_t want = expected.Data()[y * expected.Width() + x];
            const std::uint32_t got = seen[static_cast<std::size_t>(y) * expected.Width() + x];
            const int d = ChannelDistance(want, got);
            if (d == 1) ++c.offByOne;
            if (d > 1 && c.wrong++ == 0) {
                char text[96];
                std::snprintf(text, sizeof text, "(%d, %d): want %06X, got %06X", x, y, want, got);
                c.first = text;
            }
        }
    }
    return c;
}

struct Step {
    const char* name;
    std::function<void(Surface&)> draw;
};

// The calls frmMain makes, and the edges of each: colours with high bits, blocks larger than the
// image, bars whose ends lie far outside it, lines that are not bars.
const Step kSteps[] = {
    {"clear, the colour's high byte ignored", [](Surface& s) { s.Clear(0x7F123456); }},
    {"vertical gradient over the whole surface, as PaintBackground",
     [](Surface& s) { PaintGradient({s, 2715, 1335, 0xFFFFFF, 15, 15}, 0xFFFFFF, 0x80FFFF, true); }},
    {"horizontal gradient of wide channel steps inside the image",
     [](Surface& s) { FillGradient(s, {10, 5, 170, 60}, 0x0000FF, 0xFF8000, false); }},
    {"vertical gradient reaching past the image",
     [](Surface& s) { FillGradient(s, {120, 40, 400, 300}, 0x00FF00, 0x4000C0, true); }},
    {"scroll by blocks as large as the surface in twips", [](Surface& s) { s.ScrollLeft(2685, 1335); }},
    {"a download bar and an upload bar over it",
     [](Surface& s) {
         s.Line(255, 178, 89, 178, 40);
         s.Line(65535, 178, 89, 178, 70);
     }},
    {"a bar far taller than the image", [](Surface& s) { s.Line(255, 177, 89, 177, -2'000'000'000); }},
    {"a zero bar draws nothing", [](Surface& s) { s.Line(65535, 176, 89, 176, 89); }},
    {"a diagonal and a horizontal line, end points left out",
     [](Surface& s) {
         s.Line(0x00FF00FF, 5, 5, 60, 30);
         s.Line(0x000000FF, 3, 80, 90, 80);
         s.Line(0x00FF0000, 100, 10, 90, 50);
     }},
    {"a second scroll moves the bars one pixel left", [](Surface& s) { s.ScrollLeft(2685, 1335); }},
};

TEST(Win32PictureTest, DrawsTheSamePixelsAsThePixelRules) {
    Win32Picture picture({}, {});
    picture.Resize(kWidth, kHeight);
    PixelSurface expected(kWidth, kHeight);
    int offByOne = 0;
    for (const Step& step : kSteps) {
        step.draw(picture);
        step.draw(expected);
        const Comparison c = Compare(expected, ReadBack(picture));
        EXPECT_EQ(c.wrong, 0) << step.name << ": " << c.wrong << " pixels differ, first " << c.first;
        offByOne += c.offByOne;
    }
    // What a reader of the log can compare between systems: GradientFill's rounding.
    std::printf("pixels one step off in a channel after all steps: %d\n", offByOne);
    // The images compared were not blank: the first bars, two scrolls later, one column left.
    EXPECT_EQ(expected.Pixel(177, 50), 255);
    EXPECT_EQ(expected.Pixel(177, 80), 65535);
}

TEST(Win32PictureTest, ResizeKeepsTheOverlapAndBlackensTheRest) {
    Win32Picture picture({}, {});
    picture.Resize(40, 30);
    picture.Clear(0x00336699);
    picture.Resize(60, 20);
    EXPECT_EQ(picture.Width(), 60);
    EXPECT_EQ(picture.Height(), 20);
    const std::vector<std::uint32_t> pixels = ReadBack(picture);
    EXPECT_EQ(pixels[19 * 60 + 39], 0x996633u) << "inside the old image";
    EXPECT_EQ(pixels[19 * 60 + 40], 0u) << "new pixels are black";
}

}  // namespace
}  // namespace tg
