#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zarnmon::cli {

// Exit statuses of the monitor command besides kExitOk (the test ends
// conducting) and kExitUsage.
inline constexpr int kExitTestFailed = 1;
inline constexpr int kExitNeverStarted = 3;

// zarnmon-cli monitor FILE|- [--thresholds INI]
int RunMonitor(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

extern const char* const kMonitorHelp;

}  // namespace zarnmon::cli
