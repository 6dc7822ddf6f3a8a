#include "core/app/command_line.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "core/link/scan.h"

namespace zarnmon {

namespace {

constexpr std::array<std::string_view, 12> kMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// Digits only: "%d" would take "3x" as 3, but a typo in a port number must not open another port.
std::optional<int> WholeNumber(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return ScanInt(text);
}

bool IsDevicePath(std::string_view text) { return text.find_first_of("/\\") != std::string_view::npos; }

void TakePort(std::string_view arg, std::string_view value, CommandLine& cmd) {
    if (!value.empty() && IsDevicePath(value)) {
        cmd.device = value;
        cmd.portGiven = true;
        return;
    }
    const auto port = WholeNumber(value);
    if (!port || ((*port < kMinPort || *port > kMaxPort) && *port != kUsbPort)) {
        cmd.problems.push_back(Quoted(arg) + ": a COM port needs a number from 1 to 256, 999 or a device path");
        return;
    }
    cmd.port = *port;
    cmd.device.clear();
    cmd.portGiven = true;
}

void TakeFileName(std::string_view arg, std::string_view value, std::string& name, CommandLine& cmd) {
    if (value.empty()) {
        cmd.problems.push_back(Quoted(arg) + ": a file name must follow the colon");
        return;
    }
    name = value;
}

void TakeInterval(std::string_view arg, std::string_view value, CommandLine& cmd) {
    const auto seconds = WholeNumber(value);
    if (!seconds || *seconds < kMinInterval || *seconds > kMaxInterval) {
        cmd.problems.push_back(Quoted(arg) + ": the log interval is a whole number of seconds from 0 to 3600");
        return;
    }
    cmd.log.interval = *seconds;
}

// Flags that must match whole; false when name is none of them.
bool TakeSwitch(std::string_view name, CommandLine& cmd) {
    struct Switch {
        std::string_view name;
        bool CommandLine::*flag;
        bool value;
    };
    static constexpr std::array<Switch, 2> kAppSwitches{{
        {"AD", &CommandLine::appendDate, true},
        {"NA", &CommandLine::autoConfigure, false},
    }};
    struct LogSwitch {
        std::string_view name;
        bool LogSettings::*flag;
        bool value;
    };
    static constexpr std::array<LogSwitch, 6> kLogSwitches{{
        {"LE-", &LogSettings::logErrors, false},
        {"LE", &LogSettings::logErrors, true},
        {"LF-", &LogSettings::fullLog, false},
        {"LF", &LogSettings::fullLog, true},
        {"LA-", &LogSettings::autoLog, false},
        {"LA", &LogSettings::autoLog, true},
    }};
    for (const LogSwitch& s : kLogSwitches) {
        if (name == s.name) {
            cmd.log.*s.flag = s.value;
            return true;
        }
    }
    for (const Switch& s : kAppSwitches) {
        if (name == s.name) {
            cmd.*s.flag = s.value;
            return true;
        }
    }
    return false;
}

void TakeFlag(std::string_view arg, CommandLine& cmd) {
    const std::string_view body = arg.substr(1);
    const std::string name = Upper(body);
    if (name.starts_with("COM")) {
        TakePort(arg, body.substr(name.starts_with("COM:") ? 4 : 3), cmd);
    } else if (name.starts_with("LOG:")) {
        TakeFileName(arg, body.substr(4), cmd.dataLogName, cmd);
    } else if (name.starts_with("LOGB:")) {
        TakeFileName(arg, body.substr(5), cmd.binaryLogName, cmd);
    } else if (name.starts_with("LI:")) {
        TakeInterval(arg, body.substr(3), cmd);
    } else if (!TakeSwitch(name, cmd)) {
        cmd.problems.push_back("unknown option " + Quoted(arg));
    }
}

void TakeText(std::string_view name, std::string_view value, std::string& field, CommandLine& cmd) {
    if (value.empty()) {
        cmd.problems.push_back(Quoted(name) + " needs a non-empty value");
        return;
    }
    field = value;
}

void TakeSettings(std::string_view name, std::string_view value, CommandLine& cmd) {
    TakeText(name, value, cmd.settingsFile, cmd);
}

void TakeSnapshot(std::string_view name, std::string_view value, CommandLine& cmd) {
    TakeText(name, value, cmd.snapshotDir, cmd);
}

void TakeReplay(std::string_view name, std::string_view value, CommandLine& cmd) {
    TakeText(name, value, cmd.replayFile, cmd);
}

void TakeSeconds(std::string_view name, std::string_view value, CommandLine& cmd) {
    const auto seconds = WholeNumber(value);
    if (!seconds || *seconds < kMinSnapshotSeconds || *seconds > kMaxSnapshotSeconds) {
        cmd.problems.push_back(Quoted(name) + " " + Quoted(value) + ": a whole number of seconds from 1 to 86400");
        return;
    }
    cmd.snapshotSeconds = *seconds;
}

void TakeSpeed(std::string_view /*name*/, std::string_view value, CommandLine& cmd) {
    struct Speed {
        std::string_view text;
        ReplaySpeed speed;
    };
    static constexpr std::array<Speed, 3> kSpeeds{{
        {"1", ReplaySpeed::RealTime},
        {"10", ReplaySpeed::Times10},
        {"max", ReplaySpeed::Fastest},
    }};
    for (const Speed& speed : kSpeeds) {
        if (value == speed.text) {
            cmd.replaySpeed = speed.speed;
            return;
        }
    }
    cmd.problems.push_back("--speed must be 1, 10 or max");
}

// Returns the index of the last argument used.
std::size_t TakeLongOption(std::span<const std::string> args, std::size_t i, CommandLine& cmd) {
    const std::string_view arg = args[i];
    const auto equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    std::optional<std::string_view> value;
    if (equals != std::string_view::npos) {
        value = arg.substr(equals + 1);
    }

    struct Flag {
        std::string_view name;
        bool CommandLine::*field;
    };
    static constexpr std::array<Flag, 5> kFlags{{
        {"--help", &CommandLine::help},
        {"--version", &CommandLine::version},
        {"--simulate", &CommandLine::simulate},
        {"--verbose", &CommandLine::verbose},
        {"--pdf", &CommandLine::snapshotPdf},
    }};
    for (const Flag& flag : kFlags) {
        if (name == flag.name) {
            if (value) {
                cmd.problems.push_back(Quoted(arg) + ": " + Quoted(name) + " takes no value");
            } else {
                cmd.*flag.field = true;
            }
            return i;
        }
    }

    struct Valued {
        std::string_view name;
        void (*take)(std::string_view name, std::string_view value, CommandLine& cmd);
    };
    static constexpr std::array<Valued, 5> kValued{{
        {"--settings", &TakeSettings},
        {"--snapshot", &TakeSnapshot},
        {"--seconds", &TakeSeconds},
        {"--replay", &TakeReplay},
        {"--speed", &TakeSpeed},
    }};
    for (const Valued& option : kValued) {
        if (name != option.name) {
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                cmd.problems.push_back(Quoted(arg) + " needs a value");
                return i;
            }
            value = args[++i];
        }
        option.take(name, *value, cmd);
        return i;
    }
    cmd.problems.push_back("unknown option " + Quoted(arg));
    return i;
}

// A replay is the receiver: it cannot share the run with another one.
void CheckStartupLinks(CommandLine& cmd) {
    if (cmd.replayFile.empty()) {
        return;
    }
    if (cmd.simulate) {
        cmd.problems.push_back("\"--replay\" and \"--simulate\" are two receivers: give one of them");
    }
    if (cmd.portGiven) {
        cmd.problems.push_back("\"--replay\" and a -COM: port are two receivers: give one of them");
    }
}

std::string TwoDigits(int value) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%02d", value);
    return text.data();
}

}  // namespace

