#pragma once

// Letter case of the receiver's command text: plain ASCII, whatever the
// locale, so that 8-bit bytes in a typed command pass through unchanged.

#include <algorithm>
#include <string>
#include <string_view>

namespace zarnmon {

[[nodiscard]] constexpr char UpperAscii(char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

[[nodiscard]] inline std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    std::ranges::transform(upper, upper.begin(), [](char c) { return UpperAscii(c); });
    return upper;
}

[[nodiscard]] constexpr bool EqualsNoCase(std::string_view a, std::string_view b) noexcept {
    return std::ranges::equal(a, b, [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

[[nodiscard]] constexpr bool StartsWithNoCase(std::string_view text, std::string_view prefix) noexcept {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace zarnmon
