#include "sim/receiver_status.h"

#include <algorithm>
#include <cmath>

namespace zarnmon::sim {

namespace {

constexpr double kSparePerCount = 0.00045;  // percent

// The correction satellites: longitude (degrees east) and beam frequency.
struct LBandGeo {
    double longitude;
    int frequencyKhz;
};
constexpr std::array<LBandGeo, 5> kLBandGeos{{
    {-98.0, 1551489},
    {-15.5, 1537440},
    {25.0, 1539882},
    {64.5, 1545925},
    {143.5, 1545845},
}};

constexpr double kLBandMask = 5.0;  // degrees
constexpr int kLostBer = 500;
// From the first fix: beam chosen, then signal, frame and Viterbi sync.
constexpr double kSyncAfterFix = 5.0;  // s
// Added to the bit error rate while the link fades (a fault).
constexpr int kFadeBer = 70;

// Status bits. DSP: signal found, frame sync, Viterbi sync. ARM: tuned,
// beam chosen, data flowing.
namespace dsp {
inline constexpr std::uint8_t kSignal = 0x01;
inline constexpr std::uint8_t kSynced = 0x0D;
}  // namespace dsp
namespace arm {
inline constexpr std::uint8_t kTuned = 0x01;
inline constexpr std::uint8_t kBeamChosen = 0x09;
inline constexpr std::uint8_t kSynced = 0x19;
}  // namespace arm
constexpr std::uint8_t kDiffFlowing = 0x07;
// While switching beams both demodulators report: ten minutes in forty.
constexpr double kDualBerCycle = 2400.0;
constexpr double kDualBerWindow = 600.0;

std::uint16_t Counter(std::uint16_t value, CRandom& random, double probability) {
    return random.Chance(probability) ? static_cast<std::uint16_t>(value + 1) : value;
}

// value rounded to a multiple of 2^exponent, as the broadcast carries it.
double Quantise(double value, int exponent) {
    const double step = std::ldexp(1.0, exponent);
    return std::round(value / step) * step;
}

}  // namespace

CProcessorLoad::CProcessorLoad(std::uint32_t seed) : random_(seed, Stream::Processor) {
    wander_ = CGaussMarkov(4.0, 60.0, random_);
    stats_.maxSubframesPending = static_cast<std::uint16_t>(random_.UniformInt(1, 3));
}

void CProcessorLoad::Update(double dt, int busyChannels) {
    const double spare = std::clamp(72.0 - 0.9 * busyChannels + wander_.Step(dt, random_), 40.0, 80.0);
    stats_.spareCount = static_cast<std::uint32_t>(std::lround(spare / kSparePerCount));
    if (dt <= 0.0) {
        return;
    }
    stats_.missedSubframes = Counter(stats_.missedSubframes, random_, dt / 1800.0);
    stats_.missedAccumulations = Counter(stats_.missedAccumulations, random_, dt / 7200.0);
    stats_.missedMeasurements = Counter(stats_.missedMeasurements, random_, dt / 14400.0);
    if (stats_.maxSubframesPending < 5 && random_.Chance(dt / 3600.0)) {
        ++stats_.maxSubframesPending;
    }
}

std::int64_t IonoUtcIssueAt(double gpsSeconds) {
    return static_cast<std::int64_t>(std::floor(gpsSeconds / kIonoUtcIssueSeconds));
}

IonoUtc MakeIonoUtc(std::uint32_t seed, std::int64_t issue, int leapSeconds) {
    CRandom random(seed, Stream::IonoUtc, static_cast<std::uint32_t>(issue));
    const auto scaled = [&](double typical) { return typical * (1.0 + 0.15 * random.Normal()); };
    IonoUtc p;
    p.issue = issue;
    p.alpha = {Quantise(scaled(1.0245e-8), -30), Quantise(scaled(1.4901e-8), -27), Quantise(scaled(-5.9605e-8), -24),
               Quantise(scaled(-1.1921e-7), -24)};
    p.beta = {Quantise(scaled(88064.0), 11), Quantise(scaled(32768.0), 14), Quantise(scaled(-131072.0), 16),
              Quantise(scaled(-196608.0), 16)};
    p.a0 = Quantise(random.Normal(2e-9), -30);
    p.a1 = Quantise(random.Normal(5e-15), -50);
    const double issuedAt = static_cast<double>(issue) * kIonoUtcIssueSeconds;
    const auto week = static_cast<std::int64_t>(std::floor(issuedAt / 604800.0));
    const double secondsOfWeek = issuedAt - static_cast<double>(week) * 604800.0;
    p.tot = static_cast<std::uint32_t>(std::floor(secondsOfWeek / 4096.0) * 4096.0);
    p.wnt = static_cast<std::uint16_t>(week & 0xFF);
    p.leapSeconds = static_cast<std::int16_t>(leapSeconds);
    p.wnlsf = p.wnt;
    p.dayOfLeap = 7;
    p.leapSecondsFuture = p.leapSeconds;
    return p;
}

CLBandReceiver::CLBandReceiver(std::uint32_t seed) : random_(seed, Stream::LBand) {
    berNoise_ = CGaussMarkov(1.5, 30.0, random_);
    agcNoise_ = CGaussMarkov(25.0, 120.0, random_);
}

void CLBandReceiver::Update(double dt, double gpsSeconds, const CLocalFrame& frame, const Enu& velocity,
                            double clockErrHz) {
    berNoise_.Step(dt, random_);
    agcNoise_.Step(dt, random_);

    const LBandGeo* best = nullptr;
    Sighting sight;
    for (const LBandGeo& geo : kLBandGeos) {
        const Sighting candidate = See(frame, velocity, CConstellation::GeoState(geo.longitude, gpsSeconds));
        if (best == nullptr || candidate.elevation > sight.elevation) {
            best = &geo;
            sight = candidate;
        }
    }
    const double wavelength = kSpeedOfLight / (best->frequencyKhz * 1000.0);
    status_.elevation = sight.elevation;
    status_.frequencyKhz = best->frequencyKhz;
    status_.dataRate = 1200;
    status_.dopplerHz = static_cast<int>(std::lround(-sight.rangeRate / wavelength));
    status_.ddsHz = static_cast<int>(std::lround(clockErrHz * best->frequencyKhz * 1000.0 / kL1Hz)) + status_.dopplerHz;
    // A weaker signal low in the sky needs more gain.
    status_.agc = static_cast<int>(
        std::lround(1450.0 + 250.0 * std::cos(std::max(sight.elevation, 0.0) * kDeg) + agcNoise_.Value()));

    // Now and then a short burst of errors (a tree, a truck).
    if (dt > 0.0 && random_.Chance(dt / 1200.0)) {
        burstUntil_ = gpsSeconds + random_.Uniform(3.0, 15.0);
    }
    const bool burst = gpsSeconds < burstUntil_;
    const bool visible = sight.elevation >= kLBandMask;
    status_.locked = visible && syncAt_ && gpsSeconds >= *syncAt_;
    if (!status_.locked) {
        status_.ber = kLostBer;
        status_.secondBer.reset();
        // Without a position it keeps to its default beam and finds nothing.
        const bool acquiring = visible && syncAt_;
        status_.dspStatus = acquiring ? dsp::kSignal : 0x00;
        status_.armStatus = acquiring ? arm::kBeamChosen : arm::kTuned;
        status_.diffStatus = 0x00;
        return;
    }
    status_.ber = static_cast<int>(std::lround(2.0 + std::abs(berNoise_.Value()) + (burst ? 40.0 : 0.0))) +
                  (faded_ ? kFadeBer : 0);
    if (std::fmod(gpsSeconds, kDualBerCycle) >= kDualBerCycle - kDualBerWindow) {
        status_.secondBer = status_.ber + 3 + static_cast<int>(std::lround(std::abs(berNoise_.Value()) * 2.0));
    } else {
        status_.secondBer.reset();
    }
    status_.dspStatus = dsp::kSynced;
    status_.armStatus = arm::kSynced;
    status_.diffStatus = kDiffFlowing;
}

void CLBandReceiver::OnFix(double gpsSeconds) {
    if (!syncAt_) {
        syncAt_ = gpsSeconds + kSyncAfterFix;
    }
}

}  // namespace zarnmon::sim