CommandLine DefaultCommandLine(const CommSettings& comm, const LogSettings& log) {
    CommandLine cmd;
    cmd.port = comm.port;
    cmd.device = comm.device;
    cmd.log = log;
    return cmd;
}

CommandLine ParseCommandLine(std::span<const std::string> args, CommandLine defaults) {
    CommandLine cmd = std::move(defaults);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg.starts_with("--") && arg.size() > 2) {
            i = TakeLongOption(args, i, cmd);
        } else if (!arg.empty() && (arg.front() == '-' || arg.front() == '/')) {
            TakeFlag(arg, cmd);
        } else {
            cmd.problems.push_back("unexpected argument " + Quoted(arg));
        }
    }
    CheckStartupLinks(cmd);
    return cmd;
}

std::vector<std::string> WithoutToolkitOptions(std::span<const std::string> args) {
    static constexpr std::array<std::string_view, 14> withValue{
        "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
        "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
        "display",     "geometry",           "title",         "name"};
    static constexpr std::array<std::string_view, 5> alone{"reverse", "widgetcount", "nograb", "dograb", "sync"};
    std::vector<std::string> kept;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        if (!name.starts_with('-')) {
            kept.push_back(args[i]);
            continue;
        }
        name.remove_prefix(name.starts_with("--") ? 2 : 1);
        const std::string_view bare = name.substr(0, name.find('='));
        if (std::ranges::find(withValue, bare) != withValue.end()) {
            // "-style=fusion" carries its value; "-style fusion" takes the next argument.
            i += bare.size() == name.size() ? 1 : 0;
        } else if (std::ranges::find(alone, name) == alone.end() && !name.starts_with("qmljsdebugger=")) {
            kept.push_back(args[i]);
        }
    }
    return kept;
}

std::string PortDevicePath(int port, HostPlatform platform) {
    if (port < 1 || port == kUsbPort) {
        return {};
    }
    if (platform == HostPlatform::Windows) {
        return "COM" + std::to_string(port);
    }
    return "/dev/ttyS" + std::to_string(port - 1);
}

std::string ResolveDevice(int port, std::string_view device, HostPlatform platform) {
    return device.empty() ? PortDevicePath(port, platform) : std::string(device);
}

std::string AppendDateToFileName(std::string_view name, const std::tm& localTime) {
    const auto separator = name.find_last_of("/\\");
    const std::size_t fileStart = separator == std::string_view::npos ? 0 : separator + 1;
    auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot <= fileStart) {
        dot = name.size();
    }
    const int month = ((localTime.tm_mon % 12) + 12) % 12;
    const std::string date = "_" + std::string(kMonthNames[static_cast<std::size_t>(month)]) +
                             TwoDigits(localTime.tm_mday) + "_" + TwoDigits(localTime.tm_hour) + "-" +
                             TwoDigits(localTime.tm_min);
    return std::string(name.substr(0, dot)) + date + std::string(name.substr(dot));
}

StartupLogs StartupLogNames(const CommandLine& commandLine, const std::tm& localTime) {
    StartupLogs logs;
    if (!commandLine.portGiven && commandLine.replayFile.empty()) {
        return logs;
    }
    logs.dataLog = commandLine.dataLogName;
    if (!logs.dataLog.empty() && commandLine.appendDate && !commandLine.log.autoLog) {
        logs.dataLog = AppendDateToFileName(logs.dataLog, localTime);
    }
    logs.binaryLog = commandLine.binaryLogName;
    if (!logs.binaryLog.empty() && commandLine.appendDate) {
        logs.binaryLog = AppendDateToFileName(logs.binaryLog, localTime);
    }
    return logs;
}

}  // namespace zarnmon
