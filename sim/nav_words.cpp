#include "sim/nav_words.h"

#include <array>
#include <bit>
#include <cmath>

namespace zarnmon::sim {

namespace {

constexpr int kDataBits = 24;

// Parity equations D25..D30 over (D29*, D30*, d1..d24) laid out as bits 31,
// 30 and 29..6 of a 32-bit value.
constexpr std::array<std::uint32_t, 6> kParityMasks{0xBB1F3480, 0x5D8F9A40, 0xAEC7CD00,
                                                    0x5763E680, 0x6BB1F340, 0x8B7A89C0};

std::uint32_t Parity(std::uint32_t data24, bool d29Star, bool d30Star) {
    const std::uint32_t laid = (d29Star ? 0x80000000U : 0U) | (d30Star ? 0x40000000U : 0U) | (data24 << 6);
    std::uint32_t parity = 0;
    for (const std::uint32_t mask : kParityMasks) {
        parity = (parity << 1) | static_cast<std::uint32_t>(std::popcount(laid & mask) & 1);
    }
    return parity;
}

}  // namespace

void CBitPacker::Put(std::int64_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
        // Past 64 bits a value only extends its sign.
        bits_.push_back(i >= 64 ? value < 0 : ((static_cast<std::uint64_t>(value) >> i) & 1U) != 0);
    }
}

std::vector<std::uint32_t> CBitPacker::Words() const {
    std::vector<std::uint32_t> words;
    std::uint32_t word = 0;
    int filled = 0;
    for (const bool bit : bits_) {
        word = (word << 1) | (bit ? 1U : 0U);
        if (++filled == kDataBits) {
            words.push_back(word);
            word = 0;
            filled = 0;
        }
    }
    if (filled > 0) {
        for (int i = filled; i < kDataBits; ++i) {
            word = (word << 1) | ((i - filled) % 2 == 0 ? 1U : 0U);
        }
        words.push_back(word);
    }
    return words;
}

std::uint32_t GpsWord(std::uint32_t data24, bool d29Star, bool d30Star) {
    const std::uint32_t data = data24 & 0xFFFFFFU;
    const std::uint32_t sent = d30Star ? (~data & 0xFFFFFFU) : data;
    return (sent << 6) | Parity(data, d29Star, d30Star);
}

bool GpsParityOk(std::uint32_t word30, bool d29Star, bool d30Star) {
    const std::uint32_t sent = (word30 >> 6) & 0xFFFFFFU;
    const std::uint32_t data = d30Star ? (~sent & 0xFFFFFFU) : sent;
    return (word30 & 0x3FU) == Parity(data, d29Star, d30Star);
}

int EphemerisIssue(double gpsSeconds) {
    return static_cast<int>(static_cast<std::int64_t>(gpsSeconds / 7200.0) & 0xFF);
}

}  // namespace zarnmon::sim
