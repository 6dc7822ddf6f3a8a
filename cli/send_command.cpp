#include "cli/send_command.h"

#include <optional>

#include "cli/decode_command.h"
#include "cli/option_values.h"
#include "cli/recording_input.h"
#include "core/commands/command_send.h"

namespace zarnmon::cli {

const char* const kSendHelp =
    "usage: zarnmon-cli send (--port DEVICE [--baud N] | --tcp HOST:PORT) [--wait MS] COMMAND...\n"
    "\n"
    "Sends receiver commands as the command page does: each cut at its first line\n"
    "end and ended with a carriage return, a \"$J4STRING\" behind a \"$JOFF\". After\n"
    "each command it prints, one per line, every reply line the receiver sends\n"
    "within the wait: \"$>\" replies, \"$C\" beacon replies and the acknowledgements\n"
    "of message switches.\n"
    "\n"
    "  --port DEVICE    a serial port (/dev/ttyUSB0, a pseudo-terminal)\n"
    "  --baud N         its baud rate, 1 to 4000000 (default 19200)\n"
    "  --tcp HOST:PORT  a receiver behind a serial-to-network server\n"
    "                   (or zarnmon-sim --tcp PORT)\n"
    "  --wait MS        how long to collect the replies to each command, 1 to\n"
    "                   600000 milliseconds (default 2000)\n"
    "  -h, --help       show this help\n"
    "\n"
    "Exit status: 0 when every command got a reply, 1 when one got none, 2 for\n"
    "bad arguments, an empty command or a link that cannot be opened.\n";

namespace {

constexpr std::string_view kCommand = "send";
constexpr std::int64_t kMaxWaitMs = 600000;
constexpr std::int64_t kMaxBaud = 4000000;

// "HOST:PORT"; the port is after the last colon, so the host may be any name.
bool ParseHostPort(std::string_view text, SendOptions& options) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    const auto port = ParseWholeNumber(text.substr(colon + 1), 1, 65535);
    if (!port) {
        return false;
    }
    options.host = std::string(text.substr(0, colon));
    options.tcpPort = static_cast<std::uint16_t>(*port);
    return true;
}

// A bad command line: the reason, then the usage line of the help.
std::nullopt_t Refuse(std::ostream& err, std::string_view reason) {
    const std::string_view help = kSendHelp;
    err << "zarnmon-cli send: " << reason << '\n' << help.substr(0, help.find('\n') + 1);
    return std::nullopt;
}

std::optional<SendOptions> ParseArgs(std::span<const std::string_view> args, std::ostream& err, bool& help) {
    SendOptions options;
    bool baudGiven = false;
    bool tcp = false;
    bool commandsOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (commandsOnly || !arg.starts_with('-')) {
            options.commands.emplace_back(arg);
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            help = true;
            return std::nullopt;
        }
        if (arg == "--") {
            commandsOnly = true;
            continue;
        }
        std::string_view name;
        for (const std::string_view known : {"--port", "--baud", "--tcp", "--wait"}) {
            if (IsOption(arg, known)) {
                name = known;
            }
        }
        if (name.empty()) {
            return Refuse(err, "unknown option '" + std::string(arg) + "'");
        }
        const auto value = OptionValue(kCommand, args, i, name, err);
        if (!value) {
            return std::nullopt;
        }
        if (name == "--port") {
            if (value->empty()) {
                return Refuse(err, "--port needs a device");
            }
            options.device = std::string(*value);
        } else if (name == "--tcp") {
            if (!ParseHostPort(*value, options)) {
                return Refuse(err,
                              "--tcp takes HOST:PORT with a port from 1 to 65535, not '" + std::string(*value) + "'");
            }
            tcp = true;
        } else if (name == "--baud") {
            const auto baud = ParseWholeNumber(*value, 1, kMaxBaud);
            if (!baud) {
                return Refuse(err, "--baud takes a whole number from 1 to 4000000, not '" + std::string(*value) + "'");
            }
            options.baud = *baud;
            baudGiven = true;
        } else {
            const auto wait = ParseWholeNumber(*value, 1, kMaxWaitMs);
            if (!wait) {
                return Refuse(err, "--wait takes milliseconds from 1 to 600000, not '" + std::string(*value) + "'");
            }
            options.waitMs = *wait;
        }
    }
    if (options.device.empty() == !tcp) {
        return Refuse(err, "name one link: --port DEVICE or --tcp HOST:PORT");
    }
    if (tcp && baudGiven) {
        return Refuse(err, "--baud is for a serial port, not a TCP link");
    }
    if (options.commands.empty()) {
        return Refuse(err, "name at least one command to send");
    }
    return options;
}

}  // namespace

int RunSend(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    bool help = false;
    const auto options = ParseArgs(args, err, help);
    if (const auto status = EndsBeforeReading(help, options, kSendHelp, out)) {
        return *status;
    }
    // The command page refuses an empty command; here nothing is sent at all then.
    for (const std::string& command : options->commands) {
        if (command.empty()) {
            err << "zarnmon-cli send: " << kInvalidEntry << '\n';
            return kExitUsage;
        }
    }
    return SendOverLink(*options, out, err);
}

}  // namespace zarnmon::cli
