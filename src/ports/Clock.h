#pragma once
// A monotonic clock. Tests drive a fake one; everything else uses SteadyClock.
#include <chrono>

namespace tg {

class Clock {
 public:
    virtual ~Clock() = default;
    virtual std::chrono::nanoseconds Now() = 0;
};

class SteadyClock final : public Clock {
 public:
    std::chrono::nanoseconds Now() override {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};

}  // namespace tg
