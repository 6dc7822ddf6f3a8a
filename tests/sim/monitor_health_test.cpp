// The simulated receiver against the monitor test's default thresholds.
//
// The monitor test is a separate piece of the program; these tests do not
// use it. They work out, from the messages the monitor's dispatcher stores,
// the quantities the test judges (filtered bit error rate, the status
// lights, filtered C/No of locked channels and noise on unlocked ones,
// drift, residual spread, satellites, age of corrections, velocity residual
// events) with the test's own rules, and hold the simulator to them: a
// healthy run starts the test only after its first fix and stays inside
// every limit, and the L-band fade fault pushes the bit error rate past its
// limit.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/bin_catalogue.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/text_msg_handler.h"
#include "core/link/tick_clock.h"
#include "sim/sim_receiver.h"

namespace zarnmon::sim {
namespace {

// The default thresholds.
constexpr double kBerLimit = 15.0;
constexpr double kBerTimeConstant = 100.0;
const double kSnrFullLinear = std::pow(10.0, 15.0 / 10.0);
const double kSnrCodeOnlyLinear = std::pow(10.0, 6.0 / 10.0);
constexpr double kPositionLimit = 7.0;  // m
constexpr double kStdDevLimit = 5.0;    // m
constexpr double kStartStdDev = 0.6 * kStdDevLimit;
constexpr int kMinSatellites = 4;
constexpr int kAgeLimit = 30;  // s
constexpr int kVelFailsPerHour = 3;
constexpr int kSecondsPerHour = 3600;

constexpr int kUnlockedMessages = 8;
constexpr double kDegreesToMetres = 0.017453292519943295 * 6371000.0;

double CnoLinear(std::uint16_t raw) { return raw * 4096.0 * 1.25e-5; }

int HexField(const CTextMsgHandler& handler, int n) {
    std::array<char, 32> text{};
    unsigned value = 0;
    if (handler.GetField(n, text.data(), text.size()) == nullptr || std::sscanf(text.data(), "%X", &value) != 1) {
        return 0;
    }
    return static_cast<int>(value);
}

// The worst of each reading while the test conducts.
struct Worst {
    double snrLevel = 1e9;  // linear
    double noiseLevel = 0.0;
    double ber = 0.0;
    double drift = 0.0;
    double stdDev = 0.0;
    int numSats = 99;
    int age = 0;
    int velEvents = 0;
};

class CMonitorProbe final : public IStoreTap {
public:
    explicit CMonitorProbe(const CMsgDispatcher& dispatcher) : dispatcher_(dispatcher) {}

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        if (handler.Name() == "Msg1") {
            msg1_.assign(bytes.begin(), bytes.end());
            ++seen_[0];
        } else if (handler.Name() == "Msg99") {
            OnMsg99(Msg99View(bytes));
            ++seen_[1];
        } else if (handler.Name() == "Rd1Handler") {
            OnRd1(dispatcher_.Rd1());
            ++seen_[2];
        }
    }

