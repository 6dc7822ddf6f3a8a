#pragma once

// Number parsing with the leniency of the receiver's text and of the settings
// file: leading blanks and a sign are accepted, and parsing stops at the first
// character that cannot continue the number ("12,3" reads 12). nullopt when no
// number starts the text.

#include <optional>
#include <string_view>

namespace zarnmon {

[[nodiscard]] std::optional<int> ScanInt(std::string_view text);
[[nodiscard]] std::optional<double> ScanDouble(std::string_view text);

}  // namespace zarnmon
