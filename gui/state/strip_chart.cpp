#include "gui/state/strip_chart.h"

#include <QPaintEvent>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>

#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

constexpr int kTitleTop = 4;
constexpr int kCaptionRight = 4;
constexpr int kTickAbove = 2;
constexpr int kTickBelow = 3;
constexpr int kLabelGap = 3;
constexpr int kFontPixels = 14;

}  // namespace

CStripChart::CStripChart(QWidget* parent) : QWidget(parent), font_(QStringLiteral("Arial")) {
    font_.setPixelSize(kFontPixels);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize CStripChart::sizeHint() const { return {560, 170}; }

QSize CStripChart::minimumSizeHint() const { return {240, 100}; }

void CStripChart::Setup(const QString& title, const QString& caption, const StripChartGeometry& geometry) {
    title_ = title;
    caption_ = caption;
    StripChartGeometry placed = geometry;
    placed.plot = PlotRect(width(), height());
    points_ = CStripChartPoints(placed);
    staticLayer_ = QPixmap();
    update();
}

void CStripChart::Clear() {
    points_.Clear();
    update();
}

void CStripChart::AddValue(int value) {
    if (points_.Add(value)) {
        update();
        return;
    }
    const auto& points = points_.Points();
    if (points.size() >= 2 && points.back().lineTo) {
        update(SegmentRect(points.size() - 1));
    }
}

QRect CStripChart::SegmentRect(std::size_t to) const {
    const ChartPoint& a = points_.Points()[to - 1];
    const ChartPoint& b = points_.Points()[to];
    return QRect(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)), QPoint(std::max(a.x, b.x), std::max(a.y, b.y)))
        .adjusted(-2, -2, 2, 2)
        .intersected(rect());
}

QRect CStripChart::PlotArea() const {
    const PixelRect& plot = Geometry().plot;
    return QRect(QPoint(plot.left, plot.top), QPoint(plot.right, plot.bottom));
}

void CStripChart::resizeEvent(QResizeEvent* event) {
    StripChartGeometry geometry = Geometry();
    geometry.plot = PlotRect(width(), height());
    points_.SetGeometry(geometry);
    staticLayer_ = QPixmap();
    QWidget::resizeEvent(event);
}

void CStripChart::BuildStaticLayer() {
    const qreal ratio = devicePixelRatioF();
    staticLayer_ = QPixmap(size() * ratio);
    staticLayer_.setDevicePixelRatio(ratio);
    staticLayer_.fill(palette().color(QPalette::Base));
    QPainter painter(&staticLayer_);
    painter.setFont(font_);
    painter.setPen(palette().color(QPalette::Text));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QFontMetrics metrics(font_);
    const StripChartGeometry& geometry = Geometry();
    const int zero = geometry.ZeroLineY();
    painter.drawText(QRect(0, kTitleTop, width(), metrics.height()), Qt::AlignHCenter | Qt::AlignTop, title_);
    painter.drawText(QRect(0, zero, width() - kCaptionRight, metrics.height()), Qt::AlignRight | Qt::AlignTop,
                     caption_);

    const PixelRect& plot = geometry.plot;
    painter.drawLine(plot.left, zero, plot.right, zero);
    for (const int index : geometry.XTickIndexes()) {
        const int x = geometry.PointX(index);
        painter.drawLine(x, zero - kTickAbove, x, zero + kTickBelow);
    }

    painter.drawLine(plot.left, geometry.PointY(-geometry.extent), plot.left, geometry.PointY(geometry.extent));
    // Labels are centred on their tick by half the height of a digit.
    const int halfDigit = metrics.size(Qt::TextSingleLine, QStringLiteral("8")).height() / 2;
    for (const int value : geometry.YTickValues()) {
        const int y = geometry.PointY(value);
        painter.drawLine(plot.left - kTickAbove, y, plot.left + kTickBelow, y);
        const QString label = Latin1(geometry.TickLabel(value));
        const int right = plot.left - kLabelGap;
        painter.drawText(QRect(0, y - halfDigit, right, metrics.height()), Qt::AlignRight | Qt::AlignTop, label);
    }
}

void CStripChart::paintEvent(QPaintEvent* event) {
    if (staticLayer_.isNull() || staticLayer_.size() != size() * devicePixelRatioF()) {
        BuildStaticLayer();
    }
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.drawPixmap(dirty, staticLayer_,
                       QRectF(QPointF(dirty.topLeft()) * staticLayer_.devicePixelRatio(),
                              QSizeF(dirty.size()) * staticLayer_.devicePixelRatio()));

    // Only the segments that cross the repainted strip are drawn.
    const auto& points = points_.Points();
    QVarLengthArray<QLine, 1024> lines;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const ChartPoint& a = points[i - 1];
        const ChartPoint& b = points[i];
        if (!b.lineTo || std::max(a.x, b.x) < dirty.left() - 1 || std::min(a.x, b.x) > dirty.right() + 1) {
            continue;
        }
        lines.append(QLine(a.x, a.y, b.x, b.y));
    }
    if (lines.isEmpty()) {
        return;
    }
    painter.setClipRect(PlotArea().adjusted(0, -1, 1, 1).intersected(dirty));
    painter.setPen(QPen(Qt::blue, 1));
    painter.drawLines(lines.constData(), static_cast<int>(lines.size()));
}

}  // namespace zarnmon