    // One second of the test: start when ready, else check every limit.
    void Tick(int second) {
        const bool active = std::ranges::all_of(seen_, [](int n) { return n > 0; });
        seen_.fill(0);
        if (!started_) {
            filteredBer_ = 0.0;
            velEvents_ = 0;
            const auto msg1 = Msg1();
            if (active && lightD_ && lightC_ && msg1 && kStartStdDev > msg1->StdDevResid()) {
                started_ = true;
                startSecond_ = second;
                startNumSats_ = msg1->NumSats();
                startLatitude_ = msg1->Latitude();
                startLongitude_ = msg1->Longitude();
                snrLevel_ = 2.0 * std::pow(10.0, 1.5);
                noiseLevel_ = 0.0;
            } else if (msg1 && msg1->NumSats() == 0 && (kStartStdDev > msg1->StdDevResid() || lightC_ || lightD_)) {
                Fail(second, "looks ready before its first fix");
            }
            return;
        }
        ++ticks_;
        const auto msg1 = Msg1();
        if (!active) {
            Fail(second, "a message missing this second");
        }
        const double drift =
            std::hypot(msg1->Latitude() - startLatitude_, msg1->Longitude() - startLongitude_) * kDegreesToMetres;
        const int age = msg1->ExtAgeOfDiff() != 0 ? msg1->ExtAgeOfDiff() : msg1->AgeOfDiff();
        worst_.snrLevel = std::min(worst_.snrLevel, snrLevel_);
        worst_.noiseLevel = std::max(worst_.noiseLevel, noiseLevel_);
        worst_.ber = std::max(worst_.ber, filteredBer_);
        worst_.drift = std::max(worst_.drift, drift);
        worst_.stdDev = std::max(worst_.stdDev, static_cast<double>(msg1->StdDevResid()));
        worst_.numSats = std::min(worst_.numSats, static_cast<int>(msg1->NumSats()));
        worst_.age = std::max(worst_.age, age);
        worst_.velEvents = std::max(worst_.velEvents, velEvents_);
        if (filteredBer_ > kBerLimit) Fail(second, "BER");
        if (snrLevel_ < kSnrFullLinear) Fail(second, "SNR");
        if (noiseLevel_ > kSnrCodeOnlyLinear) Fail(second, "noise");
        if (drift > kPositionLimit) Fail(second, "position");
        if (msg1->StdDevResid() > kStdDevLimit) Fail(second, "residuals");
        if (msg1->NumSats() <= kMinSatellites) Fail(second, "satellites");
        if (age > kAgeLimit) Fail(second, "age of differential");
        if (velEvents_ >= kVelFailsPerHour) Fail(second, "velocity residuals");
        if (ticks_ % kSecondsPerHour == 0) {
            velEvents_ = 0;
        }
    }

    [[nodiscard]] bool Started() const { return started_; }
    [[nodiscard]] double SnrLevel() const { return snrLevel_; }
    [[nodiscard]] int StartSecond() const { return startSecond_; }
    [[nodiscard]] int StartNumSats() const { return startNumSats_; }
    [[nodiscard]] const Worst& WorstSeen() const { return worst_; }
    [[nodiscard]] const std::vector<std::string>& Failures() const { return failures_; }
    [[nodiscard]] std::optional<int> FirstFailure(std::string_view what) const {
        for (const auto& [second, text] : failureSeconds_) {
            if (text == what) return second;
        }
        return std::nullopt;
    }
    // Seconds with an unlocked channel counted as noise, and locked ones as signal.
    [[nodiscard]] int NoiseMessages() const { return noiseMessages_; }
    [[nodiscard]] int SignalMessages() const { return signalMessages_; }

private:
    [[nodiscard]] std::optional<Msg1View> Msg1() const {
        return msg1_.empty() ? std::nullopt : std::optional<Msg1View>(Msg1View(msg1_));
    }

    void OnMsg99(const Msg99View& msg) {
        double noiseSum = 0.0;
        double snrSum = 0.0;
        int noiseCount = 0;
        int snrCount = 0;
        for (int k = 0; k < static_cast<int>(unlocked_.size()); ++k) {
            const ChannelRecord channel = msg.Channel(k);
            if (channel.Prn() == 0) {
                continue;
            }
            const std::uint8_t status = channel.TrackFlags();
            if (status <= 1) {
                if (++unlocked_[k] > kUnlockedMessages) {
                    noiseSum += CnoLinear(channel.CnoRaw());
                    ++noiseCount;
                }
            } else if ((status & 0x0F) == 0x0F) {
                unlocked_[k] = 0;
                if (channel.Elevation() >= 6) {
                    snrSum += CnoLinear(channel.CnoRaw());
                    ++snrCount;
                }
            }
            const double v = channel.VelResid() * 0.1;
            if (v * v > 900.0) {
                ++velEvents_;
            }
        }
        if (noiseCount > 0) {
            noiseLevel_ += (noiseSum / noiseCount - noiseLevel_) * 0.07;
            ++noiseMessages_;
        }
        if (snrCount > 0) {
            snrLevel_ += (snrSum / snrCount - snrLevel_) * 0.1;
            ++signalMessages_;
        }
    }

