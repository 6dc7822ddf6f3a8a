#pragma once

// The monitor test: a continuous pass/fail test of a receiver with L-band
// differential corrections, the way a factory or a field crew qualifies one.
//
// Input is the notifications of messages 1 and 99 and of the "$RD1," L-band
// diagnostics (filters run on each) and a one-second tick (indicator lights
// and the test step). "Now" comes from the injected clock and every value
// from the handlers' stored frames, so the same object runs live, over a
// recording and in tests. It sends nothing but the keep-alive of its three
// messages.
//
// The test waits until the receiver looks ready ("Preparing For Test"), then
// checks communication, bit error rate, signal and noise levels, position
// drift, residual spread, satellite count, age of corrections and velocity
// residuals ("Conducting Test"). The first failure of each kind keeps the
// time of the message 1 at that moment; once anything has failed the test
// stays failed, collecting further failures, until it is reset. Missing
// messages show as failures (communication, startup timeout), never as
// errors, and wire values that make no sense simply fail a criterion.

#include <array>
#include <cstdint>
#include <string>

#include "core/app/settings_store.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/receiver_info.h"
#include "core/link/tick_clock.h"

namespace zarnmon {

// Section "Thresholds" of the profile; read, never written.
struct MonitorThresholds {
    int commTimeOut = 3;             // s; also the window in which message 99 counts as arriving
    double ber = 15.0;               // filtered L-band bit error rate; 500 or more drops light D from the start
    double berTimeConstant = 100.0;  // messages, at least 1.0
    double snrFull = 15.0;           // dB, least filtered C/No of locked channels
    double snrCodeOnly = 6.0;        // dB, most filtered C/No of channels not locked (noise)
    double position = 7.0;           // m of drift from the position at the start
    double stdDev = 5.0;             // m of StdDevResid; 60 % of it is a start condition
    int minSatellites = 4;           // fails at or below
    int ageOfDiff = 30;              // s
    int numVelFailsPerHour = 3;      // velocity residual events allowed per 3600 ticks
    int startupMinutes = 5;          // time to get ready; below 1 means (almost) forever
    double snrFullLinear = 0.0;      // derived: 10^(snrFull / 10)
    double snrCodeOnlyLinear = 0.0;  // derived: 10^(snrCodeOnly / 10)

    MonitorThresholds() { Normalise(); }
    // Applies the limits above and derives the linear ratios; Load does it,
    // and so does the test for thresholds set in code.
    void Normalise();
};

[[nodiscard]] MonitorThresholds LoadMonitorThresholds(const CSettingsStore& store);

enum class MonitorState : std::int32_t { Preparing = 0, Conducting = 1, Failed = 2 };

// Lamp colours, 0x00BBGGRR.
namespace lamp_colors {
inline constexpr std::uint32_t kUnlit = 0xC0C0C0;  // before the first tick
inline constexpr std::uint32_t kNavy = 0x800000;   // a light that is off
inline constexpr std::uint32_t kYellow = 0x00FFFF;
inline constexpr std::uint32_t kGreen = 0x00FF00;
inline constexpr std::uint32_t kRed = 0x0000FF;
}  // namespace lamp_colors

// Failure bits, in the order the report lists them.
namespace monitor_failures {
inline constexpr std::uint32_t kStartupTimeout = 0x200;
inline constexpr std::uint32_t kCommunications = 0x1;
inline constexpr std::uint32_t kBer = 0x2;
inline constexpr std::uint32_t kSnr = 0x4;
inline constexpr std::uint32_t kNoise = 0x20;
inline constexpr std::uint32_t kPosition = 0x8;
inline constexpr std::uint32_t kResidual = 0x10;
inline constexpr std::uint32_t kTooFewSatellites = 0x40;
inline constexpr std::uint32_t kAgeOfDiff = 0x80;
inline constexpr std::uint32_t kVelocityResidual = 0x100;
inline constexpr std::array<std::uint32_t, 10> kReportOrder{
    kStartupTimeout, kCommunications,  kBer, kSnr, kNoise, kPosition, kResidual, kTooFewSatellites,
    kAgeOfDiff,      kVelocityResidual};
}  // namespace monitor_failures

// The L-band receiver's status lights A to E, from the DSP (field 9) and ARM
// (field 10) status words of the "$RD1," line. D and E blink, toggling once
// a tick, while the receiver is between two states.
class CIndicatorLights {
public:
    // Reads the last line when its handler is active; otherwise A to D go
    // out and E keeps its value.
    void Update(const CRd1Handler& rd1, bool active);

