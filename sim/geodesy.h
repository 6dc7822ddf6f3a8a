#pragma once

// Earth geometry for the simulated world: WGS-84 positions, the local
// east-north-up frame at the receiver, and the look angles of a satellite.

#include <numbers>

namespace zarnmon::sim {

inline constexpr double kDeg = std::numbers::pi / 180.0;
inline constexpr double kWgs84A = 6378137.0;
inline constexpr double kWgs84E2 = 0.006694380066764658;
inline constexpr double kEarthRotation = 7.2921151467e-5;  // rad/s
inline constexpr double kSpeedOfLight = 299792458.0;
inline constexpr double kL1Hz = 1575.42e6;
inline constexpr double kL2Hz = 1227.60e6;
inline constexpr double kL1Wavelength = kSpeedOfLight / kL1Hz;

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    friend constexpr Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend constexpr Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend constexpr Vec3 operator*(double k, Vec3 a) { return {k * a.x, k * a.y, k * a.z}; }
};

[[nodiscard]] constexpr double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
[[nodiscard]] double Norm(Vec3 a);

// East, north, up in metres (or m/s).
struct Enu {
    double east = 0.0;
    double north = 0.0;
    double up = 0.0;
};

struct Geodetic {
    double latitude = 0.0;  // degrees
    double longitude = 0.0;
    double height = 0.0;  // metres above the ellipsoid
};

[[nodiscard]] Vec3 ToEcef(const Geodetic& point);

// Metres per degree at a latitude and height: small offsets around a point
// convert to degrees and back with these.
[[nodiscard]] double MetresPerDegreeLatitude(double latitudeDeg, double height);
[[nodiscard]] double MetresPerDegreeLongitude(double latitudeDeg, double height);

// The point a small east-north-up offset away.
[[nodiscard]] Geodetic Offset(const Geodetic& origin, const Enu& offset);

// The local level frame at a point.
class CLocalFrame {
public:
    explicit CLocalFrame(const Geodetic& origin);

    [[nodiscard]] Enu ToEnu(Vec3 ecefDelta) const;
    [[nodiscard]] Vec3 ToEcef(const Enu& local) const;
    [[nodiscard]] Vec3 Origin() const { return origin_; }

private:
    Vec3 origin_;
    Vec3 east_;
    Vec3 north_;
    Vec3 up_;
};

struct LookAngles {
    double elevation = 0.0;  // degrees
    double azimuth = 0.0;    // degrees [0, 360), clockwise from north
    double range = 0.0;      // metres
    Enu lineOfSight;         // unit vector from the receiver to the satellite
};

[[nodiscard]] LookAngles Look(const CLocalFrame& frame, Vec3 satellite);

// Heights of the geoid above the ellipsoid, a smooth stand-in good to tens
// of metres: only for the mean-sea-level altitude of NMEA sentences.
[[nodiscard]] double GeoidSeparation(double latitudeDeg, double longitudeDeg);
// Magnetic declination, east positive; a coarse stand-in for NMEA sentences.
[[nodiscard]] double MagneticDeclination(double latitudeDeg, double longitudeDeg);

// Degrees into [0, 360).
[[nodiscard]] double WrapDegrees(double degrees);

}  // namespace zarnmon::sim
