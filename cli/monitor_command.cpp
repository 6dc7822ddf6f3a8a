#include "cli/monitor_command.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/decode_command.h"
#include "cli/recording_input.h"
#include "core/app/settings_store.h"
#include "core/link/bin_catalogue.h"
#include "core/link/gps_time.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/receiver_info.h"
#include "core/state/monitor_test.h"
#include "core/state/replay_clock.h"

namespace zarnmon::cli {

const char* const kMonitorHelp =
    "usage: zarnmon-cli monitor FILE|- [--thresholds INI]\n"
    "\n"
    "Runs the monitor test over a recorded receiver byte stream (a binary log or a\n"
    "zarnmon-sim --out file), so that a receiver with L-band corrections can be\n"
    "qualified in a script or on a production line. Nothing is sent to any\n"
    "receiver: automatic message configuration is off.\n"
    "\n"
    "  FILE              the recording; - reads standard input\n"
    "  --thresholds INI  a profile whose section [Thresholds] sets the limits\n"
    "                    (CommTimeOut, BER, BERTimeConstant, SNRFull, SNRCodeOnly,\n"
    "                    Position, StdDev, MinSatellites, AgeOfDiff,\n"
    "                    NumVelFailsPerHour, StartupMinutes); a missing key or a\n"
    "                    value that does not scan keeps its default. Default: the\n"
    "                    defaults (3 s, 15, 100, 15 dB, 6 dB, 7 m, 5 m, 4, 30 s, 3,\n"
    "                    5 min). The file is never written\n"
    "  -h, --help        show this help\n"
    "\n"
    "Time is the recording's own: the clock reads the GPS time (week x 604800000 +\n"
    "time of week x 1000, in whole milliseconds) of the newest message 1 or 99 read\n"
    "so far, and every message time stamp and every \"now\" of the test reads it.\n"
    "Before a message 1 or 99 moves the clock from c to t, the test's one-second\n"
    "tick runs once for every whole second T (a multiple of 1000 ms) with\n"
    "c < T <= t, in order, at T; then the clock becomes t and the message is\n"
    "handled. So a silent gap in the recording gives the ticks a live monitor\n"
    "would have seen. The first message 1 or 99 only sets the clock, no tick runs\n"
    "after the last message, and a jump of more than a GPS week (a receiver that\n"
    "just learnt the time) moves the clock without ticks.\n"
    "\n"
    "Output: one line each time the test's state or failure bits change:\n"
    "  TIME<TAB>STATE<TAB>0xBITS\n"
    "TIME is the UTC date and time of the last message 1 at that tick, as the\n"
    "test records failure times (leading blanks removed; \"01/06/80  00:00:00\"\n"
    "before any message 1); STATE is 0 preparing, 1 conducting, 2 failed; BITS\n"
    "are the failure bits in hexadecimal:\n"
    "  0x200 startup timeout   0x1 communications   0x2 BER        0x4 SNR\n"
    "  0x20 noise on GPS channels   0x8 position   0x10 residuals\n"
    "  0x40 too few satellites   0x80 age of differential   0x100 velocity residual\n"
    "Then a line \"--\" and the status text as the monitor window shows it:\n"
    "\"Preparing For Test\", \"Conducting Test\", or the failure report (the receiver\n"
    "id of the newest \"$>JI,\" reply, if any, then one line per failure in the\n"
    "order above, each with the time it first happened).\n"
    "\n"
    "Exit status: 0 when the test ends conducting, 1 when it ends failed, 3 when it\n"
    "never left \"Preparing For Test\", 2 for bad arguments or an unreadable\n"
    "recording or thresholds file.\n";

namespace {

constexpr std::string_view kCommand = "monitor";
// Large reads: the result does not depend on how the bytes were chunked.
constexpr std::size_t kReplayChunk = std::size_t{1} << 16;
constexpr std::uint32_t kTickMs = 1000;
// A longer step of the receiver's time is a jump (it just learnt the time),
// not a silence; it also keeps gaps within the 32-bit tick.
constexpr std::uint32_t kLongestGapMs = static_cast<std::uint32_t>(kSecondsPerWeek) * 1000U;

struct MonitorOptions {
    std::string path;
    std::optional<std::string> thresholds;
};

std::optional<MonitorOptions> ParseArgs(std::span<const std::string_view> args, std::ostream& err, bool& help) {
    constexpr std::string_view kThresholdsOption = "--thresholds";
    MonitorOptions options;
    std::optional<std::string> path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            help = true;
            return std::nullopt;
        }
        if (arg == kThresholdsOption || arg.starts_with("--thresholds=")) {
            std::string_view value;
            if (arg != kThresholdsOption) {
                value = arg.substr(kThresholdsOption.size() + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            }
            if (value.empty()) {
                err << "zarnmon-cli monitor: --thresholds needs a profile file (see --help)\n";
                return std::nullopt;
            }
            options.thresholds = std::string(value);
            continue;
        }
        if (!TakeRecordingArgument(kCommand, arg, path, err)) {
            return std::nullopt;
        }
    }
    if (!RequireRecording(kCommand, path, err)) {
        return std::nullopt;
    }
    options.path = *path;
    return options;
}

// The thresholds of the profile at path; nullopt (with a message) when it cannot be read.
std::optional<MonitorThresholds> ReadThresholds(const std::string& path, std::ostream& err) {
    const auto store = ReadProfile(kCommand, "thresholds", path, err);
    if (!store) {
        return std::nullopt;
    }
    return LoadMonitorThresholds(*store);
}

// The replay clock, held at each whole second while the ticks of a gap run.
class CTickingClock final : public ITickClock {
public:
    [[nodiscard]] std::uint32_t Now() const override { return held_.value_or(replay_.Now()); }
    [[nodiscard]] CReplayClock& Replay() { return replay_; }
    void Hold(std::uint32_t now) { held_ = now; }
    void Release() { held_.reset(); }

private:
    CReplayClock replay_;
    std::optional<std::uint32_t> held_;
};

// The GPS week of a stored message 1 or 99.
std::int32_t WeekOf(int slot, const CMsgHandler& handler) {
    return slot == Slots::Msg1 ? Msg1View(handler.LastMessage()).GpsWeek() : Msg99View(handler.LastMessage()).GpsWeek();
}

// Runs the test over a recording with the ticks of the time it spans.
//
// A scout dispatcher divides the recording into messages; each message the
// test reads is then passed on, whole, to the dispatcher the test watches.
// So the ticks of the time before a message run while the test still sees
// the messages before it, the clock moves, and only then is the message
// stored (stamped with its own time) and handled, as a live monitor would
// have seen it.
class CMonitorReplay final : public IStoreTap {
public:
    CMonitorReplay(const MonitorThresholds& thresholds, std::ostream& out)
        : scout_(scoutClock_), dispatcher_(clock_), test_(dispatcher_, clock_, receiver_, thresholds), out_(out) {
        scout_.SetStoreTap(this);
        test_.Reset();
        reported_ = test_.Changes();
    }
    CMonitorReplay(const CMonitorReplay&) = delete;
    CMonitorReplay& operator=(const CMonitorReplay&) = delete;

