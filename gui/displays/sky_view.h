#pragma once

// "View of Sky and Signal": where the satellites stand in the receiver's sky
// and how strong their signals are. On the left a polar sky plot of every
// satellite a channel tracks and every one the almanac places above the
// horizon, with a short trail of where each was; on the right the C/No of
// each channel as bars against the monitor test's SNR thresholds.
//
// It reads messages 99 and 89 (the channels), 98 (the almanac) and 100 (L2)
// and repaints on their notifications only what changed; the refresh tick
// lets channel data that stopped arriving go stale. It keeps its messages
// on as the views that own them do: 99, 2 and 89 as the channel table does,
// 98 and 100 switched off again when it closes if it turned them on.

#include <QString>

#include "core/state/owned_message.h"
#include "core/state/sky_plot.h"
#include "gui/displays/cno_chart.h"
#include "gui/displays/element_view.h"
#include "gui/displays/sky_elements.h"

namespace zarnmon {

class CViewSky final : public CElementView {
    Q_OBJECT

public:
    explicit CViewSky(const ViewServices& services, QWidget* parent = nullptr);
    ~CViewSky() override;

    [[nodiscard]] const CDrawSkyPlot& Plot() const { return *plot_; }
    // channel 0..14.
    [[nodiscard]] const CDrawCnoBar& Bar(int channel) const;
    [[nodiscard]] const CDrawCnoThresholds& Thresholds() const { return *thresholds_; }
    [[nodiscard]] const CSkyPicture& SkyPicture() const { return picture_; }
    [[nodiscard]] bool TurnedOnHere(int slot) const;

    // Every line of every element on a line of its own: the sky's table,
    // then the channels', then the thresholds.
    [[nodiscard]] QString CopiedText() const override;

protected:
    void OnInitialUpdate() override;
    void OnRxMessage(int slot) override;
    void OnBeforeUpdate() override;
    void OnRefreshTick() override;

private:
    CSkyPicture picture_;
    COwnedMessage msg98_;
    COwnedMessage msg100_;
    CDrawSkyPlot* plot_ = nullptr;
    std::vector<CDrawCnoBar*> bars_;
    CDrawCnoThresholds* thresholds_ = nullptr;
};

}  // namespace zarnmon
