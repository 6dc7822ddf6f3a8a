#pragma once

// Bit fields and parity of one SBAS (RTCA DO-229) message as message 80
// carries it: 250 bits numbered from 0 at the first transmitted bit, held
// most significant bit first in 32-bit words (bit 0 is the top bit of word 0).
// Bits 0-7 are the preamble, 8-13 the message type, 14-225 the data and
// 226-249 the CRC-24Q of bits 0-225.
//
// Everything here reads wire data, so nothing asserts: a field that does not
// lie inside the given words, or a width outside 1..32, reads as zero.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zarnmon {

inline constexpr int kWaasMessageWords = 8;
inline constexpr int kWaasTypeBit = 8;
inline constexpr int kWaasDataBit = 14;
inline constexpr int kWaasCrcBit = 226;
inline constexpr std::uint32_t kCrc24qGenerator = 0x864CFBU;

// The unsigned value of width bits from start, first bit most significant; a
// field may straddle two words.
[[nodiscard]] constexpr std::uint32_t WaasBits(std::span<const std::uint32_t> words, int start, int width) noexcept {
    if (width < 1 || width > 32 || start < 0 ||
        static_cast<std::size_t>(start) + static_cast<std::size_t>(width) > 32 * words.size()) {
        return 0;
    }
    const auto first = static_cast<std::size_t>(start / 32);
    const std::uint64_t high = words[first];
    const std::uint64_t low = first + 1 < words.size() ? words[first + 1] : 0U;
    const std::uint64_t window = (high << 32) | low;
    const std::uint64_t mask = (std::uint64_t{1} << width) - 1U;
    return static_cast<std::uint32_t>((window >> (64 - start % 32 - width)) & mask);
}

// The same field read as a width-bit two's complement number.
[[nodiscard]] constexpr std::int32_t WaasSignedBits(std::span<const std::uint32_t> words, int start,
                                                    int width) noexcept {
    const std::uint32_t raw = WaasBits(words, start, width);
    if (width >= 1 && width < 32 && ((raw >> (width - 1)) & 1U) != 0) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(raw) - (std::int64_t{1} << width));
    }
    return static_cast<std::int32_t>(raw);
}

// Entry k is the 24-bit register after running byte k through it from zero:
// entry 1 is the generator, entry 2k is entry k times x reduced by the
// generator, and entry 2k+1 adds the generator to that.
[[nodiscard]] constexpr std::array<std::uint32_t, 256> MakeCrc24qTable() noexcept {
    std::array<std::uint32_t, 256> table{};
    table[1] = kCrc24qGenerator;
    for (std::size_t k = 1; k < 128; ++k) {
        std::uint32_t doubled = (table[k] << 1) & 0xFFFFFFU;
        if ((table[k] & 0x800000U) != 0) {
            doubled ^= kCrc24qGenerator;
        }
        table[2 * k] = doubled;
        table[2 * k + 1] = doubled ^ kCrc24qGenerator;
    }
    return table;
}

// Built by the compiler, so it is ready at the first message and never changes.
inline constexpr std::array<std::uint32_t, 256> kCrc24qTable = MakeCrc24qTable();

// CRC-24Q (initial value 0, not reflected, no final XOR) of message bits
// 0-225: seven words a byte at a time, then bits 224 and 225 one at a time.
[[nodiscard]] std::uint32_t WaasCrc24q(std::span<const std::uint32_t, kWaasMessageWords> words) noexcept;

// Bits 226-249 equal the CRC-24Q of bits 0-225.
[[nodiscard]] bool WaasCrcPasses(std::span<const std::uint32_t, kWaasMessageWords> words) noexcept;

}  // namespace zarnmon
