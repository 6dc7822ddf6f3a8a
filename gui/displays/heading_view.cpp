#include "gui/displays/heading_view.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <cmath>

#include "gui/state/color_ref.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

// Degrees to radians as the dial has always turned them.
constexpr double kRadiansPerDegree = 0.017453292522222223;
constexpr double kSideAngle = 4.0;  // degrees either side of the tip

constexpr QPoint kCentre((CViewHeading::kDialRect.left() + CViewHeading::kDialRect.right() + 1) / 2,
                         (CViewHeading::kDialRect.top() + CViewHeading::kDialRect.bottom() + 1) / 2);
constexpr int kRadius = CViewHeading::kDialRect.width() / 2;
constexpr int kInnerRadius = 2 * kRadius / 3;
constexpr int kTickHalf = 4;
constexpr int kLetterGap = 4;
constexpr int kSideLetterGap = 7;
constexpr int kSideLetterDrop = 3;
constexpr int kDotRadius = 5;
constexpr int kExtentMargin = 30;

constexpr QRect kFirstTextRect{QPoint(5, 5), QPoint(124, 34)};
// The widest the heading text gets.
constexpr std::string_view kWidestText = "HEADING=888.8\xB0";

// radius px from the centre toward a bearing, each offset truncated toward zero.
QPoint Toward(double degrees, int radius) {
    const double radians = degrees * kRadiansPerDegree;
    return kCentre +
           QPoint(static_cast<int>(std::sin(radians) * radius), -static_cast<int>(std::cos(radians) * radius));
}

QPen SolidPen(std::uint32_t ref, int width) {
    return {ColorFromRef(ref), static_cast<qreal>(width), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin};
}

}  // namespace

HeadingNeedle NeedleFor(double heading) {
    HeadingNeedle needle;
    needle.centre = kCentre;
    needle.points = {Toward(heading - kSideAngle, kInnerRadius), Toward(heading, kRadius),
                     Toward(heading + kSideAngle, kInnerRadius)};
    QRect bounds(kCentre, kCentre);
    for (const QPoint& point : needle.points) {
        bounds |= QRect(point, point);
    }
    needle.area = bounds.adjusted(-2, -2, 2, 2);
    return needle;
}

bool CanCopyBits(const QPaintDevice& device) {
    const int type = device.devType();
    return type == QInternal::Widget || type == QInternal::Image || type == QInternal::Pixmap;
}

CViewHeading::CViewHeading(const ViewServices& services, QWidget* parent)
    : CElementView(services, parent), needle_(NeedleFor(0.0)), textRect_(kFirstTextRect) {}

CViewHeading::~CViewHeading() { reader_.OnClose(Context().autoConfigure, Dispatcher().Sender()); }

QString CViewHeading::HeadingText() const { return Latin1("HEADING=" + FormatFixed(reader_.Heading(), 1) + "\xB0"); }

void CViewHeading::Render(QPainter& painter) {
    painter.setFont(font());
    PaintOver(painter, QRect(QPoint(0, 0), Extent()));
}

void CViewHeading::OnInitialUpdate() {
    SetExtent(kDialRect.adjusted(-kExtentMargin, -kExtentMargin, kExtentMargin, kExtentMargin).size());
    SubscribeTo(Slots::NmeaHandler);
    reader_.Start(Dispatcher().Handler(Slots::NmeaHandler));
}

void CViewHeading::OnRxMessage(int slot) {
    if (slot != Slots::NmeaHandler || !reader_.ReadNew(Dispatcher().Handler(Slots::NmeaHandler))) {
        return;
    }
    const HeadingNeedle next = NeedleFor(reader_.Heading());
    // Where the needle was and where it is now; only the new needle's area is
    // kept, so a needle that keeps turning does not grow into the whole dial.
    InvalidateLogical(textRect_);
    InvalidateLogical(needle_.area | next.area);
    needle_ = next;
}

void CViewHeading::OnRefreshTick() { reader_.OnRefreshTick(Context().autoConfigure, Dispatcher().Sender()); }

void CViewHeading::PaintOver(QPainter& painter, const QRect& clip) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBackgroundMode(Qt::TransparentMode);

    painter.setPen(ColorFromRef(colors::kRed));
    DrawAnchoredText(painter, kCentre.x(), kCentre.y() - kRadius - kLetterGap, QStringLiteral("N"), HAnchor::Centre,
                     VAnchor::Bottom);
    DrawAnchoredText(painter, kCentre.x() + kRadius + kSideLetterGap, kCentre.y() + kSideLetterDrop,
                     QStringLiteral("E"), HAnchor::Left, VAnchor::Baseline);
    DrawAnchoredText(painter, kCentre.x(), kCentre.y() + kRadius + kLetterGap, QStringLiteral("S"), HAnchor::Centre,
                     VAnchor::Top);
    DrawAnchoredText(painter, kCentre.x() - kRadius - kSideLetterGap, kCentre.y() + kSideLetterDrop,
                     QStringLiteral("W"), HAnchor::Right, VAnchor::Baseline);

    painter.setPen(ColorFromRef(colors::kBlack));
    DrawAnchoredText(painter, textRect_.left(), textRect_.top(), HeadingText(), HAnchor::Left, VAnchor::Top);
    FitTextRect(painter);

    const bool dial = clip.intersects(kDialRect);
    if (dial) {
        painter.setPen(SolidPen(colors::kBlue, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(kDialRect.topLeft(), QSizeF(kDialRect.size())));
        painter.setPen(SolidPen(colors::kRed, 2));
        const int x = kCentre.x();
        const int y = kCentre.y();
        painter.drawLine(x, y - kRadius + kTickHalf, x, y - kRadius - kTickHalf);
        painter.drawLine(x + kRadius - kTickHalf, y, x + kRadius + kTickHalf, y);
        painter.drawLine(x, y + kRadius - kTickHalf, x, y + kRadius + kTickHalf);
        painter.drawLine(x - kRadius + kTickHalf, y, x - kRadius - kTickHalf, y);
    }

    if (clip.intersects(needle_.area)) {
        const QPolygon outline({needle_.centre, needle_.points[0], needle_.points[1], needle_.points[2]});
        if (CanCopyBits(*painter.device())) {
            painter.setPen(SolidPen(colors::kBlue, 1));
            painter.setBrush(ColorFromRef(colors::kBlue));
        } else {
            painter.setPen(SolidPen(colors::kBlue, 2));
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawPolygon(outline);
    }

    if (dial) {
        painter.setPen(SolidPen(colors::kRed, 1));
        painter.setBrush(ColorFromRef(colors::kRed));
        painter.drawEllipse(QRectF(kCentre.x() - kDotRadius, kCentre.y() - kDotRadius, 2 * kDotRadius, 2 * kDotRadius));
    }
    painter.restore();
}

void CViewHeading::FitTextRect(const QPainter& painter) {
    // Until the first paint the text's size is unknown: a generous guess.
    if (textRect_.height() != kFirstTextRect.height()) {
        return;
    }
    const QFontMetrics metrics = painter.fontMetrics();
    textRect_.setSize({metrics.horizontalAdvance(Latin1(kWidestText)), metrics.height()});
}

}  // namespace zarnmon
