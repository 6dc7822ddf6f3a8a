#include "sim/channel_tracker.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "sim/iono_model.h"

namespace zarnmon::sim {

namespace {

constexpr double kSubframeSeconds = 6.0;
constexpr double kCarrierLockAfter = 0.5;
constexpr double kBitSyncAfter = 1.5;
constexpr double kL2LockAfterFrameSync = 3.0;
constexpr double kL2CarrierAfter = 1.0;
constexpr double kL2Mask = 10.0;  // degrees: L2 is too weak to hold lower down
constexpr double kEphemerisLifetime = 4.0 * 3600.0;
constexpr int kSubframesForEphemeris = 5;
constexpr double kSlipBelow = 15.0;              // degrees
constexpr double kSlipsPerSecond = 1.0 / 900.0;  // for a low satellite
constexpr double kSbasEphemerisAfter = 10.0;
constexpr int kSbasUsedChannels = 2;
constexpr int kSbasUraIndex = 3;
// The ionosphere lengthens P2 over P1 by (f1/f2)^2 - 1 of the L1 delay.
constexpr double kIonoL2Factor = (kL1Hz / kL2Hz) * (kL1Hz / kL2Hz) - 1.0;
constexpr double kEarthRadius = 6371000.0;
constexpr double kIonoShellHeight = 350000.0;
constexpr double kDifferentialCodeSigma = 0.20;  // m
constexpr double kAutonomousCodeSigma = 1.2;

double SinElevation(const Sighting& sight) { return std::max(std::sin(sight.elevation * kDeg), 0.0); }

// L1 slant delay at the satellite's pierce point of a thin shell.
double SlantIono(const Geodetic& receiver, const Sighting& sight, double gpsSeconds) {
    const double el = std::max(sight.elevation, 0.0) * kDeg;
    const double ratio = kEarthRadius * std::cos(el) / (kEarthRadius + kIonoShellHeight);
    const double centralAngle = std::numbers::pi / 2.0 - el - std::asin(ratio);
    const double lat =
        std::clamp(receiver.latitude + centralAngle * std::cos(sight.azimuth * kDeg) / kDeg, -89.0, 89.0);
    const double lon = receiver.longitude +
                       centralAngle * std::sin(sight.azimuth * kDeg) / kDeg / std::max(std::cos(lat * kDeg), 0.05);
    return VerticalDelayMetres(lat, lon, gpsSeconds) / std::sqrt(1.0 - ratio * ratio);
}

double Tropo(const Sighting& sight) {
    const double s = SinElevation(sight);
    return 2.4 / std::sqrt(s * s + 0.002);
}

double CnoGps(const Sighting& sight) { return 32.0 + 16.0 * std::pow(SinElevation(sight), 0.7); }

double CnoSbas(const Sighting& sight) { return 36.0 + 8.0 * std::pow(SinElevation(sight), 0.7); }

}  // namespace

CChannelTracker::CChannelTracker(std::uint32_t seed, const CConstellation& constellation)
    : constellation_(constellation), random_(seed, Stream::Channels) {
    CRandom traits(seed, Stream::Channels, 1);
    for (PrnTraits& t : traits_) {
        t.cnoBias = traits.Normal(1.0);
        t.clockAmplitude = traits.Uniform(3.0, 25.0);
        t.clockPeriod = traits.Uniform(3.0, 9.0) * 3600.0;
        t.clockPhase = traits.Uniform(0.0, 2.0 * std::numbers::pi);
        t.p2p1Bias = traits.Normal(0.6);
        t.p1c1Bias = traits.Normal(0.3);
    }
}

double CChannelTracker::SatelliteClock(int prn, double gpsSeconds) const {
    if (prn < 1 || prn > kGpsPrns) {
        return 0.0;
    }
    const PrnTraits& t = traits_[prn - 1];
    return t.clockAmplitude *
           std::sin(2.0 * std::numbers::pi * std::fmod(gpsSeconds, t.clockPeriod) / t.clockPeriod + t.clockPhase);
}

double CChannelTracker::TrackedSeconds(int prn) const {
    return prn >= 1 && prn <= kGpsPrns ? trackedSeconds_[prn - 1] : 0.0;
}

int CChannelTracker::Acquisitions(int prn) const { return prn >= 1 && prn <= kGpsPrns ? acquisitions_[prn - 1] : 0; }

void CChannelTracker::Update(const TrackingInputs& in) {
    const double dt = started_ ? std::max(in.elapsed - elapsed_, 0.0) : 0.0;
    if (!started_) {
        // A warm start: the receiver remembers every satellite's ephemeris.
        for (int prn = 1; prn <= kGpsPrns; ++prn) {
            ephemerisKnown_[prn - 1] = constellation_.Healthy(prn);
            ephemerisAt_[prn - 1] = in.gpsSeconds;
        }
        started_ = true;
    }
    elapsed_ = std::max(elapsed_, in.elapsed);

    for (std::size_t k = 0; k < gps_.size(); ++k) {
        if (gps_[k].prn != 0 && in.gps[gps_[k].prn - 1].elevation < 0.0) {
            gps_[k] = {};
        }
    }
    AssignChannels(in);
    for (std::size_t k = 0; k < gps_.size(); ++k) {
        if (gps_[k].prn != 0) {
            UpdateGps(gps_[k], gpsLoops_[k], in, dt);
        }
    }
    for (int k = 0; k < kSbasChannels; ++k) {
        UpdateSbas(k, in, dt);
    }
}

void CChannelTracker::AssignChannels(const TrackingInputs& in) {
    std::array<bool, kGpsPrns> taken{};
    int idle = 0;
    for (const ChannelState& channel : gps_) {
        if (channel.prn != 0) {
            taken[channel.prn - 1] = true;
        } else {
            ++idle;
        }
    }
    if (idle == 0) {
        return;
    }
    std::vector<int> candidates;
    for (int prn = 1; prn <= kGpsPrns; ++prn) {
        if (!taken[prn - 1] && constellation_.Healthy(prn) && in.gps[prn - 1].elevation >= kElevationMask) {
            candidates.push_back(prn);
        }
    }
    std::ranges::stable_sort(candidates,
                             [&](int a, int b) { return in.gps[a - 1].elevation > in.gps[b - 1].elevation; });
    auto next = candidates.begin();
    for (std::size_t k = 0; k < gps_.size() && next != candidates.end(); ++k) {
        if (gps_[k].prn != 0) {
            continue;
        }
        gps_[k] = {};
        gps_[k].prn = *next++;
        ++acquisitions_[gps_[k].prn - 1];
        Loop& loop = gpsLoops_[k];
        loop = {};
        loop.cnoNoise = CGaussMarkov(0.8, 3.0, random_);
        loop.codeNoise = CGaussMarkov(in.differential ? kDifferentialCodeSigma : kAutonomousCodeSigma, 15.0, random_);
        loop.velocityNoise = CGaussMarkov(0.03, 0.5, random_);
        loop.multipath = CGaussMarkov(0.25, 60.0, random_);
        loop.interFrequencyNoise = CGaussMarkov(0.15, 20.0, random_);
        StartLock(gps_[k], loop, in);
    }
}

void CChannelTracker::StartLock(ChannelState& channel, Loop& loop, const TrackingInputs& in) {
    loop.lockStartGps = in.gpsSeconds;
    loop.frameSyncGps = std::ceil((in.gpsSeconds + kBitSyncAfter) / kSubframeSeconds) * kSubframeSeconds;
    loop.hasDiffCorr = false;
    channel.trackFlags = 0;
    channel.l2Flags = 0;
    channel.l1pFlags = 0;
}

void CChannelTracker::UpdateLockFlags(ChannelState& channel, const Loop& loop, double gpsSeconds) const {
    const double age = gpsSeconds - loop.lockStartGps;
    std::uint8_t flags = lock::kCode;
    if (age >= kCarrierLockAfter) {
        flags |= lock::kCarrier;
    }
    if (age >= kBitSyncAfter) {
        flags |= lock::kBitSync;
    }
    int subframes = 0;
    if (gpsSeconds >= loop.frameSyncGps) {
        flags |= lock::kFrameSync;
        subframes = static_cast<int>(std::floor((gpsSeconds - loop.frameSyncGps) / kSubframeSeconds)) + 1;
    }
    channel.trackFlags = flags;
    channel.subframes = static_cast<std::uint8_t>(subframes & 0xFF);
    channel.lockedFor = age;
}

void CChannelTracker::UpdateGps(ChannelState& channel, Loop& loop, const TrackingInputs& in, double dt) {
    const int prn = channel.prn;
    channel.sight = in.gps[prn - 1];
    trackedSeconds_[prn - 1] += dt;

    const bool carrier = (channel.trackFlags & lock::kCarrier) != 0;
    if (carrier && channel.sight.elevation < kSlipBelow && random_.Chance(dt * kSlipsPerSecond)) {
        ++channel.slips;
        StartLock(channel, loop, in);
    }
    UpdateLockFlags(channel, loop, in.gpsSeconds);

    const bool frameSync = (channel.trackFlags & lock::kFrameSync) != 0;
    const double sinceSync = in.gpsSeconds - loop.frameSyncGps;
    if (frameSync && sinceSync >= (kSubframesForEphemeris - 1) * kSubframeSeconds) {
        ephemerisKnown_[prn - 1] = true;
        ephemerisAt_[prn - 1] = in.gpsSeconds;
    }
    // Stored ephemeris counts once frame sync shows the broadcast has the same issue.
    const bool ephemeris =
        frameSync && ephemerisKnown_[prn - 1] && in.gpsSeconds - ephemerisAt_[prn - 1] < kEphemerisLifetime;
    channel.ephState = ephemeris ? kStateValid : kStateCollecting;
    channel.almState = kStateValid;
    channel.uraIndex = constellation_.UraIndex(prn);
    channel.used = channel.trackFlags == lock::kFull && ephemeris && channel.sight.elevation >= kElevationMask;
    Measure(channel, loop, in, dt);
}

void CChannelTracker::Measure(ChannelState& channel, Loop& loop, const TrackingInputs& in, double dt) {
    const Sighting& sight = channel.sight;
    const bool gps = channel.prn <= kGpsPrns;
    const double baseCno = gps ? CnoGps(sight) : CnoSbas(sight);
    channel.cno = baseCno + (gps ? traits_[channel.prn - 1].cnoBias : 0.0) + loop.cnoNoise.Step(dt, random_);
    channel.doppler = -sight.rangeRate / kL1Wavelength;

    const double iono = SlantIono(in.receiver, sight, in.gpsSeconds);
    const double tropo = Tropo(sight);
    const double satClock = gps ? SatelliteClock(channel.prn, in.gpsSeconds) : 0.0;
    channel.ionoDelay = iono;

    const double correction = gps ? -(satClock + iono + tropo) : 0.0;
    if (loop.hasDiffCorr && dt > 0.0) {
        channel.diffCorrRate = (correction - loop.lastDiffCorr) / dt;
    }
    loop.lastDiffCorr = correction;
    loop.hasDiffCorr = true;
    channel.diffCorr = correction;

    loop.codeNoise.SetSigma(in.differential ? kDifferentialCodeSigma : kAutonomousCodeSigma);
    const double code = loop.codeNoise.Step(dt, random_);
    const Enu& los = sight.lineOfSight;
    channel.posResid =
        code + los.east * in.positionError.east + los.north * in.positionError.north + los.up * in.positionError.up;
    channel.velResid = loop.velocityNoise.Step(dt, random_);

    channel.pseudorange = sight.range + in.clockBias + satClock + iono + tropo + code;
    const double phaseRange = sight.range + in.clockBias + satClock - iono + tropo;
    const bool carrier = (channel.trackFlags & lock::kCarrier) != 0;
    if (!carrier) {
        // Until the carrier locks, the phase is set to agree with the code.
        loop.ambiguity = std::round((channel.pseudorange - phaseRange) / kL1Wavelength);
    }
    channel.carrierPhase = phaseRange / kL1Wavelength + loop.ambiguity;
    channel.c1MinusL1 = channel.pseudorange - channel.carrierPhase * kL1Wavelength + loop.multipath.Step(dt, random_);

    // L2 and P-code follow a few seconds after frame sync, above their own mask.
    const double l2Age = in.gpsSeconds - (loop.frameSyncGps + kL2LockAfterFrameSync);
    const bool l2 = gps && (channel.trackFlags & lock::kFrameSync) != 0 && l2Age >= 0.0 && sight.elevation >= kL2Mask;
    const double interFrequency = loop.interFrequencyNoise.Step(dt, random_);
    if (!l2) {
        channel.l2Flags = 0;
        channel.l1pFlags = 0;
        channel.l2Cno = channel.l1pCno = 0.0;
        channel.p2MinusP1 = channel.p2MinusC1 = channel.l2MinusL1 = 0.0;
        return;
    }
    const PrnTraits& t = traits_[channel.prn - 1];
    const double lowness = 1.0 - SinElevation(sight);
    channel.p2MinusP1 = kIonoL2Factor * iono + t.p2p1Bias + interFrequency;
    channel.p2MinusC1 = channel.p2MinusP1 + t.p1c1Bias;
    const bool l2Carrier = l2Age >= kL2CarrierAfter;
    if (!l2Carrier) {
        // The L2 carrier starts out agreeing with P2 - C1.
        loop.l2Offset = channel.p2MinusC1 + kIonoL2Factor * iono;
    }
    channel.l2MinusL1 = loop.l2Offset - kIonoL2Factor * iono;
    channel.l2Flags = l2Carrier ? (lock::kCode | lock::kCarrier | lock::kPCode) : lock::kCode;
    channel.l1pFlags = lock::kCode | lock::kPCode;
    channel.l2Cno = channel.cno - 4.0 - 3.0 * lowness;
    channel.l1pCno = channel.cno - 2.0 - 2.0 * lowness;
}

void CChannelTracker::UpdateSbas(int k, const TrackingInputs& in, double dt) {
    ChannelState& channel = sbas_[k];
    Loop& loop = sbasLoops_[k];
    const bool listened = k < static_cast<int>(in.sbasPrns.size()) && k < static_cast<int>(in.sbas.size());
    if (!listened || in.sbas[k].elevation < 0.0) {
        channel = {};
        return;
    }
    const int prn = in.sbasPrns[k];
    if (channel.prn != prn) {
        channel = {};
        channel.prn = prn;
        loop = {};
        loop.cnoNoise = CGaussMarkov(0.6, 5.0, random_);
        loop.codeNoise = CGaussMarkov(kDifferentialCodeSigma * 2.0, 15.0, random_);
        loop.velocityNoise = CGaussMarkov(0.03, 0.5, random_);
        loop.multipath = CGaussMarkov(0.25, 60.0, random_);
        loop.interFrequencyNoise = CGaussMarkov(0.15, 20.0, random_);
        StartLock(channel, loop, in);
    }
    channel.sight = in.sbas[k];
    UpdateLockFlags(channel, loop, in.gpsSeconds);
    channel.ephState = channel.lockedFor >= kSbasEphemerisAfter ? kStateValid : kStateCollecting;
    channel.almState = kStateValid;
    channel.uraIndex = kSbasUraIndex;
    channel.used = k < kSbasUsedChannels && channel.trackFlags == lock::kFull && channel.ephState == kStateValid &&
                   channel.sight.elevation >= kElevationMask;
    Measure(channel, loop, in, dt);
}

}  // namespace zarnmon::sim
