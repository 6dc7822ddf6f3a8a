#include "gui/state/app_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace zarnmon {

namespace {

constexpr std::array<int, 5> kSizes{16, 24, 32, 48, 64};

// A receiver's antenna under a sky of signal arcs, on a rounded tile.
void PaintAntenna(QPainter& painter, const QColor& tile) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    for (const int radius : {10, 18, 26}) {
        painter.drawArc(QRectF(32 - radius, 44 - radius, 2 * radius, 2 * radius), 45 * 16, 90 * 16);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(32, 44), 5, 5);
    painter.drawRect(QRectF(30, 44, 4, 12));
}

template <typename Paint>
QIcon DrawnIcon(Paint paint) {
    QIcon icon;
    for (const int size : kSizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 64.0, size / 64.0);
        paint(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon ApplicationIcon() {
    return DrawnIcon([](QPainter& painter) { PaintAntenna(painter, QColor(0x20, 0x4A, 0x87)); });
}

QIcon FailedTestIcon() {
    return DrawnIcon([](QPainter& painter) {
        PaintAntenna(painter, QColor(0xB0, 0x10, 0x10));
        // A cross in a yellow disc, readable at 16 pixels.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xFF, 0xD8, 0x00));
        painter.drawEllipse(QRectF(30, 2, 32, 32));
        painter.setPen(QPen(QColor(0x80, 0x00, 0x00), 6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(39, 11), QPointF(53, 25));
        painter.drawLine(QPointF(53, 11), QPointF(39, 25));
    });
}

}  // namespace zarnmon
