#pragma once

// The geometry of the NEU plot's strip charts, without a display: where the
// plot sits in a client area, where a sample lands in pixels, the ticks and
// their labels, and the scrolling of the point list. Pixel positions use
// integer arithmetic (y downwards) so a painter and a test agree to the pixel.
//
// A chart has room for capacity + capacity / 10 points; when full, the oldest
// scroll step (capacity / 10) points are dropped and the rest shifted left,
// so the chart scrolls in steps instead of on every sample. A point outside
// the plot rectangle is only moved to, so the data line breaks there.

#include <string>
#include <vector>

namespace zarnmon {

class CNeuHistory;

// A rectangle in pixels, right and bottom exclusive as in a client rectangle.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] int Width() const noexcept { return right - left; }
    [[nodiscard]] int Height() const noexcept { return bottom - top; }
};

// The client rectangle inset by 5 on every side, then 30 more on the left,
// 35 more on the right and 15 more at the top.
[[nodiscard]] PixelRect PlotRect(int clientWidth, int clientHeight) noexcept;

// Every t points along x: round(capacity / 30), at least 1.
[[nodiscard]] int XTickSpacing(int capacity) noexcept;
// "%d Sec/Tick" with decimation × x tick spacing.
[[nodiscard]] std::string SecondsPerTickCaption(int decimation, int xTickSpacing);
// (range × 2 + 5) / 10 × sample scale; a quarter of the extent when that is 0
// or above half the extent.
[[nodiscard]] int YTickSpacing(int verticalRange, int sampleScale) noexcept;
// " (m x 10)" on the fine scale, else " (m)".
[[nodiscard]] std::string UnitText(bool fineScale);
// "Meters x 10" on the fine scale, else "Meters x 1".
[[nodiscard]] std::string ScaleLabel(bool fineScale);

struct StripChartGeometry {
    PixelRect plot;
    int capacity = 1;     // points across the chart
    int extent = 1;       // y runs from -extent to +extent, in sample units
    int sampleScale = 1;  // sample units per label unit
    int xTickSpacing = 1;
    int yTickSpacing = 1;

    // Room for points before a scroll.
    [[nodiscard]] int PointSlots() const noexcept { return capacity + capacity / 10; }
    [[nodiscard]] int ScrollStep() const noexcept { return capacity / 10; }
    [[nodiscard]] int ZeroLineY() const noexcept { return plot.top + (plot.bottom - plot.top) / 2; }
    [[nodiscard]] int PointX(int index) const noexcept;
    [[nodiscard]] int PointY(int value) const noexcept;
    [[nodiscard]] bool InsidePlot(int y) const noexcept { return y >= plot.top && y <= plot.bottom; }
    // Point indexes of the x ticks, 0 up to the point slots.
    [[nodiscard]] std::vector<int> XTickIndexes() const;
    // Values of the y ticks, from -extent up to +extent.
    [[nodiscard]] std::vector<int> YTickValues() const;
    // value / sample scale with "%d" (integer division), or with "%.2lf" when
    // the y tick spacing is not a multiple of the sample scale and the extent
    // is below 50 × the sample scale.
    [[nodiscard]] std::string TickLabel(int value) const;
};

// The NEU plot's chart for a history configured as it is now, in a client
// area of the given size.
[[nodiscard]] StripChartGeometry NeuChartGeometry(const CNeuHistory& history, int clientWidth, int clientHeight);

// A point of the data line; lineTo is false where the line breaks (the first
// point, and points outside the plot, are only moved to).
struct ChartPoint {
    int x = 0;
    int y = 0;
    bool lineTo = false;
};

// The points of one strip chart.
class CStripChartPoints {
public:
    explicit CStripChartPoints(const StripChartGeometry& geometry) : geometry_(geometry) {}

    // Adds a sample value; true when the chart scrolled (repaint it all),
    // false when only the segment to the new point needs drawing.
    bool Add(int value);
    void Clear() noexcept { points_.clear(); }
    // New geometry (a resize): the points are placed again from their values.
    void SetGeometry(const StripChartGeometry& geometry);

    [[nodiscard]] const std::vector<ChartPoint>& Points() const noexcept { return points_; }
    [[nodiscard]] const StripChartGeometry& Geometry() const noexcept { return geometry_; }

private:
    void Scroll();

    StripChartGeometry geometry_;
    std::vector<ChartPoint> points_;
    std::vector<int> values_;  // beside the points, to place them again after a resize
};

}  // namespace zarnmon
