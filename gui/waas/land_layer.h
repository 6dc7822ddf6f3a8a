#pragma once

// The land under the iono map: its area in a pale grey and its coast in a
// light grey, faint beside the blue boxes so that the boxes stay what the eye
// meets first.
//
// The land is projected once per layout, through the layout's own mapping,
// into paths in the view's logical pixels. A screen or a picture gets it from
// an image of the map drawn once at the device's pixel ratio (two device
// pixels per point draw it twice as finely), so that repainting a few squares
// costs a copy, not the whole outline; a printer, or a painter that scales,
// gets the vectors at its own resolution.

#include <QImage>
#include <QPainterPath>
#include <QRect>
#include <QRgb>
#include <span>
#include <vector>

#include "core/waas/iono_map.h"
#include "core/waas/land_outline.h"

class QPainter;

namespace zarnmon {

// The outline the program carries, read the first time it is asked for;
// empty should its text ever be broken.
[[nodiscard]] const std::vector<GeoPolyline>& LandOutline();

class CLandLayer {
public:
    static constexpr QRgb kLandColor = qRgb(236, 236, 236);
    static constexpr QRgb kCoastColor = qRgb(188, 188, 188);

    CLandLayer() = default;
    explicit CLandLayer(const IonoMapLayout& layout, std::span<const GeoPolyline> outline = LandOutline());

    [[nodiscard]] const QPainterPath& Areas() const { return areas_; }
    [[nodiscard]] const QPainterPath& Coasts() const { return coasts_; }

    // Within the map's rectangle only, whatever the clip.
    void Paint(QPainter& painter, const QRect& clip);

private:
    void DrawVectors(QPainter& painter) const;

    QRect map_;
    QPainterPath areas_;
    QPainterPath coasts_;
    // The map's land at the pixel ratio of the last screen or picture.
    QImage picture_;
};

}  // namespace zarnmon
