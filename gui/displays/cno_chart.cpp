#include "gui/displays/cno_chart.h"

#include <QLinearGradient>
#include <algorithm>
#include <cmath>

#include "gui/displays/sky_elements.h"
#include "gui/state/color_ref.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

constexpr int kColumnWidth = 24;
constexpr int kGroupGap = 12;  // between the GPS and the SBAS channels
constexpr int kColumnInset = 6;
constexpr int kValueRoom = 16;  // above the bar, for its value
constexpr int kPrnRoom = 16;    // below the axis, for the PRN
constexpr double kSoloBarWidth = 12.0;
constexpr double kL1BarWidth = 9.0;
constexpr double kL2BarWidth = 7.0;
constexpr int kLabelGap = 4;  // the threshold lines reach past the bars toward their labels
constexpr int kGridStep = 5;  // dB
constexpr int kLabelStep = 10;

constexpr int kSmallPixels = 9;
constexpr int kTextPixels = 10;
constexpr int kCaptionPixels = 12;

using sky_colors::kAxis;
using sky_colors::kFaintInk;
using sky_colors::kInk;
const QColor kGrid(226, 231, 238);
const QColor kMajorGrid(205, 213, 223);
const QColor kIdle(180, 186, 194);
const QColor kFullLine(25, 90, 170);
const QColor kCodeOnlyLine(150, 60, 160);

std::string DbText(const std::optional<double>& db) { return db ? FormatFixed(*db, 1) : std::string("---"); }

// The bar of a value from the axis up, left edge at x.
QRectF BarOf(double x, double width, double db) {
    const CnoChartLayout& layout = ChartLayout();
    const double top = layout.YOf(db);
    return {x, top, width, layout.bottom - top};
}

void FillBar(QPainter& painter, const QRectF& bar, double db, bool hatched) {
    const QColor color = CnoColor(db);
    if (hatched) {
        QColor pale = color;
        pale.setAlpha(90);
        painter.setPen(Qt::NoPen);
        painter.setBrush(pale);
        painter.drawRect(bar);
        painter.setBrush(QBrush(color.darker(130), Qt::BDiagPattern));
    } else {
        QLinearGradient shade(bar.topLeft(), bar.topRight());
        shade.setColorAt(0.0, color.lighter(115));
        shade.setColorAt(1.0, color);
        painter.setBrush(shade);
    }
    painter.setPen(QPen(color.darker(140), 1.0));
    painter.drawRect(bar);
}

// A threshold's name above its line and its value below, in the margin right of the bars.
void DrawLineLabel(QPainter& painter, int x, double y, const std::string& name, double db, const QColor& color) {
    painter.setPen(color);
    SetPixelFont(painter, kSmallPixels, true);
    DrawAnchoredText(painter, x, static_cast<int>(y) - 1, Latin1(name), HAnchor::Left, VAnchor::Bottom);
    SetPixelFont(painter, kSmallPixels, false);
    DrawAnchoredText(painter, x, static_cast<int>(y) + 2, Latin1(FormatFixed(db, 1) + " dB"), HAnchor::Left,
                     VAnchor::Top);
}

}  // namespace

const CnoChartLayout& ChartLayout() {
    static const CnoChartLayout layout{{466, 12, 966, 486}, 500, 44, 886, 404};
    return layout;
}

double CnoChartLayout::YOf(double db) const {
    const double clamped = std::clamp(db, 0.0, kCnoScaleMax);
    return bottom - (bottom - top) * clamped / kCnoScaleMax;
}

ElementRect CnoChartLayout::ColumnRect(int channel) const {
    const int gap = channel >= kGpsSignalChannels ? kGroupGap : 0;
    const int x = left + kColumnInset + channel * kColumnWidth + gap;
    return {x, top - kValueRoom, x + kColumnWidth, bottom + kPrnRoom};
}

