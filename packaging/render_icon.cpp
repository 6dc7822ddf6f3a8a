// zarnmon_render_icon: draws the application's SVG icon as a square PNG of
// one size, so the icon theme's fixed-size directories are filled at build
// time with Qt's own SVG renderer and no image tool of its own.
//
// usage: zarnmon_render_icon SVG SIZE OUT.png

#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <charconv>
#include <iostream>
#include <string_view>

namespace {

// The icon theme's sizes are small; anything outside this is a typo.
constexpr int kMaxSize = 1024;

int ParseSize(std::string_view text) {
    int size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (error != std::errc{} || end != text.data() + text.size() || size < 1 || size > kMaxSize) {
        return 0;
    }
    return size;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: zarnmon_render_icon SVG SIZE OUT.png\n";
        return 2;
    }
    const int size = ParseSize(argv[2]);
    if (size == 0) {
        std::cerr << "zarnmon_render_icon: size '" << argv[2] << "' is not a whole number from 1 to " << kMaxSize
                  << '\n';
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::cerr << "zarnmon_render_icon: cannot read the drawing " << argv[1] << '\n';
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        // The painter must finish before the image is saved.
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::cerr << "zarnmon_render_icon: cannot write " << argv[3] << '\n';
        return 1;
    }
    return 0;
}
