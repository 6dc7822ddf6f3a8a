#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zarnmon::cli {

// zarnmon-cli commands [--json]
int RunCommands(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

extern const char* const kCommandsHelp;

}  // namespace zarnmon::cli
