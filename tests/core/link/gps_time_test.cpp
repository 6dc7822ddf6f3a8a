#include "core/link/gps_time.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

struct DateCase {
    std::int32_t week;
    double seconds;
    std::int32_t year, month, day, hour, minute, second;
};

void ExpectDate(const DateCase& c) {
    const CalendarTime t = GpsToCalendar(c.week, c.seconds);
    EXPECT_EQ(t.year, c.year);
    EXPECT_EQ(t.month, c.month);
    EXPECT_EQ(t.day, c.day);
    EXPECT_EQ(t.hour, c.hour);
    EXPECT_EQ(t.minute, c.minute);
    EXPECT_EQ(t.second, c.second);
}

TEST(GpsToCalendar, KnownDates_GiveTheirCalendarDate) {
    const DateCase cases[] = {
        {0, 0.0, 1980, 1, 6, 0, 0, 0},
        {1042, 522000.5, 2000, 1, 1, 1, 0, 0},
        {1042, 0.0, 1999, 12, 26, 0, 0, 0},
        {2000, 100000.7, 2018, 5, 7, 3, 46, 40},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "week " << c.week << " seconds " << c.seconds);
        ExpectDate(c);
    }
}

TEST(GpsToCalendar, MonthAndYearBoundaries_FollowTheLeapYearRule) {
    const DateCase cases[] = {
        {1886, 131696.0, 2016, 2, 29, 12, 34, 56},  // leap day
        {1886, 172800.0, 2016, 3, 1, 0, 0, 0},
        {1833, 604799.0, 2015, 2, 28, 23, 59, 59},  // common year: February ends on the 28th
        {1834, 0.0, 2015, 3, 1, 0, 0, 0},
        {2138, 431999.0, 2020, 12, 31, 23, 59, 59},  // day 366 of a leap year
        {2138, 432000.0, 2021, 1, 1, 0, 0, 0},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "week " << c.week << " seconds " << c.seconds);
        ExpectDate(c);
    }
}

TEST(GpsToCalendar, SecondsOutsideTheWeek_CarryIntoNeighbouringWeeks) {
    const DateCase cases[] = {
        {1042, -1.0, 1999, 12, 25, 23, 59, 59},
        {1043, -604800.0, 1999, 12, 26, 0, 0, 0},
        {1041, 604800.0, 1999, 12, 26, 0, 0, 0},
        {1040, 2 * 604800.0 + 3600.0, 1999, 12, 26, 1, 0, 0},
        {1045, -3 * 604800.0 + 3661.0, 1999, 12, 26, 1, 1, 1},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "week " << c.week << " seconds " << c.seconds);
        ExpectDate(c);
    }
}

TEST(GpsToCalendar, FractionalSeconds_KeptBesideTruncatedWholeSeconds) {
    const CalendarTime t = GpsToCalendar(2000, 100000.7);
    EXPECT_EQ(t.second, 40);
    EXPECT_NEAR(t.secondsWithFraction, 40.7, 1e-6);
}

TEST(GpsToCalendar, NonFiniteSeconds_CountAsStartOfWeek) {
    const double wild[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
    for (const double seconds : wild) {
        SCOPED_TRACE(testing::Message() << "seconds " << seconds);
        ExpectDate({1042, seconds, 1999, 12, 26, 0, 0, 0});
    }
}

TEST(GpsToCalendar, HugeSeconds_ReturnAFiniteTime) {
    for (const double seconds : {1e300, -1e300, 1e18, -1e18}) {
        SCOPED_TRACE(testing::Message() << "seconds " << seconds);
        EXPECT_TRUE(std::isfinite(GpsToCalendar(1042, seconds).secondsWithFraction));
    }
}

TEST(ApplyGpsUtc, OffsetWithinTheWeek_SubtractsFromTimeOfWeek) {
    const GpsWeekTime t = ApplyGpsUtc(2000, 100018.25, 18);
    EXPECT_EQ(t.week, 2000);
    EXPECT_DOUBLE_EQ(t.secondsOfWeek, 100000.25);
}

TEST(ApplyGpsUtc, BelowZero_BorrowsFromPreviousWeek) {
    const GpsWeekTime t = ApplyGpsUtc(2000, 10.0, 18);
    EXPECT_EQ(t.week, 1999);
    EXPECT_DOUBLE_EQ(t.secondsOfWeek, 604792.0);
}

TEST(ApplyGpsUtc, ReachingWeekEnd_CarriesIntoNextWeek) {
    const GpsWeekTime exact = ApplyGpsUtc(2000, 604790.0, -10);
    EXPECT_EQ(exact.week, 2001);
    EXPECT_DOUBLE_EQ(exact.secondsOfWeek, 0.0);

    const GpsWeekTime beyond = ApplyGpsUtc(2000, 604799.0, -5);
    EXPECT_EQ(beyond.week, 2001);
    EXPECT_DOUBLE_EQ(beyond.secondsOfWeek, 4.0);
}

TEST(ApplyGpsUtc, WeekZero_LeftUncorrected) {
    const GpsWeekTime t = ApplyGpsUtc(0, 10.0, 18);
    EXPECT_EQ(t.week, 0);
    EXPECT_DOUBLE_EQ(t.secondsOfWeek, 10.0);
}

TEST(UtcDateTimeText, GpsEpoch_FormatsMonthDayYearTwoBlanksTime) {
    EXPECT_EQ(UtcDateTimeText(0, 0.0, 0).View(), "01/06/80  00:00:00");
}

TEST(UtcDateTimeText, WeekZero_IgnoresOffset) { EXPECT_EQ(UtcDateTimeText(0, 0.0, 18).View(), "01/06/80  00:00:00"); }

TEST(UtcDateTimeText, Offset_MovesTheShownTimeBackAcrossMidnightAndYear) {
    // 1 January 2000 00:00:05 GPS is 31 December 1999 23:59:52 UTC with 13 s between them.
    EXPECT_EQ(UtcDateTimeText(1042, 518405.0, 13).View(), "12/31/99  23:59:52");
    EXPECT_EQ(UtcDateTimeText(1042, 518405.0, 0).View(), "01/01/00  00:00:05");
}

TEST(UtcDateTimeText, FractionalSeconds_ShowWholeSeconds) {
    EXPECT_EQ(UtcDateTimeText(2000, 100000.7, 0).View(), "05/07/18  03:46:40");
}

TEST(UtcDateTimeText, StringForm_MatchesFixedBuffer) {
    EXPECT_EQ(UtcDateTimeString(1042, 522000.5, 13), std::string(UtcDateTimeText(1042, 522000.5, 13).View()));
}

}  // namespace
}  // namespace zarnmon
