#include "core/state/strip_chart_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "core/state/neu_history.h"

namespace zarnmon {

namespace {

constexpr int kInset = 5;
constexpr int kLeftMargin = 30;
constexpr int kRightMargin = 35;
constexpr int kTopMargin = 15;
// Below this many samples per label unit the labels get decimals.
constexpr int kDecimalLabelLimit = 50;

}  // namespace

PixelRect PlotRect(int clientWidth, int clientHeight) noexcept {
    return {kInset + kLeftMargin, kInset + kTopMargin, clientWidth - kInset - kRightMargin, clientHeight - kInset};
}

int XTickSpacing(int capacity) noexcept { return std::max(static_cast<int>(std::lround(capacity / 30.0)), 1); }

std::string SecondsPerTickCaption(int decimation, int xTickSpacing) {
    char text[32];
    std::snprintf(text, sizeof text, "%d Sec/Tick", decimation * xTickSpacing);
    return text;
}

int YTickSpacing(int verticalRange, int sampleScale) noexcept {
    const int extent = verticalRange * sampleScale;
    const int spacing = (verticalRange * 2 + 5) / 10 * sampleScale;
    return (spacing == 0 || spacing > extent / 2) ? extent / 4 : spacing;
}

std::string UnitText(bool fineScale) { return fineScale ? " (m x 10)" : " (m)"; }

std::string ScaleLabel(bool fineScale) { return fineScale ? "Meters x 10" : "Meters x 1"; }

int StripChartGeometry::PointX(int index) const noexcept {
    return plot.left + static_cast<int>(static_cast<std::int64_t>(plot.Width()) * index / PointSlots());
}

int StripChartGeometry::PointY(int value) const noexcept {
    return ZeroLineY() - static_cast<int>(static_cast<std::int64_t>(plot.Height() / 2) * value / extent);
}

std::vector<int> StripChartGeometry::XTickIndexes() const {
    std::vector<int> indexes;
    for (int i = 0; i <= PointSlots(); i += std::max(xTickSpacing, 1)) {
        indexes.push_back(i);
    }
    return indexes;
}

std::vector<int> StripChartGeometry::YTickValues() const {
    std::vector<int> values;
    for (int v = -extent; v <= extent; v += std::max(yTickSpacing, 1)) {
        values.push_back(v);
    }
    return values;
}

std::string StripChartGeometry::TickLabel(int value) const {
    char text[32];
    if (yTickSpacing % sampleScale != 0 && extent < kDecimalLabelLimit * sampleScale) {
        std::snprintf(text, sizeof text, "%.2lf", static_cast<double>(value) / sampleScale);
    } else {
        std::snprintf(text, sizeof text, "%d", value / sampleScale);
    }
    return text;
}

StripChartGeometry NeuChartGeometry(const CNeuHistory& history, int clientWidth, int clientHeight) {
    StripChartGeometry geometry;
    geometry.plot = PlotRect(clientWidth, clientHeight);
    geometry.capacity = history.Capacity();
    geometry.sampleScale = history.SampleScale();
    geometry.extent = history.VerticalRange() * history.SampleScale();
    geometry.xTickSpacing = XTickSpacing(history.Capacity());
    geometry.yTickSpacing = YTickSpacing(history.VerticalRange(), history.SampleScale());
    return geometry;
}

bool CStripChartPoints::Add(int value) {
    bool scrolled = false;
    if (static_cast<int>(points_.size()) >= geometry_.PointSlots()) {
        Scroll();
        scrolled = true;
    }
    const int y = geometry_.PointY(value);
    const bool lineTo = !points_.empty() && geometry_.InsidePlot(y);
    points_.push_back({geometry_.PointX(static_cast<int>(points_.size())), y, lineTo});
    values_.push_back(value);
    return scrolled;
}

void CStripChartPoints::Scroll() {
    const auto drop = static_cast<std::ptrdiff_t>(
        std::min<std::size_t>(static_cast<std::size_t>(std::max(geometry_.ScrollStep(), 1)), points_.size()));
    points_.erase(points_.begin(), points_.begin() + drop);
    values_.erase(values_.begin(), values_.begin() + drop);
    if (points_.empty()) {
        return;
    }
    const int shift = points_.front().x - geometry_.plot.left;
    for (ChartPoint& point : points_) {
        point.x -= shift;
    }
    // The line starts afresh at the left edge.
    points_.front().lineTo = false;
}

void CStripChartPoints::SetGeometry(const StripChartGeometry& geometry) {
    geometry_ = geometry;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const int y = geometry_.PointY(values_[i]);
        points_[i] = {geometry_.PointX(static_cast<int>(i)), y, i > 0 && geometry_.InsidePlot(y)};
    }
}

}  // namespace zarnmon
