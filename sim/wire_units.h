#pragma once

// Model quantities in the units and ranges of the receiver's wire fields.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace zarnmon::sim {

// Rounded and held within what the wire type can carry, so an outlier shows
// as the largest value rather than wrapping round.
template <typename T>
[[nodiscard]] T Saturate(double value) {
    const auto low = static_cast<double>(std::numeric_limits<T>::lowest());
    const auto high = static_cast<double>(std::numeric_limits<T>::max());
    return static_cast<T>(std::clamp(std::round(value), low, high));
}

[[nodiscard]] constexpr std::uint8_t Flag(bool set) { return set ? 1 : 0; }

// The receiver reports signal to noise in a 100 Hz bandwidth: C/No less
// 20 dB, as a linear power ratio in the channel records' scales.
inline constexpr double kSnrBandwidthDb = 20.0;

[[nodiscard]] inline std::uint16_t L1CnoRawOf(double cnoDbHz) {
    return Saturate<std::uint16_t>(std::pow(10.0, (cnoDbHz - kSnrBandwidthDb) / 10.0) / (4096.0 * 1.25e-5));
}

// Zero for a signal not tracked.
[[nodiscard]] inline std::uint16_t L2CnoRawOf(double cnoDbHz) {
    if (cnoDbHz <= 0.0) {
        return 0;
    }
    return Saturate<std::uint16_t>(std::pow(10.0, (cnoDbHz - kSnrBandwidthDb) / 10.0) * 70400.0 / 4096.0);
}

}  // namespace zarnmon::sim
