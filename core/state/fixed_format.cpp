#include "core/state/fixed_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace zarnmon {

void AppendFixed(std::string& out, double value, int precision) {
    // Wide enough for every finite double in fixed notation with a few decimals.
    std::array<char, 400> buffer;
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, precision);
    if (result.ec == std::errc{}) {
        out.append(buffer.data(), result.ptr);
        return;
    }
    std::array<char, 1024> wide;
    const int n = std::snprintf(wide.data(), wide.size(), "%.*f", precision, value);
    if (n > 0) {
        out.append(wide.data(), static_cast<std::size_t>(std::min<int>(n, static_cast<int>(wide.size()) - 1)));
    }
}

void AppendInt(std::string& out, long long value) {
    std::array<char, 24> buffer;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), result.ptr);
}

}  // namespace zarnmon
