#include "core/state/monitor_test.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "core/app/settings_keys.h"
#include "core/link/bin_catalogue.h"
#include "core/link/gps_time.h"

namespace zarnmon {

namespace {

constexpr std::string_view kCommTimeOutKey = "CommTimeOut";
constexpr std::string_view kBerKey = "BER";
constexpr std::string_view kBerTimeConstantKey = "BERTimeConstant";
constexpr std::string_view kSnrFullKey = "SNRFull";
constexpr std::string_view kSnrCodeOnlyKey = "SNRCodeOnly";
constexpr std::string_view kPositionKey = "Position";
constexpr std::string_view kStdDevKey = "StdDev";
constexpr std::string_view kMinSatellitesKey = "MinSatellites";
constexpr std::string_view kAgeOfDiffKey = "AgeOfDiff";
constexpr std::string_view kNumVelFailsPerHourKey = "NumVelFailsPerHour";
constexpr std::string_view kStartupMinutesKey = "StartupMinutes";

// A startup time below a minute means "wait (almost) forever".
constexpr int kEndlessStartupMinutes = 32767;

// "$RD1," fields the test reads.
constexpr int kDspStatusField = 9;
constexpr int kArmStatusField = 10;
// A BER this high or more leaves light E blinking instead of steady.
constexpr int kSteadyBerLimit = 150;

// The BER filter never moves up by more than this many time-constant steps.
constexpr double kBerStepCap = 500.0;
constexpr double kMinBerStep = 30.0;
// At or above this BER threshold, light D is no start condition.
constexpr double kBerIgnoresLightD = 500.0;

// A channel counts as noise after this many consecutive unlocked messages.
constexpr std::uint32_t kUnlockedBeforeNoise = 8;
constexpr std::uint8_t kLockedFlags = 0x0F;
constexpr int kMinSnrElevation = 6;
constexpr double kNoiseGain = 0.07;
constexpr double kSnrGain = 0.1;
// (VelResid x 0.1 m/s) squared above this, i.e. more than 30 m/s.
constexpr double kVelocityResidLimitSquared = 900.0;

constexpr double kInitialSnrLevel = 31.622776601683793;  // 10^1.5
constexpr double kStartSnrFactor = 2.0;
// The residual spread must be under 60 % of its limit to start.
constexpr double kStartStdDevShare = 0.6000000000000001;
constexpr std::uint32_t kVelocityWindowTicks = 3600;
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kEarthRadius = 6371000.0;

constexpr std::string_view kPreparingText = "Preparing For Test\r\n";
constexpr std::string_view kConductingText = "Conducting Test\r\n";
constexpr std::string_view kUndeterminedText = "Undetermined Failure\r\n";

[[nodiscard]] double DbToLinear(double db) { return std::pow(10.0, db / 10.0); }

// Field n of the last "$RD1," line read as "%X"; 0 when missing or not a number.
[[nodiscard]] std::uint32_t HexField(const CRd1Handler& rd1, int n) {
    std::array<char, CTextMsgHandler::kCapacity + 1> field{};
    if (rd1.GetField(n, field.data(), field.size()) == nullptr) {
        return 0;
    }
    return ScanHex(field.data()).value_or(0);
}

[[nodiscard]] constexpr bool Bit(std::uint32_t word, int n) noexcept { return ((word >> n) & 1U) != 0; }

template <typename... Args>
[[nodiscard]] std::string Format(const char* format, Args... args) {
    std::array<char, 128> text{};
    std::snprintf(text.data(), text.size(), format, args...);
    return text.data();
}

[[nodiscard]] std::string FailureMessage(std::uint32_t bit, const MonitorThresholds& t) {
    namespace f = monitor_failures;
    switch (bit) {
        case f::kStartupTimeout:
            return Format(": Failed Startup Timeout ( >%d min)\r\n", t.startupMinutes);
        case f::kCommunications:
            return Format(": Failed Communications (%d sec)\r\n", t.commTimeOut);
        case f::kBer:
            return Format(": Failed BER (>%.0lf)\r\n", t.ber);
        case f::kSnr:
            return Format(": Failed SNR (< %.0lfdb)\r\n", t.snrFull);
        case f::kNoise:
            return Format(": Failed Noise On GPS Channels (> %.0lfdb)\r\n", t.snrCodeOnly);
        case f::kPosition:
            return Format(": Failed Position Solution (> %.1lfm)\r\n", t.position);
        case f::kResidual:
            return Format(": Failed Residual Test (> %.1lfm)\r\n", t.stdDev);
        case f::kTooFewSatellites:
            return Format(": Failed: Too Few Satellites (<= %d)\r\n", t.minSatellites);
        case f::kAgeOfDiff:
            return Format(": Failed Age of Diff ( >%d)\r\n", t.ageOfDiff);
        case f::kVelocityResidual:
            return Format(": Failed Vel Residual ( >%d times)\r\n", t.numVelFailsPerHour);
        default:
            return {};
    }
}

}  // namespace

void MonitorThresholds::Normalise() {
    berTimeConstant = std::max(berTimeConstant, 1.0);
    if (startupMinutes < 1) {
        startupMinutes = kEndlessStartupMinutes;
    }
    snrFullLinear = DbToLinear(snrFull);
    snrCodeOnlyLinear = DbToLinear(snrCodeOnly);
}

MonitorThresholds LoadMonitorThresholds(const CSettingsStore& store) {
    MonitorThresholds t;
    t.commTimeOut = store.GetInt(kThresholds, kCommTimeOutKey, t.commTimeOut);
    t.ber = store.GetDouble(kThresholds, kBerKey, t.ber);
    t.berTimeConstant = store.GetDouble(kThresholds, kBerTimeConstantKey, t.berTimeConstant);
    t.snrFull = store.GetDouble(kThresholds, kSnrFullKey, t.snrFull);
    t.snrCodeOnly = store.GetDouble(kThresholds, kSnrCodeOnlyKey, t.snrCodeOnly);
    t.position = store.GetDouble(kThresholds, kPositionKey, t.position);
    t.stdDev = store.GetDouble(kThresholds, kStdDevKey, t.stdDev);
    t.minSatellites = store.GetInt(kThresholds, kMinSatellitesKey, t.minSatellites);
    t.ageOfDiff = store.GetInt(kThresholds, kAgeOfDiffKey, t.ageOfDiff);
    t.numVelFailsPerHour = store.GetInt(kThresholds, kNumVelFailsPerHourKey, t.numVelFailsPerHour);
    t.startupMinutes = store.GetInt(kThresholds, kStartupMinutesKey, t.startupMinutes);
    t.Normalise();
    return t;
}

// ---------------------------------------------------------------------------

void CIndicatorLights::Update(const CRd1Handler& rd1, bool active) {
    if (!active) {
        a_ = b_ = c_ = d_ = false;
        return;
    }
    const std::uint32_t dsp = HexField(rd1, kDspStatusField);
    const std::uint32_t arm = HexField(rd1, kArmStatusField);
    a_ = true;
    b_ = Bit(arm, 0);
    if (Bit(arm, 3)) {
        d_ = Bit(arm, 4) || !d_;
    } else {
        d_ = false;
    }
    if (Bit(arm, 5)) {
        e_ = true;
        c_ = Bit(arm, 6);
        return;
    }
    // A dual BER reading means two L-band channels: either of their locks will do.
    c_ = rd1.Rd1HasDualBer() ? ((Bit(dsp, 2) || Bit(dsp, 3)) && Bit(dsp, 0)) : (Bit(dsp, 0) && Bit(dsp, 2));
    if (c_) {
        e_ = rd1.Rd1Ber() < kSteadyBerLimit || !e_;
    }
}

std::array<std::uint32_t, 4> CIndicatorLights::Colors() const noexcept {
    using namespace lamp_colors;
    return {d_ ? kGreen : kNavy, c_ && e_ ? kYellow : kNavy, b_ ? kYellow : kNavy, a_ ? kRed : kNavy};
}

// ---------------------------------------------------------------------------

CMonitorTest::CMonitorTest(CMsgDispatcher& dispatcher, const ITickClock& clock, const CReceiverInfo& receiver,
                           MonitorThresholds thresholds)
    : dispatcher_(dispatcher),
      clock_(clock),
      receiver_(receiver),
      thresholds_(thresholds),
      snrLevel_(kInitialSnrLevel) {
    thresholds_.Normalise();
    RebuildStatusText();
}

void CMonitorTest::Reset() { TestStep(true); }

const std::string& CMonitorTest::FailureTime(int bitNumber) const {
    static const std::string kNone;
    if (bitNumber < 0 || bitNumber >= kFailureBits || !Bit(failureBits_, bitNumber)) {
        return kNone;
    }
    return failureTimes_[static_cast<std::size_t>(bitNumber)];
}

std::uint32_t CMonitorTest::UnlockedCount(int channel) const {
    return channel >= 0 && channel < kChannels ? unlocked_[static_cast<std::size_t>(channel)] : 0;
}

std::uint32_t CMonitorTest::Since(std::uint32_t now, std::uint32_t stamp) noexcept {
    return stamp == 0 ? 0xFFFFFFFFU : now - stamp;
}

void CMonitorTest::OnMonitorMessage(int slot) {
    switch (slot) {
        case Slots::Rd1Handler:
            OnRd1();
            break;
        case Slots::Msg1:
            lastMsg1Tick_ = StampOf(clock_.Now());
            break;
        case Slots::Msg99:
            lastMsg99Tick_ = StampOf(clock_.Now());
            OnMsg99();
            break;
        default:
            break;
    }
}

void CMonitorTest::OnRd1() {
    const double tau = thresholds_.berTimeConstant;
    // One wild reading must not swamp the filter: the step up is capped.
    const double cap = std::max(kBerStepCap / tau, kMinBerStep);
    const double step = std::min(dispatcher_.Rd1().Rd1Ber() - filteredBer_, cap);
    filteredBer_ += step / tau;
}

void CMonitorTest::OnMsg99() {
    const Msg99View msg99(dispatcher_.Handler(Slots::Msg99).LastMessage());
    double noiseSum = 0.0;
    int noiseCount = 0;
    double snrSum = 0.0;
    int snrCount = 0;
    for (int k = 0; k < kChannels; ++k) {
        const ChannelRecord record = msg99.Channel(k);
        if (record.Prn() == 0) {
            continue;
        }
        auto& unlocked = unlocked_[static_cast<std::size_t>(k)];
        const std::uint8_t status = record.TrackFlags();
        if (status <= 1) {
            // Only a channel that has stayed unlocked for a while measures noise.
            if (++unlocked > kUnlockedBeforeNoise) {
                noiseSum += record.CnoLinear();
                ++noiseCount;
            }
        } else if ((status & kLockedFlags) == kLockedFlags) {
            unlocked = 0;
            if (record.Elevation() >= kMinSnrElevation) {
                snrSum += record.CnoLinear();
                ++snrCount;
            }
        }
        const double velocity = record.VelResid() * 0.1;
        if (velocity * velocity > kVelocityResidLimitSquared) {
            ++velocityFailures_;
        }
    }
    if (noiseCount > 0) {
        noiseLevel_ += (noiseSum / noiseCount - noiseLevel_) * kNoiseGain;
    }
    if (snrCount > 0) {
        snrLevel_ += (snrSum / snrCount - snrLevel_) * kSnrGain;
    }
}

void CMonitorTest::MonitorTick(bool autoConfigure) {
    KeepAlive(autoConfigure);
    UpdateLamps();
    TestStep(false);
}

void CMonitorTest::KeepAlive(bool autoConfigure) {
    if (keepAliveCountdown_ > 0) {
        --keepAliveCountdown_;
        return;
    }
    keepAliveCountdown_ = 3;
    if (!autoConfigure) {
        return;
    }
    for (const int slot : {Slots::Msg1, Slots::Msg99, Slots::Rd1Handler}) {
        dispatcher_.EnsureState(slot, true, false);
    }
}

void CMonitorTest::UpdateLamps() {
    lights_.Update(dispatcher_.Rd1(), dispatcher_.IsActive(Slots::Rd1Handler, true));
    lampColors_ = lights_.Colors();
}

void CMonitorTest::TestStep(bool reset) {
    const MonitorState previousState = state_;
    const std::uint32_t previousBits = failureBits_;
    const std::uint32_t now = clock_.Now();
    if (reset) {
        filteredBer_ = 0.0;
        velocityFailures_ = 0;
        testTicks_ = 0;
        startupCounter_ = 0;
        state_ = MonitorState::Preparing;
        failureBits_ = 0;
        for (auto& time : failureTimes_) {
            time.clear();
        }
    } else {
        if (state_ == MonitorState::Preparing) {
            Prepare(now);
        }
        if (state_ != MonitorState::Preparing) {
            CheckCriteria(now);
        }
        if (state_ == MonitorState::Conducting && failureBits_ != 0) {
            state_ = MonitorState::Failed;
        }
    }
    const bool changed = state_ != previousState || failureBits_ != previousBits;
    if (changed) {
        ++changes_;
    }
    if (changed || reset) {
        RebuildStatusText();
    }
    switch (state_) {
        case MonitorState::Preparing:
            statusColor_ = lamp_colors::kYellow;
            break;
        case MonitorState::Conducting:
            statusColor_ = lamp_colors::kGreen;
            break;
        case MonitorState::Failed:
            statusColor_ = lamp_colors::kRed;
            break;
    }
}

void CMonitorTest::Prepare(std::uint32_t now) {
    failureBits_ = 0;
    filteredBer_ = 0.0;
    velocityFailures_ = 0;
    testTicks_ = 0;
    const Msg1View msg1(dispatcher_.Handler(Slots::Msg1).LastMessage());
    const bool flowing = dispatcher_.IsActive(Slots::Msg1, true) && dispatcher_.IsActive(Slots::Msg99, true) &&
                         dispatcher_.IsActive(Slots::Rd1Handler, true);
    const bool ready = flowing && (lights_.D() || thresholds_.ber >= kBerIgnoresLightD) && lights_.C() &&
                       thresholds_.stdDev * kStartStdDevShare > msg1.StdDevResid();
    if (ready) {
        state_ = MonitorState::Conducting;
        startLatitude_ = msg1.Latitude();
        startLongitude_ = msg1.Longitude();
        snrLevel_ = kStartSnrFactor * kInitialSnrLevel;
        noiseLevel_ = 0.0;
        filteredBer_ = 0.0;
        startupCounter_ = 0;
        return;
    }
    // Startup time counts only while the receiver talks: no receiver, no timeout.
    if (Since(now, lastMsg99Tick_) < static_cast<std::int64_t>(thresholds_.commTimeOut) * 1000) {
        ++startupCounter_;
        if ((startupCounter_ + 59) / 60 > thresholds_.startupMinutes) {
            Fail(monitor_failures::kStartupTimeout);
            state_ = MonitorState::Failed;
        }
    } else {
        startupCounter_ = 0;
    }
}

void CMonitorTest::CheckCriteria(std::uint32_t now) {
    namespace f = monitor_failures;
    ++testTicks_;
    const Msg1View msg1(dispatcher_.Handler(Slots::Msg1).LastMessage());
    const MonitorThresholds& t = thresholds_;
    if (Since(now, lastMsg1Tick_) > static_cast<std::int64_t>(t.commTimeOut) * 1000) {
        Fail(f::kCommunications);
    }
    if (filteredBer_ > t.ber) {
        Fail(f::kBer);
    }
    if (snrLevel_ < t.snrFullLinear) {
        Fail(f::kSnr);
    }
    if (noiseLevel_ > t.snrCodeOnlyLinear) {
        Fail(f::kNoise);
    }
    // Degrees to metres on a sphere, without the cosine of latitude: a
    // deliberately simple (and for longitude generous) drift measure.
    const double dLat = msg1.Latitude() - startLatitude_;
    const double dLon = msg1.Longitude() - startLongitude_;
    if (std::sqrt(dLat * dLat + dLon * dLon) * kRadiansPerDegree * kEarthRadius > t.position) {
        Fail(f::kPosition);
    }
    if (msg1.StdDevResid() > t.stdDev) {
        Fail(f::kResidual);
    }
    if (msg1.NumSats() <= t.minSatellites) {
        Fail(f::kTooFewSatellites);
    }
    const int age = msg1.ExtAgeOfDiff() != 0 ? msg1.ExtAgeOfDiff() : msg1.AgeOfDiff();
    if (age > t.ageOfDiff) {
        Fail(f::kAgeOfDiff);
    }
    if (static_cast<std::int64_t>(velocityFailures_) >= t.numVelFailsPerHour) {
        Fail(f::kVelocityResidual);
    }
    if (testTicks_ % kVelocityWindowTicks == 0) {
        velocityFailures_ = 0;
    }
}

void CMonitorTest::Fail(std::uint32_t bit) {
    if ((failureBits_ & bit) != 0) {
        return;
    }
    failureBits_ |= bit;
    failureTimes_[static_cast<std::size_t>(std::countr_zero(bit))] = TimeText();
}

std::string CMonitorTest::TimeText() const {
    const Msg1View msg1(dispatcher_.Handler(Slots::Msg1).LastMessage());
    std::string time = UtcDateTimeString(msg1.GpsWeek(), msg1.GpsTimeOfWeek(), dispatcher_.GpsUtcOffset().Get());
    time.erase(0, time.find_first_not_of(' '));
    return time;
}

void CMonitorTest::RebuildStatusText() {
    statusText_.clear();
    switch (state_) {
        case MonitorState::Preparing:
            statusText_ = kPreparingText;
            return;
        case MonitorState::Conducting:
            statusText_ = kConductingText;
            return;
        case MonitorState::Failed:
            break;
    }
    if (failureBits_ == 0) {
        statusText_ = kUndeterminedText;
        return;
    }
    if (receiver_.Known()) {
        statusText_ += "Receiver ID: " + receiver_.ReceiverId() + "\r\n";
    }
    for (const std::uint32_t bit : monitor_failures::kReportOrder) {
        if ((failureBits_ & bit) != 0) {
            statusText_ += failureTimes_[static_cast<std::size_t>(std::countr_zero(bit))];
            statusText_ += FailureMessage(bit, thresholds_);
        }
    }
}

}  // namespace zarnmon
