#pragma once

// Channel range residuals recomputed against the reference position, as the
// receiver would have reported them had its position been the reference.
//
// Each used channel's residual is projected onto the line of sight with the
// position offset removed. Then a common carrier-cycle offset is taken out:
// the elevation-weighted mean (without the worst channel, so one outlier
// cannot drag it) is subtracted, the result expressed in L1 cycles, and the
// weighted mean of the fractional cycles removed, so that carrier-based
// residuals of RTK receivers become comparable. Inputs are stored frames
// read through the catalogue's views; short or empty frames read as zeros.

#include <array>

#include "core/link/bin_catalogue.h"
#include "core/state/reference_position.h"

namespace zarnmon {

inline constexpr int kResidualChannels = 15;  // 12 of message 99, 3 SBAS of message 89
inline constexpr double kL1Wavelength = 0.190293672798365;
inline constexpr double kL1CyclesPerMetre = 5.255035468570723;

using ChannelResiduals = std::array<double, kResidualChannels>;

// The stored messages the recomputation reads.
struct ResidualInputs {
    Msg1View msg1;
    Msg2View msg2;
    Msg99View msg99;
    Msg89View msg89;
};

// Recomputed residuals in metres, index 0..14 for channels 1..15; channels
// that are idle or not used in the solution get 0. timesTen: the receiver
// reports residuals multiplied by 10.
[[nodiscard]] ChannelResiduals RecomputeResiduals(const CReferencePosition& reference, const ResidualInputs& inputs,
                                                  bool timesTen) noexcept;

// The program-wide adjusting state behind the channel view's "Recompute
// residuals" toggle; the dialogs around it belong to the display.
class CResidualAdjust {
public:
    [[nodiscard]] bool Adjusting() const noexcept { return adjusting_; }
    [[nodiscard]] bool TimesTen() const noexcept { return timesTen_; }
    [[nodiscard]] const ChannelResiduals& Residuals() const noexcept { return residuals_; }

    // The times-ten choice the "Adjust Residuals" dialog starts on: receivers
    // that report fine resolution never report residuals times ten.
    [[nodiscard]] bool DialogStartsOnTimesTen(bool msg99Resolution) const noexcept {
        return timesTen_ && !msg99Resolution;
    }
    // The dialog was confirmed with the given choice.
    void Start(bool timesTen, bool msg99Resolution) noexcept {
        timesTen_ = timesTen && !msg99Resolution;
        adjusting_ = true;
    }
    // The last residuals stay as they were.
    void Stop() noexcept { adjusting_ = false; }

    // For each message 99 or 89 notification while adjusting.
    void Recompute(const CReferencePosition& reference, const ResidualInputs& inputs) noexcept {
        residuals_ = RecomputeResiduals(reference, inputs, timesTen_);
    }

private:
    bool adjusting_ = false;
    bool timesTen_ = false;
    ChannelResiduals residuals_{};
};

}  // namespace zarnmon
