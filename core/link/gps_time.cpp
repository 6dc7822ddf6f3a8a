#include "core/link/gps_time.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zarnmon {

namespace {

constexpr double kWeek = kSecondsPerWeek;
constexpr std::int32_t kSecondsPerDay = 86400;

// No receiver is this far off; the bound only keeps the week arithmetic defined for garbage.
constexpr double kMaxWeekCarry = 1 << 30;

constexpr std::array<std::int32_t, 13> kMonthStart{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr std::array<std::int32_t, 13> kLeapMonthStart{0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};

}  // namespace

CalendarTime GpsToCalendar(std::int32_t week, double secondsOfWeek) noexcept {
    double t = std::isfinite(secondsOfWeek) ? secondsOfWeek : 0.0;
    std::int64_t weeks = week;

    // Whole weeks move in one step, so a wild time of week cannot keep the
    // carry loops below running; they only settle the last week.
    const double withinWeek = std::fmod(t, kWeek);
    weeks += static_cast<std::int64_t>(std::clamp(std::round((t - withinWeek) / kWeek), -kMaxWeekCarry, kMaxWeekCarry));
    t = withinWeek;
    while (t < 0.0) {
        t += kWeek;
        --weeks;
    }
    while (t >= kWeek) {
        t -= kWeek;
        ++weeks;
    }

    const double whole = std::floor(t);
    // Seconds since the epoch in signed 32 bits: dates wrap in January 2048.
    const auto total = static_cast<std::int32_t>(weeks * kSecondsPerWeek + static_cast<std::int64_t>(whole));
    const std::int32_t days = total / kSecondsPerDay;
    const std::int32_t secondOfDay = total % kSecondsPerDay;

    // Day 0 is 6 January 1980, five days into a leap year.
    const std::int32_t y = ((days - (days + 1406) / 1461) + 5) / 365;
    CalendarTime out{};
    out.year = 1980 + y;
    const std::int32_t dayOfYear = days + 5 - 365 * y - (y + 3) / 4;

    const auto& monthStart = out.year % 4 == 0 ? kLeapMonthStart : kMonthStart;
    out.month = 1;
    for (std::size_t m = 1; m < monthStart.size(); ++m) {
        if (monthStart[m] <= dayOfYear) {
            ++out.month;
        }
    }
    out.day = dayOfYear - monthStart[static_cast<std::size_t>(out.month - 1)] + 1;

    out.hour = std::min(secondOfDay / 3600, 23);
    out.minute = std::min((secondOfDay - 3600 * out.hour) / 60, 59);
    out.secondsWithFraction = (secondOfDay - 60 * (60 * out.hour + out.minute)) + (t - whole);
    out.second = static_cast<std::int32_t>(out.secondsWithFraction);
    return out;
}

GpsWeekTime ApplyGpsUtc(std::int32_t week, double secondsOfWeek, std::int32_t offset) noexcept {
    if (week == 0) {
        return {week, secondsOfWeek};
    }
    const double t = secondsOfWeek - offset;
    if (t < 0.0) {
        return {static_cast<std::int32_t>(std::int64_t{week} - 1), t + kWeek};
    }
    if (t >= kWeek) {
        return {static_cast<std::int32_t>(std::int64_t{week} + 1), t - kWeek};
    }
    return {week, t};
}

DateTimeText FormatDateTime(const CalendarTime& time) noexcept {
    DateTimeText text;
    std::snprintf(text.chars.data(), text.chars.size(), "%2.2d/%2.2d/%2.2d  %2.2d:%2.2d:%2.2d", time.month, time.day,
                  time.year % 100, time.hour, time.minute, time.second);
    return text;
}

DateTimeText UtcDateTimeText(std::int32_t week, double secondsOfWeek, std::int32_t offset) noexcept {
    const GpsWeekTime utc = ApplyGpsUtc(week, secondsOfWeek, offset);
    return FormatDateTime(GpsToCalendar(utc.week, utc.secondsOfWeek));
}

std::string UtcDateTimeString(std::int32_t week, double secondsOfWeek, std::int32_t offset) {
    return std::string(UtcDateTimeText(week, secondsOfWeek, offset).View());
}

}  // namespace zarnmon
