#pragma once

// "LBand View": the receiver's L-band section (the differential corrections
// it receives from a geostationary satellite) in three boxes of three values,
// from the last "$RD1," line: bit error rate, gain, time; processor and
// correction status; spot beam frequency, oscillator and Doppler. Closing
// the view leaves "$RD1," output on: the data log and the monitor test read
// it too.

#include "core/link/text_msg_handler.h"
#include "gui/displays/element_view.h"
#include "gui/displays/grid_cell.h"

namespace zarnmon {

class CDrawLBand final : public CBoxElement {
public:
    static constexpr int kBoxes = 3;

    // box: 0..2 from the left.
    CDrawLBand(int box, const CRd1Handler& rd1);

    [[nodiscard]] int Box() const { return box_; }

protected:
    BoxContent Compute() override;

private:
    // Field n of the last line; empty when the line has no such field.
    [[nodiscard]] std::string Field(int n) const;

    int box_;
    const CRd1Handler& rd1_;
};

class CViewLBand final : public CElementView {
    Q_OBJECT

public:
    explicit CViewLBand(const ViewServices& services, QWidget* parent = nullptr);

    [[nodiscard]] const CDrawLBand& Box(int box) const;

protected:
    void OnInitialUpdate() override;
    void OnRxMessage(int slot) override;
    [[nodiscard]] std::vector<int> KeptOnSlots() const override { return {Slots::Rd1Handler}; }
};

}  // namespace zarnmon
