#pragma once

// Dilution of precision from the geometry of the satellites in a solution.

#include <optional>
#include <span>

#include "sim/geodesy.h"

namespace zarnmon::sim {

struct Dops {
    double hdop = 0.0;
    double vdop = 0.0;
};

// From the unit lines of sight of the satellites used. Position and clock
// need four satellites; with the height held (a 2-D fix) three will do.
// None when there are too few or they lie in one plane.
[[nodiscard]] std::optional<Dops> ComputeDops(std::span<const Enu> linesOfSight, bool holdHeight = false);

}  // namespace zarnmon::sim
