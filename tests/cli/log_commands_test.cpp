#include "cli/log_commands.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "core/link/bin_catalogue.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/notify_list.h"
#include "core/state/data_log.h"
#include "sim/sim_receiver.h"
#include "support/temp_dir.h"

namespace zarnmon::cli {
namespace {

// 5 November 2026 00:00:00 UTC is GPS second 345618 of week 2443.
constexpr double kUtcMidnight = 4 * 86400.0 + 18.0;

using test::Command;
using test::Invoke;
using Outcome = test::CommandOutcome;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A receiver session: the simulator's output in 50 ms steps; optional
// commands to the receiver at given seconds (to stop and restart messages).
struct Session {
    std::vector<std::vector<std::uint8_t>> steps;  // the bytes of each 50 ms step
    [[nodiscard]] std::vector<std::uint8_t> All() const {
        std::vector<std::uint8_t> all;
        for (const auto& s : steps) {
            all.insert(all.end(), s.begin(), s.end());
        }
        return all;
    }
};

Session Simulate(double startSeconds, int seconds, std::string_view enable,
                 const std::vector<std::pair<int, std::string>>& commands = {}) {
    sim::SimConfig config;
    config.startSeconds = startSeconds;
    sim::CSimReceiver receiver(config);
    std::string bad;
    EXPECT_TRUE(receiver.Schedule().Enable(enable, bad)) << bad;
    Session session;
    for (int ms = 0; ms < seconds * 1000; ms += static_cast<int>(sim::CSimReceiver::kTickMs)) {
        for (const auto& [at, command] : commands) {
            if (at * 1000 == ms) {
                receiver.Receive({reinterpret_cast<const std::uint8_t*>(command.data()), command.size()});
            }
        }
        receiver.Advance(sim::CSimReceiver::kTickMs);
        std::vector<std::uint8_t> step;
        receiver.TakeOutput(step, true);
        session.steps.push_back(std::move(step));
    }
    return session;
}

class LogCommandsTest : public ::testing::Test {
protected:
    std::string File(const std::string& name) const { return dir_.File(name).string(); }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(dir_.File(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return File(name);
    }

    // The program live: the same bytes arrive one message at a time on the
    // host's clock and the main frame hands each notification to the log.
    void LiveDataLog(const Session& session, const LogSettings& options, const std::string& out) const {
        CManualTickClock clock(777);
        CMsgDispatcher dispatcher(clock);
        CRxQueue queue;
        for (int slot = 0; slot < dispatcher.HandlerCount(); ++slot) {
            dispatcher.Handler(slot).Subscribe(&queue);
        }
        CReferencePosition reference;
        CDataLog log(dispatcher, clock, reference);
        log.SetOptions(options);
        ASSERT_TRUE(log.Start(out, false));
        for (const auto& step : session.steps) {
            clock.Advance(sim::CSimReceiver::kTickMs);
            sim::ForEachMessage(std::span<const std::uint8_t>(step), [&](std::span<const std::uint8_t> message) {
                dispatcher.Feed(message);
                queue.Drain([&](const CRxQueue::Notification& n) { log.OnMessage(*n.handler); });
            });
        }
        log.Stop();
    }

    zarnmon::test::TempDir dir_;
};

TEST_F(LogCommandsTest, DataLog_SameAsLiveProgramFedTheSameBytes) {
    // Message 1 stops for 10 s at second 20, so rows fall back to message 99.
    const Session session =
        Simulate(kUtcMidnight - 40, 60, "1,2,99,100,89,D1", {{20, "$JBIN,1,0\r"}, {30, "$JBIN,1,1\r"}});
    const std::string recording = Write("rec.bin", session.All());
    struct Case {
        const char* name;
        LogSettings options;
        std::vector<std::string> flags;
    };
    const Case cases[] = {
        {"short", {false, false, 1, false}, {}},
        {"full", {false, true, 1, false}, {"--full"}},
        {"interval0", {false, true, 0, false}, {"--full", "--interval", "0"}},
        {"interval5", {false, false, 5, false}, {"--interval=5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string live = File(std::string(c.name) + "-live.txt");
        LiveDataLog(session, c.options, live);
        const std::string replay = File(std::string(c.name) + "-replay.txt");
        std::vector<std::string> args{recording, "-o", replay};
        args.insert(args.end(), c.flags.begin(), c.flags.end());
        const Outcome run = Invoke(RunDataLog, args);
        ASSERT_EQ(run.status, kExitOk) << run.err;
        const std::string expected = ReadFile(live);
        EXPECT_GT(expected.size(), 1000u);
        EXPECT_EQ(ReadFile(replay), expected);
    }
    // Rows kept coming while message 1 was off: about one a second for 60 s.
    const std::string shortLog = ReadFile(File("short-replay.txt"));
    EXPECT_GE(std::count(shortLog.begin(), shortLog.end(), '\n'), 55);
}

TEST_F(LogCommandsTest, DataLogAuto_DayFilesAcrossUtcMidnightAsLive) {
    const Session session = Simulate(kUtcMidnight - 20, 40, "1,2,99,100,89,D1");
    const std::string recording = Write("rec.bin", session.All());
    LiveDataLog(session, {false, true, 1, true}, File("live.txt"));
    std::filesystem::create_directories(dir_.Path() / "replay");
    const Outcome run =
        Invoke(RunDataLog, {recording, "-o", (dir_.Path() / "replay" / "run.txt").string(), "--auto", "--full"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    for (const char* day : {"-11-04-26.txt", "-11-05-26.txt"}) {
        SCOPED_TRACE(day);
        const std::string live = ReadFile(File(std::string("live") + day));
        EXPECT_FALSE(live.empty());
        EXPECT_EQ(ReadFile(dir_.Path() / "replay" / (std::string("run") + day)), live);
    }
    EXPECT_NE(run.out.find("run-11-05-26.txt"), std::string::npos) << run.out;
}

TEST_F(LogCommandsTest, DataLogErrors_WithReference_WritesMetres) {
    const Session session = Simulate(kUtcMidnight + 100, 5, "1,2,99");
    const std::string recording = Write("rec.bin", session.All());
    const Outcome run =
        Invoke(RunDataLog, {recording, "-o", File("e.txt"), "--errors", "--ref", "51.0447,-114.0719,1048"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const std::string text = ReadFile(File("e.txt"));
    const auto row = text.find("\r\n") + 2;
    // A static receiver at the reference: errors of a few metres, not degrees.
    const std::string latitude = text.substr(text.find('\t', text.find('\t', row) + 1) + 1, 12);
    EXPECT_LT(std::abs(std::stod(latitude)), 50.0) << text.substr(row, 80);
}

TEST_F(LogCommandsTest, BadArguments_ExitTwoWithMessage) {
    const std::string recording = Write("rec.bin", {});
    const std::vector<std::vector<std::string>> cases{
        {},
        {recording},
        {"-o", File("x")},
        {recording, "-o", File("x"), "--interval", "3601"},
        {recording, "-o", File("x"), "--interval", "x"},
        {recording, "-o", File("x"), "--ref", "91,0,0"},
        {recording, "-o", File("x"), "--ref", "1,2"},
        {recording, "-o", File("x"), "--bogus"},
        {recording, recording, "-o", File("x")},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const Outcome run = Invoke(RunDataLog, args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(Invoke(RunDebugLog, {recording, "-o", File("x"), "--mask", "zz"}).status, kExitUsage);
    EXPECT_EQ(Invoke(RunPhaseLog, {recording, "-o", File("x"), "--full"}).status, kExitUsage);
}

TEST_F(LogCommandsTest, Interval_OutsideZeroToAnHour_ExitsTwoNamingTheRange) {
    const std::string recording = Write("rec.bin", {});
    for (const std::string interval : {"3601", "-1", "99999999999999", "99999999999999999999999", "1.5", "+5", ""}) {
        SCOPED_TRACE(interval);
        const Outcome run = Invoke(RunDataLog, {recording, "-o", File("x"), "--interval", interval});
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_NE(run.err.find("--interval takes whole seconds 0..3600"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(File("x")));
    }
    for (const std::string interval : {"0", "3600"}) {
        SCOPED_TRACE(interval);
        const Outcome run = Invoke(RunDataLog, {recording, "-o", File("x"), "--interval", interval});
        EXPECT_EQ(run.status, kExitOk) << run.err;
    }
}

TEST_F(LogCommandsTest, Mask_NotAThirtyTwoBitHexNumber_ExitsTwoNamingTheRange) {
    const std::string recording = Write("rec.bin", {});
    for (const std::string mask : {"100000000", "-1", "12zz", "0x", "", "1 ", "99999999999999"}) {
        SCOPED_TRACE(mask);
        const Outcome run = Invoke(RunDebugLog, {recording, "-o", File("x"), "--mask", mask});
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_NE(run.err.find("--mask takes a hexadecimal number from 0 to FFFFFFFF"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(File("x")));
    }
    for (const std::string mask : {"0", "FFFFFFFF", "0x1f", "ffff"}) {
        SCOPED_TRACE(mask);
        EXPECT_EQ(Invoke(RunDebugLog, {recording, "-o", File("x"), "--mask", mask}).status, kExitOk);
    }
}

TEST_F(LogCommandsTest, Reference_OutOfRangeOrNotANumber_ExitsTwo) {
    const std::string recording = Write("rec.bin", {});
    for (const std::string ref : {"91,0,0", "0,181,0", "1,2,1e9", "nan,0,0", "1,inf,0", "1,2,3,4", "1,,2"}) {
        SCOPED_TRACE(ref);
        const Outcome run = Invoke(RunDataLog, {recording, "-o", File("x"), "--ref", ref});
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_NE(run.err.find("--ref takes LAT,LON,H"), std::string::npos) << run.err;
    }
}

TEST_F(LogCommandsTest, UnreadableInput_ExitTwo) {
    for (const Command command : {RunDataLog, RunPhaseLog, RunDebugLog}) {
        const Outcome run = Invoke(command, {File("missing.bin"), "-o", File("x")});
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_NE(run.err.find("cannot read"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(File("x")));
        EXPECT_EQ(Invoke(command, {dir_.Path().string(), "-o", File("x")}).status, kExitUsage);
    }
}

TEST_F(LogCommandsTest, UnwritableOutput_IsAnError) {
    const Session session = Simulate(kUtcMidnight + 100, 3, "1,2,99,95,X");
    const std::string recording = Write("rec.bin", session.All());
    for (const Command command : {RunDataLog, RunPhaseLog, RunDebugLog}) {
        const Outcome run = Invoke(command, {recording, "-o", File("no/such/dir/out")});
        EXPECT_EQ(run.status, kExitWriteFailed);
        EXPECT_NE(run.err.find("cannot create"), std::string::npos);
    }
    if (std::filesystem::exists("/dev/full")) {
        for (const Command command : {RunDataLog, RunPhaseLog, RunDebugLog}) {
            const Outcome run = Invoke(command, {recording, "-o", "/dev/full"});
            EXPECT_EQ(run.status, kExitWriteFailed) << run.out;
            EXPECT_NE(run.err.find("failed"), std::string::npos);
        }
    }
}

TEST_F(LogCommandsTest, Help_ExplainsTheReplayClock) {
    for (const Command command : {RunDataLog, RunPhaseLog, RunDebugLog}) {
        const Outcome run = Invoke(command, {"--help"});
        EXPECT_EQ(run.status, kExitOk);
        EXPECT_NE(run.out.find("latest GPS time"), std::string::npos);
        EXPECT_EQ(run.out.find("%s"), std::string::npos);
    }
}

TEST_F(LogCommandsTest, PhaseLog_EveryIntactRawFrameInOrder) {
    const Session session = Simulate(kUtcMidnight + 100, 5, "1,95,96,94,93,76,99");
    const auto all = session.All();
    std::string expected;
    sim::ForEachMessage(std::span<const std::uint8_t>(all), [&](std::span<const std::uint8_t> message) {
        const std::string_view handler = sim::HandlerFor(message);
        if ((handler == "Msg95" || handler == "Msg96" || handler == "Msg94" || handler == "Msg93" ||
             handler == "Msg76") &&
            IsValidFrame(message)) {
            expected.append(reinterpret_cast<const char*>(message.data()), message.size());
        }
    });
    ASSERT_FALSE(expected.empty());
    const Outcome run = Invoke(RunPhaseLog, {Write("rec.bin", all), "-o", File("phase.bin")});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(ReadFile(File("phase.bin")), expected);
}

TEST_F(LogCommandsTest, DebugLog_MaskSelectsMessages) {
    const Session session = Simulate(kUtcMidnight + 100, 30, "X");
    const std::string recording = Write("rec.bin", session.All());
    const Outcome all = Invoke(RunDebugLog, {recording, "-o", File("all.log")});
    ASSERT_EQ(all.status, kExitOk) << all.err;
    const Outcome one = Invoke(RunDebugLog, {recording, "-o", File("one.log"), "--mask", "0001"});
    ASSERT_EQ(one.status, kExitOk) << one.err;
    const std::string text = ReadFile(File("one.log"));
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_TRUE(line.starts_with("Msg-1\t")) << line;
        EXPECT_TRUE(line.ends_with("\r")) << line;
    }
    const std::string everything = ReadFile(File("all.log"));
    EXPECT_GT(everything.size(), text.size());
    EXPECT_NE(everything.find("Msg-"), std::string::npos);
}

}  // namespace
}  // namespace zarnmon::cli
