#include "cli/commands_command.h"

#include <cstdint>

#include <nlohmann/json.hpp>

#include "cli/decode_command.h"
#include "cli/message_json.h"
#include "core/commands/command_catalogue.h"

namespace zarnmon::cli {

const char* const kCommandsHelp =
    "usage: zarnmon-cli commands [--json]\n"
    "\n"
    "Prints the receiver commands the command page offers, in its order: each\n"
    "command's syntax, then its help lines indented by two spaces.\n"
    "\n"
    "  --json      one JSON array of {\"syntax\": ..., \"help\": [line, ...]}\n"
    "  -h, --help  show this help\n"
    "\n"
    "Exit status: 0, or 2 for bad arguments.\n";

namespace {

std::string Utf8(std::string_view latin1) {
    return Latin1ToUtf8({reinterpret_cast<const std::uint8_t*>(latin1.data()), latin1.size()});
}

void PrintText(std::ostream& out) {
    for (const CommandEntry& entry : CommandCatalogue()) {
        out << entry.syntax << '\n';
        for (const std::string_view line : HelpLines(entry)) {
            out << "  " << line << '\n';
        }
    }
}

void PrintJson(std::ostream& out) {
    nlohmann::ordered_json entries = nlohmann::ordered_json::array();
    for (const CommandEntry& entry : CommandCatalogue()) {
        nlohmann::ordered_json help = nlohmann::ordered_json::array();
        for (const std::string_view line : HelpLines(entry)) {
            help.push_back(Utf8(line));
        }
        entries.push_back({{"syntax", Utf8(entry.syntax)}, {"help", std::move(help)}});
    }
    out << entries.dump(2) << '\n';
}

}  // namespace

int RunCommands(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    bool json = false;
    for (const std::string_view arg : args) {
        if (arg == "-h" || arg == "--help") {
            out << kCommandsHelp;
            return kExitOk;
        }
        if (arg != "--json") {
            err << "zarnmon-cli commands: unknown argument '" << arg << "' (see --help)\n";
            return kExitUsage;
        }
        json = true;
    }
    if (json) {
        PrintJson(out);
    } else {
        PrintText(out);
    }
    return kExitOk;
}

}  // namespace zarnmon::cli
