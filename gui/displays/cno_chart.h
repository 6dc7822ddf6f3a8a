#pragma once

// The signal chart beside the sky plot: a bar of C/No per channel (the 12
// GPS channels of message 99 and the 3 SBAS channels of message 89, numbered
// as the channel table numbers them), a second, hatched bar for L2 where
// message 100 carries the satellite, and the monitor test's two SNR
// thresholds as labelled lines across the bars.
//
// One element per channel, so a channel whose signal changed repaints alone;
// the scale under the bars and the threshold lines over them are elements of
// their own. The thresholds are the monitor's own object, read from the
// profile once per run.

#include "core/state/monitor_test.h"
#include "core/state/sky_plot.h"
#include "gui/displays/drawing_element.h"

namespace zarnmon {

// Where the chart's parts sit, logical pixels.
struct CnoChartLayout {
    ElementRect panel;  // everything of the chart: caption, scale, labels and key
    // The plotting area: 0 dB at the bottom, the top of the scale at the top.
    int left;
    int top;
    int right;
    int bottom;

    [[nodiscard]] double YOf(double db) const;
    // A channel's column: its bar with the value above and the PRN below.
    [[nodiscard]] ElementRect ColumnRect(int channel) const;
};

[[nodiscard]] const CnoChartLayout& ChartLayout();

// The caption, the dB scale, the channel groups and the key; it never changes.
class CDrawCnoScale final : public CDrawingElement {
public:
    CDrawCnoScale() { SetRect(ChartLayout().panel); }

    bool UpdateText() override { return false; }
    void Draw(QPainter& painter) override;
    // The header of the channels' lines.
    [[nodiscard]] TextLines ShownTexts() const override { return {{"CH", "PRN", "L1", "L2", "USE"}}; }
};

class CDrawCnoBar final : public CContentElement<ChannelSignal> {
public:
    CDrawCnoBar(const CSkyPicture& picture, int channel);

    void Draw(QPainter& painter) override;
    // Channel number, PRN, L1 and L2 C/No, and "used".
    [[nodiscard]] TextLines ShownTexts() const override;

    [[nodiscard]] int Channel() const { return channel_; }
    [[nodiscard]] const ChannelSignal& Signal() const { return Shown(); }
    // The L1 bar's rectangle as last drawn; empty without one.
    [[nodiscard]] QRectF L1Bar() const;
    [[nodiscard]] QRectF L2Bar() const;

protected:
    ChannelSignal Compute() override { return picture_.Signal(channel_); }

private:
    const CSkyPicture& picture_;
    int channel_;
};

struct ThresholdLines {
    double snrFull = 0.0;  // dB
    double snrCodeOnly = 0.0;
    bool operator==(const ThresholdLines&) const = default;
};

class CDrawCnoThresholds final : public CContentElement<ThresholdLines> {
public:
    explicit CDrawCnoThresholds(const MonitorThresholds& thresholds);

    void Draw(QPainter& painter) override;
    [[nodiscard]] TextLines ShownTexts() const override;

    [[nodiscard]] const ThresholdLines& Lines() const { return Shown(); }

protected:
    ThresholdLines Compute() override { return {thresholds_.snrFull, thresholds_.snrCodeOnly}; }

private:
    const MonitorThresholds& thresholds_;
};

}  // namespace zarnmon
