#include "sim/waas_bits.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/waas/waas_bits.h"

namespace zarnmon::sim {

namespace {

[[nodiscard]] constexpr bool FitsMessage(int start, int width) noexcept {
    return width >= 1 && width <= 32 && start >= 0 && start <= CWaasMessage::kBits - width;
}

[[nodiscard]] constexpr std::uint32_t LowMask(int width) noexcept {
    return width >= 32 ? 0xFFFFFFFFU : (std::uint32_t{1} << width) - 1U;
}

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

// Reading and the CRC are the monitor's own decoder's: one definition of the
// bit order and the parity for both sides.
std::uint32_t CWaasMessage::Bits(int start, int width) const noexcept { return WaasBits(words_, start, width); }

std::int32_t CWaasMessage::SignedBits(int start, int width) const noexcept {
    return WaasSignedBits(words_, start, width);
}

std::uint32_t Crc24q(const CWaasMessage& message) noexcept { return WaasCrc24q(message.AsWords()); }

void SealCrc(CWaasMessage& message) noexcept { message.SetBits(CWaasMessage::kCrcBit, 24, Crc24q(message)); }

bool HasValidCrc(const CWaasMessage& message) noexcept {
    return message.Bits(CWaasMessage::kCrcBit, 24) == Crc24q(message);
}

}  // namespace zarnmon::sim
