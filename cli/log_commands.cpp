#include "cli/log_commands.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/decode_command.h"
#include "cli/option_values.h"
#include "cli/recording_input.h"
#include "core/app/settings_keys.h"
#include "core/app/settings_store.h"
#include "core/link/msg_dispatcher.h"
#include "core/state/data_log.h"
#include "core/state/debug_log.h"
#include "core/state/phase_log.h"
#include "core/state/reference_position.h"
#include "core/state/replay_clock.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zarnmon::cli {

namespace {

// Large reads: a replay's output does not depend on how the bytes were chunked.
constexpr std::size_t kReplayChunk = std::size_t{1} << 16;

constexpr const char* kReplayClockHelp =
    "Time in a replay is the receiver's, not the host's: the log's clock reads the\n"
    "latest GPS time (in milliseconds) of the messages 1 and 99 read so far, so the\n"
    "interval, the rule that rows fall back to message 99 after 6000 ms without\n"
    "message 1, and UTC midnight follow the recording, and the output does not\n"
    "depend on how fast it is read. Each message is handled as soon as it is\n"
    "complete, as a link that delivers one message at a time would.\n";

}  // namespace

const char* const kDataLogHelp =
    "usage: zarnmon-cli datalog FILE|- -o OUT [--full] [--errors] [--interval S]\n"
    "                           [--auto] [--ref LAT,LON,H]\n"
    "\n"
    "Replays a recorded receiver byte stream (a binary log) and writes the\n"
    "tab-separated data log the monitor would have written live: a header line,\n"
    "then one row per message 1, or per message 99 while message 1 is missing.\n"
    "\n"
    "  FILE            the recording; - reads standard input\n"
    "  -o OUT          the data log to write (replaced if it exists)\n"
    "  --full          detailed rows: 15 channel groups and 12 L2 groups\n"
    "  --errors        north/east/up errors in metres against --ref instead of\n"
    "                  latitude, longitude and height (without --ref the position\n"
    "                  is written, as the monitor does without a reference)\n"
    "  --interval S    at least S seconds between rows, 0..3600 (default 1;\n"
    "                  rows come 150 ms early at most, so 1 keeps every 1 Hz fix)\n"
    "  --auto          one file per UTC day, named from OUT: run.txt gives\n"
    "                  run-12-05-26.txt (month-day-year); existing day files are\n"
    "                  appended to\n"
    "  --ref LAT,LON,H reference position: degrees north, degrees east, metres\n"
    "  -h, --help      show this help\n"
    "\n"
    "%s"
    "\n"
    "Exit status: 0 on success, 1 when the output cannot be written, 2 for bad\n"
    "arguments or an unreadable recording.\n";

const char* const kPhaseLogHelp =
    "usage: zarnmon-cli phaselog FILE|- -o OUT\n"
    "\n"
    "Replays a recorded receiver byte stream and writes the phase log: every\n"
    "intact frame of the messages 95, 76, 96, 93 and 94, exactly as received, in\n"
    "the order received.\n"
    "\n"
    "  FILE        the recording; - reads standard input\n"
    "  -o OUT      the phase log to write (replaced if it exists)\n"
    "  -h, --help  show this help\n"
    "\n"
    "%s"
    "\n"
    "Exit status: 0 on success, 1 when the output cannot be written, 2 for bad\n"
    "arguments or an unreadable recording.\n";

const char* const kDebugLogHelp =
    "usage: zarnmon-cli debuglog FILE|- -o OUT [--mask HEX]\n"
    "\n"
    "Replays a recorded receiver byte stream and writes the debug log: a line\n"
    "\"Msg-n<TAB>text\" for each new \"$RX,n,text\" debug message numbered 1 to 16.\n"
    "\n"
    "  FILE        the recording; - reads standard input\n"
    "  -o OUT      the debug log to write (replaced if it exists)\n"
    "  --mask HEX  bit k selects message k+1 (default FFFFFFFF: all)\n"
    "  -h, --help  show this help\n"
    "\n"
    "%s"
    "\n"
    "Exit status: 0 on success, 1 when the output cannot be written, 2 for bad\n"
    "arguments or an unreadable recording.\n";

