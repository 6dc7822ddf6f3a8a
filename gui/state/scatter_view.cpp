#include "gui/state/scatter_view.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/link/msg_dispatcher.h"

namespace zarnmon {

namespace {

constexpr int kMargin = 44;
constexpr double kMinHalfWidth = 0.01;
constexpr double kFitSlack = 1.05;
constexpr int kFiguresEveryMs = 1000;
// Dots add up: a pixel hit by many samples darkens towards the dot colour.
constexpr int kDotAlpha = 160;  // of 256
constexpr QRgb kDotColor = qRgb(0, 0, 170);
constexpr QRgb kBackground = qRgb(255, 255, 255);

constexpr std::array<const char*, CViewScatter::kFields> kFieldLabels{
    "Samples",          "Mean North (m)", "Mean East (m)", "Mean Up (m)", "Std Dev North (m)",
    "Std Dev East (m)", "Std Dev Up (m)", "CEP50 (m)",     "CEP95 (m)",   "2DRMS (m)"};

// The smallest 1, 2 or 5 × 10^k not below x.
double NiceCeil(double x) {
    const double decade = std::pow(10.0, std::floor(std::log10(x)));
    for (const double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * decade >= x * (1.0 - 1e-12)) {
            return step * decade;
        }
    }
    return 10.0 * decade;
}

QString Metres(double value) { return QString::number(value, 'g', 4); }

QRgb Blend(QRgb under) {
    const auto mix = [](int from, int to) { return from + (((to - from) * kDotAlpha) >> 8); };
    return qRgb(mix(qRed(under), qRed(kDotColor)), mix(qGreen(under), qGreen(kDotColor)),
                mix(qBlue(under), qBlue(kDotColor)));
}

}  // namespace

