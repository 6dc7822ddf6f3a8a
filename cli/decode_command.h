#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace zarnmon::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;

// zarnmon-cli decode [--chunk N] FILE|-
int RunDecode(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

extern const char* const kDecodeHelp;

}  // namespace zarnmon::cli
