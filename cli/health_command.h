#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zarnmon::cli {

// zarnmon-cli health FILE|-
int RunHealth(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

extern const char* const kHealthHelp;

}  // namespace zarnmon::cli
