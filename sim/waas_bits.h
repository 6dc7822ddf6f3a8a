#pragma once

// One SBAS (RTCA DO-229) message as the receiver forwards it in binary
// message 80: 250 bits numbered from 0 at the first transmitted bit, held
// most significant bit first in eight 32-bit words (bit 0 is the top bit of
// word 0); bits 250-255 are padding and stay zero.
//
// Layout: preamble bits 0-7, message type bits 8-13, 212 data bits 14-225,
// CRC-24Q of bits 0-225 in bits 226-249.
//
// Fields are written and read by (start bit, width 1..32) and may straddle a
// word boundary. A field that does not fit the 256 bits, or a width outside
// 1..32, reads as zero and is not written: the simulator composes messages
// from fixed layouts, so such a call is a bug the tests catch, and the
// buffer itself never goes out of bounds.

#include <array>
#include <cstdint>
#include <span>

namespace zarnmon::sim {

class CWaasMessage {
public:
    static constexpr int kWords = 8;
    static constexpr int kBits = 256;
    static constexpr int kMessageBits = 250;
    static constexpr int kTypeBit = 8;
    static constexpr int kDataBit = 14;
    static constexpr int kCrcBit = 226;

    using Words = std::array<std::uint32_t, kWords>;

    constexpr CWaasMessage() noexcept = default;
    explicit constexpr CWaasMessage(const Words& words) noexcept : words_(words) {}

    // The message of a message-80 record, words in wire order.
    [[nodiscard]] static CWaasMessage FromWords(std::span<const std::uint32_t, kWords> words) noexcept;

    // Writes the low width bits of value at start, most significant first.
    void SetBits(int start, int width, std::uint32_t value) noexcept;
    // Writes value as a width-bit two's complement number.
    void SetSignedBits(int start, int width, std::int32_t value) noexcept;

    [[nodiscard]] std::uint32_t Bits(int start, int width) const noexcept;
    [[nodiscard]] std::int32_t SignedBits(int start, int width) const noexcept;
    [[nodiscard]] bool Bit(int index) const noexcept { return Bits(index, 1) != 0; }

    [[nodiscard]] int Type() const noexcept { return static_cast<int>(Bits(kTypeBit, 6)); }

    [[nodiscard]] const Words& AsWords() const noexcept { return words_; }

    friend bool operator==(const CWaasMessage&, const CWaasMessage&) = default;

private:
    Words words_{};
};

// CRC-24Q (generator 0x864CFB, initial value 0, not reflected, no final XOR)
// of message bits 0-225.
[[nodiscard]] std::uint32_t Crc24q(const CWaasMessage& message) noexcept;

// Writes the CRC of bits 0-225 into bits 226-249.
void SealCrc(CWaasMessage& message) noexcept;

// Bits 226-249 hold the CRC of bits 0-225.
[[nodiscard]] bool HasValidCrc(const CWaasMessage& message) noexcept;

}  // namespace zarnmon::sim
