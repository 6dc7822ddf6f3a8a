#pragma once

// One strip chart of the NEU plot: a title, a seconds-per-tick caption, a
// zero line with x ticks, a labelled y axis and the blue data line. The
// frame, texts and axes are a static layer drawn once per size (at the
// screen's pixel ratio); a new sample repaints only the strip its segment
// covers, and a scroll repaints the chart. Where points land is the core's
// geometry, so tests check placement without a display.

#include <QPixmap>
#include <QString>
#include <QWidget>

#include "core/state/strip_chart_geometry.h"

namespace zarnmon {

class CStripChart final : public QWidget {
    Q_OBJECT

public:
    explicit CStripChart(QWidget* parent = nullptr);

    // Titles and scales; drops every point. geometry.plot is replaced by the
    // widget's own plot rectangle.
    void Setup(const QString& title, const QString& caption, const StripChartGeometry& geometry);
    // Adds a sample value (sample units) and repaints what it changed.
    void AddValue(int value);
    void Clear();

    [[nodiscard]] const QString& Title() const { return title_; }
    [[nodiscard]] const QString& Caption() const { return caption_; }
    [[nodiscard]] const CStripChartPoints& Points() const { return points_; }
    [[nodiscard]] const StripChartGeometry& Geometry() const { return points_.Geometry(); }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    [[nodiscard]] QRect PlotArea() const;
    void BuildStaticLayer();
    [[nodiscard]] QRect SegmentRect(std::size_t to) const;

    QString title_;
    QString caption_;
    CStripChartPoints points_{StripChartGeometry{}};
    QFont font_;
    QPixmap staticLayer_;
};

}  // namespace zarnmon
