#include "core/state/monitor_test.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

namespace f = monitor_failures;

// The L-band receiver's status words of a healthy unit: DSP bits 0 and 2
// (light C), ARM bits 0, 3 and 4 (lights B and D).
constexpr std::uint32_t kHealthyDsp = 0x5;
constexpr std::uint32_t kHealthyArm = 0x19;
constexpr std::uint16_t kWeek = 2000;
constexpr double kStartSeconds = 100000.0;  // 7 May 2018, 03:46:40 GPS

struct Solution {
    std::uint8_t numSats = 8;
    float stdDevResid = 1.0F;
    double latitude = 45.0;
    double longitude = -75.0;
    std::uint8_t ageOfDiff = 5;
    std::uint16_t extAgeOfDiff = 0;
};

struct Channel {
    std::uint8_t prn = 0;
    std::uint8_t trackFlags = 0x0F;
    std::int8_t elevation = 30;
    std::uint16_t cnoRaw = 20000;  // 1024 linear, 30 dB-Hz
    std::int16_t velResid = 0;
};

std::vector<Channel> LockedChannels() {
    std::vector<Channel> channels;
    for (std::uint8_t prn = 1; prn <= 8; ++prn) {
        channels.push_back({.prn = prn});
    }
    return channels;
}

class MonitorTestTest : public ::testing::Test {
protected:
    MonitorTestTest() { dispatcher_.SetSender(&sender_); }

    CMonitorTest& Make(MonitorThresholds thresholds = {}) {
        test_ = std::make_unique<CMonitorTest>(dispatcher_, clock_, receiver_, thresholds);
        test_->Reset();
        return *test_;
    }

    void FeedMsg1(const Solution& s) {
        CBinFrameBuilder frame(msg1::kId);
        frame.Set(msg1::NumSats, s.numSats)
            .Set(msg1::StdDevResid, s.stdDevResid)
            .Set(msg1::Latitude, s.latitude)
            .Set(msg1::Longitude, s.longitude)
            .Set(msg1::AgeOfDiff, s.ageOfDiff)
            .Set(msg1::ExtAgeOfDiff, s.extAgeOfDiff)
            .Set(msg1::GpsWeek, kWeek)
            .Set(msg1::GpsTimeOfWeek, seconds_);
        dispatcher_.Feed(frame.Build());
        test_->OnMonitorMessage(Slots::Msg1);
    }

    void FeedMsg99(const std::vector<Channel>& channels) {
        CBinFrameBuilder frame(msg99::kId);
        frame.Set(msg99::GpsWeek, kWeek).Set(msg99::GpsTimeOfWeek, seconds_);
        for (std::size_t k = 0; k < channels.size(); ++k) {
            const std::size_t base = msg99::kChannelsOffset + k * chan::kRecordSize;
            const Channel& c = channels[k];
            frame.Set(chan::Channel, static_cast<std::uint8_t>(k), base)
                .Set(chan::Prn, c.prn, base)
                .Set(chan::TrackFlags, c.trackFlags, base)
                .Set(chan::Elevation, c.elevation, base)
                .Set(chan::CnoRaw, c.cnoRaw, base)
                .Set(chan::VelResid, c.velResid, base);
        }
        dispatcher_.Feed(frame.Build());
        test_->OnMonitorMessage(Slots::Msg99);
    }

    void FeedRd1(const std::string& ber, std::uint32_t dsp = kHealthyDsp, std::uint32_t arm = kHealthyArm) {
        std::array<char, 128> line{};
        std::snprintf(line.data(), line.size(), "$RD1,%.1f,%d,1,1545.0,%s,0,0,0,%X,%X", seconds_, kWeek, ber.c_str(),
                      dsp, arm);
        const std::string text = TextLine(line.data());
        dispatcher_.Feed(test::AsBytes(text));
        test_->OnMonitorMessage(Slots::Rd1Handler);
    }

    // One second of a receiver: the given messages, then the clock moves on
    // and the tick runs.
    void Second(const Solution& solution = {}, const std::vector<Channel>& channels = LockedChannels(),
                const std::string& ber = "2") {
        FeedMsg1(solution);
        FeedMsg99(channels);
        FeedRd1(ber);
        Tick();
    }

    void Tick(bool autoConfigure = false) {
        clock_.Advance(1000);
        seconds_ += 1.0;
        test_->MonitorTick(autoConfigure);
    }

