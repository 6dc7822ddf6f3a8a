#pragma once

// Little-endian field access on wire bytes. Frames are read field by field
// through these helpers, never by casting bytes into structs, so the layout is
// independent of the host's byte order and alignment. A read that would run
// past the end of the bytes yields a zero value instead of touching memory
// outside them.

#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace zarnmon {

template <typename T>
concept WireValue = std::integral<T> || std::same_as<T, float> || std::same_as<T, double>;

namespace detail {

template <typename T>
using WireBits =
    std::conditional_t<sizeof(T) == 1, std::uint8_t,
                       std::conditional_t<sizeof(T) == 2, std::uint16_t,
                                          std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;

}  // namespace detail

template <WireValue T>
[[nodiscard]] constexpr T ReadLe(std::span<const std::uint8_t> bytes, std::size_t offset) noexcept {
    using Bits = detail::WireBits<T>;
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) {
        return T{};
    }
    Bits bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bits = static_cast<Bits>(bits | static_cast<Bits>(static_cast<Bits>(bytes[offset + i]) << (8 * i)));
    }
    return std::bit_cast<T>(bits);
}

template <WireValue T>
constexpr void WriteLe(std::span<std::uint8_t> bytes, std::size_t offset, T value) noexcept {
    using Bits = detail::WireBits<T>;
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) {
        return;
    }
    const auto bits = std::bit_cast<Bits>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

}  // namespace zarnmon
