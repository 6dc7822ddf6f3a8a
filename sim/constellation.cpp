#include "sim/constellation.h"

#include <cmath>
#include <numbers>
#include <utility>

#include "sim/sim_random.h"

namespace zarnmon::sim {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kGravity = 3.986004418e14;  // m^3/s^2
constexpr double kGeoRadius = 42164169.0;
constexpr double kGeoInclination = 0.05 * kDeg;
constexpr double kSiderealDay = 86164.0905;
constexpr int kPlanes = 6;
constexpr int kSlotsPerPlane = 5;
constexpr double kMeanMotion = kTwoPi / CConstellation::kOrbitPeriod;

double OrbitRadius() {
    return std::cbrt(kGravity * CConstellation::kOrbitPeriod * CConstellation::kOrbitPeriod / (kTwoPi * kTwoPi));
}

// Nominal slots of the SBAS PRNs, degrees east.
constexpr std::array<double, kSbasLastPrn - kSbasFirstPrn + 1> kSbasLongitudes{
    -15.5, -5.0,   -54.0, 31.5,   21.5, 80.0,   25.0, 55.0,  83.0,   140.0,
    108.2, -117.0, 82.5,  -129.0, 91.5, -133.0, 5.0,  145.0, -107.3,
};

}  // namespace

CConstellation::CConstellation(std::uint32_t seed) {
    CRandom random(seed, Stream::Constellation);

    std::array<int, kGpsPrns> prns{};
    for (int i = 0; i < kGpsPrns; ++i) {
        prns[static_cast<std::size_t>(i)] = i + 1;
    }
    for (int i = kGpsPrns - 1; i > 0; --i) {
        std::swap(prns[static_cast<std::size_t>(i)], prns[static_cast<std::size_t>(random.UniformInt(0, i))]);
    }

    const double nodeOffset = random.Uniform(0.0, kTwoPi);
    for (int plane = 0; plane < kPlanes; ++plane) {
        for (int slot = 0; slot < kSlotsPerPlane; ++slot) {
            const int prn = prns[static_cast<std::size_t>(plane * kSlotsPerPlane + slot)];
            Slot& s = slots_[static_cast<std::size_t>(prn - 1)];
            s.exists = true;
            s.healthy = true;
            const double ura = random.Uniform();
            s.uraIndex = ura < 0.75 ? 0 : (ura < 0.95 ? 1 : 2);
            s.node = nodeOffset + plane * kTwoPi / kPlanes + random.Normal(0.5 * kDeg);
            // Walker-like phasing: each plane's slots a little further on.
            s.latitudeAtZero = (slot * 72.0 + plane * 12.0) * kDeg + random.Uniform(-4.0, 4.0) * kDeg;
        }
    }
    CRandom terms(seed, Stream::Ephemeris);
    for (Slot& s : slots_) {
        EphemerisTerms& t = s.terms;
        t.eccentricity = terms.Uniform(0.001, 0.015);
        t.perigee = terms.Uniform(-std::numbers::pi, std::numbers::pi);
        t.meanMotionDelta = 4.5e-9 + terms.Normal(0.3e-9);
        t.inclination = (kInclinationDeg + terms.Normal(0.3)) * kDeg;
        t.groupDelay = terms.Normal(4e-9);
        t.crs = terms.Normal(60.0);
        t.crc = 200.0 + terms.Normal(40.0);
        t.cuc = terms.Normal(3e-6);
        t.cus = terms.Normal(6e-6);
        t.cic = terms.Normal(1e-7);
        t.cis = terms.Normal(1e-7);
        t.inclinationRate = terms.Normal(2e-10);
    }
    // One satellite in orbit is set unhealthy, as one usually is.
    const int unhealthy = prns[static_cast<std::size_t>(random.UniformInt(0, kPlanes * kSlotsPerPlane - 1))];
    slots_[static_cast<std::size_t>(unhealthy - 1)].healthy = false;
}