void CDrawCnoScale::Draw(QPainter& painter) {
    const CnoChartLayout& layout = ChartLayout();
    painter.save();
    SetPixelFont(painter, kCaptionPixels, true);
    painter.setPen(kInk);
    DrawAnchoredText(painter, layout.panel.left + 4, layout.panel.top + 2, QStringLiteral("C/No by channel"),
                     HAnchor::Left, VAnchor::Top);

    SetPixelFont(painter, kSmallPixels, false);
    for (int db = 0; db <= static_cast<int>(kCnoScaleMax); db += kGridStep) {
        const int y = static_cast<int>(layout.YOf(db));
        const bool major = db % kLabelStep == 0;
        painter.setPen(major ? kMajorGrid : kGrid);
        painter.drawLine(layout.left, y, layout.right, y);
        if (major) {
            // The top of the scale carries the unit.
            const QString label =
                QString::number(db) + (db == static_cast<int>(kCnoScaleMax) ? QStringLiteral(" dB") : QString());
            painter.setPen(kFaintInk);
            DrawAnchoredText(painter, layout.left - 5, y + painter.fontMetrics().ascent() / 2 - 1, label,
                             HAnchor::Right, VAnchor::Baseline);
        }
    }
    painter.setPen(QPen(kAxis, 1.0));
    painter.drawLine(layout.left, layout.top, layout.left, layout.bottom);
    painter.drawLine(layout.left, layout.bottom, layout.right, layout.bottom);

    // The two channel groups, bracketed under their PRNs.
    const int bracket = layout.bottom + kPrnRoom + 6;
    const auto group = [&](int first, int last, const QString& text) {
        const int from = layout.ColumnRect(first).left + 2;
        const int to = layout.ColumnRect(last).right - 2;
        painter.setPen(QPen(kAxis, 1.0));
        painter.drawLine(from, bracket - 3, from, bracket);
        painter.drawLine(from, bracket, to, bracket);
        painter.drawLine(to, bracket - 3, to, bracket);
        painter.setPen(kFaintInk);
        DrawAnchoredText(painter, (from + to) / 2, bracket + 3, text, HAnchor::Centre, VAnchor::Top);
    };
    group(0, kGpsSignalChannels - 1, QStringLiteral("GPS channels 1-12"));
    group(kGpsSignalChannels, kSignalChannels - 1, QStringLiteral("SBAS 13-15"));

    // The key: what the two bars are, and what a green PRN means.
    painter.setRenderHint(QPainter::Antialiasing);
    const int keyTop = layout.panel.bottom - 20;
    int x = layout.left;
    SetPixelFont(painter, kTextPixels, false);
    for (const bool l2 : {false, true}) {
        FillBar(painter, QRectF(x, keyTop, 14, 10), 30.0, l2);
        painter.setPen(kInk);
        const QString text = l2 ? QStringLiteral("L2 (P-code channels)") : QStringLiteral("L1");
        DrawAnchoredText(painter, x + 20, keyTop + 9, text, HAnchor::Left, VAnchor::Baseline);
        x += 36 + painter.fontMetrics().horizontalAdvance(text);
    }
    SetPixelFont(painter, kTextPixels, true);
    painter.setPen(ColorFromRef(colors::kDarkGreen));
    const QString used = QStringLiteral("PRN");
    DrawAnchoredText(painter, x, keyTop + 9, used, HAnchor::Left, VAnchor::Baseline);
    const int usedWidth = painter.fontMetrics().horizontalAdvance(used);
    SetPixelFont(painter, kTextPixels, false);
    painter.setPen(kInk);
    DrawAnchoredText(painter, x + usedWidth + 4, keyTop + 9, QStringLiteral("used in the solution"), HAnchor::Left,
                     VAnchor::Baseline);
    painter.restore();
}

CDrawCnoBar::CDrawCnoBar(const CSkyPicture& picture, int channel) : picture_(picture), channel_(channel) {
    SetRect(ChartLayout().ColumnRect(channel));
}

