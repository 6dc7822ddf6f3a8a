#include "gui/app/command_icon.h"

#include <QPainter>
#include <QPixmap>

#include "gui/state/svg_icon.h"

namespace zarnmon {

namespace {

// A glyph tile's size in logical pixels.
constexpr QSize kGlyphSize(40, 24);

QIcon GlyphIcon(const QString& text) {
    const QRectF tile(1, 1, 38, 22);
    QIcon icon;
    // Drawn again for screens of two and three device pixels per logical one,
    // so the glyph stays sharp there instead of being scaled up.
    for (const int ratio : {1, 2, 3}) {
        QPixmap pixmap(kGlyphSize * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x30, 0x50, 0x90), 1.5));
        painter.setBrush(QColor(0xE8, 0xEE, 0xF8));
        painter.drawRoundedRect(tile, 4, 4);
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(11);
        painter.setFont(font);
        painter.drawText(QRect(QPoint(0, 0), kGlyphSize), Qt::AlignCenter, text);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon CommandIcon(const QString& name, const QString& glyph) {
    const QIcon drawn = SvgIcon(QStringLiteral(":/icons/%1.svg").arg(name));
    return drawn.isNull() ? GlyphIcon(glyph) : drawn;
}

}  // namespace zarnmon
