#pragma once

// The simulated satellites: 30 GPS satellites on circular orbits and the
// SBAS and L-band geostationary satellites.
//
// GPS: six planes 60 degrees apart at 55 degrees inclination, five slots a
// plane, a period of half a sidereal day (so the sky repeats every day, four
// minutes earlier, as the real one does). The seed shuffles which PRN flies
// in which slot, jitters the slots a little and picks two PRNs that do not
// exist and one satellite that is unhealthy. Orbits are exact circles: good
// enough for rising and setting, Doppler and geometry, not for navigation.
//
// Geostationary satellites sit at their nominal longitudes with a slight
// inclination, so their Doppler swings by a few hertz over a day.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/geodesy.h"

namespace zarnmon::sim {

inline constexpr int kGpsPrns = 32;
inline constexpr int kSbasFirstPrn = 120;
inline constexpr int kSbasLastPrn = 138;

struct SatelliteState {
    Vec3 position;  // ECEF, m
    Vec3 velocity;  // ECEF (rotating frame), m/s
};

// A satellite as the receiver sees it at one moment.
struct Sighting {
    double elevation = -90.0;       // degrees
    double azimuth = 0.0;           // degrees
    double range = 0.0;             // m
    double rangeRate = 0.0;         // m/s, with the receiver's own motion
    double almanacRangeRate = 0.0;  // m/s, as predicted for a receiver standing still
    Enu lineOfSight;
};

// The small terms a broadcast ephemeris carries beyond the circular orbit:
// drawn once per satellite, so each one's ephemeris looks its own.
struct EphemerisTerms {
    double eccentricity = 0.0;
    double perigee = 0.0;          // argument of perigee, rad
    double meanMotionDelta = 0.0;  // rad/s
    double inclination = 0.0;      // rad
    double groupDelay = 0.0;       // s
    double crs = 0.0;              // m
    double crc = 0.0;              // m
    double cuc = 0.0;              // rad
    double cus = 0.0;              // rad
    double cic = 0.0;              // rad
    double cis = 0.0;              // rad
    double inclinationRate = 0.0;  // rad/s
};

class CConstellation {
public:
    static constexpr double kOrbitPeriod = 43082.0452;  // s, half a sidereal day
    static constexpr double kInclinationDeg = 55.0;

    explicit CConstellation(std::uint32_t seed);

    [[nodiscard]] bool Exists(int prn) const;
    [[nodiscard]] bool Healthy(int prn) const;
    // Index into the channel view's range-error table.
    [[nodiscard]] int UraIndex(int prn) const;
    // PRN 1..32; others give zero terms.
    [[nodiscard]] EphemerisTerms Terms(int prn) const;

    // The satellite at gpsSeconds (since the GPS epoch). PRN 1..32 only;
    // others give an empty state.
    [[nodiscard]] SatelliteState GpsState(int prn, double gpsSeconds) const;
    // Orbit elements of a GPS satellite for its ephemeris: radius (m), right
    // ascension of the node (rad, inertial) and argument of latitude at
    // gpsSeconds (rad).
    struct Elements {
        double radius;
        double node;
        double argumentOfLatitude;
    };
    [[nodiscard]] Elements GpsElements(int prn, double gpsSeconds) const;

    // A geostationary satellite at longitude (degrees) at gpsSeconds.
    [[nodiscard]] static SatelliteState GeoState(double longitudeDeg, double gpsSeconds);
    // Nominal longitude of an SBAS PRN (120..138).
    [[nodiscard]] static double SbasLongitude(int prn);

    // Earth rotation angle at gpsSeconds, rad.
    [[nodiscard]] static double EarthAngle(double gpsSeconds);

private:
    struct Slot {
        bool exists = false;
        bool healthy = false;
        int uraIndex = 0;
        double node = 0.0;            // rad, inertial
        double latitudeAtZero = 0.0;  // argument of latitude at GPS time 0, rad
        EphemerisTerms terms;
    };

    std::array<Slot, kGpsPrns> slots_{};
};

// Where a satellite is in the receiver's sky.
[[nodiscard]] Sighting See(const CLocalFrame& frame, const Enu& receiverVelocity, const SatelliteState& satellite);

}  // namespace zarnmon::sim
