#pragma once

// Named fields of the binary messages: a field is its byte offset within the
// message data (frame offset - 8), its wire type and its name, kept together
// so that typed accessors, frame builders and generic dumps all read the same
// definition.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/link/little_endian.h"

namespace zarnmon {

enum class WireType : std::uint8_t { U8, I8, U16, I16, U32, I32, F32, F64 };

template <WireValue T>
constexpr WireType WireTypeOf() {
    if constexpr (std::is_same_v<T, std::uint8_t>)
        return WireType::U8;
    else if constexpr (std::is_same_v<T, std::int8_t>)
        return WireType::I8;
    else if constexpr (std::is_same_v<T, std::uint16_t>)
        return WireType::U16;
    else if constexpr (std::is_same_v<T, std::int16_t>)
        return WireType::I16;
    else if constexpr (std::is_same_v<T, std::uint32_t>)
        return WireType::U32;
    else if constexpr (std::is_same_v<T, std::int32_t>)
        return WireType::I32;
    else if constexpr (std::is_same_v<T, float>)
        return WireType::F32;
    else {
        static_assert(std::is_same_v<T, double>);
        return WireType::F64;
    }
}

template <WireValue T>
struct Field {
    using Type = T;
    std::uint16_t offset;
    std::string_view name;
};

// A field without its C++ type, for code that walks a whole layout.
struct FieldInfo {
    std::string_view name;
    std::uint16_t offset;
    WireType type;
    std::uint16_t count = 1;  // > 1: an array of count consecutive values
};

template <WireValue T>
constexpr FieldInfo Describe(Field<T> f, std::uint16_t count = 1) {
    return {f.name, f.offset, WireTypeOf<T>(), count};
}

// Reads field f of a record that starts at byte base of data.
template <WireValue T>
[[nodiscard]] constexpr T Get(std::span<const std::uint8_t> data, Field<T> f, std::size_t base = 0) noexcept {
    return ReadLe<T>(data, base + f.offset);
}

template <WireValue T>
constexpr void Set(std::span<std::uint8_t> data, Field<T> f, T value, std::size_t base = 0) noexcept {
    WriteLe<T>(data, base + f.offset, value);
}

}  // namespace zarnmon
