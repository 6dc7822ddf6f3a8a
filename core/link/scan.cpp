#include "core/link/scan.h"

#include <charconv>
#include <cstdint>

namespace zarnmon {

namespace {

// Skips blanks and a leading '+' (which from_chars does not take); keeps a '-'.
std::string_view NumberStart(std::string_view text) {
    const auto start = text.find_first_not_of(" \t\r\n\v\f");
    if (start == std::string_view::npos) {
        return {};
    }
    text.remove_prefix(start);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            return {};
        }
    }
    return text;
}

template <typename T>
std::optional<T> ScanNumber(std::string_view text) {
    text = NumberStart(text);
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end == text.data()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<int> ScanInt(std::string_view text) { return ScanNumber<int>(text); }

std::optional<double> ScanDouble(std::string_view text) { return ScanNumber<double>(text); }

}  // namespace zarnmon
