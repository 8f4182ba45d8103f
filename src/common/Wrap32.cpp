#include "common/Wrap32.h"

#include <cmath>
#include <limits>

namespace tg {

std::int32_t FloorToInt32Saturated(double value) noexcept {
    if (std::isnan(value)) return 0;
    const double floored = std::floor(value);
    if (floored <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (floored >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(floored);
}

}  // namespace tg
