#pragma once

// GPS time to calendar time, and the GPS-UTC correction applied before every
// date or time of a message is shown or logged.
//
// GPS time is a week count from 6 January 1980 and seconds of that week. No
// week-number rollover is applied, and every year divisible by 4 counts as a
// leap year, which holds from 1980 to 2099. The week and time of week come
// from the receiver unchecked, so any value, even a non-finite time, yields
// some calendar time instead of a fault.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zarnmon {

inline constexpr std::int32_t kSecondsPerWeek = 604800;

struct CalendarTime {
    std::int32_t year;
    std::int32_t month;
    std::int32_t day;
    std::int32_t hour;
    std::int32_t minute;
    std::int32_t second;         // whole seconds
    double secondsWithFraction;  // seconds of the minute, fraction included
};

[[nodiscard]] CalendarTime GpsToCalendar(std::int32_t week, double secondsOfWeek) noexcept;

// The program-wide GPS-UTC offset in whole seconds, set by the messages that
// carry it; the last one to arrive wins.
class CGpsUtcOffset {
public:
    [[nodiscard]] std::int32_t Get() const noexcept { return seconds_; }
    void Set(std::int32_t seconds) noexcept { seconds_ = seconds; }

private:
    std::int32_t seconds_ = 0;
};

struct GpsWeekTime {
    std::int32_t week;
    double secondsOfWeek;
};

// Subtracts the GPS-UTC offset, carrying one week either way. Week 0 means
// the receiver has no time yet and is left uncorrected.
[[nodiscard]] GpsWeekTime ApplyGpsUtc(std::int32_t week, double secondsOfWeek, std::int32_t offset) noexcept;

// "MM/DD/YY  hh:mm:ss", zero-terminated in a fixed buffer.
struct DateTimeText {
    // Large enough for any six 32-bit values, so nothing is ever cut.
    std::array<char, 80> chars{};

    [[nodiscard]] std::string_view View() const noexcept { return chars.data(); }
    [[nodiscard]] const char* CStr() const noexcept { return chars.data(); }
};

[[nodiscard]] DateTimeText FormatDateTime(const CalendarTime& time) noexcept;

// The UTC date and time of a GPS week and time of week.
[[nodiscard]] DateTimeText UtcDateTimeText(std::int32_t week, double secondsOfWeek, std::int32_t offset) noexcept;
[[nodiscard]] std::string UtcDateTimeString(std::int32_t week, double secondsOfWeek, std::int32_t offset);

}  // namespace zarnmon
