// The option table behind the About box's list and --help. The About box's
// lines are the program's historic text and must stay byte for byte as they
// are; --help is ours and may say more.

#include <array>
#include <string>
#include <string_view>

#include "core/app/command_line.h"

namespace zarnmon {

namespace {

// Long options first, then the receiver flags in the About box's order.
constexpr std::array<CommandLineOption, 19> kOptions{{
    {"--help", "", "--help\tshow this help and exit"},
    {"--version", "", "--version\tshow the version and exit"},
    {"--simulate", "", "--simulate\tconnect to the built-in simulated receiver"},
    {"--replay", "", "--replay FILE\tplay the raw log FILE back as the receiver (not with --simulate or -COM:)"},
    {"--speed", "", "--speed 1|10|max\tspeed of --replay: real time, ten times, as fast as possible (default 1)"},
    {"--settings", "", "--settings FILE\tkeep the settings in FILE instead of the default profile"},
    {"--snapshot", "", "--snapshot DIR\topen every view, run, save each view as DIR/<key>.png and exit"},
    {"--seconds", "", "--seconds N\tlength of the snapshot run in seconds, 1 to 86400 (default 10)"},
    {"--pdf", "", "--pdf\twith --snapshot, also print each view as DIR/<key>.pdf"},
    {"--verbose", "", "--verbose\talso print the window toolkit's notices about the platform"},
    {"-COM:", "-COM:p\t-- Open com port p",
     "-COM:p, -COMp\topen COM port p, 1 to 256 (on Linux /dev/ttyS(p-1))\n"
     "-COM:999\topen the first USB serial receiver attached\n"
     "-COM:DEVICE\topen the serial device DEVICE, e.g. -COM:/dev/ttyUSB0"},
    {"-LOG:",
     "-LOG:fn\t-- Open and log to filename \"fn_time\"\n"
     "  \t   (if -AD, Date is appended to actual file name)",
     "-LOG:fn\tstart the data log in file fn (needs a port or --replay)"},
    {"-LOGB:",
     "-LOGB:fn\t-- Open and log binary to filename \"fn_time\"\n"
     "  \t   (if -AD, Date is appended to actual file name)",
     "-LOGB:fn\tstart the binary log in file fn (needs a port or --replay)"},
    {"-AD", "-AD\t-- Append Date to Log File Name", "-AD\tadd the date and time to the log file names"},
    {"-LI:", "-LI:sec\t-- Designate log interval seconds", "-LI:sec\tseconds between data log rows (0 to 3600)"},
    {"-LE",
     "-LE\t-- Log North, East, Up errors\n"
     "  \t   instead of Lat, Lon, Height",
     "-LE, -LE-\tlog north, east, up errors instead of latitude, longitude, height / do not"},
    {"-LA",
     "-LA\t-- Create Automatic Daily Log Files\n"
     "  \t   Name is based on name given in -LOG:fn",
     "-LA, -LA-\tautomatic daily data log files named after -LOG:fn / one file"},
    {"-LF", "-LF\t-- Do a full Log", "-LF, -LF-\tfull data log with the channel columns / short log"},
    {"-NA", "-NA\t-- Do not automatically turn on receiver messages",
     "-NA\tdo not turn on receiver messages automatically"},
}};

constexpr std::size_t kUsageColumn = 18;

bool IsLongOption(const CommandLineOption& option) { return option.flag.starts_with("--"); }

// Calls each(line) for the "\n"-separated lines of text.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        each(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
}

// "usage\tmeaning" as an indented line with the meanings in one column.
void AppendHelpLine(std::string& text, std::string_view line) {
    const auto tab = line.find('\t');
    const std::string_view usage = line.substr(0, tab);
    text += "  ";
    text += usage;
    if (tab != std::string_view::npos) {
        text.append(usage.size() + 2 > kUsageColumn ? 2 : kUsageColumn - usage.size(), ' ');
        text += line.substr(tab + 1);
    }
    text += '\n';
}

void AppendHelpSection(std::string& text, bool longOptions) {
    for (const CommandLineOption& option : kOptions) {
        if (IsLongOption(option) == longOptions) {
            ForEachLine(option.help, [&text](std::string_view line) { AppendHelpLine(text, line); });
        }
    }
}

}  // namespace

std::span<const CommandLineOption> CommandLineOptions() { return kOptions; }

std::string CommandLineOptionsText() {
    std::string text;
    for (const CommandLineOption& option : kOptions) {
        ForEachLine(option.about, [&text](std::string_view line) {
            if (!text.empty()) {
                text += "\r\n";
            }
            text += line;
        });
    }
    return text;
}

std::string UsageLine() { return "Usage: zarnmon [options] [receiver flags]\n"; }

std::string HelpText() {
    std::string text = UsageLine() +
                       "\n"
                       "Options:\n";
    AppendHelpSection(text, true);
    text +=
        "\n"
        "Receiver flags (upper or lower case; \"/\" may stand for \"-\"):\n";
    AppendHelpSection(text, false);
    text +=
        "\n"
        "Log options given here apply to this run only; they do not change the settings.\n";
    return text;
}

}  // namespace zarnmon
