#include "gui/displays/sky_elements.h"

#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

// The ramp's stops: C/No in dB and its colour.
struct RampStop {
    double db;
    QColor color;
};
const std::array<RampStop, 5> kRamp{{{5.0, QColor(196, 38, 46)},
                                     {12.0, QColor(236, 112, 28)},
                                     {19.0, QColor(226, 184, 24)},
                                     {26.0, QColor(112, 180, 60)},
                                     {33.0, QColor(18, 136, 96)}}};

// Room around the horizon for the azimuth marks and their labels.
constexpr double kLabelRoom = 28.0;
constexpr double kMinorTick = 4.0;
constexpr double kMajorTick = 7.0;
constexpr double kAzimuthLabelGap = 17.0;
constexpr int kRingStep = 30;  // degrees between elevation rings and between labelled azimuths
constexpr int kTickStep = 10;
constexpr int kFullCircle = 360;

constexpr double kSatelliteRadius = 11.0;
constexpr double kAlmanacRadius = 8.5;
constexpr int kLabelPixels = 10;
constexpr int kSmallPixels = 9;
constexpr int kCaptionPixels = 12;
constexpr int kCompassPixels = 13;
constexpr double kTrailDot = 1.8;

using sky_colors::kAxis;
using sky_colors::kFaintInk;
using sky_colors::kInk;
const QColor kRing(195, 205, 217);
const QColor kSpoke(213, 220, 229);
const QColor kAlmanacFill(242, 242, 242);
const QColor kAlmanacLine(160, 160, 160);
const QColor kAlmanacText(128, 128, 128);
const QColor kNorth(178, 34, 34);

// Black or white, whichever reads better on the fill.
QColor TextOn(const QColor& fill) {
    const double luminance = 0.299 * fill.red() + 0.587 * fill.green() + 0.114 * fill.blue();
    return luminance > 150.0 ? QColor(20, 20, 20) : QColor(Qt::white);
}

std::string_view UseText(SkyUse use) {
    switch (use) {
        case SkyUse::Used:
            return "used";
        case SkyUse::Tracked:
            return "tracked";
        case SkyUse::AlmanacOnly:
            return "almanac";
    }
    return "";
}

QString AzimuthLabel(int azimuth) {
    switch (azimuth) {
        case 0:
            return QStringLiteral("N");
        case 90:
            return QStringLiteral("E");
        case 180:
            return QStringLiteral("S");
        case 270:
            return QStringLiteral("W");
        default:
            return QString::number(azimuth);
    }
}

// The distance from the centre of an elevation's ring: where it crosses the south spoke.
double RingRadius(int elevation, double radius) { return PolarOffset({180, elevation}, radius).y; }

void DrawCentredText(QPainter& painter, QPointF centre, const QString& text) {
    const QRectF box(centre.x() - 30.0, centre.y() - 15.0, 60.0, 30.0);
    painter.drawText(box, Qt::AlignCenter, text);
}

// A line through a satellite's last places with a dot at each but the last,
// where the satellite itself stands.
void DrawTrailLine(QPainter& painter, const QPolygonF& points, const std::optional<double>& cno) {
    if (points.size() < 2) {
        return;
    }
    QColor color = cno ? CnoColor(*cno) : kAlmanacLine;
    color.setAlpha(150);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, cno ? 2.0 : 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(points);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (qsizetype i = 0; i + 1 < points.size(); ++i) {
        painter.drawEllipse(points[i], kTrailDot, kTrailDot);
    }
}

}  // namespace

QColor CnoColor(double db) {
    if (db <= kRamp.front().db) {
        return kRamp.front().color;
    }
    for (std::size_t i = 1; i < kRamp.size(); ++i) {
        if (db <= kRamp[i].db) {
            const double t = (db - kRamp[i - 1].db) / (kRamp[i].db - kRamp[i - 1].db);
            const QColor& a = kRamp[i - 1].color;
            const QColor& b = kRamp[i].color;
            const auto mix = [t](int from, int to) { return static_cast<int>(std::lround(from + (to - from) * t)); };
            return {mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue())};
        }
    }
    return kRamp.back().color;
}

void DrawSatelliteSymbol(QPainter& painter, QPointF centre, SkyUse use, const std::optional<double>& cno, bool sbas,
                         const QString& label) {
    const bool almanac = use == SkyUse::AlmanacOnly || !cno;
    const double radius = almanac ? kAlmanacRadius : kSatelliteRadius;
    const QColor color = almanac ? kAlmanacLine : CnoColor(*cno);
    QColor fill;
    QColor text;
    QPen pen;
    if (almanac) {
        fill = kAlmanacFill;
        text = kAlmanacText;
        pen = QPen(kAlmanacLine, 1.0, Qt::DashLine);
    } else if (use == SkyUse::Used) {
        fill = color;
        text = TextOn(color);
        pen = QPen(color.darker(150), 1.5);
    } else {
        fill = Qt::white;
        text = kInk;
        pen = QPen(color, 3.0);
    }
    painter.setPen(pen);
    painter.setBrush(fill);
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    if (sbas) {
        painter.drawRoundedRect(box, 3.0, 3.0);
    } else {
        painter.drawEllipse(box);
    }
    SetPixelFont(painter, almanac ? kSmallPixels : kLabelPixels, !almanac);
    painter.setPen(text);
    DrawCentredText(painter, centre, label);
}

