#include "common/Amounts.h"

#include <algorithm>
#include <array>

namespace tg {

namespace {

// Beyond any interface; the bound keeps value * 100 inside 64 bits and the text in three figures.
constexpr std::uint64_t kLargest = 999'000'000'000'000ULL;
constexpr std::array<char, 4> kPrefixes = {'k', 'M', 'G', 'T'};

// numerator / denominator to the nearest whole number, halves to the even neighbour.
std::uint64_t DivideHalfEven(std::uint64_t numerator, std::uint64_t denominator) {
    const std::uint64_t quotient = numerator / denominator;
    const std::uint64_t twice = 2 * (numerator % denominator);
    if (twice > denominator || (twice == denominator && quotient % 2 == 1)) return quotient + 1;
    return quotient;
}

std::uint64_t Power10(int n) {
    std::uint64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// `units` hundredths, tenths or ones as text: 1234 with 2 decimals is "12.34".
std::string WithDecimals(std::uint64_t units, int decimals) {
    std::string digits = std::to_string(units);
    if (decimals == 0) return digits;
    if (digits.size() <= static_cast<std::size_t>(decimals))
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    return digits;
}

}  // namespace

// Decimals follow the size of the scaled value (x.xx, xx.x, xxx); where rounding carries it into
// the next size (9.996 -> 10.00), the fewer decimals of that size are taken, and a value that
// rounds to 1000 moves on to the next prefix.
Scaled ScaleToThreeFigures(std::uint64_t value, std::uint64_t per) {
    value = std::min(value, kLargest);
    std::uint64_t scale = 1000 * per;
    for (std::size_t p = 0;; ++p, scale *= 1000) {
        const bool last = p + 1 == kPrefixes.size();
        int decimals = value >= 100 * scale ? 0 : value >= 10 * scale ? 1 : 2;
        for (;; --decimals) {
            const std::uint64_t rounded = DivideHalfEven(value * Power10(decimals), scale);
            if (rounded < 1000) return {WithDecimals(rounded, decimals), kPrefixes[p]};
            if (decimals == 0) {
                if (last) return {std::to_string(rounded), kPrefixes[p]};
                break;
            }
        }
    }
}

std::string AmountText(DisplayUnit unit, std::uint64_t bytes) {
    const bool inBytes = unit == DisplayUnit::Bytes;
    const std::uint64_t value = inBytes ? bytes : std::min(bytes, kLargest) * 8;
    const char* letter = inBytes ? "B" : "b";
    if (value == 0) return std::string("0 ") + (inBytes ? "KB" : "kb");
    const Scaled s = ScaleToThreeFigures(value);
    const char prefix = inBytes && s.prefix == 'k' ? 'K' : s.prefix;
    return s.number + ' ' + prefix + letter;
}

}  // namespace tg
