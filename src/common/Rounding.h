#pragma once
// How the program turns numbers into integers: nearest, halves to the even neighbour, unless a
// rule says to round down; a value that does not fit the type is no value at all.
#include <cstdint>
#include <optional>

namespace tg {

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double value) noexcept;

std::optional<std::int32_t> ToInt32HalfEven(double value) noexcept;
std::optional<std::int16_t> ToInt16HalfEven(double value) noexcept;
std::optional<std::int16_t> ToInt16Floor(double value) noexcept;
std::optional<float> ToSingle(double value) noexcept;

// A value turned into a 32-bit integer, nearest with halves to even, clamped to 32 bits.
std::int32_t RoundToInt32Clamped(double value) noexcept;

}  // namespace tg
