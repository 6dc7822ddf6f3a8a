#pragma once

// The program's command line: the receiver flags that open a port and start
// logs at start-up, and the program's own long options.
//
// Receiver flags start with "-" or "/"; their names are matched without regard
// to case, but what follows a name (a file name, a device path) keeps its case,
// since file systems are case-sensitive. "COM", "LOG:", "LOGB:" and "LI:" are
// prefixes, tried in that order (so "-LOGB:x" is not a "-LOG:" flag with the
// name "B:x"); the other flags must match whole. Long options are "--name
// VALUE" or "--name=VALUE" and are case-sensitive.
//
// Nothing is silently ignored: an unknown flag, a stray argument, a missing
// value, a number that does not read or lies outside its range, or --replay
// beside another start-up link (--simulate, a -COM: port) is described in
// `problems` and leaves the record as it was, so the program can show every
// mistake at once.

#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/host_platform.h"
#include "core/app/settings_keys.h"
#include "core/app/version.h"
#include "core/link/replay_speed.h"

namespace zarnmon {

inline constexpr int kDefaultSnapshotSeconds = 10;
// A day at most; the snapshot timer counts milliseconds in an int.
inline constexpr int kMinSnapshotSeconds = 1;
inline constexpr int kMaxSnapshotSeconds = 86400;

struct CommandLine {
    // Receiver flags.
    int port = kDefaultPort;  // -COM:p, -COMp
    std::string device;       // -COM:/dev/ttyUSB0; empty: the device of `port`
    std::string dataLogName;  // -LOG:fn
    std::string binaryLogName;
    LogSettings log;  // -LE, -LF, -LI:, -LA (each also with "-" to switch off)
    bool appendDate = false;
    bool portGiven = false;
    bool autoConfigure = true;  // -NA clears it

    // Long options.
    bool help = false;
    bool version = false;
    bool simulate = false;
    bool verbose = false;    // the toolkit's notices too
    std::string replayFile;  // a raw log played back as the receiver; empty: none
    ReplaySpeed replaySpeed = ReplaySpeed::RealTime;
    std::string settingsFile;  // empty: the default profile
    std::string snapshotDir;   // empty: no snapshot run
    int snapshotSeconds = kDefaultSnapshotSeconds;
    bool snapshotPdf = false;  // the snapshot run also prints each view to DIR/<key>.pdf

    std::vector<std::string> problems;
};

// The record before parsing: port and log options from the profile.
[[nodiscard]] CommandLine DefaultCommandLine(const CommSettings& comm, const LogSettings& log);

// args without the program name. Later flags override earlier ones.
[[nodiscard]] CommandLine ParseCommandLine(std::span<const std::string> args, CommandLine defaults);

// args without the options the window toolkit takes for itself (-platform
// NAME, -style NAME, -reverse, ... with one dash or two), so the program's own
// options can be checked before the toolkit starts, and without a display.
[[nodiscard]] std::vector<std::string> WithoutToolkitOptions(std::span<const std::string> args);

// The device of a COM port number: "COMn" on Windows, /dev/ttyS(n-1)
// elsewhere. Empty for numbers below 1 and for the USB port, whose device
// only the attached hardware can tell.
[[nodiscard]] std::string PortDevicePath(int port, HostPlatform platform = kHostPlatform);
// The device to open: the path when one was given, else the port's device.
[[nodiscard]] std::string ResolveDevice(int port, std::string_view device, HostPlatform platform = kHostPlatform);

// name with "_%b%d_%H-%M" of localTime inserted before its extension: the
// text after the last "." of the file name when that dot is not its first
// character. Dots in folder names do not count. Month names are English
// whatever the user's locale, so log names do not depend on it:
// "run.log" at 10:15 on 5 December gives "run_Dec05_10-15.log".
[[nodiscard]] std::string AppendDateToFileName(std::string_view name, const std::tm& localTime);

// The logs to start with the connection the command line asked for: none
// without a port or a replay; the date is added with -AD, except to a data log that
// automatic daily files will name. Empty names start no log.
struct StartupLogs {
    std::string dataLog;
    std::string binaryLog;
};
[[nodiscard]] StartupLogs StartupLogNames(const CommandLine& commandLine, const std::tm& localTime);

// The about box.
inline constexpr std::string_view kAboutTitle = "About ZarnMon";
inline constexpr std::string_view kCommandLineOptionsTitle = "Command Line Options";

// One row per option, the single source of both the About box's list and
// --help, so the two cannot drift apart.
struct CommandLineOption {
    std::string_view flag;   // what the parser matches: "--replay", "-COM:", "-LE"
    std::string_view about;  // the About box's lines, "\n" between them; empty: not listed there
    std::string_view help;   // --help lines, "\n" between them, "\t" between usage and meaning
};
[[nodiscard]] std::span<const CommandLineOption> CommandLineOptions();

// The About box's "Command Line Options" text, lines separated by "\r\n".
[[nodiscard]] std::string CommandLineOptionsText();
// The first line of the help: what a mistake on the command line is answered with.
[[nodiscard]] std::string UsageLine();
// What --help prints.
[[nodiscard]] std::string HelpText();

}  // namespace zarnmon
