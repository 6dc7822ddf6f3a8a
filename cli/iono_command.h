#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zarnmon::cli {

// zarnmon-cli iono FILE|- [--extend 0|1] [--points LON,LAT;...] [--igp] [--settings FILE]
int RunIono(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

extern const char* const kIonoHelp;

}  // namespace zarnmon::cli