    // Where the recording goes.
    [[nodiscard]] CMsgDispatcher& Input() { return scout_; }
    [[nodiscard]] const CMonitorTest& Test() const { return test_; }

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        const int slot = scout_.SlotOf(&handler);
        switch (slot) {
            case Slots::Msg1:
            case Slots::Msg99:
                Advance(slot, handler);
                Pass(slot, bytes);
                break;
            case Slots::Msg2:  // carries the GPS-UTC offset of the report's times
                dispatcher_.Feed(bytes);
                break;
            case Slots::Rd1Handler:
                // A line cut at the handler's capacity would swallow what follows it.
                if (EndsLine(bytes)) {
                    Pass(slot, bytes);
                }
                break;
            case Slots::ReplyHandler:
                if (const std::string_view line = AsText(bytes); line.starts_with("$>JI,")) {
                    receiver_.TakeReply(line);
                }
                break;
            default:
                break;
        }
    }

private:
    static std::string_view AsText(std::span<const std::uint8_t> bytes) {
        return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }
    static bool EndsLine(std::span<const std::uint8_t> bytes) { return AsText(bytes).ends_with("\r\n"); }

    void Pass(int slot, std::span<const std::uint8_t> bytes) {
        dispatcher_.Feed(bytes);
        test_.OnMonitorMessage(slot);
    }

