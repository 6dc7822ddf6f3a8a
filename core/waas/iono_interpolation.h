#pragma once

// Vertical ionospheric delay at any point from the IGP grid, by the RTCA
// DO-229 rules as the iono map applies them.
//
// The world is a 5-degree lattice: x = 0..71 for longitudes 180W..175E, y =
// 0..36 for latitudes 90S..90N. A point is interpolated inside its 5-degree
// cell; when corners are missing it falls back to the four 10-degree cells
// around it (first with four corners, then with the three-corner rule), and
// beyond the inner rows to the cells the polar bands or the 10-degree
// columns give. Where no cell works, a pair of grid points seen on the way
// can still give a value along an edge or diagonal, but only when the map
// asks for that extension.
//
// A grid point that was never received, or whose delay is unusable (510 or
// more units), is a missing corner: no value ever comes from it. "No value"
// is nullopt here; IonoDelayAt turns it into 9999.0 for callers that want
// the number.

#include <cstdint>
#include <optional>

#include "core/waas/iono_grid.h"

namespace zarnmon {

inline constexpr double kNoIonoDelay = 9999.0;
// What GridValue returns for a point that has no value.
inline constexpr std::uint16_t kMissingIgp = 0xFFFF;

// The 13-bit IGP value at lattice point (x, y) through the DO-229 IGP
// numbering (bands 0-8) or the polar bands, or kMissingIgp. A received
// "delay 0, GIVEI 15" (not monitored) comes back as 0x1FFF, i.e. unusable.
[[nodiscard]] std::uint16_t GridValue(const IonoGrid& grid, int x, int y) noexcept;

// Two grid delays (units of 0.125 m) and where the point lies between them.
struct FallbackPair {
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    double t = 0.0;
    bool diagonal = false;
};

// What one IonoDelayAt call learns from the cells it tries.
struct CellSearch {
    std::optional<FallbackPair> pair;
    int oneMissingCells = 0;  // cells met with exactly one corner missing
};

// The delay in metres at fractions (fx, fy) of the cell whose SW corner is
// (x, y) and which is dx by dy lattice steps (1 or 2), or nullopt. A cell
// that fails may leave a fallback pair in search.
[[nodiscard]] std::optional<double> EvaluateCell(const IonoGrid& grid, CellSearch& search, int x, int y, int dx, int dy,
                                                 double fx, double fy, bool allowTriangle) noexcept;

// Vertical delay in metres at a longitude and latitude (degrees), or nullopt.
[[nodiscard]] std::optional<double> IonoDelay(const IonoGrid& grid, double longitude, double latitude,
                                              bool extendMap) noexcept;

// The same, with kNoIonoDelay (9999.0) for no value.
[[nodiscard]] inline double IonoDelayAt(const IonoGrid& grid, double longitude, double latitude,
                                        bool extendMap) noexcept {
    return IonoDelay(grid, longitude, latitude, extendMap).value_or(kNoIonoDelay);
}

}  // namespace zarnmon
