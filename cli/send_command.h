#pragma once

// zarnmon-cli send: receiver commands sent over a real link, as the command
// page sends them, with the replies that come back. Reading the command line
// is the same in every build; the link itself needs Qt, so the build links
// one of two implementations of SendOverLink: the real one, or one that
// reports that this build has no links.

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/settings_keys.h"

namespace zarnmon::cli {

// A command that got no reply within the wait.
inline constexpr int kExitNoReply = 1;

struct SendOptions {
    std::string device;  // serial device; empty for a TCP link
    std::int64_t baud = kDefaultBaud;
    std::string host;  // with a TCP link
    std::uint16_t tcpPort = 0;
    std::int64_t waitMs = 2000;  // per command
    std::vector<std::string> commands;
};

// zarnmon-cli send (--port DEVICE [--baud N] | --tcp HOST:PORT) [--wait MS] COMMAND...
int RunSend(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

// Opens the link, sends each command and prints the reply lines stored within
// the wait after it; the exit status.
int SendOverLink(const SendOptions& options, std::ostream& out, std::ostream& err);

extern const char* const kSendHelp;

}  // namespace zarnmon::cli
