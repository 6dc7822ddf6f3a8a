#pragma once

// The simulated receiver's housekeeping: processor load, the broadcast
// ionosphere and UTC parameters, and the L-band differential receiver.

#include <array>
#include <cstdint>
#include <optional>

#include "sim/constellation.h"
#include "sim/sim_random.h"

namespace zarnmon::sim {

struct ProcessorStats {
    std::uint32_t spareCount = 0;  // x 0.00045 = percent of spare processor time
    std::uint16_t missedSubframes = 0;
    std::uint16_t maxSubframesPending = 0;
    std::uint16_t missedAccumulations = 0;
    std::uint16_t missedMeasurements = 0;
};

// The processor's spare time wanders between about 50 and 75 percent, less
// with more channels busy; the miss counters creep up now and then.
class CProcessorLoad {
public:
    explicit CProcessorLoad(std::uint32_t seed);
    void Update(double dt, int busyChannels);
    [[nodiscard]] const ProcessorStats& Stats() const { return stats_; }

private:
    CRandom random_;
    CGaussMarkov wander_;
    ProcessorStats stats_;
};

// Klobuchar and UTC parameters as the satellites broadcast them, in their
// natural units. A new issue comes every six hours.
struct IonoUtc {
    std::int64_t issue = 0;
    std::array<double, 4> alpha{};  // s, s/semicircle, ...
    std::array<double, 4> beta{};   // s, s/semicircle, ...
    double a0 = 0.0;                // s
    double a1 = 0.0;                // s/s
    std::uint32_t tot = 0;          // s of the week
    std::uint16_t wnt = 0;          // week, modulo 256
    std::int16_t leapSeconds = 0;
    std::uint16_t wnlsf = 0;
    std::uint16_t dayOfLeap = 0;
    std::int16_t leapSecondsFuture = 0;
};

inline constexpr double kIonoUtcIssueSeconds = 6.0 * 3600.0;

[[nodiscard]] std::int64_t IonoUtcIssueAt(double gpsSeconds);
[[nodiscard]] IonoUtc MakeIonoUtc(std::uint32_t seed, std::int64_t issue, int leapSeconds);

struct LBandStatus {
    bool locked = false;   // in sync: corrections flowing
    int frequencyKhz = 0;  // spot beam
    int dataRate = 0;      // bit/s
    int ber = 0;
    std::optional<int> secondBer;  // both demodulators report while switching beams
    int agc = 0;
    int ddsHz = 0;
    int dopplerHz = 0;  // from the GEO
    std::uint8_t dspStatus = 0;
    std::uint8_t armStatus = 0;
    std::uint8_t diffStatus = 0;
    double elevation = -90.0;
};

// The L-band section listens to the correction satellite highest in the sky.
// It can only choose the spot beam and pull in the signal once it knows where
// it is, so it syncs a few seconds after the first GPS fix; until then it
// reports itself searching, and a monitor sees a receiver that is not ready.
class CLBandReceiver {
public:
    explicit CLBandReceiver(std::uint32_t seed);
    void Update(double dt, double gpsSeconds, const CLocalFrame& frame, const Enu& velocity, double clockErrHz);
    // The GPS solution has a fix at gpsSeconds; only the first call counts.
    void OnFix(double gpsSeconds);
    // A fault: while faded the link stays in sync but its bit error rate is high.
    void SetFaded(bool faded) { faded_ = faded; }
    [[nodiscard]] const LBandStatus& Status() const { return status_; }

private:
    CRandom random_;
    CGaussMarkov berNoise_;
    CGaussMarkov agcNoise_;
    double burstUntil_ = -1.0;
    std::optional<double> syncAt_;  // GPS seconds
    bool faded_ = false;
    LBandStatus status_;
};

}  // namespace zarnmon::sim