CScatterPlot::CScatterPlot(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QRectF CScatterPlot::Square() const {
    const double side = std::max(10, std::min(width(), height()) - 2 * kMargin);
    return {(width() - side) / 2.0, (height() - side) / 2.0, side, side};
}

QPointF CScatterPlot::PointOf(double north, double east) const {
    const QRectF square = Square();
    const double perMetre = square.width() / (2.0 * halfWidth_);
    return {square.center().x() + east * perMetre, square.center().y() - north * perMetre};
}

void CScatterPlot::SetTrack(const std::vector<NeuOffset>& track, double cep50, double cep95) {
    track_ = &track;
    const bool ringsMoved = cep50 != cep50_ || cep95 != cep95_;
    cep50_ = cep50;
    cep95_ = cep95;
    const std::size_t count = track.size();
    if (count < scanned_) {
        scanned_ = 0;
        maxAbs_ = 0.0;
    }
    for (std::size_t i = scanned_; i < count; ++i) {
        maxAbs_ = std::max({maxAbs_, std::abs(track[i].north), std::abs(track[i].east)});
    }
    scanned_ = count;
    const double halfWidth = count == 0 ? 1.0 : NiceCeil(std::max(kMinHalfWidth, maxAbs_ * kFitSlack));
    if (halfWidth != halfWidth_ || count < drawn_) {
        halfWidth_ = halfWidth;
        picture_ = QImage();
        update();
        return;
    }
    if (!picture_.isNull() && drawn_ < count) {
        DrawDots(drawn_);
        update();
    } else if (ringsMoved) {
        update();
    }
}

void CScatterPlot::resizeEvent(QResizeEvent* event) {
    picture_ = QImage();
    QWidget::resizeEvent(event);
}

void CScatterPlot::RebuildPicture() {
    const qreal ratio = devicePixelRatioF();
    picture_ = QImage(size() * ratio, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(kBackground);
    {
        QPainter painter(&picture_);
        const QRectF square = Square();
        const QPointF centre = square.center();
        const double half = square.width() / 2.0;
        painter.setPen(QPen(QColor(225, 225, 225), 0, Qt::DashLine));
        for (const double f : {-0.5, 0.5}) {
            painter.drawLine(QPointF(centre.x() + f * half, square.top()),
                             QPointF(centre.x() + f * half, square.bottom()));
            painter.drawLine(QPointF(square.left(), centre.y() + f * half),
                             QPointF(square.right(), centre.y() + f * half));
        }
        painter.setPen(QPen(QColor(160, 160, 160), 0));
        painter.drawLine(QPointF(centre.x(), square.top()), QPointF(centre.x(), square.bottom()));
        painter.drawLine(QPointF(square.left(), centre.y()), QPointF(square.right(), centre.y()));
        painter.setPen(QPen(palette().color(QPalette::Text), 0));
        painter.drawRect(square);

        // The scale: metres at the grid lines, under and left of the square.
        const QFontMetrics metrics(font());
        for (const double f : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
            const QString label = Metres(f * halfWidth_);
            const double x = centre.x() + f * half;
            painter.drawText(QRectF(x - 40, square.bottom() + 3, 80, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                             label);
            const double y = centre.y() - f * half;
            painter.drawText(QRectF(0, y - metrics.height() / 2.0, square.left() - 4, metrics.height()),
                             Qt::AlignRight | Qt::AlignVCenter, label);
        }
        painter.drawText(QRectF(square.left(), square.top() - metrics.height() - 2, square.width(), metrics.height()),
                         Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("North (m)"));
        painter.drawText(
            QRectF(square.left(), square.bottom() + 3 + metrics.height(), square.width(), metrics.height()),
            Qt::AlignRight | Qt::AlignTop, QStringLiteral("East (m)"));
    }
    DrawDots(0);
}

void CScatterPlot::DrawDots(std::size_t from) {
    drawn_ = from;
    if (track_ == nullptr) {
        return;
    }
    // Device pixels: a dot is about two and a half logical pixels square.
    const qreal ratio = picture_.devicePixelRatio();
    const int dot = std::max(1, static_cast<int>(std::lround(2.5 * ratio)));
    const QRectF square = Square();
    const double perMetre = square.width() * ratio / (2.0 * halfWidth_);
    const double cx = square.center().x() * ratio;
    const double cy = square.center().y() * ratio;
    const int w = picture_.width();
    const int h = picture_.height();
    const int bytesPerLine = static_cast<int>(picture_.bytesPerLine() / 4);
    auto* bits = reinterpret_cast<QRgb*>(picture_.bits());
    const std::vector<NeuOffset>& track = *track_;
    for (std::size_t i = from; i < track.size(); ++i) {
        const int x0 = static_cast<int>(std::floor(cx + track[i].east * perMetre - dot / 2.0));
        const int y0 = static_cast<int>(std::floor(cy - track[i].north * perMetre - dot / 2.0));
        for (int y = std::max(0, y0); y < std::min(h, y0 + dot); ++y) {
            QRgb* line = bits + static_cast<std::ptrdiff_t>(y) * bytesPerLine;
            for (int x = std::max(0, x0); x < std::min(w, x0 + dot); ++x) {
                line[x] = Blend(line[x]);
            }
        }
    }
    drawn_ = track.size();
}

void CScatterPlot::paintEvent(QPaintEvent* event) {
    if (picture_.isNull() || picture_.size() != size() * devicePixelRatioF()) {
        RebuildPicture();
    }
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_,
                      QRectF(QPointF(event->rect().topLeft()) * picture_.devicePixelRatio(),
                             QSizeF(event->rect().size()) * picture_.devicePixelRatio()));
    if (drawn_ == 0) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = PointOf(0.0, 0.0);
    const double perMetre = Square().width() / (2.0 * halfWidth_);
    const std::array<std::pair<double, QColor>, 2> rings{std::pair{cep50_, QColor(0, 150, 0)},
                                                         std::pair{cep95_, QColor(210, 0, 0)}};
    const std::array<const char*, 2> names{"CEP50", "CEP95"};
    const QFontMetrics metrics(font());
    const QRectF square = Square();
    for (std::size_t i = 0; i < rings.size(); ++i) {
        const double radius = rings[i].first * perMetre;
        painter.setPen(QPen(rings[i].second, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, radius, radius);
        // The legend, above the square on the right, names each ring by its colour.
        const double y = square.top() - 2 - static_cast<double>(rings.size() - i) * metrics.height();
        painter.drawText(QRectF(square.left(), y, square.width(), metrics.height()), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1 %2 m").arg(QString::fromLatin1(names[i]), Metres(rings[i].first)));
    }
}

CViewScatter::CViewScatter(const ViewServices& services, QWidget* parent) : CFormView(services, parent) {
    auto* layout = new QHBoxLayout(&Form());
    plot_ = new CScatterPlot(&Form());
    layout->addWidget(plot_, 1);
    auto* frame = new QGroupBox(QStringLiteral("Accuracy"), &Form());
    auto* rows = new QFormLayout(frame);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        auto* field = new QLineEdit(frame);
        field->setReadOnly(true);
        field->setAlignment(Qt::AlignRight);
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-00000.0000")) + 12);
        rows->addRow(QString::fromLatin1(kFieldLabels[i]), field);
        fields_[i] = field;
    }
    auto* side = new QVBoxLayout;
    side->addWidget(frame);
    side->addStretch(1);
    layout->addLayout(side);
    Subscriptions().Subscribe(Slots::Msg1);
    Refresh();
}

void CViewScatter::Refresh() {
    const std::vector<NeuOffset>& track = Context().neuHistory.Track();
    if (!computed_ || track.size() != figuresFor_) {
        figures_ = ComputeAccuracy(track);
        figuresFor_ = track.size();
        computed_ = true;
        sinceFigures_.start();
        ShowFigures();
    }
    plot_->SetTrack(track, figures_.cep50, figures_.cep95);
}

void CViewScatter::OnRxMessage(int slot) {
    if (slot != Slots::Msg1) {
        return;
    }
    // A fast replay notifies far more often than once a second: the figures
    // (a sort of the whole track) wait for the tick then.
    if (sinceFigures_.isValid() && sinceFigures_.elapsed() < kFiguresEveryMs) {
        plot_->SetTrack(Context().neuHistory.Track(), figures_.cep50, figures_.cep95);
        return;
    }
    Refresh();
}

void CViewScatter::OnRefreshTick() {
    Subscriptions().KeepOn({Slots::Msg1}, Context().autoConfigure);
    Refresh();
}

void CViewScatter::ShowFigures() {
    const AccuracyFigures& f = figures_;
    const std::array<double, kFields - 1> values{f.mean.north, f.mean.east, f.mean.up, f.stddev.north, f.stddev.east,
                                                 f.stddev.up,  f.cep50,     f.cep95,   f.twoDrms};
    fields_[kSamples]->setText(QString::number(f.samples));
    for (std::size_t i = 0; i < values.size(); ++i) {
        fields_[i + 1]->setText(QString::asprintf("%.4lf", values[i]));
    }
}

}  // namespace zarnmon
