#include "core/state/residual_adjust.h"

#include <cmath>

namespace zarnmon {

namespace {

struct UsedChannel {
    int index;
    double weight;
};

// A mean over no weight has no value; 0 leaves the residuals unshifted.
double WeightedMean(double sum, double weights) noexcept { return weights != 0.0 ? sum / weights : 0.0; }

}  // namespace

ChannelResiduals RecomputeResiduals(const CReferencePosition& reference, const ResidualInputs& inputs,
                                    bool timesTen) noexcept {
    ChannelResiduals out{};
    const NeuOffset offset = reference.NeuError(PositionOf(inputs.msg1));

    std::array<UsedChannel, kResidualChannels> used{};
    int usedCount = 0;
    double sum = 0.0;
    double weights = 0.0;
    double largestAbs = -1.0;
    double largestWeighted = 0.0;
    double largestWeight = 0.0;

    for (int i = 0; i < kResidualChannels; ++i) {
        const bool sbasRecord = i >= msg99::kChannelCount;
        const ChannelRecord record =
            sbasRecord ? inputs.msg89.Channel(i - msg99::kChannelCount) : inputs.msg99.Channel(i);
        const bool fine = sbasRecord ? inputs.msg89.ResolutionFlag() : inputs.msg99.ResolutionFlag();
        const int prn = record.Prn();
        const bool inSolution =
            inputs.msg2.IsGpsPrnUsed(prn) || inputs.msg2.IsSbasPrnUsed(prn) || inputs.msg89.IsSbasPrnUsed(prn);
        if (prn == 0 || !inSolution) {
            continue;
        }
        double r = record.PosResid() * (fine ? 0.001 : 0.1);
        if (timesTen) {
            r *= 0.1;
        }
        const int elevation = record.Elevation();
        const double el = elevation * kDegToRad;
        const double az = record.AzimuthDegrees() * kDegToRad;
        const double north = std::cos(az) * std::cos(el);
        const double east = std::sin(az) * std::cos(el);
        const double up = std::sin(el);
        r -= north * offset.north + east * offset.east + up * offset.up;
        out[static_cast<std::size_t>(i)] = r;

        const auto w = static_cast<double>(elevation * elevation);
        sum += w * r;
        weights += w;
        if (std::abs(r) > largestAbs) {
            largestAbs = std::abs(r);
            largestWeighted = w * r;
            largestWeight = w;
        }
        used[static_cast<std::size_t>(usedCount++)] = {i, w};
    }
    if (usedCount < 2) {
        return out;
    }

    const double firstMean = WeightedMean(sum - largestWeighted, weights - largestWeight);
    double fractions = 0.0;
    double fractionWeights = 0.0;
    for (int k = 0; k < usedCount; ++k) {
        const auto& channel = used[static_cast<std::size_t>(k)];
        double& value = out[static_cast<std::size_t>(channel.index)];
        const double cycles = (value - firstMean) * kL1CyclesPerMetre;
        value = cycles;
        fractions += channel.weight * (cycles - std::floor(cycles + 0.5));
        fractionWeights += channel.weight;
    }
    const double cycleMean = WeightedMean(fractions, fractionWeights);
    for (int k = 0; k < usedCount; ++k) {
        double& value = out[static_cast<std::size_t>(used[static_cast<std::size_t>(k)].index)];
        value = (value - cycleMean) * kL1Wavelength;
        if (timesTen) {
            value *= 10.0;
        }
    }
    return out;
}

}  // namespace zarnmon
