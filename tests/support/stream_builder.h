#pragma once

// Receiver byte streams for tests, benchmarks and fuzz seeds: every binary
// message of the catalogue once per epoch, NMEA sentences, "$RD1," and "$RX,"
// lines and replies, optionally with noise bytes between the messages.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zarnmon::test {

enum class Noise {
    None,
    // Bytes that cannot start any message, so every one of them is dropped
    // and counted and the message count stays exact.
    Inert,
    // Any byte value, as a noisy line would deliver.
    Random,
};

struct StreamOptions {
    int epochs = 1;
    double noiseFraction = 0.0;  // noise bytes per message byte
    Noise noise = Noise::None;
    std::uint32_t seed = 1;
};

struct BuiltStream {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> handlers;  // handler name of each message, in order
    std::size_t noiseBytes = 0;
};

// One epoch's messages (all binary ids, text lines), in a fixed order.
BuiltStream MixedStream(const StreamOptions& options);

// n random bytes.
std::vector<std::uint8_t> RandomBytes(std::size_t n, std::uint32_t seed);

}  // namespace zarnmon::test
