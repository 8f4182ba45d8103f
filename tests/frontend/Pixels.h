#pragma once
// A pixel as the screen shows it.
#include <cstdint>
#include <ostream>

namespace tg::test {

struct Rgb {
    int r = -1, g = -1, b = -1;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

// A colour of the program, 0x00BBGGRR.
inline Rgb RgbOf(std::int32_t colour) { return {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF}; }

}  // namespace tg::test
