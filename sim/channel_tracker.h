#pragma once

// The simulated receiver's tracking channels: 12 GPS channels and up to 3
// SBAS channels, with what each one measures.
//
// A free GPS channel takes the highest healthy satellite above the 5 degree
// mask that no other channel has, and keeps it until the satellite goes
// below the horizon. After acquisition the lock builds up as in a receiver:
// code ('C'), then carrier (second 'C') after 0.5 s, bit sync ('B') after
// 1.5 s, frame sync ('F') at the next subframe boundary; from then on a
// subframe arrives every 6 s. Ephemeris is remembered per satellite for four
// hours: the run starts warm (every satellite's ephemeris known), so stored
// ephemeris turns valid at frame sync, once the broadcast is seen to carry
// the same issue; a satellite that rises later with stale ephemeris collects
// a full frame (30 s) first. Low satellites now and then slip a cycle and rebuild their
// lock. A satellite is used in the solution when fully locked, with valid
// ephemeris and above the mask.
//
// The measurements hang together: pseudorange = range + receiver clock +
// satellite clock + ionosphere + troposphere + noise; the differential
// correction removes the last three but the noise; the residual is the noise
// plus the reported position error seen along the line of sight, so
// recomputing it against the true position leaves the noise.

#include <array>
#include <cstdint>
#include <span>

#include "sim/constellation.h"
#include "sim/sim_random.h"

namespace zarnmon::sim {

inline constexpr int kGpsChannels = 12;
inline constexpr int kSbasChannels = 3;
inline constexpr double kElevationMask = 5.0;  // degrees

// Lock flag bits, as the channel records carry them.
namespace lock {
inline constexpr std::uint8_t kCode = 0x01;
inline constexpr std::uint8_t kCarrier = 0x02;
inline constexpr std::uint8_t kBitSync = 0x04;
inline constexpr std::uint8_t kFrameSync = 0x08;
inline constexpr std::uint8_t kPCode = 0x40;
inline constexpr std::uint8_t kFull = kCode | kCarrier | kBitSync | kFrameSync;
}  // namespace lock

// Ephemeris and almanac states (bits 0-1): 1 collecting, 2 valid.
inline constexpr std::uint8_t kStateCollecting = 1;
inline constexpr std::uint8_t kStateValid = 2;

struct ChannelState {
    int prn = 0;             // 0: idle
    double lockedFor = 0.0;  // s since the lock (re)started
    std::uint8_t trackFlags = 0;
    std::uint8_t subframes = 0;  // subframes since frame sync, wrapping
    std::uint8_t ephState = 0;
    std::uint8_t almState = 0;
    int uraIndex = 0;
    bool used = false;
    Sighting sight;
    double doppler = 0.0;       // Hz, L1
    double cno = 0.0;           // dB-Hz
    double diffCorr = 0.0;      // pseudorange correction, m
    double diffCorrRate = 0.0;  // m/s
    double posResid = 0.0;      // m
    double velResid = 0.0;      // m/s
    double pseudorange = 0.0;   // m
    double carrierPhase = 0.0;  // L1 cycles
    int slips = 0;
    double ionoDelay = 0.0;  // L1 slant delay, m
    // L2 and L1 P-code
    std::uint8_t l2Flags = 0;
    std::uint8_t l1pFlags = 0;
    double l2Cno = 0.0;  // dB-Hz
    double l1pCno = 0.0;
    double c1MinusL1 = 0.0;  // m
    double p2MinusC1 = 0.0;
    double p2MinusP1 = 0.0;
    double l2MinusL1 = 0.0;
};

// What the channels see of the world at one moment.
struct TrackingInputs {
    double elapsed = 0.0;            // s since the start
    double gpsSeconds = 0.0;         // since the GPS epoch
    std::span<const Sighting> gps;   // index PRN - 1, 32 entries
    std::span<const int> sbasPrns;   // the GEOs the receiver listens to, in channel order
    std::span<const Sighting> sbas;  // one per SBAS PRN
    Geodetic receiver;
    Enu positionError;  // reported minus true
    bool differential = true;
    double clockBias = 0.0;  // receiver clock, m
};

class CChannelTracker {
public:
    CChannelTracker(std::uint32_t seed, const CConstellation& constellation);

    void Update(const TrackingInputs& in);

    [[nodiscard]] std::span<const ChannelState, kGpsChannels> Gps() const { return gps_; }
    [[nodiscard]] std::span<const ChannelState, kSbasChannels> Sbas() const { return sbas_; }
    // Satellite clock error of a GPS PRN seen as range, m.
    [[nodiscard]] double SatelliteClock(int prn, double gpsSeconds) const;
    // Seconds the receiver has tracked a PRN in all, and how often it
    // acquired it.
    [[nodiscard]] double TrackedSeconds(int prn) const;
    [[nodiscard]] int Acquisitions(int prn) const;

private:
    // Hidden per-channel state: the noise processes and lock bookkeeping.
    struct Loop {
        double lockStartGps = 0.0;  // GPS seconds when the lock (re)started
        double frameSyncGps = 0.0;  // the subframe boundary of frame sync
        double l2Offset = 0.0;      // m: makes L2 - L1 start out at P2 - C1
        double ambiguity = 0.0;     // L1 cycles
        double lastDiffCorr = 0.0;
        bool hasDiffCorr = false;
        CGaussMarkov cnoNoise;
        CGaussMarkov codeNoise;
        CGaussMarkov velocityNoise;
        CGaussMarkov multipath;
        CGaussMarkov interFrequencyNoise;
    };
    // Per-PRN constants drawn once from the seed.
    struct PrnTraits {
        double cnoBias = 0.0;         // dB
        double clockAmplitude = 0.0;  // m
        double clockPeriod = 1.0;     // s
        double clockPhase = 0.0;      // rad
        double p2p1Bias = 0.0;        // m, inter-frequency bias
        double p1c1Bias = 0.0;        // m
    };

    void AssignChannels(const TrackingInputs& in);
    void StartLock(ChannelState& channel, Loop& loop, const TrackingInputs& in);
    void UpdateGps(ChannelState& channel, Loop& loop, const TrackingInputs& in, double dt);
    void UpdateSbas(int k, const TrackingInputs& in, double dt);
    void Measure(ChannelState& channel, Loop& loop, const TrackingInputs& in, double dt);
    void UpdateLockFlags(ChannelState& channel, const Loop& loop, double gpsSeconds) const;

    const CConstellation& constellation_;
    CRandom random_;
    std::array<PrnTraits, kGpsPrns> traits_{};
    std::array<double, kGpsPrns> ephemerisAt_{};  // GPS seconds the ephemeris was last collected
    std::array<bool, kGpsPrns> ephemerisKnown_{};
    std::array<double, kGpsPrns> trackedSeconds_{};
    std::array<int, kGpsPrns> acquisitions_{};
    std::array<ChannelState, kGpsChannels> gps_{};
    std::array<Loop, kGpsChannels> gpsLoops_{};
    std::array<ChannelState, kSbasChannels> sbas_{};
    std::array<Loop, kSbasChannels> sbasLoops_{};
    double elapsed_ = 0.0;
    bool started_ = false;
};

}  // namespace zarnmon::sim
