#pragma once

// The ionospheric grid the WAAS decoder builds and the interpolation reads:
// the IGP delay table and the two polar band flags.
//
// The table has 11 bands (DO-229 bands 0-8 and the polar bands 9 and 10) of
// 201 entries, indexed by the IGP's position among its band's mask bits. An
// entry holds the 13 bits of a type 26 IGP: bits 4-12 the vertical delay in
// units of 0.125 m, bits 0-3 the GIVEI. It is not per GEO: the last delay
// received for a point wins, whoever sent it.

#include <array>
#include <cstdint>

namespace zarnmon {

struct IonoGrid {
    static constexpr int kBands = 11;
    static constexpr int kEntriesPerBand = 201;
    static constexpr int kNorthPolarBand = 9;
    static constexpr int kSouthPolarBand = 10;
    static constexpr std::uint16_t kNeverReceived = 0xFFFF;
    // Delays of this many units or more cannot be used (511 is "do not use").
    static constexpr std::uint32_t kUnusableDelay = 510;
    static constexpr std::uint32_t kNorthPolarInUse = 1U;
    static constexpr std::uint32_t kSouthPolarInUse = 2U;

    std::array<std::array<std::uint16_t, kEntriesPerBand>, kBands> igp{};
    std::uint32_t polarFlags = 0;

    // Every entry never received, both polar bands unused.
    void Clear() noexcept {
        for (auto& band : igp) {
            band.fill(kNeverReceived);
        }
        polarFlags = 0;
    }

    // The 9-bit delay of a 13-bit IGP value (511 for kNeverReceived).
    [[nodiscard]] static constexpr std::uint32_t DelayUnits(std::uint16_t value) noexcept {
        return (static_cast<std::uint32_t>(value) >> 4) & 0x1FFU;
    }
    [[nodiscard]] static constexpr std::uint32_t Givei(std::uint16_t value) noexcept { return value & 0xFU; }
};

// Mask bits of a type 18 band: 201 (bands 0-7), 200 (band 8), 192 (bands 9
// and 10); 0 for a band that does not exist.
[[nodiscard]] constexpr int BandMaskBits(int band) noexcept {
    if (band >= 0 && band < 8) {
        return 201;
    }
    if (band == 8) {
        return 200;
    }
    return band == IonoGrid::kNorthPolarBand || band == IonoGrid::kSouthPolarBand ? 192 : 0;
}

}  // namespace zarnmon
