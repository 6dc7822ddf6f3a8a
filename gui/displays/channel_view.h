#pragma once

// "View Of Channel Data": the receiver's 12 GPS and 3 SBAS tracking channels
// as a table, with the view's own menu command that shows the position
// residuals recomputed against the configured location.

#include <QAction>
#include <QMenu>

#include "gui/displays/channel_cells.h"
#include "gui/displays/element_view.h"
#include "gui/displays/grid_cell.h"

namespace zarnmon {

class CViewChannel final : public CElementView {
    Q_OBJECT

public:
    static constexpr int kRecomputeResidualsId = 32800;

    explicit CViewChannel(const ViewServices& services, QWidget* parent = nullptr);
    ~CViewChannel() override;

    [[nodiscard]] static const GridLayout& Layout();
    [[nodiscard]] const CGridCell& Cell(int row, int column) const;
    [[nodiscard]] QAction& RecomputeResidualsAction() const { return *recompute_; }

protected:
    void OnInitialUpdate() override;
    void OnRxMessage(int slot) override;
    void OnBeforeUpdate() override;
    [[nodiscard]] std::vector<int> KeptOnSlots() const override;

private:
    void ToggleResidualAdjust();

    ChannelUse use_;
    QMenu* menu_ = nullptr;
    QAction* recompute_ = nullptr;
};

}  // namespace zarnmon
