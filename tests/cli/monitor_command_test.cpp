#include "cli/monitor_command.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "core/link/frame_builder.h"
#include "sim/faults.h"
#include "support/sim_recording.h"
#include "support/temp_dir.h"

namespace zarnmon::cli {
namespace {

using test::Invoke;
using Outcome = test::CommandOutcome;
using zarnmon::test::TempDir;

constexpr std::uint16_t kWeek = 2000;
constexpr double kStart = 100000.0;  // 7 May 2018, 03:46:40 GPS (and UTC: no offset is sent)

// What a receiver sends in one second, as the test would read it.
struct SecondOut {
    bool msg1 = true;
    bool msg99 = true;
    bool rd1 = true;
    std::uint8_t numSats = 8;
};

// A receiver's output, second by second, from kStart.
class Recording {
public:
    Recording& Seconds(int count, const SecondOut& out = {}) {
        for (int i = 0; i < count; ++i) {
            Second(out);
        }
        return *this;
    }
    Recording& Text(const std::string& line) {
        const std::string text = TextLine(line);
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    [[nodiscard]] std::string WriteTo(const TempDir& dir) const {
        const auto path = dir.File("rec.zbin");
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        return path.string();
    }

private:
    void Second(const SecondOut& out) {
        const double tow = kStart + seconds_++;
        if (out.msg1) {
            CBinFrameBuilder msg1(msg1::kId);
            msg1.Set(msg1::GpsWeek, kWeek)
                .Set(msg1::GpsTimeOfWeek, tow)
                .Set(msg1::NumSats, out.numSats)
                .Set(msg1::StdDevResid, 1.0F)
                .Set(msg1::Latitude, 51.0)
                .Set(msg1::Longitude, -114.0)
                .Set(msg1::AgeOfDiff, 4);
            msg1.AppendTo(bytes_);
        }
        if (out.msg99) {
            CBinFrameBuilder msg99(msg99::kId);
            msg99.Set(msg99::GpsWeek, kWeek).Set(msg99::GpsTimeOfWeek, tow);
            for (std::uint8_t k = 0; k < 8; ++k) {
                const std::size_t base = msg99::kChannelsOffset + std::size_t{k} * chan::kRecordSize;
                msg99.Set(chan::Channel, k, base)
                    .Set(chan::Prn, static_cast<std::uint8_t>(k + 1), base)
                    .Set(chan::TrackFlags, std::uint8_t{0x0F}, base)
                    .Set(chan::Elevation, std::int8_t{40}, base)
                    .Set(chan::CnoRaw, std::uint16_t{20000}, base);
            }
            msg99.AppendTo(bytes_);
        }
        if (out.rd1) {
            std::array<char, 96> line{};
            std::snprintf(line.data(), line.size(), "$RD1,%.1f,%d,1,1545.0,3,0,0,0,5,19", tow, kWeek);
            Text(line.data());
        }
    }

    std::vector<std::uint8_t> bytes_;
    int seconds_ = 0;
};

Outcome Monitor(const std::vector<std::string>& args) { return Invoke(RunMonitor, args); }

TEST(MonitorCommandTest, Help_ExplainsClockOutputAndExitStatus) {
    const Outcome outcome = Monitor({"--help"});
    EXPECT_EQ(outcome.status, kExitOk);
    for (const char* text : {"--thresholds INI", "[Thresholds]", "c < T <= t", "TIME<TAB>STATE<TAB>0xBITS", "\"--\"",
                             "0 when the test ends conducting", "3 when it", "Nothing is sent"}) {
        EXPECT_NE(outcome.out.find(text), std::string::npos) << text;
    }
}

TEST(MonitorCommandTest, BadArguments_EndWithUsageStatus) {
    const TempDir dir;
    const std::string recording = Recording{}.Seconds(2).WriteTo(dir);
    const std::vector<std::vector<std::string>> cases{
        {},
        {"--bogus", recording},
        {recording, recording},
        {recording, "--thresholds"},
        {recording, "--thresholds="},
        {recording, "--thresholds", dir.File("missing.ini").string()},
        {recording, "--thresholds", dir.Path().string()},
        {dir.File("missing.zbin").string()},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.empty() ? std::string("(none)") : args.back());
        const Outcome outcome = Monitor(args);
        EXPECT_EQ(outcome.status, kExitUsage);
        EXPECT_FALSE(outcome.err.empty());
        EXPECT_TRUE(outcome.out.empty());
    }
}

TEST(MonitorCommandTest, HealthyReceiver_ConductsAndExitsZero) {
    const TempDir dir;
    const Outcome outcome = Monitor({Recording{}.Seconds(30).WriteTo(dir)});
    EXPECT_EQ(outcome.status, kExitOk) << outcome.err;
    // The first tick comes before the second message 1 and sees the first.
    EXPECT_EQ(outcome.out, "05/07/18  03:46:40\t1\t0x0\n--\nConducting Test\n");
}

TEST(MonitorCommandTest, NoReadyReceiver_NeverLeavesPreparing) {
    const TempDir dir;
    const Outcome outcome = Monitor({Recording{}.Seconds(30, {.rd1 = false}).WriteTo(dir)});
    EXPECT_EQ(outcome.status, kExitNeverStarted);
    EXPECT_EQ(outcome.out, "--\nPreparing For Test\n");
}

TEST(MonitorCommandTest, EmptyRecording_NeverLeavesPreparing) {
    const TempDir dir;
    const Outcome outcome = Monitor({Recording{}.WriteTo(dir)});
    EXPECT_EQ(outcome.status, kExitNeverStarted);
    EXPECT_EQ(outcome.out, "--\nPreparing For Test\n");
}

TEST(MonitorCommandTest, MissingMessage1_FailsCommunicationsAtTheLastMessage1sTime) {
    const TempDir dir;
    const std::string recording = Recording{}
                                      .Text("$>JI,4242,1,3,09071998,01/01/1900,01/01/3000,6.1Aa01,0.0,0.0")
                                      .Seconds(5)
                                      .Seconds(10, {.msg1 = false})
                                      .WriteTo(dir);
    const Outcome outcome = Monitor({recording});
    EXPECT_EQ(outcome.status, kExitTestFailed);
    // Message 1 last at 03:46:44; the tick 4 s later finds it overdue.
    EXPECT_EQ(outcome.out,
              "05/07/18  03:46:40\t1\t0x0\n"
              "05/07/18  03:46:44\t2\t0x1\n"
              "--\n"
              "Receiver ID: 4242\n"
              "05/07/18  03:46:44: Failed Communications (3 sec)\n");
}

TEST(MonitorCommandTest, SilentGap_GetsTheTicksOfALiveMonitor) {
    const TempDir dir;
    Recording recording;
    recording.Seconds(5).Seconds(10, {.msg1 = false, .msg99 = false, .rd1 = false}).Seconds(5);
    const Outcome outcome = Monitor({recording.WriteTo(dir)});
    EXPECT_EQ(outcome.status, kExitTestFailed);
    ASSERT_GE(outcome.lines.size(), 3U);
    EXPECT_EQ(outcome.lines[1], "05/07/18  03:46:44\t2\t0x1");
}

TEST(MonitorCommandTest, Thresholds_ComeFromTheProfileAndAreNotWritten) {
    const TempDir dir;
    const auto ini = dir.File("limits.ini");
    const std::string profile = "[Thresholds]\nMinSatellites=8\nBER=oops\n";
    std::ofstream(ini) << profile;
    const Outcome outcome = Monitor({Recording{}.Seconds(10).WriteTo(dir), "--thresholds=" + ini.string()});
    EXPECT_EQ(outcome.status, kExitTestFailed);
    EXPECT_EQ(outcome.out,
              "05/07/18  03:46:40\t2\t0x40\n"
              "--\n"
              "05/07/18  03:46:40: Failed: Too Few Satellites (<= 8)\n");
    std::ifstream in(ini);
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, profile);
}

// What `zarnmon-sim --out FILE --seconds N --enable all` writes, with faults.
std::string SimulatorRecording(const TempDir& dir, int seconds, const sim::FaultRates& faults = {}) {
    return zarnmon::test::WriteSimRecording(dir, {.seconds = seconds, .faults = faults});
}

constexpr int kQualificationSeconds = 900;

TEST(MonitorCommandReplayTest, SimulatedReceiver_PassesWithDefaultThresholds) {
    const TempDir dir;
    const Outcome outcome = Monitor({SimulatorRecording(dir, kQualificationSeconds)});
    EXPECT_EQ(outcome.status, kExitOk) << outcome.out;
    ASSERT_EQ(outcome.lines.size(), 3U) << outcome.out;
    EXPECT_TRUE(outcome.lines[0].ends_with("\t1\t0x0")) << outcome.lines[0];
    EXPECT_EQ(outcome.lines[1], "--");
    EXPECT_EQ(outcome.lines[2], "Conducting Test");
}

TEST(MonitorCommandReplayTest, SimulatedLinkLoss_FailsCommunications) {
    const TempDir dir;
    const Outcome outcome = Monitor({SimulatorRecording(dir, kQualificationSeconds, {.silence = 0.01})});
    EXPECT_EQ(outcome.status, kExitTestFailed) << outcome.out;
    EXPECT_NE(outcome.out.find("\t2\t0x1\n"), std::string::npos) << outcome.out;
    EXPECT_TRUE(outcome.out.ends_with(": Failed Communications (3 sec)\n")) << outcome.out;
}

TEST(MonitorCommandReplayTest, SimulatedLbandFade_FailsBer) {
    const TempDir dir;
    const Outcome outcome = Monitor({SimulatorRecording(dir, kQualificationSeconds, {.lbandFade = 0.005})});
    EXPECT_EQ(outcome.status, kExitTestFailed) << outcome.out;
    EXPECT_NE(outcome.out.find("\t2\t0x2\n"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find(": Failed BER (>15)\n"), std::string::npos) << outcome.out;
}

}  // namespace
}  // namespace zarnmon::cli
