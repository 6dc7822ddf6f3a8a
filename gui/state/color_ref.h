#pragma once

// Colours as the receiver's layouts and the core give them, 0x00BBGGRR, as Qt colours.

#include <QColor>
#include <cstdint>

namespace zarnmon {

[[nodiscard]] inline QColor ColorFromRef(std::uint32_t ref) {
    return {static_cast<int>(ref & 0xFFU), static_cast<int>((ref >> 8) & 0xFFU), static_cast<int>((ref >> 16) & 0xFFU)};
}

}  // namespace zarnmon
