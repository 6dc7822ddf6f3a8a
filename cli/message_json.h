#pragma once

// A stored message as one JSON object: binary frames with every named field
// of their layout, text lines as received.

#include <cstdint>
#include <span>

#include <nlohmann/json.hpp>

#include "core/link/msg_handler.h"

namespace zarnmon::cli {

// The fields of a binary frame (header included), by its catalogue layout;
// adds "Utc" for messages that carry a GPS time.
[[nodiscard]] nlohmann::ordered_json FrameFields(std::span<const std::uint8_t> frame, std::int32_t gpsUtcOffset);

// Text bytes are 8-bit: each byte becomes the character of the same code
// (ISO 8859-1), so any line survives the trip through UTF-8 JSON unchanged.
[[nodiscard]] std::string Latin1ToUtf8(std::span<const std::uint8_t> bytes);

}  // namespace zarnmon::cli
