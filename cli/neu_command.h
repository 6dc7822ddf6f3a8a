#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zarnmon::cli {

// zarnmon-cli neu FILE|- [--ref LAT,LON,H] [--settings INI] [--minutes M] [--range METRES]
int RunNeu(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

extern const char* const kNeuHelp;

}  // namespace zarnmon::cli
