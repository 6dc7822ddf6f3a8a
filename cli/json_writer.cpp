#include "cli/json_writer.h"

#include <cmath>

#include <nlohmann/json.hpp>

namespace zarnmon::cli {

namespace {

// A character below 0x20, or one of the two that delimit or escape, as
// nlohmann escapes it: the short forms where JSON has them, others as \u00xx.
std::string_view Escape(std::uint8_t c, std::array<char, 6>& scratch) {
    switch (c) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\b':
            return "\\b";
        case '\t':
            return "\\t";
        case '\n':
            return "\\n";
        case '\f':
            return "\\f";
        case '\r':
            return "\\r";
        default:
            break;
    }
    constexpr std::string_view kHex = "0123456789abcdef";
    scratch = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0x0F]};
    return {scratch.data(), scratch.size()};
}

}  // namespace

void JsonWriter::Number(double value) {
    Separate();
    if (!std::isfinite(value)) {
        Put("null");
        return;
    }
    // nlohmann's own formatting (Grisu2 with its exponent and ".0" rules): it
    // is not always the shortest form that reads back, so no other formatter
    // gives the same digits for every value.
    constexpr std::size_t kDigits = 64;
    char* at = Reserve(kDigits);
    size_ += static_cast<std::size_t>(nlohmann::detail::to_chars(at, at + kDigits, value) - at);
}

void JsonWriter::Quoted(std::span<const std::uint8_t> bytes, bool latin1) {
    Separate();
    Put('"');
    // Runs of characters that stay as they are go in one copy.
    std::size_t run = 0;
    const auto flush = [&](std::size_t end) {
        Put({reinterpret_cast<const char*>(bytes.data()) + run, end - run});
        run = end + 1;
    };
    std::array<char, 6> scratch{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t b = bytes[i];
        if (b >= 0x80 && latin1) {
            flush(i);
            const Utf8OfLatin1 encoded = EncodeLatin1(b);
            Put({encoded.bytes.data(), encoded.size});
        } else if (b < 0x20 || b == '"' || b == '\\') {
            flush(i);
            Put(Escape(b, scratch));
        }
    }
    Put({reinterpret_cast<const char*>(bytes.data()) + run, bytes.size() - run});
    Put('"');
}

}  // namespace zarnmon::cli
