#include "common/Rounding.h"

#include <cmath>
#include <limits>

namespace tg {

namespace {

template <typename Int>
std::optional<Int> InRange(double whole) noexcept {
    if (!(whole >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          whole <= static_cast<double>(std::numeric_limits<Int>::max())))
        return std::nullopt;
    return static_cast<Int>(whole);
}

}  // namespace

double RoundHalfEven(double value) noexcept {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) return below + 1;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::optional<std::int32_t> ToInt32HalfEven(double value) noexcept {
    return InRange<std::int32_t>(RoundHalfEven(value));
}

std::optional<std::int16_t> ToInt16HalfEven(double value) noexcept {
    return InRange<std::int16_t>(RoundHalfEven(value));
}

std::optional<std::int16_t> ToInt16Floor(double value) noexcept { return InRange<std::int16_t>(std::floor(value)); }

std::optional<float> ToSingle(double value) noexcept {
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        return std::nullopt;
    return static_cast<float>(value);
}

std::int32_t RoundToInt32Clamped(double value) noexcept {
    if (std::isnan(value)) return 0;
    if (const auto v = ToInt32HalfEven(value)) return *v;
    return value < 0 ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
}

}  // namespace tg
