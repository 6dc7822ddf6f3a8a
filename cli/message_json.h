#pragma once

// A stored message as JSON: binary frames with every named field of their
// layout, text lines as received.

#include <cstdint>
#include <span>
#include <string>

#include "cli/json_writer.h"

namespace zarnmon::cli {

// The fields of a binary frame (header included), by its catalogue layout, as
// one object; adds "Utc" for messages that carry a GPS time.
void WriteFrameFields(JsonWriter& out, std::span<const std::uint8_t> frame, std::int32_t gpsUtcOffset);

// Text bytes are 8-bit: each byte becomes the character of the same code
// (ISO 8859-1), so any line survives the trip through UTF-8 JSON unchanged.
[[nodiscard]] std::string Latin1ToUtf8(std::span<const std::uint8_t> bytes);

}  // namespace zarnmon::cli