    void OnRd1(const CRd1Handler& rd1) {
        const double cap = std::max(500.0 / kBerTimeConstant, 30.0);
        filteredBer_ += std::min(rd1.Rd1Ber() - filteredBer_, cap) / kBerTimeConstant;
        const int dsp = HexField(rd1, 9);
        const int arm = HexField(rd1, 10);
        lightD_ = (arm & 0x18) == 0x18;
        if ((arm & 0x20) != 0) {
            lightC_ = (arm & 0x40) != 0;
        } else if (rd1.Rd1HasDualBer()) {
            lightC_ = (dsp & 0x0C) != 0 && (dsp & 0x01) != 0;
        } else {
            lightC_ = (dsp & 0x05) == 0x05;
        }
    }

    void Fail(int second, std::string what) {
        failures_.push_back(std::to_string(second) + " s: " + what);
        failureSeconds_.emplace_back(second, std::move(what));
    }

    const CMsgDispatcher& dispatcher_;
    std::vector<std::uint8_t> msg1_;
    std::array<int, 3> seen_{};  // Msg1, Msg99, "$RD1," this second
    std::array<int, 12> unlocked_{};
    bool lightC_ = false;
    bool lightD_ = false;
    bool started_ = false;
    int startSecond_ = -1;
    int startNumSats_ = 0;
    double startLatitude_ = 0.0;
    double startLongitude_ = 0.0;
    double filteredBer_ = 0.0;
    double snrLevel_ = 0.0;
    double noiseLevel_ = 0.0;
    int velEvents_ = 0;
    int ticks_ = 0;
    int noiseMessages_ = 0;
    int signalMessages_ = 0;
    Worst worst_;
    std::vector<std::string> failures_;
    std::vector<std::pair<int, std::string>> failureSeconds_;
};

// A run of zarnmon-sim --enable all, fed to the dispatcher a second at a time.
struct MonitoredRun {
    explicit MonitoredRun(std::uint32_t seed, const FaultRates& faults = {}, Motion motion = Motion::Static)
        : probe(dispatcher) {
        SimConfig config;
        config.seed = seed;
        config.motion = motion;
        receiver = std::make_unique<CSimReceiver>(config, faults);
        std::string bad;
        receiver->Schedule().Enable("all", bad);
        dispatcher.SetStoreTap(&probe);
    }

    void Run(int seconds) {
        std::vector<std::uint8_t> bytes;
        for (int second = 1; second <= seconds; ++second) {
            receiver->Advance(1000);
            bytes.clear();
            receiver->TakeOutput(bytes);
            dispatcher.Feed(bytes);
            probe.Tick(second);
        }
    }

    CManualTickClock clock;
    CMsgDispatcher dispatcher{clock};
    CMonitorProbe probe;
    std::unique_ptr<CSimReceiver> receiver;
};

TEST(SimMonitorHealth, FifteenMinutes_StartsAfterTheFirstFixAndStaysInsideEveryLimit) {
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        MonitoredRun run(seed);
        run.Run(900);
        const CMonitorProbe& probe = run.probe;
        ASSERT_TRUE(probe.Started());
        EXPECT_GT(probe.StartSecond(), 5) << "not before the first fix";
        EXPECT_LT(probe.StartSecond(), 30);
        EXPECT_GT(probe.StartNumSats(), kMinSatellites);
        EXPECT_TRUE(probe.Failures().empty()) << probe.Failures().front();

        // Each limit with room to spare; the level of locked channels starts
        // at 18 dB when the test starts and settles above 20 dB.
        const Worst& worst = probe.WorstSeen();
        EXPECT_GT(probe.SnrLevel(), 100.0);
        EXPECT_EQ(worst.noiseLevel, 0.0) << "no channel stays unlocked for 9 messages";
        EXPECT_LT(worst.ber, kBerLimit / 1.5);
        EXPECT_LT(worst.drift, kPositionLimit / 2.0);
        EXPECT_LT(worst.stdDev, kStartStdDev);
        EXPECT_GE(worst.numSats, 6);
        EXPECT_LE(worst.age, 10);
        EXPECT_GT(worst.age, 0) << "differential all along";
        EXPECT_EQ(worst.velEvents, 0);
        EXPECT_GT(probe.SignalMessages(), 890);
    }
}

