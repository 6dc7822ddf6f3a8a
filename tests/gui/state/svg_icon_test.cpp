// Icons from drawings: rendered at the size and pixel density asked for,
// in the drawing's proportions, greyed when disabled; a missing or broken
// drawing gives no icon. The program's own icons come from its drawings.

#include "gui/state/svg_icon.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "gui/state/app_icons.h"

namespace zarnmon {
namespace {

// Twice as wide as tall; red over the left 12.5 of its 24 units, whose edge
// falls inside a pixel at one pixel per unit but on one at two or three.
constexpr char kHalfRed[] = R"(<svg xmlns="http://www.w3.org/2000/svg" width="24" height="12" viewBox="0 0 24 12">
  <rect x="0" y="0" width="12.5" height="12" fill="#ff0000"/>
</svg>)";

class SvgIconTest : public ::testing::Test {
protected:
    QString Write(const char* name, const QByteArray& content) const {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

private:
    QTemporaryDir dir_;
};

TEST_F(SvgIconTest, MissingOrBrokenDrawing_GivesANullIcon) {
    EXPECT_TRUE(SvgIcon(QStringLiteral(":/icons/NoSuchView.svg")).isNull());
    EXPECT_TRUE(SvgIcon(Write("broken.svg", "<svg this is not")).isNull());
    EXPECT_FALSE(SvgIcon(Write("half.svg", kHalfRed)).isNull());
}

TEST_F(SvgIconTest, Pixmap_KeepsTheDrawingsProportions) {
    const QIcon icon = SvgIcon(Write("half.svg", kHalfRed));
    EXPECT_EQ(icon.actualSize(QSize(48, 48)), QSize(48, 24));
    const QImage picture = icon.pixmap(QSize(48, 48), 1.0).toImage();
    ASSERT_EQ(picture.size(), QSize(48, 24));
    EXPECT_EQ(picture.pixelColor(10, 12), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(40, 12).alpha(), 0);
}

TEST_F(SvgIconTest, DenserScreens_GetThePictureDrawnAtTheirResolution) {
    const QIcon icon = SvgIcon(Write("half.svg", kHalfRed));
    const QImage single = icon.pixmap(QSize(24, 24), 1.0).toImage();
    EXPECT_GT(single.pixelColor(12, 6).alpha(), 0);
    EXPECT_LT(single.pixelColor(12, 6).alpha(), 255) << "the edge falls inside this pixel";

    for (const int ratio : {2, 3}) {
        SCOPED_TRACE(ratio);
        const QPixmap dense = icon.pixmap(QSize(24, 24), ratio);
        EXPECT_EQ(dense.devicePixelRatio(), ratio);
        const QImage picture = dense.toImage();
        ASSERT_EQ(picture.size(), QSize(24, 12) * ratio);
        // Where the single-density picture has a half-covered pixel, this one has a full one.
        EXPECT_EQ(picture.pixelColor(12 * ratio, 6 * ratio), QColor(Qt::red));
    }
}

TEST_F(SvgIconTest, PaintingOnADenseDevice_DrawsAtItsResolution) {
    const QIcon icon = SvgIcon(Write("half.svg", kHalfRed));
    QImage target(QSize(48, 24), QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(2);
    target.fill(Qt::transparent);
    QPainter painter(&target);
    icon.paint(&painter, QRect(0, 0, 24, 12));
    painter.end();
    EXPECT_EQ(target.pixelColor(24, 6), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(26, 6).alpha(), 0);
}

TEST_F(SvgIconTest, DisabledIcon_IsGreyed) {
    const QIcon icon = SvgIcon(Write("half.svg", kHalfRed));
    const QColor disabled = icon.pixmap(QSize(24, 24), 1.0, QIcon::Disabled).toImage().pixelColor(4, 6);
    EXPECT_GT(disabled.alpha(), 0);
    EXPECT_EQ(disabled.red(), disabled.green()) << "grey, not red";
    EXPECT_EQ(icon.pixmap(QSize(24, 24), 1.0).toImage().pixelColor(4, 6), QColor(Qt::red)) << "normal stays red";
}

TEST(AppIcons, ComeFromTheProgramsDrawings) {
    // Inside the rounded tile, away from the antenna: the tile's colour.
    const QPoint tile(6, 32);
    const QImage normal = ApplicationIcon().pixmap(QSize(64, 64), 1.0).toImage();
    const QImage failed = FailedTestIcon().pixmap(QSize(64, 64), 1.0).toImage();
    ASSERT_EQ(normal.size(), QSize(64, 64));
    ASSERT_EQ(failed.size(), QSize(64, 64));
    EXPECT_EQ(normal.pixelColor(tile), QColor(0x20, 0x4A, 0x87));
    EXPECT_EQ(failed.pixelColor(tile), QColor(0xB0, 0x10, 0x10));
    EXPECT_EQ(normal.pixelColor(0, 0).alpha(), 0) << "the tile's corners are rounded off";
}

}  // namespace
}  // namespace zarnmon