namespace {

struct CommonOptions {
    std::string input;
    std::string output;
};

struct DataLogOptions {
    LogSettings log;
    std::optional<CReferencePosition> reference;
};

// Parses what all three commands share; an option it does not know goes to
// extra, which returns false when that option is not the command's either.
using ExtraOption = std::function<bool(std::string_view name, std::string_view value, bool hasValue, bool& used)>;

// The help texts hold "%s" where the replay clock is explained.
void PrintHelp(std::ostream& out, std::string_view help) {
    const auto at = help.find("%s");
    out << help.substr(0, at);
    if (at != std::string_view::npos) {
        out << kReplayClockHelp << help.substr(at + 2);
    }
}

std::optional<CommonOptions> ParseCommon(std::string_view command, std::span<const std::string_view> args,
                                         std::ostream& err, bool& help, const ExtraOption& extra) {
    CommonOptions options;
    std::optional<std::string> input;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            help = true;
            return std::nullopt;
        }
        if (arg.size() < 2 || arg.front() != '-') {
            if (!TakeRecordingArgument(command, arg, input, err)) {
                return std::nullopt;
            }
            continue;
        }
        // "--name=value" or "--name value".
        std::string_view name = arg;
        std::string_view value;
        bool inlineValue = false;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        const bool nextExists = i + 1 < args.size();
        if (name == "-o" || name == "--output") {
            if (!inlineValue && !nextExists) {
                err << "zarnmon-cli " << command << ": -o needs the file to write\n";
                return std::nullopt;
            }
            options.output = std::string(inlineValue ? value : args[++i]);
            continue;
        }
        bool used = false;
        const std::string_view next = inlineValue ? value : (nextExists ? args[i + 1] : std::string_view{});
        if (!extra(name, next, inlineValue || nextExists, used)) {
            return std::nullopt;
        }
        if (used && !inlineValue) {
            ++i;
        }
    }
    if (!RequireRecording(command, input, err)) {
        return std::nullopt;
    }
    options.input = *input;
    if (options.output.empty()) {
        err << "zarnmon-cli " << command << ": name the file to write with -o OUT (see --help)\n";
        return std::nullopt;
    }
    return options;
}

std::optional<int> ParseInterval(std::string_view text) {
    const auto value = ParseWholeNumber(text, kMinInterval, kMaxInterval);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

// "LAT,LON,H" within the ranges the profile accepts.
bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

// Feeds a recording through a dispatcher on the replay clock and hands each
// stored message, as soon as it is stored, to the log.
class CReplay final : public IStoreTap {
public:
    CReplay() : dispatcher_(clock_) { dispatcher_.SetStoreTap(this); }

    [[nodiscard]] CMsgDispatcher& Dispatcher() { return dispatcher_; }
    [[nodiscard]] const ITickClock& Clock() const { return clock_; }
    void SetSink(std::function<void(const CMsgHandler&)> sink) { sink_ = std::move(sink); }

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> /*bytes*/) override {
        clock_.Take(handler);
        sink_(handler);
    }

    // False (with a message) when the recording cannot be read.
    bool Run(std::string_view command, const std::string& path, std::ostream& err, bool progress) {
        return FeedRecording(command, path, kReplayChunk, dispatcher_, err, progress);
    }

private:
    CReplayClock clock_;
    CMsgDispatcher dispatcher_;
    std::function<void(const CMsgHandler&)> sink_ = [](const CMsgHandler&) {};
};

bool ReportFailure(std::string_view command, std::optional<LogFailure> failure, std::ostream& err) {
    if (!failure) {
        return false;
    }
    err << "zarnmon-cli " << command << ": writing '" << failure->path << "' failed: " << failure->reason << "\n";
    return true;
}

// Replays input through log, as the program would have fed it live; the exit
// status, with every write failure reported once on err.
// Where a command ends before reading anything: 0 after printing its help,
// the usage status after a bad command line or an unreadable input.
std::optional<int> EndsEarly(std::string_view command, std::string_view helpText, bool help,
                             const std::optional<CommonOptions>& common, std::ostream& out, std::ostream& err) {
    if (help) {
        PrintHelp(out, helpText);
        return kExitOk;
    }
    if (!common || !RecordingReadable(command, common->input, err)) {
        return kExitUsage;
    }
    return std::nullopt;
}

int CannotCreate(std::string_view command, const std::string& path, std::ostream& err) {
    err << "zarnmon-cli " << command << ": cannot create '" << path << "'\n";
    return kExitWriteFailed;
}

template <typename Log>
int ReplayIntoLog(std::string_view command, const std::string& input, CReplay& replay, Log& log, std::ostream& err,
                  const std::function<void()>& afterEach, const std::function<void()>& beforeStop) {
    bool failed = false;
    replay.SetSink([&](const CMsgHandler& handler) {
        log.OnMessage(handler);
        afterEach();
        failed = failed || ReportFailure(command, log.TakeFailure(), err);
    });
    const bool read = replay.Run(command, input, err, &err == &std::cerr && StderrIsTerminal());
    beforeStop();
    log.Stop();
    failed = ReportFailure(command, log.TakeFailure(), err) || failed;
    if (!read) {
        return kExitUsage;
    }
    return failed ? kExitWriteFailed : kExitOk;
}