    // Runs healthy seconds until the test starts.
    void Start() {
        for (int i = 0; i < 3 && test_->State() == MonitorState::Preparing; ++i) {
            Second();
        }
        ASSERT_EQ(test_->State(), MonitorState::Conducting);
    }

    CManualTickClock clock_{50000};
    CMsgDispatcher dispatcher_{clock_};
    test::RecordingSender sender_;
    CReceiverInfo receiver_;
    std::unique_ptr<CMonitorTest> test_;
    double seconds_ = kStartSeconds;
};

TEST(MonitorThresholdsTest, MissingSection_GivesDefaultsAndRatios) {
    const MonitorThresholds t = LoadMonitorThresholds(CSettingsStore{});
    EXPECT_EQ(t.commTimeOut, 3);
    EXPECT_EQ(t.ber, 15.0);
    EXPECT_EQ(t.berTimeConstant, 100.0);
    EXPECT_EQ(t.position, 7.0);
    EXPECT_EQ(t.stdDev, 5.0);
    EXPECT_EQ(t.minSatellites, 4);
    EXPECT_EQ(t.ageOfDiff, 30);
    EXPECT_EQ(t.numVelFailsPerHour, 3);
    EXPECT_EQ(t.startupMinutes, 5);
    EXPECT_NEAR(t.snrFullLinear, 31.6227766, 1e-6);
    EXPECT_NEAR(t.snrCodeOnlyLinear, 3.9810717, 1e-6);
}

TEST(MonitorThresholdsTest, ValuesScanLikeScanfAndUnscannableKeepDefaults) {
    CSettingsStore store;
    store.Parse(
        "[Thresholds]\nCommTimeOut=7s\nBER=abc\nSNRFull=20.0\nSNRCodeOnly=10\nPosition= 2.5\nMinSatellites=x\n"
        "AgeOfDiff=12.9\n");
    const MonitorThresholds t = LoadMonitorThresholds(store);
    EXPECT_EQ(t.commTimeOut, 7);
    EXPECT_EQ(t.ber, 15.0);
    EXPECT_EQ(t.snrFull, 20.0);
    EXPECT_NEAR(t.snrFullLinear, 100.0, 1e-9);
    EXPECT_NEAR(t.snrCodeOnlyLinear, 10.0, 1e-9);
    EXPECT_EQ(t.position, 2.5);
    EXPECT_EQ(t.minSatellites, 4);
    EXPECT_EQ(t.ageOfDiff, 12);
}

TEST(MonitorThresholdsTest, TimeConstantBelowOneAndStartupBelowOne_AreLimited) {
    CSettingsStore store;
    store.Parse("[Thresholds]\nBERTimeConstant=0.25\nStartupMinutes=0\n");
    const MonitorThresholds t = LoadMonitorThresholds(store);
    EXPECT_EQ(t.berTimeConstant, 1.0);
    EXPECT_EQ(t.startupMinutes, 32767);
}

TEST(MonitorThresholdsTest, Loading_NeverWritesTheProfile) {
    CSettingsStore store;
    store.Parse("[Thresholds]\nBER=abc\n");
    const std::string before = store.Text();
    (void)LoadMonitorThresholds(store);
    EXPECT_EQ(store.Text(), before);
}

TEST_F(MonitorTestTest, NoReceiver_StaysPreparingWithZeroStartupCounter) {
    CMonitorTest& test = Make();
    for (int i = 0; i < 1000; ++i) {
        Tick();
    }
    EXPECT_EQ(test.State(), MonitorState::Preparing);
    EXPECT_EQ(test.StartupCounter(), 0);
    EXPECT_EQ(test.FailureBits(), 0U);
    EXPECT_EQ(test.StatusText(), "Preparing For Test\r\n");
    EXPECT_EQ(test.StatusColor(), lamp_colors::kYellow);
    EXPECT_EQ(test.Changes(), 0U);
}

TEST_F(MonitorTestTest, BeforeAnyTick_LampsAreUnlit) {
    const CMonitorTest test(dispatcher_, clock_, receiver_, {});
    for (const std::uint32_t color : test.LampColors()) {
        EXPECT_EQ(color, lamp_colors::kUnlit);
    }
    EXPECT_EQ(test.StatusColor(), lamp_colors::kUnlit);
    EXPECT_EQ(test.StatusText(), "Preparing For Test\r\n");
}

