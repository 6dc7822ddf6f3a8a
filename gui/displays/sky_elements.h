#pragma once

// The sky plot's elements: the plot itself (elevation rings, azimuth marks,
// trails and satellites) and its legend (the symbols and the C/No colour
// ramp). The plot is one element: satellites cross one another's places and
// labels, so it repaints whole when anything on it moved, changed colour,
// came or went, and not at all while nothing did.
//
// North is up and east right, as a map seen from above; elevation runs
// linearly from the horizon on the outer ring to the zenith at the centre.
// A satellite used in the solution is a filled symbol, one tracked but not
// used a hollow one, both in the colour of its C/No; one the almanac alone
// places is grey. SBAS satellites are squares, GPS satellites circles.

#include <QColor>
#include <QPointF>
#include <vector>

#include "core/state/sky_plot.h"
#include "gui/displays/drawing_element.h"

namespace zarnmon {

// The top of the C/No scale, dB: the L1 C/No cannot show more.
inline constexpr double kCnoScaleMax = 40.0;

// The sky view's inks, shared by the plot and the chart.
namespace sky_colors {
inline const QColor kInk(43, 58, 74);
inline const QColor kFaintInk(107, 122, 138);
inline const QColor kAxis(125, 142, 163);
}  // namespace sky_colors

// The colour of a C/No in dB: red for a weak signal, through orange and
// yellow, to green for a strong one.
[[nodiscard]] QColor CnoColor(double db);

struct SkyContent {
    std::vector<SkySatellite> satellites;
    std::vector<std::vector<SkyPosition>> trails;  // one per satellite, the current position last
    bool operator==(const SkyContent&) const = default;
};

class CDrawSkyPlot final : public CContentElement<SkyContent> {
public:
    CDrawSkyPlot(const CSkyPicture& picture, const ElementRect& rect);

    void Draw(QPainter& painter) override;
    // A header line, then PRN, azimuth, elevation, C/No and use of each satellite.
    [[nodiscard]] TextLines ShownTexts() const override;

    [[nodiscard]] const SkyContent& Content() const { return Shown(); }
    [[nodiscard]] QPointF Centre() const;
    // The horizon's radius, logical pixels.
    [[nodiscard]] double Radius() const;
    [[nodiscard]] QPointF PointOf(SkyPosition position) const;

protected:
    SkyContent Compute() override;

private:
    void DrawGrid(QPainter& painter) const;
    void DrawCounts(QPainter& painter, const SkyContent& content) const;
    void DrawTrail(QPainter& painter, const SkySatellite& satellite, const std::vector<SkyPosition>& trail) const;
    void DrawSatellite(QPainter& painter, const SkySatellite& satellite) const;

    const CSkyPicture& picture_;
};

// What the symbols and colours mean; it never changes.
class CDrawSkyLegend final : public CDrawingElement {
public:
    explicit CDrawSkyLegend(const ElementRect& rect) { SetRect(rect); }

    bool UpdateText() override { return false; }
    void Draw(QPainter& painter) override;
};

// The symbol of a satellite, as the plot and the legend draw it.
void DrawSatelliteSymbol(QPainter& painter, QPointF centre, SkyUse use, const std::optional<double>& cno, bool sbas,
                         const QString& label);

}  // namespace zarnmon
