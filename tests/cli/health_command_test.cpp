#include "cli/health_command.h"

#include <cstdint>
#include <fstream>
#include <sstream>
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

constexpr double kStart = 100000.0;

// A receiver's output put together message by message.
class Recording {
public:
    // Message 1 (or 99) at a GPS time.
    Recording& Timed(std::uint16_t id, std::uint16_t week, double tow) {
        CBinFrameBuilder frame(id);
        if (id == msg1::kId) {
            frame.Set(msg1::GpsWeek, week).Set(msg1::GpsTimeOfWeek, tow);
        } else {
            frame.Set(msg99::GpsWeek, week).Set(msg99::GpsTimeOfWeek, tow);
        }
        frame.AppendTo(bytes_);
        return *this;
    }
    // Any message whose checksum (or trailer) has been spoiled.
    Recording& Damaged(std::uint16_t id, bool trailer) {
        auto frame = CBinFrameBuilder(id).Build();
        if (trailer) {
            std::swap(frame[frame.size() - 2], frame[frame.size() - 1]);
        } else {
            frame[frame.size() - 4] ^= 0x5A;
        }
        bytes_.insert(bytes_.end(), frame.begin(), frame.end());
        return *this;
    }
    Recording& Raw(std::string_view text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    [[nodiscard]] std::string WriteTo(const TempDir& dir) const {
        const auto path = dir.File("rec.zbin");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        return path.string();
    }

private:
    std::vector<std::uint8_t> bytes_;
};

Outcome Health(const std::vector<std::string>& args) { return Invoke(RunHealth, args); }

TEST(HealthCommandTest, Help_DefinesTheColumnsAndTheRate) {
    const Outcome outcome = Health({"--help"});
    EXPECT_EQ(outcome.status, kExitOk);
    for (const char* text : {"handler<TAB>stored<TAB>failed<TAB>max_gap_s<TAB>rate_hz", "checksum or trailer",
                             "stored / (receiver-time span of the recording)", "\"%.1f\"", "\"%.3f\"",
                             "dropped<TAB>BYTES", "more than a week", "---"}) {
        EXPECT_NE(outcome.out.find(text), std::string::npos) << text;
    }
}

TEST(HealthCommandTest, BadArguments_EndWithUsageStatus) {
    const TempDir dir;
    const std::string recording = Recording{}.Timed(1, 2000, kStart).WriteTo(dir);
    const std::vector<std::vector<std::string>> cases{
        {}, {"--bogus", recording}, {recording, recording}, {dir.File("missing.zbin").string()}, {dir.Path().string()},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.empty() ? std::string("(none)") : args.back());
        const Outcome outcome = Health(args);
        EXPECT_EQ(outcome.status, kExitUsage);
        EXPECT_FALSE(outcome.err.empty());
        EXPECT_TRUE(outcome.out.empty());
    }
}

TEST(HealthCommandTest, Recording_GivesCountsFailuresGapsAndRatesPerHandler) {
    Recording recording;
    recording.Raw("\x01\x02\x03\x04\x05");
    for (int second = 0; second < 10; ++second) {
        const double tow = kStart + second;
        recording.Timed(1, 2000, tow);
        if (second < 4 || second == 7 || second == 9) {
            recording.Timed(99, 2000, tow);
        } else if (second == 8) {
            recording.Damaged(99, false);
        } else if (second == 5) {
            recording.Damaged(2, true);
        }
        if (second == 2) {
            recording.Raw(NmeaSentence("GPGGA,1"));
        }
    }
    const TempDir dir;
    const Outcome outcome = Health({recording.WriteTo(dir)});
    EXPECT_EQ(outcome.status, kExitOk) << outcome.err;
    // Nine seconds from the first message 1 to the last.
    EXPECT_EQ(outcome.out,
              "handler\tstored\tfailed\tmax_gap_s\trate_hz\n"
              "NmeaHandler\t1\t0\t---\t0.111\n"
              "Msg1\t10\t0\t1.0\t1.111\n"
              "Msg2\t0\t1\t---\t0.000\n"
              "Msg99\t6\t1\t4.0\t0.667\n"
              "dropped\t5\n");
}

TEST(HealthCommandTest, ReceiverThatLearnsTheTime_SpansOnlyTheTimeItCounted) {
    Recording recording;
    for (int second = 0; second < 3; ++second) {
        recording.Timed(1, 0, 10.0 + second);
    }
    for (int second = 0; second < 3; ++second) {
        recording.Timed(1, 2000, kStart + second);
    }
    const TempDir dir;
    const Outcome outcome = Health({recording.WriteTo(dir)});
    ASSERT_EQ(outcome.lines.size(), 3u) << outcome.out;
    EXPECT_EQ(outcome.lines[1], "Msg1\t6\t0\t1.0\t1.500") << "2 s before the jump, 2 s after, none across it";
}

TEST(HealthCommandTest, RecordingWithoutTime_HasNoGapsAndNoRates) {
    const TempDir dir;
    const Outcome outcome =
        Health({Recording{}.Raw(NmeaSentence("GPGGA,1")).Raw(NmeaSentence("GPGGA,2")).WriteTo(dir)});
    EXPECT_EQ(outcome.out, "handler\tstored\tfailed\tmax_gap_s\trate_hz\nNmeaHandler\t2\t0\t---\t---\ndropped\t0\n");

    const Outcome empty = Health({Recording{}.WriteTo(dir)});
    EXPECT_EQ(empty.out, "handler\tstored\tfailed\tmax_gap_s\trate_hz\ndropped\t0\n");
}

// Every damaged frame the simulator sends is one failed check on the handler
// of its kind, and every intact message is stored.
TEST(HealthCommandReplayTest, SimulatorFaults_AddUpToTheFailedChecks) {
    const TempDir dir;
    zarnmon::test::SimReport report;
    const std::string recording = zarnmon::test::WriteSimRecording(
        dir, {.seconds = 120, .faults = {.badChecksum = 0.02, .reversedTrailer = 0.02}}, &report);
    const Outcome outcome = Health({recording});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    ASSERT_GE(outcome.lines.size(), 3u);
    EXPECT_EQ(outcome.lines.back(), "dropped\t0");

    std::uint64_t failed = 0;
    std::map<std::string, std::uint64_t, std::less<>> stored;
    for (std::size_t i = 1; i + 1 < outcome.lines.size(); ++i) {
        std::istringstream columns(outcome.lines[i]);
        std::string name;
        std::uint64_t storedCount = 0;
        std::uint64_t failedCount = 0;
        columns >> name >> storedCount >> failedCount;
        SCOPED_TRACE(outcome.lines[i]);
        if (failedCount > 0) {
            EXPECT_TRUE(name.starts_with("Msg")) << "only binary frames have a check to fail";
        }
        stored[name] = storedCount;
        failed += failedCount;
    }
    const std::uint64_t injected = report.faults.badChecksums + report.faults.reversedTrailers;
    EXPECT_GT(report.faults.badChecksums, 0u);
    EXPECT_GT(report.faults.reversedTrailers, 0u);
    EXPECT_EQ(failed, injected);
    std::erase_if(stored, [](const auto& entry) { return entry.second == 0; });
    EXPECT_EQ(stored, report.sent);
}

}  // namespace
}  // namespace zarnmon::cli