TEST_F(MonitorTestTest, HealthyReceiver_ConductsWithGreenStatusAndLamps) {
    CMonitorTest& test = Make();
    Second();
    EXPECT_EQ(test.State(), MonitorState::Conducting);
    for (int i = 0; i < 600; ++i) {
        Second();
    }
    EXPECT_EQ(test.State(), MonitorState::Conducting);
    EXPECT_EQ(test.FailureBits(), 0U);
    EXPECT_EQ(test.StatusText(), "Conducting Test\r\n");
    EXPECT_EQ(test.StatusColor(), lamp_colors::kGreen);
    const std::array<std::uint32_t, 4> expected{lamp_colors::kGreen, lamp_colors::kYellow, lamp_colors::kYellow,
                                                lamp_colors::kRed};
    EXPECT_EQ(test.LampColors(), expected);
    EXPECT_EQ(test.Changes(), 1U);
    EXPECT_NEAR(test.SnrLevel(), 1024.0, 1.0);
    EXPECT_EQ(test.NoiseLevel(), 0.0);
}

TEST_F(MonitorTestTest, Rd1Silent_LampsGoNavy) {
    CMonitorTest& test = Make();
    Second();
    for (int i = 0; i < 7; ++i) {
        FeedMsg1({});
        Tick();
    }
    for (const std::uint32_t color : test.LampColors()) {
        EXPECT_EQ(color, lamp_colors::kNavy);
    }
}

TEST_F(MonitorTestTest, ArmBit3WithoutBit4_BlinksLightD) {
    CMonitorTest& test = Make();
    std::vector<bool> lit;
    for (int i = 0; i < 4; ++i) {
        FeedRd1("2", kHealthyDsp, 0x09);
        Tick();
        lit.push_back(test.Lights().D());
    }
    EXPECT_EQ(lit, (std::vector<bool>{true, false, true, false}));
}

TEST_F(MonitorTestTest, HighBerWhileLocked_BlinksLightE) {
    CMonitorTest& test = Make();
    std::vector<bool> lit;
    for (int i = 0; i < 4; ++i) {
        FeedRd1("150");
        Tick();
        lit.push_back(test.Lights().E());
    }
    EXPECT_EQ(lit, (std::vector<bool>{true, false, true, false}));
}

TEST_F(MonitorTestTest, ArmBit5_LightsEAndTakesCFromBit6) {
    CMonitorTest& test = Make();
    FeedRd1("900", 0x0, 0x60);
    Tick();
    EXPECT_TRUE(test.Lights().C());
    EXPECT_TRUE(test.Lights().E());
    FeedRd1("900", 0x5, 0x20);
    Tick();
    EXPECT_FALSE(test.Lights().C());
}

TEST_F(MonitorTestTest, DualBer_LightCTakesEitherChannelLock) {
    CMonitorTest& test = Make();
    FeedRd1("12-7", 0x9, kHealthyArm);  // bits 0 and 3
    Tick();
    EXPECT_TRUE(test.Lights().C());
    FeedRd1("12", 0x9, kHealthyArm);  // a single channel needs bit 2
    Tick();
    EXPECT_FALSE(test.Lights().C());
}

TEST_F(MonitorTestTest, StartupTimeout_FailsAfterStartupMinutesWithMsg99Arriving) {
    MonitorThresholds thresholds;
    thresholds.startupMinutes = 1;
    CMonitorTest& test = Make(thresholds);
    // Message 99 flows, but without the L-band diagnostics the receiver never looks ready.
    for (int i = 0; i < 60; ++i) {
        FeedMsg1({});
        FeedMsg99(LockedChannels());
        Tick();
    }
    EXPECT_EQ(test.State(), MonitorState::Preparing);
    EXPECT_EQ(test.StartupCounter(), 60);
    FeedMsg1({});
    FeedMsg99(LockedChannels());
    Tick();
    EXPECT_EQ(test.State(), MonitorState::Failed);
    EXPECT_NE(test.FailureBits() & f::kStartupTimeout, 0U);
    EXPECT_NE(test.StatusText().find("05/07/18  03:47:40: Failed Startup Timeout ( >1 min)\r\n"), std::string::npos)
        << test.StatusText();
    EXPECT_EQ(test.StatusColor(), lamp_colors::kRed);
}

