#include "sim/waas_bits.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace zarnmon::sim {

namespace {

constexpr std::uint32_t kCrcGenerator = 0x864CFBU;
constexpr std::uint32_t kCrcMask = 0xFFFFFFU;
constexpr std::uint32_t kCrcTopBit = 0x800000U;

[[nodiscard]] constexpr bool FitsMessage(int start, int width) noexcept {
    return width >= 1 && width <= 32 && start >= 0 && start <= CWaasMessage::kBits - width;
}

[[nodiscard]] constexpr std::uint32_t LowMask(int width) noexcept {
    return width >= 32 ? 0xFFFFFFFFU : (std::uint32_t{1} << width) - 1U;
}

// Entry k is the register after running the byte k through it from zero.
// Built by doubling: entry 2k is entry k times x, reduced by the generator.
[[nodiscard]] constexpr std::array<std::uint32_t, 256> MakeCrcTable() noexcept {
    std::array<std::uint32_t, 256> table{};
    table[1] = kCrcGenerator;
    for (std::size_t k = 1; k < 128; ++k) {
        std::uint32_t doubled = (table[k] << 1) & kCrcMask;
        if ((table[k] & kCrcTopBit) != 0) {
            doubled ^= kCrcGenerator;
        }
        table[2 * k] = doubled;
        table[2 * k + 1] = doubled ^ kCrcGenerator;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

CWaasMessage CWaasMessage::FromWords(std::span<const std::uint32_t, kWords> words) noexcept {
    Words copy{};
    std::copy(words.begin(), words.end(), copy.begin());
    return CWaasMessage(copy);
}

void CWaasMessage::SetBits(int start, int width, std::uint32_t value) noexcept {
    if (!FitsMessage(start, width)) {
        return;
    }
    value &= LowMask(width);
    // Bit by bit: a message is composed once per second, so clarity wins.
    for (int i = 0; i < width; ++i) {
        const int bit = start + i;
        const std::uint32_t mask = 0x80000000U >> (bit % 32);
        const bool set = ((value >> (width - 1 - i)) & 1U) != 0;
        auto& word = words_[static_cast<std::size_t>(bit / 32)];
        word = set ? (word | mask) : (word & ~mask);
    }
}

void CWaasMessage::SetSignedBits(int start, int width, std::int32_t value) noexcept {
    SetBits(start, width, static_cast<std::uint32_t>(value));
}

std::uint32_t CWaasMessage::Bits(int start, int width) const noexcept {
    if (!FitsMessage(start, width)) {
        return 0;
    }
    // Two words as one 64-bit window; the second is zero past the end.
    const auto first = static_cast<std::size_t>(start / 32);
    const std::uint64_t high = words_[first];
    const std::uint64_t low = first + 1 < words_.size() ? words_[first + 1] : 0U;
    const std::uint64_t window = (high << 32) | low;
    const int shift = 64 - (start % 32) - width;
    return static_cast<std::uint32_t>(window >> shift) & LowMask(width);
}

std::int32_t CWaasMessage::SignedBits(int start, int width) const noexcept {
    const std::uint32_t raw = Bits(start, width);
    if (width >= 1 && width < 32 && (raw & (std::uint32_t{1} << (width - 1))) != 0) {
        return static_cast<std::int32_t>(raw | ~LowMask(width));
    }
    return static_cast<std::int32_t>(raw);
}

std::uint32_t Crc24q(const CWaasMessage& message) noexcept {
    std::uint32_t crc = 0;
    // Bits 0-223: seven whole words, a byte at a time, most significant first.
    for (int byte = 0; byte < 28; ++byte) {
        const std::uint32_t in = message.Bits(8 * byte, 8);
        crc = ((crc << 8) & kCrcMask) ^ kCrcTable[((crc >> 16) ^ in) & 0xFFU];
    }
    // Bits 224 and 225 do not fill a byte.
    for (int bit = 224; bit < CWaasMessage::kCrcBit; ++bit) {
        const bool feedback = ((crc & kCrcTopBit) != 0) != message.Bit(bit);
        crc = (crc << 1) & kCrcMask;
        if (feedback) {
            crc ^= kCrcGenerator;
        }
    }
    return crc;
}

void SealCrc(CWaasMessage& message) noexcept { message.SetBits(CWaasMessage::kCrcBit, 24, Crc24q(message)); }

bool HasValidCrc(const CWaasMessage& message) noexcept {
    return message.Bits(CWaasMessage::kCrcBit, 24) == Crc24q(message);
}

}  // namespace zarnmon::sim
