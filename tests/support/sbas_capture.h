#pragma once

// The real SBAS broadcasts in tests/data/sbas: one message a line, as week,
// seconds of week, PRN, stream, bit count and 64 hex digits (the 250 bits
// and padding, most significant first); "#" lines are comments.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zarnmon::test {

struct SbasCaptureLine {
    int prn = 0;
    double seconds = 0.0;
    std::array<std::uint32_t, 8> words{};
};

// The lines of tests/data/sbas/name; a malformed line fails the test.
std::vector<SbasCaptureLine> ReadSbasCapture(const std::string& name);

}  // namespace zarnmon::test
