#pragma once

// Colours as the receiver's layouts and the core give them, 0x00BBGGRR, as Qt colours.

#include <QColor>
#include <cstdint>

namespace zarnmon {

[[nodiscard]] inline QColor ColorFromRef(std::uint32_t ref) {
    return {static_cast<int>(ref & 0xFFU), static_cast<int>((ref >> 8) & 0xFFU), static_cast<int>((ref >> 16) & 0xFFU)};
}

// Values whose messages have stopped. A drawn view is painted over with a
// half-white wash, so whatever drew them, black text and lines come out in
// this grey and colours pale; a form writes its texts in it.
[[nodiscard]] inline QColor StaleWash() { return {255, 255, 255, 128}; }
[[nodiscard]] inline QColor StaleText() { return {128, 128, 128}; }

}  // namespace zarnmon
