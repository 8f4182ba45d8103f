#pragma once
// The local calendar day. Tests drive a fake one; everything else uses SystemCalendar.
#include <chrono>
#include <ctime>

namespace tg {

// The local time of `t`, in the system's time zone.
inline std::tm LocalTime(std::time_t t) {
    std::tm local{};
#if defined(_WIN32)
    // It fails only for a time before 1970 or past 3000; the callers ask about the present.
    (void)localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return local;
}

class Calendar {
 public:
    virtual ~Calendar() = default;
    virtual std::chrono::year_month_day Today() = 0;
};

class SystemCalendar final : public Calendar {
 public:
    std::chrono::year_month_day Today() override {
        const std::tm local = LocalTime(std::time(nullptr));
        return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                           std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                           std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
    }
};

}  // namespace tg
