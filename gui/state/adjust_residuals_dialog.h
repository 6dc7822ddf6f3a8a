#pragma once

// The channel view's toggle "Recompute residuals using Zarnmon's configured
// Lat-Lon-Height" (command 32800). Switching on asks, in "Adjust Residuals",
// whether the receiver reports residuals multiplied by ten (RTK receivers);
// switching off asks "Stop Adjusting?". A receiver whose message 99 carries
// the fine-resolution flag never reports residuals times ten, whatever was
// chosen. The recomputation itself is CResidualAdjust's.

#include <QDialog>

#include "core/state/residual_adjust.h"

class QRadioButton;

namespace zarnmon {

class CAdjustResidualsDialog final : public QDialog {
    Q_OBJECT

public:
    // timesTen: start on the second choice ("... x 10").
    explicit CAdjustResidualsDialog(bool timesTen, QWidget* parent = nullptr);

    // The second choice is selected.
    [[nodiscard]] bool TimesTen() const;
    [[nodiscard]] QRadioButton& NormalButton() const { return *normal_; }
    [[nodiscard]] QRadioButton& TimesTenButton() const { return *timesTen_; }

private:
    QRadioButton* normal_ = nullptr;
    QRadioButton* timesTen_ = nullptr;
};

// "Stop Adjusting?" with Yes and No; true for Yes.
[[nodiscard]] bool AskStopAdjusting(QWidget* parent);

// Command 32800: starts adjusting after the dialog was confirmed, or stops it
// after Yes to the question. msg99Resolution: the last message 99's
// residual-resolution flag.
void ToggleResidualAdjust(CResidualAdjust& adjust, bool msg99Resolution, QWidget* parent);

}  // namespace zarnmon
