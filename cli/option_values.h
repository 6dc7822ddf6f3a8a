#pragma once

// Values of the headless commands' options. Unlike the receiver's text and the
// profile, a command line is read strictly: the whole value must be the
// number and lie in the option's range, so a typo ends the run with a message
// instead of quietly meaning something else (or asking for a 100 TB buffer).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>

#include "core/state/reference_position.h"

namespace zarnmon::cli {

// Whether arg is the option name, given as "--name" or "--name=VALUE".
[[nodiscard]] bool IsOption(std::string_view arg, std::string_view name);
// The value of the option at args[i], given as "--name=VALUE" or as "--name VALUE" (i then moves to the
// value); nullopt, with a message naming the command, when the value is missing.
[[nodiscard]] std::optional<std::string_view> OptionValue(std::string_view command,
                                                          std::span<const std::string_view> args, std::size_t& i,
                                                          std::string_view name, std::ostream& err);

// Decimal digits only, min..max.
[[nodiscard]] std::optional<std::int64_t> ParseWholeNumber(std::string_view text, std::int64_t min, std::int64_t max);
// A finite decimal number, optionally signed.
[[nodiscard]] std::optional<double> ParseDecimal(std::string_view text);
// One to eight hexadecimal digits, with or without "0x".
[[nodiscard]] std::optional<std::uint32_t> ParseHex32(std::string_view text);
// "LAT,LON,H" (degrees north, degrees east, metres) as a valid reference,
// through the profile's own rules: each value in range, kept to the
// precision the profile keeps, and 0/0 no reference.
[[nodiscard]] std::optional<CReferencePosition> ParseReference(std::string_view text);

}  // namespace zarnmon::cli
