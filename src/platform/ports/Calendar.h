#pragma once
// The local calendar day. Tests drive a fake one; everything else uses SystemCalendar.
#include <chrono>
#include <ctime>

namespace tg {

class Calendar {
 public:
    virtual ~Calendar() = default;
    virtual std::chrono::year_month_day Today() = 0;
};

class SystemCalendar final : public Calendar {
 public:
    std::chrono::year_month_day Today() override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
#if defined(_WIN32)
        localtime_s(&local, &now);
#else
        localtime_r(&now, &local);
#endif
        return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                           std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                           std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
    }
};

}  // namespace tg