CDrawSkyPlot::CDrawSkyPlot(const CSkyPicture& picture, const ElementRect& rect) : picture_(picture) { SetRect(rect); }

QPointF CDrawSkyPlot::Centre() const { return QRectF(Rect().ToQRect()).center(); }

double CDrawSkyPlot::Radius() const { return std::min(Rect().Width(), Rect().Height()) / 2.0 - kLabelRoom; }

QPointF CDrawSkyPlot::PointOf(SkyPosition position) const {
    const PlotOffset offset = PolarOffset(position, Radius());
    return Centre() + QPointF(offset.x, offset.y);
}

SkyContent CDrawSkyPlot::Compute() {
    SkyContent content;
    content.satellites = picture_.Sky();
    for (const SkySatellite& satellite : content.satellites) {
        const std::span<const SkyPosition> trail = picture_.Trails().Trail(satellite.prn);
        content.trails.emplace_back(trail.begin(), trail.end());
    }
    return content;
}

TextLines CDrawSkyPlot::ShownTexts() const {
    TextLines lines{{"PRN", "AZI", "ELV", "C/No", "USE"}};
    for (const SkySatellite& satellite : Shown().satellites) {
        lines.push_back(
            {FormatInt(satellite.prn), FormatInt(satellite.position.azimuth), FormatInt(satellite.position.elevation),
             satellite.cno ? FormatFixed(*satellite.cno, 1) : std::string("---"), std::string(UseText(satellite.use))});
    }
    return lines;
}

void CDrawSkyPlot::Draw(QPainter& painter) {
    const SkyContent& content = TakeForPaint();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    DrawGrid(painter);
    DrawCounts(painter, content);
    for (std::size_t i = 0; i < content.satellites.size(); ++i) {
        DrawTrail(painter, content.satellites[i], content.trails[i]);
    }
    // The grey ones under the tracked ones, the used ones on top.
    for (const SkyUse layer : {SkyUse::AlmanacOnly, SkyUse::Tracked, SkyUse::Used}) {
        for (const SkySatellite& satellite : content.satellites) {
            if (satellite.use == layer) {
                DrawSatellite(painter, satellite);
            }
        }
    }
    painter.restore();
}

void CDrawSkyPlot::DrawGrid(QPainter& painter) const {
    const QPointF centre = Centre();
    const double radius = Radius();

    QRadialGradient sky(centre, radius);
    sky.setColorAt(0.0, QColor(255, 255, 255));
    sky.setColorAt(1.0, QColor(232, 239, 247));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawEllipse(centre, radius, radius);

    QPen spoke(kSpoke, 1.0);
    spoke.setDashPattern({3.0, 3.0});
    painter.setPen(spoke);
    for (int azimuth = 0; azimuth < kFullCircle; azimuth += kRingStep) {
        painter.drawLine(centre, PointOf({azimuth, 0}));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kRing, 1.0));
    for (int elevation = kRingStep; elevation < 90; elevation += kRingStep) {
        const double ring = RingRadius(elevation, radius);
        painter.drawEllipse(centre, ring, ring);
    }
    painter.setPen(QPen(kAxis, 1.5));
    painter.drawEllipse(centre, radius, radius);

    // Azimuth marks outside the horizon.
    const auto outward = [&centre](int azimuth, double distance) {
        const double bearing = azimuth * std::numbers::pi / 180.0;
        return centre + QPointF(distance * std::sin(bearing), -distance * std::cos(bearing));
    };
    for (int azimuth = 0; azimuth < kFullCircle; azimuth += kTickStep) {
        const bool major = azimuth % kRingStep == 0;
        painter.setPen(QPen(kAxis, major ? 1.5 : 1.0));
        painter.drawLine(outward(azimuth, radius), outward(azimuth, radius + (major ? kMajorTick : kMinorTick)));
    }
    for (int azimuth = 0; azimuth < kFullCircle; azimuth += kRingStep) {
        const bool cardinal = azimuth % 90 == 0;
        SetPixelFont(painter, cardinal ? kCompassPixels : kSmallPixels, cardinal);
        painter.setPen(azimuth == 0 ? kNorth : cardinal ? kInk : kFaintInk);
        DrawCentredText(painter, outward(azimuth, radius + kAzimuthLabelGap), AzimuthLabel(azimuth));
    }

    // Elevation labels just inside each ring, beside the north spoke: from
    // mid-northern latitudes no GPS satellite passes high in the north.
    SetPixelFont(painter, kSmallPixels, false);
    painter.setPen(kFaintInk);
    for (int elevation = 0; elevation < 90; elevation += kRingStep) {
        const QPointF ring = PointOf({0, elevation});
        DrawAnchoredText(painter, static_cast<int>(ring.x()) + 3, static_cast<int>(ring.y()) + 2,
                         Latin1(FormatInt(elevation) + "\xB0"), HAnchor::Left, VAnchor::Top);
    }
}

