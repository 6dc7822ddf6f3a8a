#include "gui/waas/land_layer.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

TEST(LandLayerTest, CarriedOutline_IsReadFromTheProgramsResources) {
    EXPECT_EQ(LandOutline().size(), 126U);
    EXPECT_FALSE(CLandLayer(IonoMapLayout(kDefaultIonoRegion)).Areas().isEmpty());
}

// The land of Europe painted onto white at a pixel ratio, through a painter
// that scales by scale and repaints only clip.
QImage Painted(CLandLayer& land, qreal ratio, qreal scale, const QRect& clip) {
    const IonoSize extent = IonoMapLayout(kIonoZones[1].region).ScrollExtent();
    QImage image(QSize(extent.width, extent.height) * (ratio * scale), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    land.Paint(painter, clip);
    return image;
}

// How many pixels differ by more than a shade of grey.
int Differences(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 8 ? 1 : 0;
        }
    }
    return count;
}

TEST(LandLayerTest, Paint_RepaintedCellsMatchTheWholeMapAtEveryPixelRatio) {
    CLandLayer land{IonoMapLayout(kIonoZones[1].region)};
    const QRect all(0, 0, 1000, 1000);
    for (const qreal ratio : {1.0, 2.0, 1.0}) {
        SCOPED_TRACE(ratio);
        const QImage whole = Painted(land, ratio, 1.0, all);
        // Cells on the Alps, on the Channel and on the map's edges.
        for (const QRect& cell :
             {QRect(400, 300, 13, 13), QRect(412, 270, 13, 13), QRect(55, 500, 13, 13), QRect(822, 562, 13, 13)}) {
            const QImage part = Painted(land, ratio, 1.0, cell);
            const QRect device(cell.topLeft() * ratio, cell.size() * ratio);
            EXPECT_EQ(part.copy(device), whole.copy(device));
            EXPECT_EQ(part.pixel(device.left() - 1, device.top() - 1), qRgb(255, 255, 255)) << "only the cell";
        }
    }
}

TEST(LandLayerTest, Paint_AScalingPainterGetsTheSameLandAsATwiceFinerScreen) {
    CLandLayer land{IonoMapLayout(kIonoZones[1].region)};
    const QRect all(0, 0, 1000, 1000);
    const QImage screen = Painted(land, 2.0, 1.0, all);
    const QImage printed = Painted(land, 1.0, 2.0, all);
    ASSERT_EQ(screen.size(), printed.size());
    EXPECT_LT(Differences(screen, printed), screen.width() * screen.height() / 1000);
    // Not a picture at one pixel a point enlarged: the coast stays as thin.
    EXPECT_GT(
        Differences(screen, Painted(land, 1.0, 1.0, all).scaled(screen.size()).convertToFormat(QImage::Format_RGB32)),
        1000);
}

TEST(LandLayerTest, Paint_StaysInsideTheMap) {
    // Europe's land reaches past every edge of the map but the north.
    const IonoMapLayout layout(kIonoZones[1].region);
    CLandLayer land(layout);
    const IonoSize extent = layout.ScrollExtent();
    QImage image(extent.width, extent.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    land.Paint(painter, image.rect());
    painter.end();

    const IonoRect map = layout.MapRect();
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool drawn = image.pixel(x, y) != qRgb(255, 255, 255);
            const bool inMap = x >= map.left && x < map.right && y >= map.top && y < map.bottom;
            (inMap ? inside : outside) += drawn ? 1 : 0;
        }
    }
    EXPECT_GT(inside, 50000);
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace zarnmon