TEST_F(MonitorTestTest, Msg99Stops_StartupCounterReturnsToZero) {
    CMonitorTest& test = Make();
    for (int i = 0; i < 10; ++i) {
        FeedMsg99(LockedChannels());
        Tick();
    }
    EXPECT_EQ(test.StartupCounter(), 10);
    for (int i = 0; i < 3; ++i) {
        Tick();
    }
    EXPECT_EQ(test.StartupCounter(), 0);
}

TEST_F(MonitorTestTest, BerThresholdOf500_DropsLightDFromTheStart) {
    const auto startsWithoutLightD = [this](double ber) {
        MonitorThresholds thresholds;
        thresholds.ber = ber;
        CMonitorTest& test = Make(thresholds);
        FeedMsg1({});
        FeedMsg99(LockedChannels());
        FeedRd1("2", kHealthyDsp, 0x01);  // no bit 3: light D off
        Tick();
        return test.State() == MonitorState::Conducting;
    };
    EXPECT_FALSE(startsWithoutLightD(499.0));
    EXPECT_TRUE(startsWithoutLightD(500.0));
}

TEST_F(MonitorTestTest, ResidualSpreadAboveSixtyPercentOfStdDev_DoesNotStart) {
    CMonitorTest& test = Make();
    Second({.stdDevResid = 3.01F});
    EXPECT_EQ(test.State(), MonitorState::Preparing);
    // The factor is a hair above 0.6, so exactly 60 % still starts.
    Second({.stdDevResid = 3.0F});
    EXPECT_EQ(test.State(), MonitorState::Conducting);
}

TEST_F(MonitorTestTest, ChannelAlternatingLock_NeverAddsNoise) {
    CMonitorTest& test = Make();
    Start();
    std::vector<Channel> channels = LockedChannels();
    channels.push_back({.prn = 20, .trackFlags = 0, .cnoRaw = 1000});
    for (int i = 0; i < 100; ++i) {
        channels.back().trackFlags = i % 2 == 0 ? 0x00 : 0x0F;
        channels.back().elevation = 3;  // too low to count as signal when locked
        Second({}, channels);
    }
    EXPECT_EQ(test.NoiseLevel(), 0.0);
    EXPECT_EQ(test.FailureBits(), 0U);
}

TEST_F(MonitorTestTest, ChannelUnlockedForNineMessages_AddsNoiseAndFails) {
    CMonitorTest& test = Make();
    Start();
    std::vector<Channel> channels = LockedChannels();
    channels.push_back({.prn = 20, .trackFlags = 1, .cnoRaw = 1000});  // 51.2 linear
    const int index = static_cast<int>(channels.size()) - 1;
    for (int i = 0; i < 8; ++i) {
        Second({}, channels);
    }
    EXPECT_EQ(test.UnlockedCount(index), 8U);
    EXPECT_EQ(test.NoiseLevel(), 0.0);
    Second({}, channels);
    EXPECT_NEAR(test.NoiseLevel(), 51.2 * 0.07, 1e-9);
    EXPECT_EQ(test.FailureBits(), 0U);  // 3.58 is still below 6 dB (3.98)
    Second({}, channels);
    EXPECT_EQ(test.FailureBits(), f::kNoise);
    EXPECT_NE(test.StatusText().find(": Failed Noise On GPS Channels (> 6db)\r\n"), std::string::npos);
}

TEST_F(MonitorTestTest, OtherTrackingStatus_LeavesTheUnlockedCountAlone) {
    CMonitorTest& test = Make();
    std::vector<Channel> channels{{.prn = 3, .trackFlags = 0}};
    for (int i = 0; i < 3; ++i) {
        FeedMsg99(channels);
    }
    channels[0].trackFlags = 0x07;
    FeedMsg99(channels);
    EXPECT_EQ(test.UnlockedCount(0), 3U);
}

TEST_F(MonitorTestTest, WeakLockedChannels_FailSnr) {
    CMonitorTest& test = Make();
    Start();
    std::vector<Channel> channels = LockedChannels();
    for (Channel& c : channels) {
        c.cnoRaw = 500;  // 25.6 linear, 14 dB-Hz
    }
    for (int i = 0; i < 100 && test.FailureBits() == 0; ++i) {
        Second({}, channels);
    }
    EXPECT_EQ(test.FailureBits(), f::kSnr);
    EXPECT_NE(test.StatusText().find(": Failed SNR (< 15db)\r\n"), std::string::npos);
}