TEST(SimMonitorHealth, BeforeTheFirstFix_NotReady) {
    MonitoredRun run(1);
    for (int second = 1; second <= 5; ++second) {
        run.Run(1);
        SCOPED_TRACE(second);
        const Msg1View msg1(run.dispatcher.Handler(3).LastMessage());
        EXPECT_EQ(msg1.NumSats(), 0);
        EXPECT_GE(msg1.StdDevResid(), 3.0F) << "no residual spread a test would accept";
        const CRd1Handler& rd1 = run.dispatcher.Rd1();
        EXPECT_EQ(HexField(rd1, 9) & 0x05, 0) << "DSP not in sync: light C off";
        EXPECT_NE(HexField(rd1, 10) & 0x18, 0x18) << "ARM not in sync: light D not steady";
        EXPECT_EQ(rd1.Rd1Ber(), 500);
    }
    EXPECT_FALSE(run.probe.Started());
    EXPECT_TRUE(run.probe.Failures().empty()) << run.probe.Failures().front();
}

TEST(SimMonitorHealth, LBandFadeAllTheTime_StartsThenFailsBerWithinAMinute) {
    MonitoredRun run(1, {.lbandFade = 1.0});
    run.Run(300);
    const CMonitorProbe& probe = run.probe;
    ASSERT_TRUE(probe.Started()) << "a fading link still shows its lights";
    const auto ber = probe.FirstFailure("BER");
    ASSERT_TRUE(ber.has_value());
    EXPECT_GT(*ber - probe.StartSecond(), 30);
    EXPECT_LE(*ber - probe.StartSecond(), 60);
    for (const std::string& failure : probe.Failures()) {
        EXPECT_NE(failure.find("BER"), std::string::npos) << "nothing else fails: " << failure;
    }
    const FaultCounts& counts = run.receiver->Faults();
    EXPECT_EQ(counts.fadedSeconds, 300u);
    EXPECT_GE(counts.lbandFades, 1u);
    EXPECT_NE(counts.Summary().find("L-band fades " + std::to_string(counts.lbandFades) + " (seconds 300)"),
              std::string::npos);
}

TEST(SimMonitorHealth, LBandFadesNowAndThen_DeterministicAndOtherFaultsUnmoved) {
    const FaultRates silence{.silence = 0.01};
    FaultRates both = silence;
    both.lbandFade = 0.005;
    MonitoredRun silent(5, silence);
    MonitoredRun fading(5, both);
    MonitoredRun again(5, both);
    silent.Run(900);
    fading.Run(900);
    again.Run(900);
    const FaultCounts& counts = fading.receiver->Faults();
    EXPECT_GE(counts.lbandFades, 1u);
    EXPECT_GT(counts.fadedSeconds, 90u * (counts.lbandFades - 1)) << "every fade but the last lasts 90 s or more";
    EXPECT_EQ(counts.Summary(), again.receiver->Faults().Summary());
    EXPECT_EQ(counts.silentSeconds, silent.receiver->Faults().silentSeconds);
    EXPECT_EQ(counts.lostInSilence, silent.receiver->Faults().lostInSilence);
    EXPECT_EQ(silent.receiver->Faults().lbandFades, 0u);
}

TEST(SimMonitorHealth, SixHours_NeverFails) {
    MonitoredRun run(4);
    run.Run(6 * kSecondsPerHour);
    ASSERT_TRUE(run.probe.Started());
    EXPECT_TRUE(run.probe.Failures().empty()) << run.probe.Failures().front();
    EXPECT_GE(run.probe.WorstSeen().numSats, 6);
}

TEST(SimMonitorHealth, DrivingACircle_FailsOnlyThePositionTest) {
    MonitoredRun run(1, {}, Motion::Circle);
    run.Run(300);
    ASSERT_TRUE(run.probe.Started());
    ASSERT_FALSE(run.probe.Failures().empty()) << "a 40 m circle is no fixed position";
    for (const std::string& failure : run.probe.Failures()) {
        EXPECT_NE(failure.find("position"), std::string::npos) << failure;
    }
}

}  // namespace
}  // namespace zarnmon::sim
