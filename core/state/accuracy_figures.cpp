#include "core/state/accuracy_figures.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zarnmon {

namespace {

// The value at position ceil(percent / 100 × n) of the sorted list, 1-based;
// integer arithmetic so 95 % of 20 is rank 19, not 20 by a rounding error.
double NearestRank(const std::vector<double>& sorted, std::size_t percent) {
    const std::size_t rank = std::max<std::size_t>((percent * sorted.size() + 99) / 100, 1);
    return sorted[rank - 1];
}

}  // namespace

AccuracyFigures ComputeAccuracy(std::span<const NeuOffset> errors) {
    AccuracyFigures figures;
    figures.samples = errors.size();
    if (errors.empty()) {
        return figures;
    }
    const auto n = static_cast<double>(errors.size());
    NeuOffset sum;
    double sumHorizontalSquares = 0.0;
    std::vector<double> horizontal;
    horizontal.reserve(errors.size());
    for (const NeuOffset& e : errors) {
        sum.north += e.north;
        sum.east += e.east;
        sum.up += e.up;
        const double squared = e.north * e.north + e.east * e.east;
        sumHorizontalSquares += squared;
        horizontal.push_back(std::sqrt(squared));
    }
    figures.mean = {sum.north / n, sum.east / n, sum.up / n};

    // Deviations from the mean, not raw squares, so a large offset keeps its precision.
    NeuOffset variance;
    for (const NeuOffset& e : errors) {
        variance.north += (e.north - figures.mean.north) * (e.north - figures.mean.north);
        variance.east += (e.east - figures.mean.east) * (e.east - figures.mean.east);
        variance.up += (e.up - figures.mean.up) * (e.up - figures.mean.up);
    }
    figures.stddev = {std::sqrt(variance.north / n), std::sqrt(variance.east / n), std::sqrt(variance.up / n)};

    std::sort(horizontal.begin(), horizontal.end());
    figures.cep50 = NearestRank(horizontal, 50);
    figures.cep95 = NearestRank(horizontal, 95);
    figures.twoDrms = 2.0 * std::sqrt(sumHorizontalSquares / n);
    return figures;
}

}  // namespace zarnmon
