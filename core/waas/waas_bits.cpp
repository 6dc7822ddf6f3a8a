#include "core/waas/waas_bits.h"

namespace zarnmon {

std::uint32_t WaasCrc24q(std::span<const std::uint32_t, kWaasMessageWords> words) noexcept {
    std::uint32_t crc = 0;
    for (std::size_t word = 0; word < 7; ++word) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            const std::uint32_t in = (words[word] >> shift) & 0xFFU;
            crc = ((crc << 8) & 0xFFFFFFU) ^ kCrc24qTable[((crc >> 16) ^ in) & 0xFFU];
        }
    }
    // Bits 224 and 225 do not fill a byte.
    for (int bit = 224; bit < kWaasCrcBit; ++bit) {
        const bool feedback = (((crc >> 23) & 1U) ^ WaasBits(words, bit, 1)) != 0;
        crc = (crc << 1) & 0xFFFFFFU;
        if (feedback) {
            crc ^= kCrc24qGenerator;
        }
    }
    return crc;
}

bool WaasCrcPasses(std::span<const std::uint32_t, kWaasMessageWords> words) noexcept {
    return WaasBits(words, kWaasCrcBit, 24) == WaasCrc24q(words);
}

}  // namespace zarnmon