    [[nodiscard]] bool A() const noexcept { return a_; }
    [[nodiscard]] bool B() const noexcept { return b_; }
    [[nodiscard]] bool C() const noexcept { return c_; }
    [[nodiscard]] bool D() const noexcept { return d_; }
    [[nodiscard]] bool E() const noexcept { return e_; }
    // Left to right: green D, yellow C with E, yellow B, red A; navy when off.
    [[nodiscard]] std::array<std::uint32_t, 4> Colors() const noexcept;

private:
    bool a_ = false;
    bool b_ = false;
    bool c_ = false;
    bool d_ = false;
    bool e_ = false;
};

class CMonitorTest {
public:
    static constexpr int kChannels = 12;
    static constexpr int kFailureBits = 32;

    CMonitorTest(CMsgDispatcher& dispatcher, const ITickClock& clock, const CReceiverInfo& receiver,
                 MonitorThresholds thresholds);

    // Back to "Preparing For Test" (the first update and "&Reset Test").
    void Reset();
    // A notification from message 1, message 99 or the "$RD1," handler; any
    // other slot is ignored.
    void OnMonitorMessage(int slot);
    // The one-second tick: keep-alive every fourth tick when autoConfigure
    // (nothing is sent otherwise), the indicator lights, then the test step.
    void MonitorTick(bool autoConfigure);

    [[nodiscard]] MonitorState State() const noexcept { return state_; }
    [[nodiscard]] std::uint32_t FailureBits() const noexcept { return failureBits_; }
    // As the text box shows it, lines ending "\r\n".
    [[nodiscard]] const std::string& StatusText() const noexcept { return statusText_; }
    // The time text recorded when bit bitNumber (0..31) was first set; empty
    // when it is not set or out of range.
    [[nodiscard]] const std::string& FailureTime(int bitNumber) const;
    // The four indicator lamps, left to right, and the status lamp.
    [[nodiscard]] std::array<std::uint32_t, 4> LampColors() const noexcept { return lampColors_; }
    [[nodiscard]] std::uint32_t StatusColor() const noexcept { return statusColor_; }
    // Every change of state or failure bits made by a test step.
    [[nodiscard]] std::uint64_t Changes() const noexcept { return changes_; }
    // The UTC time of the stored message 1 as a failure now would record it
    // ("01/06/80  00:00:00" before any message 1).
    [[nodiscard]] std::string TimeText() const;

    [[nodiscard]] const MonitorThresholds& Thresholds() const noexcept { return thresholds_; }
    [[nodiscard]] const CIndicatorLights& Lights() const noexcept { return lights_; }
    [[nodiscard]] double FilteredBer() const noexcept { return filteredBer_; }
    // Linear C/No units (10^(dB/10)).
    [[nodiscard]] double NoiseLevel() const noexcept { return noiseLevel_; }
    [[nodiscard]] double SnrLevel() const noexcept { return snrLevel_; }
    [[nodiscard]] std::uint32_t VelocityFailures() const noexcept { return velocityFailures_; }
    [[nodiscard]] std::uint32_t TestTicks() const noexcept { return testTicks_; }
    [[nodiscard]] std::int32_t StartupCounter() const noexcept { return startupCounter_; }
    [[nodiscard]] std::uint32_t UnlockedCount(int channel) const;

private:
    void OnRd1();
    void OnMsg99();
    void KeepAlive(bool autoConfigure);
    void UpdateLamps();
    void TestStep(bool reset);
    void Prepare(std::uint32_t now);
    void CheckCriteria(std::uint32_t now);
    void Fail(std::uint32_t bit);
    void RebuildStatusText();
    // Milliseconds since a stamp; a stamp of 0 (never) is older than anything.
    [[nodiscard]] static std::uint32_t Since(std::uint32_t now, std::uint32_t stamp) noexcept;

    CMsgDispatcher& dispatcher_;
    const ITickClock& clock_;
    const CReceiverInfo& receiver_;
    MonitorThresholds thresholds_;

    MonitorState state_ = MonitorState::Preparing;
    std::uint32_t failureBits_ = 0;
    std::array<std::string, kFailureBits> failureTimes_{};
    std::string statusText_;

    std::uint32_t lastMsg1Tick_ = 0;
    std::uint32_t lastMsg99Tick_ = 0;
    double startLatitude_ = 0.0;
    double startLongitude_ = 0.0;
    double noiseLevel_ = 0.0;
    double snrLevel_;
    double filteredBer_ = 0.0;
    std::uint32_t velocityFailures_ = 0;
    std::uint32_t testTicks_ = 0;
    std::int32_t startupCounter_ = 0;
    std::array<std::uint32_t, kChannels> unlocked_{};

    CIndicatorLights lights_;
    std::array<std::uint32_t, 4> lampColors_{lamp_colors::kUnlit, lamp_colors::kUnlit, lamp_colors::kUnlit,
                                             lamp_colors::kUnlit};
    std::uint32_t statusColor_ = lamp_colors::kUnlit;
    int keepAliveCountdown_ = 3;
    std::uint64_t changes_ = 0;
};

}  // namespace zarnmon