void CDrawSkyPlot::DrawCounts(QPainter& painter, const SkyContent& content) const {
    const ElementRect& r = Rect();
    SetPixelFont(painter, kCaptionPixels, true);
    painter.setPen(kInk);
    DrawAnchoredText(painter, r.left + 4, r.top + 2, QStringLiteral("Sky"), HAnchor::Left, VAnchor::Top);

    SetPixelFont(painter, kSmallPixels, false);
    painter.setPen(kFaintInk);
    const int lineHeight = painter.fontMetrics().height();
    int y = r.bottom - 4 - 3 * lineHeight;
    for (const SkyUse use : {SkyUse::Used, SkyUse::Tracked, SkyUse::AlmanacOnly}) {
        const auto count = std::ranges::count(content.satellites, use, &SkySatellite::use);
        DrawAnchoredText(painter, r.left + 4, y, Latin1(FormatInt(count) + " " + std::string(UseText(use))),
                         HAnchor::Left, VAnchor::Top);
        y += lineHeight;
    }
}

void CDrawSkyPlot::DrawTrail(QPainter& painter, const SkySatellite& satellite,
                             const std::vector<SkyPosition>& trail) const {
    QPolygonF points;
    for (const SkyPosition& position : trail) {
        points << PointOf(position);
    }
    DrawTrailLine(painter, points, satellite.cno);
}

void CDrawSkyPlot::DrawSatellite(QPainter& painter, const SkySatellite& satellite) const {
    DrawSatelliteSymbol(painter, PointOf(satellite.position), satellite.use, satellite.cno, IsSbasPrn(satellite.prn),
                        QString::number(satellite.prn));
}

void CDrawSkyLegend::Draw(QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const ElementRect& r = Rect();
    const int row = r.top + 12;

    // The symbols, each with what it means.
    struct Key {
        SkyUse use;
        std::optional<double> cno;
        bool sbas;
        const char* text;
    };
    const std::array<Key, 4> keys{{{SkyUse::Used, 30.0, false, "used"},
                                   {SkyUse::Tracked, 30.0, false, "tracked"},
                                   {SkyUse::AlmanacOnly, std::nullopt, false, "almanac only"},
                                   {SkyUse::Used, 30.0, true, "SBAS"}}};
    int x = r.left + 14;
    const auto explain = [&painter, &x, row](const QString& text) {
        SetPixelFont(painter, kSmallPixels + 1, false);
        painter.setPen(kInk);
        DrawAnchoredText(painter, x + 16, row + 4, text, HAnchor::Left, VAnchor::Baseline);
        x += 36 + painter.fontMetrics().horizontalAdvance(text);
    };
    for (const Key& key : keys) {
        DrawSatelliteSymbol(painter, QPointF(x, row), key.use, key.cno, key.sbas, QString());
        explain(QString::fromLatin1(key.text));
    }
    const QPolygonF trail(
        {QPointF(x - 12, row + 5), QPointF(x - 6, row + 1), QPointF(x, row - 1), QPointF(x + 8, row - 4)});
    DrawTrailLine(painter, trail, 30.0);
    explain(QStringLiteral("trail"));

    // The C/No ramp with its scale.
    const int rampTop = row + 20;
    const int rampLeft = r.left + 60;
    const int rampWidth = r.Width() - 80;
    const int rampHeight = 8;
    SetPixelFont(painter, kSmallPixels + 1, false);
    painter.setPen(kInk);
    DrawAnchoredText(painter, r.left + 6, rampTop + rampHeight, QStringLiteral("C/No dB"), HAnchor::Left,
                     VAnchor::Baseline);
    QLinearGradient ramp(rampLeft, 0, rampLeft + rampWidth, 0);
    for (const RampStop& stop : kRamp) {
        ramp.setColorAt(stop.db / kCnoScaleMax, stop.color);
    }
    ramp.setColorAt(0.0, kRamp.front().color);
    ramp.setColorAt(1.0, kRamp.back().color);
    painter.setPen(QPen(kAxis, 1.0));
    painter.setBrush(ramp);
    painter.drawRect(QRectF(rampLeft, rampTop, rampWidth, rampHeight));
    SetPixelFont(painter, kSmallPixels, false);
    painter.setPen(kFaintInk);
    for (int db = 0; db <= static_cast<int>(kCnoScaleMax); db += 10) {
        const int tickX = rampLeft + static_cast<int>(std::lround(rampWidth * db / kCnoScaleMax));
        painter.drawLine(tickX, rampTop + rampHeight, tickX, rampTop + rampHeight + 3);
        DrawAnchoredText(painter, tickX, rampTop + rampHeight + 3, QString::number(db), HAnchor::Centre, VAnchor::Top);
    }
    painter.restore();
}

}  // namespace zarnmon