TEST_F(MonitorTestTest, ThreeVelocityResidualsWithinAnHour_Fail) {
    CMonitorTest& test = Make();
    Start();
    std::vector<Channel> channels = LockedChannels();
    channels[0].velResid = 301;  // 30.1 m/s
    Second({}, channels);
    Second({}, channels);
    EXPECT_EQ(test.FailureBits(), 0U);
    channels[0].velResid = -301;
    Second({}, channels);
    EXPECT_EQ(test.FailureBits(), f::kVelocityResidual);
    EXPECT_NE(test.StatusText().find(": Failed Vel Residual ( >3 times)\r\n"), std::string::npos);
}

TEST_F(MonitorTestTest, ResidualBelow30_IsNoVelocityFailure) {
    CMonitorTest& test = Make();
    Start();
    std::vector<Channel> channels = LockedChannels();
    channels[0].velResid = -299;
    for (int i = 0; i < 10; ++i) {
        Second({}, channels);
    }
    EXPECT_EQ(test.VelocityFailures(), 0U);
}

TEST_F(MonitorTestTest, VelocityFailureCount_RestartsEvery3600TestTicks) {
    CMonitorTest& test = Make();
    Start();
    std::vector<Channel> channels = LockedChannels();
    channels[0].velResid = 400;
    Second({}, channels);
    Second({}, channels);
    EXPECT_EQ(test.VelocityFailures(), 2U);
    while (test.TestTicks() % 3600 != 0) {
        Second();
    }
    EXPECT_EQ(test.VelocityFailures(), 0U);
    Second({}, channels);
    Second({}, channels);
    EXPECT_EQ(test.FailureBits(), 0U);
    EXPECT_EQ(test.State(), MonitorState::Conducting);
}

TEST_F(MonitorTestTest, VelocityFailuresWhilePreparing_AreHeldAtZero) {
    CMonitorTest& test = Make();
    std::vector<Channel> channels = LockedChannels();
    channels[0].velResid = 400;
    FeedMsg99(channels);
    EXPECT_EQ(test.VelocityFailures(), 1U);
    Tick();
    EXPECT_EQ(test.VelocityFailures(), 0U);
}

TEST_F(MonitorTestTest, NumSatsEqualToMinSatellites_Fails) {
    CMonitorTest& test = Make();
    Start();
    Second({.numSats = 5});
    EXPECT_EQ(test.FailureBits(), 0U);
    Second({.numSats = 4});
    EXPECT_EQ(test.FailureBits(), f::kTooFewSatellites);
    EXPECT_NE(test.StatusText().find(": Failed: Too Few Satellites (<= 4)\r\n"), std::string::npos);
}

TEST_F(MonitorTestTest, ExtendedAgeOfDiff_OverridesTheShortOne) {
    CMonitorTest& test = Make();
    Start();
    Second({.ageOfDiff = 31, .extAgeOfDiff = 30});
    EXPECT_EQ(test.FailureBits(), 0U);
    Second({.ageOfDiff = 5, .extAgeOfDiff = 31});
    EXPECT_EQ(test.FailureBits(), f::kAgeOfDiff);
}

TEST_F(MonitorTestTest, DriftBeyondPosition_FailsWithoutCosineOfLatitude) {
    CMonitorTest& test = Make();
    Start();
    // 0.00006 degrees of longitude is 6.7 m on the sphere the test uses.
    Second({.longitude = -75.00006});
    EXPECT_EQ(test.FailureBits(), 0U);
    Second({.longitude = -75.00007});
    EXPECT_EQ(test.FailureBits(), f::kPosition);
    EXPECT_NE(test.StatusText().find(": Failed Position Solution (> 7.0m)\r\n"), std::string::npos);
}

TEST_F(MonitorTestTest, ResidualSpreadAboveStdDev_FailsResidualTest) {
    CMonitorTest& test = Make();
    Start();
    Second({.stdDevResid = 5.5F});
    EXPECT_EQ(test.FailureBits(), f::kResidual);
    EXPECT_NE(test.StatusText().find(": Failed Residual Test (> 5.0m)\r\n"), std::string::npos);
}

TEST_F(MonitorTestTest, BerFilter_CapsEachStepAndTakesTheSmallerOfADualReading) {
    CMonitorTest& test = Make();
    FeedRd1("1000");
    EXPECT_NEAR(test.FilteredBer(), 30.0 / 100.0, 1e-12);
    FeedRd1("40-20");
    EXPECT_NEAR(test.FilteredBer(), 0.3 + (20.0 - 0.3) / 100.0, 1e-12);
}

