#pragma once
// A block of a picture as rectangles of one colour each, for moving the picture to where filling a
// rectangle costs far less than sending its pixels (an X server's pixmap): runs along each row,
// each run joined to the one above it when both cover the same columns in one colour.
// A background gradient comes out as one rectangle a row or a column, a bar as one or two.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "appearance/MiscCode.h"
#include "appearance/PixelSurface.h"

namespace tg {

struct PixelFill {
    PixelBox box;           // right and bottom exclusive
    std::uint32_t rgb = 0;  // 0x00RRGGBB
};

// The box clipped to the picture, as fills covering it exactly. Empty when nothing of it lies in
// the picture, or when it would take more than `limit` fills (then sending the pixels costs less).
std::vector<PixelFill> FillsFor(const PixelSurface& pixels, const PixelBox& box, std::size_t limit);

}  // namespace tg
