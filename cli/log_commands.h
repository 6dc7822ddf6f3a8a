#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zarnmon::cli {

// The output file could not be created or written.
inline constexpr int kExitWriteFailed = 1;

// zarnmon-cli datalog FILE|- -o OUT [--full] [--errors] [--interval S] [--auto] [--ref LAT,LON,H]
int RunDataLog(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
// zarnmon-cli phaselog FILE|- -o OUT
int RunPhaseLog(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);
// zarnmon-cli debuglog FILE|- -o OUT [--mask HEX]
int RunDebugLog(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

extern const char* const kDataLogHelp;
extern const char* const kPhaseLogHelp;
extern const char* const kDebugLogHelp;

}  // namespace zarnmon::cli
