#include "gui/waas/land_layer.h"

#include <QByteArray>
#include <QFile>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QtGlobal>
#include <string_view>

#include "gui/waas/iono_rect.h"

// The resource's initialiser is declared in the global namespace; a static
// library's resources are linked in only when something calls it.
static void InitMapResources() { Q_INIT_RESOURCE(maps); }

namespace zarnmon {

namespace {

constexpr qreal kCoastWidth = 1.0;

void AddPolyline(QPainterPath& path, const IonoMapLayout& layout, const GeoPolyline& line) {
    path.moveTo(layout.XOf(line.front().longitude), layout.YOf(line.front().latitude));
    for (std::size_t i = 1; i < line.size(); ++i) {
        path.lineTo(layout.XOf(line[i].longitude), layout.YOf(line[i].latitude));
    }
}

}  // namespace

const std::vector<GeoPolyline>& LandOutline() {
    static const std::vector<GeoPolyline> outline = [] {
        InitMapResources();
        QFile file(QStringLiteral(":/maps/land-110m.txt"));
        const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        std::optional<std::vector<GeoPolyline>> rings =
            ParseLandOutline(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        if (!rings || rings->empty()) {
            qWarning("The land outline under the iono map could not be read");
            return std::vector<GeoPolyline>();
        }
        return std::move(*rings);
    }();
    return outline;
}

CLandLayer::CLandLayer(const IonoMapLayout& layout, std::span<const GeoPolyline> outline)
    : map_(ToQRect(layout.MapRect())) {
    const LandPieces land = LandWithin(outline, layout.Left0(), layout.Right0(), layout.Bottom0(), layout.Top0());
    for (const GeoPolyline& area : land.areas) {
        AddPolyline(areas_, layout, area);
        areas_.closeSubpath();
    }
    for (const GeoPolyline& coast : land.coasts) {
        AddPolyline(coasts_, layout, coast);
    }
}

void CLandLayer::Paint(QPainter& painter, const QRect& clip) {
    const QRect dirty = clip.intersected(map_);
    if (areas_.isEmpty() || dirty.isEmpty()) {
        return;
    }
    const bool pixels =
        painter.paintEngine()->type() == QPaintEngine::Raster && painter.transform().type() <= QTransform::TxTranslate;
    if (!pixels) {
        painter.save();
        painter.setClipRect(map_, Qt::IntersectClip);
        DrawVectors(painter);
        painter.restore();
        return;
    }
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (picture_.isNull() || picture_.devicePixelRatio() != ratio) {
        picture_ = QImage(map_.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(Qt::transparent);
        QPainter picture(&picture_);
        picture.translate(-map_.topLeft());
        DrawVectors(picture);
    }
    painter.drawImage(QRectF(dirty), picture_,
                      QRectF(QPointF(dirty.topLeft() - map_.topLeft()) * ratio, QSizeF(dirty.size()) * ratio));
}

void CLandLayer::DrawVectors(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(areas_, QColor(kLandColor));
    painter.strokePath(coasts_, QPen(QColor(kCoastColor), kCoastWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

}  // namespace zarnmon