QRectF CDrawCnoBar::L1Bar() const {
    const ChannelSignal& signal = Shown();
    if (!signal.l1) {
        return {};
    }
    const double x = signal.l2 ? Rect().left + 3.0 : Rect().left + (Rect().Width() - kSoloBarWidth) / 2;
    return BarOf(x, signal.l2 ? kL1BarWidth : kSoloBarWidth, *signal.l1);
}

QRectF CDrawCnoBar::L2Bar() const {
    const ChannelSignal& signal = Shown();
    if (!signal.l1 || !signal.l2) {
        return {};
    }
    return BarOf(Rect().left + 3.0 + kL1BarWidth + 2.0, kL2BarWidth, *signal.l2);
}

void CDrawCnoBar::Draw(QPainter& painter) {
    const ChannelSignal& signal = TakeForPaint();
    const ElementRect& r = Rect();
    const int middle = (r.left + r.right) / 2;
    painter.save();
    if (signal.prn == 0) {
        SetPixelFont(painter, kSmallPixels, false);
        painter.setPen(kIdle);
        DrawAnchoredText(painter, middle, ChartLayout().bottom + 3, QStringLiteral("--"), HAnchor::Centre,
                         VAnchor::Top);
        painter.restore();
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    if (signal.l1) {
        const QRectF l1 = L1Bar();
        FillBar(painter, l1, *signal.l1, false);
        if (signal.l2) {
            FillBar(painter, L2Bar(), *signal.l2, true);
        }
        SetPixelFont(painter, kSmallPixels, false);
        painter.setPen(kFaintInk);
        DrawAnchoredText(painter, static_cast<int>(l1.center().x()), static_cast<int>(l1.top()) - 2,
                         Latin1(FormatFixed(*signal.l1, 0)), HAnchor::Centre, VAnchor::Bottom);
    }
    SetPixelFont(painter, kSmallPixels, signal.used);
    painter.setPen(signal.used ? ColorFromRef(colors::kDarkGreen) : kInk);
    DrawAnchoredText(painter, middle, ChartLayout().bottom + 3, QString::number(signal.prn), HAnchor::Centre,
                     VAnchor::Top);
    painter.restore();
}

TextLines CDrawCnoBar::ShownTexts() const {
    const ChannelSignal& signal = Shown();
    const std::string prn = signal.prn != 0 ? FormatInt(signal.prn) : std::string("---");
    return {{FormatInt(channel_ + 1), prn, DbText(signal.l1), DbText(signal.l2), signal.used ? "used" : ""}};
}

CDrawCnoThresholds::CDrawCnoThresholds(const MonitorThresholds& thresholds) : thresholds_(thresholds) {
    const CnoChartLayout& layout = ChartLayout();
    // The lines with their labels, wherever in the scale they lie.
    SetRect({layout.left, layout.top - kValueRoom, layout.panel.right, layout.bottom + kPrnRoom});
}

void CDrawCnoThresholds::Draw(QPainter& painter) {
    const ThresholdLines& lines = TakeForPaint();
    const CnoChartLayout& layout = ChartLayout();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const auto line = [&](double db, const QColor& color, const std::string& name) {
        // On whole pixels, so that the two-pixel line stays crisp.
        const double y = std::round(layout.YOf(db));
        QPen pen(color, 2.0);
        pen.setDashPattern({4.0, 2.0});
        painter.setPen(pen);
        painter.drawLine(QPointF(layout.left, y), QPointF(layout.right + kLabelGap, y));
        DrawLineLabel(painter, layout.right + kLabelGap + 4, y, name, db, color);
    };
    line(lines.snrFull, kFullLine, "SNRFull");
    line(lines.snrCodeOnly, kCodeOnlyLine, "SNRCodeOnly");
    painter.restore();
}

TextLines CDrawCnoThresholds::ShownTexts() const {
    const ThresholdLines& lines = Shown();
    return {{"SNRFull", FormatFixed(lines.snrFull, 1)}, {"SNRCodeOnly", FormatFixed(lines.snrCodeOnly, 1)}};
}

}  // namespace zarnmon
