#include "sim/iono_model.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zarnmon::sim {

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr double kDegree = std::numbers::pi / 180.0;

constexpr double kFloorMetres = 0.5;
constexpr double kCeilingMetres = 12.0;
constexpr double kNightEquatorMetres = 1.5;
constexpr double kDayMetres = 9.5;
constexpr double kPeakHour = 14.0;  // local solar time of the daily maximum
constexpr double kCrestLatitude = 15.0;
constexpr double kCrestWidth = 14.0;
// Divides the day, so the whole model repeats daily.
constexpr double kRipplePeriod = 10800.0;
constexpr double kRippleDepth = 0.06;

// 0 at night, rising smoothly to 1 at the peak hour.
[[nodiscard]] double DaytimeShape(double localHours) noexcept {
    const double raised = 0.5 * (1.0 + std::cos(2.0 * std::numbers::pi * (localHours - kPeakHour) / 24.0));
    return raised * raised * raised;
}

// The daytime bump by latitude: the two crests either side of the equator,
// a plain mid-latitude level, fading towards the poles.
[[nodiscard]] double LatitudeShape(double latDeg) noexcept {
    const auto crest = [](double offset) { return std::exp(-(offset * offset) / (kCrestWidth * kCrestWidth)); };
    const double crests = 0.35 + 0.65 * (crest(latDeg - kCrestLatitude) + crest(latDeg + kCrestLatitude));
    return crests * (0.3 + 0.7 * std::cos(latDeg * kDegree));
}

}  // namespace

double VerticalDelayMetres(double latDeg, double lonDeg, double gpsSeconds) noexcept {
    const double secondOfDay = std::fmod(std::fmod(gpsSeconds, kSecondsPerDay) + kSecondsPerDay, kSecondsPerDay);
    const double localHours = secondOfDay / 3600.0 + lonDeg / 15.0;
    const double cosLat = std::cos(latDeg * kDegree);

    const double night = kFloorMetres + kNightEquatorMetres * cosLat * cosLat;
    const double ripple = 1.0 + kRippleDepth * std::sin(2.0 * std::numbers::pi * secondOfDay / kRipplePeriod +
                                                        0.05 * latDeg + 0.03 * lonDeg);
    const double delay = night + kDayMetres * DaytimeShape(localHours) * LatitudeShape(latDeg) * ripple;
    return std::clamp(delay, kFloorMetres, kCeilingMetres);
}

}  // namespace zarnmon::sim
