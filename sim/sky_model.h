#pragma once

// The simulated receiver's world at one moment of receiver time: the clock,
// where the receiver is, which satellites it sees and tracks, its solution
// and its housekeeping. Message writers read it; nothing here knows a
// message format.
//
// AdvanceTo moves everything to start + elapsed seconds. It is meant to be
// called with rising times, at 50 ms steps or coarser (jumps of hours are
// fine); a call with an earlier time changes nothing. Random parts draw from
// streams derived from the seed, so the same seed and the same sequence of
// calls give the same world, and the noise statistics do not depend on the
// step size.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/channel_tracker.h"
#include "sim/constellation.h"
#include "sim/geodesy.h"
#include "sim/receiver_motion.h"
#include "sim/receiver_status.h"
#include "sim/sim_config.h"

namespace zarnmon::sim {

enum class FixType : std::uint8_t { None, TwoD, ThreeD };

struct Solution {
    FixType fix = FixType::None;
    bool differential = false;
    int numUsed = 0;
    std::uint32_t usedMask = 0;  // bit PRN - 1
    double hdop = 99.9;
    double vdop = 99.9;
    double stdDevResid = 0.0;  // m; large without a fix
    double ageOfDiff = 0.0;    // s; 0 without corrections
    Geodetic position;         // as reported; held while there is no fix
    Enu velocity;              // as reported
};

// Fix type with the differential bit, as message 1 carries it
// (0 none, 1/2 2-D/3-D, 3/4 2-D/3-D differential).
[[nodiscard]] std::uint16_t NavModeOf(const Solution& solution);

// One satellite as the almanac puts it in the receiver's sky.
struct AlmanacEntry {
    bool exists = false;
    bool healthy = false;
    double elevation = 0.0;  // degrees
    double azimuth = 0.0;
    double doppler = 0.0;  // Hz, for a receiver standing still
    std::uint8_t updateCount = 0;
};

class CSkyModel {
public:
    static constexpr int kGpsUtcOffset = 18;  // s

    // Listens to the WAAS GEOs 135 and 138.
    explicit CSkyModel(const SimConfig& config);
    // Listens to the given SBAS PRNs (120..138, at most 3; others ignored).
    CSkyModel(const SimConfig& config, std::span<const int> sbasPrns);
    // The tracker refers to the model's own constellation.
    CSkyModel(const CSkyModel&) = delete;
    CSkyModel& operator=(const CSkyModel&) = delete;

    void AdvanceTo(double elapsedSeconds);
    // A fault from outside the world: the L-band signal fades (high bit
    // error rate) until called again with false.
    void SetLBandFade(bool faded) { lband_.SetFaded(faded); }

    [[nodiscard]] const SimConfig& Config() const { return config_; }
    [[nodiscard]] double Elapsed() const { return elapsed_; }
    [[nodiscard]] std::int32_t Week() const { return week_; }
    [[nodiscard]] double SecondsOfWeek() const { return secondsOfWeek_; }
    // Seconds since the GPS epoch.
    [[nodiscard]] double GpsSeconds() const { return gpsSeconds_; }

    [[nodiscard]] const Solution& CurrentSolution() const { return solution_; }
    [[nodiscard]] const Geodetic& TruePosition() const { return motion_.TruePosition(); }
    [[nodiscard]] Enu PositionSigma() const { return motion_.PositionSigma(); }
    [[nodiscard]] double Heading() const { return motion_.Heading(); }

    [[nodiscard]] std::span<const ChannelState, kGpsChannels> Channels() const { return tracker_.Gps(); }
    [[nodiscard]] std::span<const ChannelState, kSbasChannels> SbasChannels() const { return tracker_.Sbas(); }
    // Bit k set when SBAS channel k is used.
    [[nodiscard]] std::uint8_t SbasUsedMask() const;

    // Receiver clock: frequency error (Hz at L1) and bias (m).
    [[nodiscard]] double ClockErrHz() const { return clockErrHz_; }
    [[nodiscard]] double ClockBias() const { return clockBias_; }

    [[nodiscard]] AlmanacEntry Almanac(int prn) const;
    // The PRN whose almanac page arrived last, 1..32.
    [[nodiscard]] int LastAlmanacPrn() const;
    [[nodiscard]] bool IonoValid() const { return true; }

    [[nodiscard]] const ProcessorStats& Processor() const { return processor_.Stats(); }
    [[nodiscard]] const IonoUtc& IonoUtcParameters() const { return ionoUtc_; }
    [[nodiscard]] const LBandStatus& LBand() const { return lband_.Status(); }

    [[nodiscard]] const CConstellation& Constellation() const { return constellation_; }
    [[nodiscard]] const CChannelTracker& Tracker() const { return tracker_; }
    [[nodiscard]] std::span<const int> SbasPrns() const { return sbasPrns_; }

private:
    void Update(double dt);
    void UpdateSolution();

    SimConfig config_;
    std::vector<int> sbasPrns_;
    double startGpsSeconds_;
    double elapsed_ = 0.0;
    double gpsSeconds_ = 0.0;
    std::int32_t week_ = 0;
    double secondsOfWeek_ = 0.0;
    CConstellation constellation_;
    CReceiverMotion motion_;
    CChannelTracker tracker_;
    CProcessorLoad processor_;
    CLBandReceiver lband_;
    CRandom clockRandom_;
    CGaussMarkov clockWander_;
    double clockBase_ = 0.0;
    double clockErrHz_ = 0.0;
    double clockBias_ = 0.0;
    double agePhase_ = 0.0;
    bool differential_ = true;
    std::array<Sighting, kGpsPrns> gps_{};
    std::array<Sighting, kSbasChannels> sbas_{};
    Solution solution_;
    IonoUtc ionoUtc_;
};

}  // namespace zarnmon::sim