    // Ticks every whole second up to the time of the scout's message, then
    // moves the clock there.
    void Advance(int slot, const CMsgHandler& handler) {
        CReplayClock& replay = clock_.Replay();
        const bool hadTime = replay.HasTime();
        const std::uint32_t from = replay.Now();
        CReplayClock next = replay;
        next.Take(handler);
        const std::uint32_t to = next.Now();
        const std::uint32_t gap = to - from;
        if (gap == 0) {
            return;  // not later than the time so far
        }
        const std::int32_t week = WeekOf(slot, handler);
        // Within a week either side the 32-bit gap is the whole gap.
        const bool jump = !hadTime || week - week_ > 1 || gap > kLongestGapMs;
        if (!jump) {
            // The clock keeps 32 bits of the GPS milliseconds, which are no
            // multiple of a second; the start of the message's week is one,
            // so the distance from it gives the place within the second.
            CReplayClock weekStart;
            weekStart.TakeGpsTime(week, 0.0);
            const std::uint32_t phase = (to - weekStart.Now()) % kTickMs;
            // The whole seconds lie phase, phase + 1000, ... ms before to.
            const std::uint32_t ticks = gap > phase ? (gap - 1 - phase) / kTickMs + 1 : 0;
            for (std::uint32_t k = ticks; k-- > 0;) {
                Tick(to - phase - k * kTickMs);
            }
        }
        replay = next;
        week_ = week;
    }

    void Tick(std::uint32_t now) {
        clock_.Hold(now);
        test_.MonitorTick(false);
        clock_.Release();
        if (test_.Changes() != reported_) {
            reported_ = test_.Changes();
            std::array<char, 16> bits{};
            std::snprintf(bits.data(), bits.size(), "0x%X", static_cast<unsigned int>(test_.FailureBits()));
            out_ << test_.TimeText() << '\t' << static_cast<int>(test_.State()) << '\t' << bits.data() << '\n';
        }
    }

    // The scout's own time is never read.
    CManualTickClock scoutClock_;
    CMsgDispatcher scout_;
    CTickingClock clock_;
    CMsgDispatcher dispatcher_;
    CReceiverInfo receiver_;
    CMonitorTest test_;
    std::ostream& out_;
    std::uint64_t reported_ = 0;
    std::int32_t week_ = 0;  // of the message that last moved the clock
};

int ExitStatusOf(MonitorState state) {
    switch (state) {
        case MonitorState::Conducting:
            return kExitOk;
        case MonitorState::Failed:
            return kExitTestFailed;
        case MonitorState::Preparing:
            break;
    }
    return kExitNeverStarted;
}

}  // namespace

int RunMonitor(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    bool help = false;
    const auto options = ParseArgs(args, err, help);
    if (const auto status = EndsBeforeReading(help, options, kMonitorHelp, out)) {
        return *status;
    }
    MonitorThresholds thresholds;
    if (options->thresholds) {
        const auto read = ReadThresholds(*options->thresholds, err);
        if (!read) {
            return kExitUsage;
        }
        thresholds = *read;
    }
    if (!RecordingReadable(kCommand, options->path, err)) {
        return kExitUsage;
    }

    CMonitorReplay replay(thresholds, out);
    if (!FeedRecording(kCommand, options->path, kReplayChunk, replay.Input(), err)) {
        return kExitUsage;
    }
    std::string text = replay.Test().StatusText();
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    out << "--\n" << text;
    return ExitStatusOf(replay.Test().State());
}

}  // namespace zarnmon::cli
