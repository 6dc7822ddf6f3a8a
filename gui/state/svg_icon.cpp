#include "gui/state/svg_icon.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <utility>

// The drawings are compiled into a static library: registering them where
// they are read makes the linker keep them in every program that shows one.
static void RegisterIconResources() { Q_INIT_RESOURCE(icons); }

namespace zarnmon {

namespace {

class SvgIconEngine final : public QIconEngine {
public:
    SvgIconEngine(QByteArray drawing, QSize designSize)
        : drawing_(std::move(drawing)),
          designSize_(designSize),
          cacheKey_(QStringLiteral("zarnmon-svg:%1").arg(qHash(drawing_))) {}

    QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        return designSize_.scaled(size, Qt::KeepAspectRatio);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QSize pixels = actualSize(size, mode, state);
        if (pixels.isEmpty()) {
            return {};
        }
        // Tool bars ask for the same pixmaps on every repaint.
        const QString cacheKey =
            QStringLiteral("%1:%2x%3:%4").arg(cacheKey_).arg(pixels.width()).arg(pixels.height()).arg(mode);
        QPixmap cached;
        if (QPixmapCache::find(cacheKey, &cached)) {
            return cached;
        }
        QPixmap rendered = Render(pixels);
        if (mode != QIcon::Normal && qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
            // Disabled and selected icons look as the style draws them for every other icon.
            QStyleOption option;
            option.palette = QApplication::palette();
            rendered = QApplication::style()->generatedIconPixmap(mode, rendered, &option);
        }
        QPixmapCache::insert(cacheKey, rendered);
        return rendered;
    }

    // The icon has already fitted `rect` to the drawing's proportions.
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

    [[nodiscard]] QIconEngine* clone() const override { return new SvgIconEngine(*this); }
    [[nodiscard]] QString key() const override { return QStringLiteral("zarnmon-svg"); }

private:
    [[nodiscard]] QPixmap Render(QSize pixels) const {
        QPixmap picture(pixels);
        picture.fill(Qt::transparent);
        QSvgRenderer renderer(drawing_);
        QPainter painter(&picture);
        renderer.render(&painter, QRectF(QPointF(), QSizeF(pixels)));
        return picture;
    }

    QByteArray drawing_;
    QSize designSize_;
    QString cacheKey_;
};

}  // namespace

QIcon SvgIcon(const QString& path) {
    static const bool registered = (RegisterIconResources(), true);
    Q_UNUSED(registered);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArray drawing = file.readAll();
    const QSvgRenderer renderer(drawing);
    if (!renderer.isValid() || renderer.defaultSize().isEmpty()) {
        return {};
    }
    // The icon owns its engine.
    return QIcon(new SvgIconEngine(std::move(drawing), renderer.defaultSize()));
}

}  // namespace zarnmon
