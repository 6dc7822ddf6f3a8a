#pragma once

// The accuracy figures people quote for a series of position errors: mean
// and population standard deviation per axis, CEP50 and CEP95 (nearest-rank
// percentiles of the horizontal error sqrt(north² + east²): the value at
// position ceil(p × n) of the sorted list, 1-based) and 2DRMS
// (2 × sqrt(mean(north² + east²))). An empty series gives all zeros.

#include <cstddef>
#include <span>

#include "core/state/reference_position.h"

namespace zarnmon {

struct AccuracyFigures {
    std::size_t samples = 0;
    NeuOffset mean;
    NeuOffset stddev;
    double cep50 = 0.0;
    double cep95 = 0.0;
    double twoDrms = 0.0;
};

[[nodiscard]] AccuracyFigures ComputeAccuracy(std::span<const NeuOffset> errors);

}  // namespace zarnmon
