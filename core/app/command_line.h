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
// value or a number that does not read is described in `problems` and leaves
// the record as it was, so the program can show every mistake at once.

#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/host_platform.h"
#include "core/app/settings_keys.h"

namespace zarnmon {

inline constexpr int kDefaultSnapshotSeconds = 10;

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
    std::string settingsFile;  // empty: the default profile
    std::string snapshotDir;   // empty: no snapshot run
    int snapshotSeconds = kDefaultSnapshotSeconds;

    std::vector<std::string> problems;
};

// The record before parsing: port and log options from the profile.
[[nodiscard]] CommandLine DefaultCommandLine(const CommSettings& comm, const LogSettings& log);

// args without the program name. Later flags override earlier ones.
[[nodiscard]] CommandLine ParseCommandLine(std::span<const std::string> args, CommandLine defaults);

// The device of a COM port number: "COMn" on Windows, /dev/ttyS(n-1)
// elsewhere. Empty for numbers below 1.
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
// without a port; the date is added with -AD, except to a data log that
// automatic daily files will name. Empty names start no log.
struct StartupLogs {
    std::string dataLog;
    std::string binaryLog;
};
[[nodiscard]] StartupLogs StartupLogNames(const CommandLine& commandLine, const std::tm& localTime);

// The about box.
inline constexpr std::string_view kAboutTitle = "About ZarnMon";
inline constexpr std::string_view kVersionText = "ZarnMon Version 2.18";
inline constexpr std::string_view kCommandLineOptionsTitle = "Command Line Options";
inline constexpr std::string_view kCommandLineOptionsText =
    "-COM:p\t-- Open com port p\r\n"
    "-LOG:fn\t-- Open and log to filename \"fn_time\"\r\n"
    "  \t   (if -AD, Date is appended to actual file name)\r\n"
    "-LOGB:fn\t-- Open and log binary to filename \"fn_time\"\r\n"
    "  \t   (if -AD, Date is appended to actual file name)\r\n"
    "-AD\t-- Append Date to Log File Name\r\n"
    "-LI:sec\t-- Designate log interval seconds\r\n"
    "-LE\t-- Log North, East, Up errors\r\n"
    "  \t   instead of Lat, Lon, Height\r\n"
    "-LA\t-- Create Automatic Daily Log Files\r\n"
    "  \t   Name is based on name given in -LOG:fn\r\n"
    "-LF\t-- Do a full Log\r\n"
    "-NA\t-- Do not automatically turn on receiver messages";

// --help.
inline constexpr std::string_view kHelpText =
    "Usage: zarnmon [options] [receiver flags]\n"
    "\n"
    "Options:\n"
    "  --help            show this help and exit\n"
    "  --version         show the version and exit\n"
    "  --simulate        connect to the built-in simulated receiver\n"
    "  --settings FILE   keep the settings in FILE instead of the default profile\n"
    "  --snapshot DIR    open every view, run, save each view as DIR/<key>.png and exit\n"
    "  --seconds N       length of the snapshot run in seconds (default 10)\n"
    "\n"
    "Receiver flags (upper or lower case; \"/\" may stand for \"-\"):\n"
    "  -COM:p, -COMp     open COM port p (on Linux /dev/ttyS(p-1))\n"
    "  -COM:DEVICE       open the serial device DEVICE, e.g. -COM:/dev/ttyUSB0\n"
    "  -LOG:fn           start the data log in file fn (needs a port)\n"
    "  -LOGB:fn          start the binary log in file fn (needs a port)\n"
    "  -AD               add the date and time to the log file names\n"
    "  -LI:sec           seconds between data log rows (0 to 3600)\n"
    "  -LE, -LE-         log north, east, up errors instead of latitude, longitude, height / do not\n"
    "  -LF, -LF-         full data log with the channel columns / short log\n"
    "  -LA, -LA-         automatic daily data log files named after -LOG:fn / one file\n"
    "  -NA               do not turn on receiver messages automatically\n"
    "\n"
    "Log options given here apply to this run only; they do not change the settings.\n";

}  // namespace zarnmon