// Replays the input into a log that counts what it writes, and reports the count.
template <typename Log, typename Count>
int RecordCounted(std::string_view command, const CommonOptions& common, CReplay& replay, Log& log,
                  std::string_view unit, Count count, std::ostream& out, std::ostream& err) {
    if (!log.Start(common.output)) {
        return CannotCreate(command, common.output, err);
    }
    std::uint64_t written = 0;
    const int status = ReplayIntoLog(
        command, common.input, replay, log, err, [] {}, [&] { written = count(); });
    if (status != kExitOk) {
        return status;
    }
    out << written << " " << unit << " to " << common.output << "\n";
    return kExitOk;
}

}  // namespace

int RunDataLog(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    constexpr std::string_view kCommand = "datalog";
    DataLogOptions options;
    bool help = false;
    const auto common = ParseCommon(
        kCommand, args, err, help, [&](std::string_view name, std::string_view value, bool hasValue, bool& used) {
            if (name == "--full") {
                options.log.fullLog = true;
            } else if (name == "--errors") {
                options.log.logErrors = true;
            } else if (name == "--auto") {
                options.log.autoLog = true;
            } else if (name == "--interval") {
                const auto interval = hasValue ? ParseInterval(value) : std::nullopt;
                if (!interval) {
                    err << "zarnmon-cli datalog: --interval takes whole seconds 0..3600, not '" << value << "'\n";
                    return false;
                }
                options.log.interval = *interval;
                used = true;
            } else if (name == "--ref") {
                options.reference = hasValue ? ParseReference(value) : std::nullopt;
                if (!options.reference) {
                    err << "zarnmon-cli datalog: --ref takes LAT,LON,H (degrees -90..90, -180..180, metres; not 0,0), "
                           "not '"
                        << value << "'\n";
                    return false;
                }
                used = true;
            } else {
                err << "zarnmon-cli datalog: unknown option '" << name << "' (see --help)\n";
                return false;
            }
            return true;
        });
    if (const auto status = EndsEarly(kCommand, kDataLogHelp, help, common, out, err)) {
        return *status;
    }

    const CReferencePosition reference = options.reference.value_or(CReferencePosition{});
    if (!options.reference && options.log.logErrors) {
        err << "zarnmon-cli datalog: --errors without --ref writes positions, as the monitor does without a "
               "reference\n";
    }

    CReplay replay;
    CDataLog log(replay.Dispatcher(), replay.Clock(), reference);
    log.SetOptions(options.log);
    if (!log.Start(common->output, false)) {
        return CannotCreate(kCommand, common->output, err);
    }
    std::vector<std::string> files;
    const int status = ReplayIntoLog(
        kCommand, common->input, replay, log, err,
        [&] {
            if (log.IsOpen() && (files.empty() || files.back() != log.FilePath())) {
                files.push_back(log.FilePath());
            }
        },
        [] {});
    if (status != kExitOk) {
        return status;
    }
    out << log.RowsWritten() << " rows";
    if (files.empty()) {
        out << (options.log.autoLog ? " (no message 1 with a GPS time: no day file)" : "");
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        out << (i == 0 ? " to " : ", ") << files[i];
    }
    out << "\n";
    return kExitOk;
}

int RunPhaseLog(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    constexpr std::string_view kCommand = "phaselog";
    bool help = false;
    const auto common =
        ParseCommon(kCommand, args, err, help, [&](std::string_view name, std::string_view, bool, bool&) {
            err << "zarnmon-cli phaselog: unknown option '" << name << "' (see --help)\n";
            return false;
        });
    if (const auto status = EndsEarly(kCommand, kPhaseLogHelp, help, common, out, err)) {
        return *status;
    }
    CReplay replay;
    CPhaseLog log(replay.Dispatcher());
    return RecordCounted(
        kCommand, *common, replay, log, "frames", [&log] { return log.FramesWritten(); }, out, err);
}

int RunDebugLog(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    constexpr std::string_view kCommand = "debuglog";
    std::uint32_t mask = kDefaultDebugLogMask;
    bool help = false;
    const auto common = ParseCommon(
        kCommand, args, err, help, [&](std::string_view name, std::string_view value, bool hasValue, bool& used) {
            if (name != "--mask") {
                err << "zarnmon-cli debuglog: unknown option '" << name << "' (see --help)\n";
                return false;
            }
            const auto parsed = hasValue ? ParseHex32(value) : std::nullopt;
            if (!parsed) {
                err << "zarnmon-cli debuglog: --mask takes a hexadecimal number from 0 to FFFFFFFF such as 0001, not '"
                    << value << "'\n";
                return false;
            }
            mask = *parsed;
            used = true;
            return true;
        });
    if (const auto status = EndsEarly(kCommand, kDebugLogHelp, help, common, out, err)) {
        return *status;
    }
    CReplay replay;
    CDebugLog log(replay.Dispatcher().Rx());
    log.SetMask(mask);
    return RecordCounted(
        kCommand, *common, replay, log, "lines", [&log] { return log.LinesWritten(); }, out, err);
}

}  // namespace zarnmon::cli
