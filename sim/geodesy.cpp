#include "sim/geodesy.h"

#include <algorithm>
#include <cmath>

namespace zarnmon::sim {

double Norm(Vec3 a) { return std::sqrt(Dot(a, a)); }

Vec3 ToEcef(const Geodetic& point) {
    const double lat = point.latitude * kDeg;
    const double lon = point.longitude * kDeg;
    const double sinLat = std::sin(lat);
    const double primeVertical = kWgs84A / std::sqrt(1.0 - kWgs84E2 * sinLat * sinLat);
    const double horizontal = (primeVertical + point.height) * std::cos(lat);
    return {horizontal * std::cos(lon), horizontal * std::sin(lon),
            (primeVertical * (1.0 - kWgs84E2) + point.height) * sinLat};
}

double MetresPerDegreeLatitude(double latitudeDeg, double height) {
    const double sinLat = std::sin(latitudeDeg * kDeg);
    const double w = std::sqrt(1.0 - kWgs84E2 * sinLat * sinLat);
    return (kWgs84A * (1.0 - kWgs84E2) / (w * w * w) + height) * kDeg;
}

double MetresPerDegreeLongitude(double latitudeDeg, double height) {
    const double sinLat = std::sin(latitudeDeg * kDeg);
    const double w = std::sqrt(1.0 - kWgs84E2 * sinLat * sinLat);
    return std::cos(latitudeDeg * kDeg) * (kWgs84A / w + height) * kDeg;
}

Geodetic Offset(const Geodetic& origin, const Enu& offset) {
    // At the poles a degree of longitude has no length; no offset east then.
    const double perLon = std::max(MetresPerDegreeLongitude(origin.latitude, origin.height), 1e-6);
    return {origin.latitude + offset.north / MetresPerDegreeLatitude(origin.latitude, origin.height),
            origin.longitude + offset.east / perLon, origin.height + offset.up};
}

CLocalFrame::CLocalFrame(const Geodetic& origin) : origin_(sim::ToEcef(origin)) {
    const double lat = origin.latitude * kDeg;
    const double lon = origin.longitude * kDeg;
    east_ = {-std::sin(lon), std::cos(lon), 0.0};
    north_ = {-std::sin(lat) * std::cos(lon), -std::sin(lat) * std::sin(lon), std::cos(lat)};
    up_ = {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

Enu CLocalFrame::ToEnu(Vec3 ecefDelta) const {
    return {Dot(ecefDelta, east_), Dot(ecefDelta, north_), Dot(ecefDelta, up_)};
}

Vec3 CLocalFrame::ToEcef(const Enu& local) const { return local.east * east_ + local.north * north_ + local.up * up_; }

LookAngles Look(const CLocalFrame& frame, Vec3 satellite) {
    const Vec3 delta = satellite - frame.Origin();
    const double range = Norm(delta);
    if (range <= 0.0) {
        return {};
    }
    const Enu local = frame.ToEnu(delta);
    const Enu unit{local.east / range, local.north / range, local.up / range};
    return {std::asin(std::clamp(unit.up, -1.0, 1.0)) / kDeg, WrapDegrees(std::atan2(unit.east, unit.north) / kDeg),
            range, unit};
}

double GeoidSeparation(double latitudeDeg, double longitudeDeg) {
    return -15.0 + 10.0 * std::sin(2.0 * latitudeDeg * kDeg) * std::cos(longitudeDeg * kDeg) +
           8.0 * std::cos(3.0 * latitudeDeg * kDeg) * std::sin(2.0 * longitudeDeg * kDeg);
}

double MagneticDeclination(double latitudeDeg, double longitudeDeg) {
    return std::clamp(-0.1 * longitudeDeg * std::cos(latitudeDeg * kDeg), -20.0, 20.0);
}

double WrapDegrees(double degrees) {
    const double wrapped = std::fmod(degrees, 360.0);
    const double positive = wrapped < 0.0 ? wrapped + 360.0 : wrapped;
    return positive >= 360.0 ? 0.0 : positive;
}

}  // namespace zarnmon::sim
