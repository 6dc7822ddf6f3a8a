// zarnmon-cli: the monitor's core without a display, for recordings and for
// sending commands to a receiver.

#include <iostream>
#include <string_view>
#include <vector>

#include "cli/commands_command.h"
#include "cli/decode_command.h"
#include "cli/health_command.h"
#include "cli/iono_command.h"
#include "cli/log_commands.h"
#include "cli/monitor_command.h"
#include "cli/neu_command.h"
#include "cli/send_command.h"

namespace {

constexpr const char* kHelp =
    "usage: zarnmon-cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  decode    print every message of a recorded receiver byte stream as JSON\n"
    "  health    per message kind of a recording: stored, failed checks, longest gap, rate\n"
    "  iono      ionospheric delays decoded from the WAAS messages of a recording\n"
    "  datalog   write the data log of a recording, as the monitor would live\n"
    "  phaselog  write the phase log (raw measurement frames) of a recording\n"
    "  debuglog  write the debug log (\"$RX,\" messages 1-16) of a recording\n"
    "  monitor   run the monitor test over a recording to qualify a receiver\n"
    "  neu       north/east/up errors of a recording and its accuracy figures\n"
    "  commands  the receiver commands of the command page, with their help\n"
    "  send      send receiver commands over a serial port or TCP and print the replies\n"
    "\n"
    "zarnmon-cli COMMAND --help explains a command.\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kHelp;
        return zarnmon::cli::kExitUsage;
    }
    const std::string_view command = args.front();
    const std::span<const std::string_view> rest = std::span(args).subspan(1);
    if (command == "-h" || command == "--help" || command == "help") {
        std::cout << kHelp;
        return zarnmon::cli::kExitOk;
    }
    if (command == "decode") {
        return zarnmon::cli::RunDecode(rest, std::cout, std::cerr);
    }
    if (command == "health") {
        return zarnmon::cli::RunHealth(rest, std::cout, std::cerr);
    }
    if (command == "iono") {
        return zarnmon::cli::RunIono(rest, std::cout, std::cerr);
    }
    if (command == "datalog") {
        return zarnmon::cli::RunDataLog(rest, std::cout, std::cerr);
    }
    if (command == "phaselog") {
        return zarnmon::cli::RunPhaseLog(rest, std::cout, std::cerr);
    }
    if (command == "debuglog") {
        return zarnmon::cli::RunDebugLog(rest, std::cout, std::cerr);
    }
    if (command == "monitor") {
        return zarnmon::cli::RunMonitor(rest, std::cout, std::cerr);
    }
    if (command == "neu") {
        return zarnmon::cli::RunNeu(rest, std::cout, std::cerr);
    }
    if (command == "commands") {
        return zarnmon::cli::RunCommands(rest, std::cout, std::cerr);
    }
    if (command == "send") {
        return zarnmon::cli::RunSend(rest, std::cout, std::cerr);
    }
    std::cerr << "zarnmon-cli: unknown command '" << command << "'\n\n" << kHelp;
    return zarnmon::cli::kExitUsage;
}