TEST_F(MonitorTestTest, SustainedHighBer_FailsBer) {
    MonitorThresholds thresholds;
    thresholds.berTimeConstant = 10.0;
    CMonitorTest& test = Make(thresholds);
    Start();
    for (int i = 0; i < 30 && test.FailureBits() == 0; ++i) {
        Second({}, LockedChannels(), "100");
    }
    EXPECT_EQ(test.FailureBits(), f::kBer);
    EXPECT_GT(test.FilteredBer(), 15.0);
    EXPECT_NE(test.StatusText().find(": Failed BER (>15)\r\n"), std::string::npos);
}

TEST_F(MonitorTestTest, Report_ListsFailuresInTableOrderEachWithItsOwnTime) {
    receiver_.TakeReply("$>JI,311087,1,3,09071998,01/01/1900,01/01/3000,6.1Aa01,0.0,0.0\r\n");
    CMonitorTest& test = Make();
    Start();
    Second({.ageOfDiff = 31});  // 03:46:41
    EXPECT_EQ(test.FailureBits(), f::kAgeOfDiff);
    Second();
    FeedMsg1({});  // the last message 1, at 03:46:43
    for (int i = 0; i < 5; ++i) {
        FeedRd1("2");
        FeedMsg99(LockedChannels());
        Tick();
    }
    EXPECT_EQ(test.FailureBits(), f::kAgeOfDiff | f::kCommunications);
    EXPECT_EQ(test.StatusText(),
              "Receiver ID: 311087\r\n"
              "05/07/18  03:46:43: Failed Communications (3 sec)\r\n"
              "05/07/18  03:46:41: Failed Age of Diff ( >30)\r\n");
    EXPECT_EQ(test.FailureTime(0), "05/07/18  03:46:43");
    EXPECT_EQ(test.FailureTime(7), "05/07/18  03:46:41");
    EXPECT_EQ(test.FailureTime(5), "");
}

TEST_F(MonitorTestTest, Failed_NeverReturnsToConductingUntilReset) {
    CMonitorTest& test = Make();
    Start();
    Second({.numSats = 3});
    ASSERT_EQ(test.State(), MonitorState::Failed);
    for (int i = 0; i < 10; ++i) {
        Second();
    }
    EXPECT_EQ(test.State(), MonitorState::Failed);
    const std::uint64_t changes = test.Changes();
    test.Reset();
    EXPECT_EQ(test.State(), MonitorState::Preparing);
    EXPECT_EQ(test.FailureBits(), 0U);
    EXPECT_EQ(test.StatusText(), "Preparing For Test\r\n");
    EXPECT_EQ(test.StatusColor(), lamp_colors::kYellow);
    EXPECT_EQ(test.Changes(), changes + 1);
    Second();
    EXPECT_EQ(test.State(), MonitorState::Conducting);
}

TEST_F(MonitorTestTest, NoReceiverId_ReportHasNoIdLine) {
    CMonitorTest& test = Make();
    Start();
    Second({.numSats = 2});
    EXPECT_EQ(test.StatusText(), "05/07/18  03:46:41: Failed: Too Few Satellites (<= 4)\r\n");
}

TEST_F(MonitorTestTest, KeepAlive_AsksForItsMessagesEveryFourthTickOnlyWhenAutoConfiguring) {
    Make();
    for (int i = 0; i < 8; ++i) {
        Tick(false);
    }
    EXPECT_TRUE(sender_.sent.empty());
    for (int i = 0; i < 3; ++i) {
        Tick(true);
    }
    EXPECT_TRUE(sender_.sent.empty());
    Tick(true);
    EXPECT_EQ(sender_.sent, (std::vector<std::string>{"$JBIN,1,1\r", "$JBIN,99,1\r", "$JASC,D1,1\r"}));
    EXPECT_EQ(sender_.shown, (std::vector<bool>{false, false, false}));
}

TEST_F(MonitorTestTest, OtherSlots_AreIgnored) {
    CMonitorTest& test = Make();
    test.OnMonitorMessage(Slots::Msg2);
    test.OnMonitorMessage(-1);
    test.OnMonitorMessage(99);
    Tick();
    EXPECT_EQ(test.State(), MonitorState::Preparing);
    EXPECT_EQ(test.StartupCounter(), 0);
}

}  // namespace
}  // namespace zarnmon