bool CConstellation::Exists(int prn) const { return prn >= 1 && prn <= kGpsPrns && slots_[prn - 1].exists; }

bool CConstellation::Healthy(int prn) const { return Exists(prn) && slots_[prn - 1].healthy; }

int CConstellation::UraIndex(int prn) const { return Exists(prn) ? slots_[prn - 1].uraIndex : 15; }

EphemerisTerms CConstellation::Terms(int prn) const { return Exists(prn) ? slots_[prn - 1].terms : EphemerisTerms{}; }

double CConstellation::EarthAngle(double gpsSeconds) { return std::fmod(kEarthRotation * gpsSeconds, kTwoPi); }

CConstellation::Elements CConstellation::GpsElements(int prn, double gpsSeconds) const {
    if (!Exists(prn)) {
        return {0.0, 0.0, 0.0};
    }
    const Slot& s = slots_[prn - 1];
    return {OrbitRadius(), s.node, std::fmod(s.latitudeAtZero + std::fmod(kMeanMotion * gpsSeconds, kTwoPi), kTwoPi)};
}

SatelliteState CConstellation::GpsState(int prn, double gpsSeconds) const {
    if (!Exists(prn)) {
        return {};
    }
    const Elements e = GpsElements(prn, gpsSeconds);
    // The node as seen from the rotating Earth.
    const double node = e.node - EarthAngle(gpsSeconds);
    const double cu = std::cos(e.argumentOfLatitude);
    const double su = std::sin(e.argumentOfLatitude);
    const double cn = std::cos(node);
    const double sn = std::sin(node);
    const double ci = std::cos(kInclinationDeg * kDeg);
    const double si = std::sin(kInclinationDeg * kDeg);
    const double r = e.radius;

    const Vec3 position{r * (cu * cn - su * ci * sn), r * (cu * sn + su * ci * cn), r * su * si};
    const Vec3 alongTrack{r * (-su * cn - cu * ci * sn), r * (-su * sn + cu * ci * cn), r * cu * si};
    const Vec3 alongNode{r * (-cu * sn - su * ci * cn), r * (cu * cn - su * ci * sn), 0.0};
    return {position, kMeanMotion * alongTrack - kEarthRotation * alongNode};
}

SatelliteState CConstellation::GeoState(double longitudeDeg, double gpsSeconds) {
    const double lon = longitudeDeg * kDeg;
    const double phase = kTwoPi * std::fmod(gpsSeconds, kSiderealDay) / kSiderealDay + lon;
    const double planar = kGeoRadius * std::cos(kGeoInclination * std::sin(phase));
    const double z = kGeoRadius * std::sin(kGeoInclination * std::sin(phase));
    const double zRate = kGeoRadius * kGeoInclination * std::cos(phase) * kTwoPi / kSiderealDay;
    return {{planar * std::cos(lon), planar * std::sin(lon), z}, {0.0, 0.0, zRate}};
}

double CConstellation::SbasLongitude(int prn) {
    if (prn < kSbasFirstPrn || prn > kSbasLastPrn) {
        return 0.0;
    }
    return kSbasLongitudes[static_cast<std::size_t>(prn - kSbasFirstPrn)];
}

Sighting See(const CLocalFrame& frame, const Enu& receiverVelocity, const SatelliteState& satellite) {
    const LookAngles look = Look(frame, satellite.position);
    const Vec3 losEcef = frame.ToEcef(look.lineOfSight);
    const double satelliteRate = Dot(satellite.velocity, losEcef);
    const double receiverRate = receiverVelocity.east * look.lineOfSight.east +
                                receiverVelocity.north * look.lineOfSight.north +
                                receiverVelocity.up * look.lineOfSight.up;
    return {look.elevation, look.azimuth, look.range, satelliteRate - receiverRate, satelliteRate, look.lineOfSight};
}

}  // namespace zarnmon::sim
