// The tool bar's pictures: every button and every view wears its own
// drawing, sharp at the sizes and pixel densities of real screens; a view
// without a drawing yet wears a tile with its short text.

#include "gui/app/command_icon.h"

#include <QFile>
#include <QImage>
#include <QMap>
#include <QToolBar>

#include <gtest/gtest.h>

#include "gui/state/latin1.h"
#include "tests/gui/app/frame_fixture.h"

namespace zarnmon {
namespace {

// The sky plot's drawing is ready before its view joins the program.
constexpr auto kComingViewKeys = {"SkyVw"};

[[nodiscard]] bool HasInk(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixelColor(x, y).alpha() != 0) {
                return true;
            }
        }
    }
    return false;
}

[[nodiscard]] QImage Picture(const QIcon& icon, QSize size, qreal ratio) {
    return icon.pixmap(size, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Shows at `size` and is drawn again, not blown up, at twice the density.
void ExpectSharp(const QIcon& icon, QSize size) {
    const QImage single = Picture(icon, size, 1.0);
    const QImage dense = Picture(icon, size, 2.0);
    EXPECT_TRUE(HasInk(single));
    EXPECT_EQ(dense.size(), single.size() * 2);
    EXPECT_NE(dense, single.scaled(dense.size()));
}

void ExpectSharpDrawing(const QIcon& icon) {
    ASSERT_FALSE(icon.isNull());
    // The drawings are square; a text tile is wider than tall.
    EXPECT_EQ(icon.actualSize(QSize(48, 48)), QSize(48, 48)) << "a text tile, not a drawing";
    for (const int side : {16, 24, 48}) {
        SCOPED_TRACE(side);
        ExpectSharp(icon, QSize(side, side));
    }
}

class CommandIconTest : public ::testing::Test, public test::FrameFixture {};

TEST_F(CommandIconTest, EveryToolBarButton_IsASharpDrawing) {
    const auto* bar = frame->findChild<QToolBar*>(QStringLiteral("Toolbar"));
    ASSERT_NE(bar, nullptr);
    int buttons = 0;
    for (const QAction* action : bar->actions()) {
        if (!action->isSeparator()) {
            SCOPED_TRACE(action->text().toStdString());
            ExpectSharpDrawing(action->icon());
            ++buttons;
        }
    }
    EXPECT_GE(buttons, 20);
}

TEST_F(CommandIconTest, EveryView_WearsTheDrawingNamedAfterItsKey) {
    for (const ViewDescriptor& view : ViewDescriptors()) {
        const QString key = Latin1(view.Type().key);
        SCOPED_TRACE(key.toStdString());
        ExpectSharpDrawing(view.Icon());
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/icons/%1.svg").arg(key)));
        // The View menu shows the same picture as the tool bar, off the tool bar too.
        EXPECT_EQ(Picture(frame->Action(view.Type().commandId)->icon(), QSize(16, 16), 1.0),
                  Picture(view.Icon(), QSize(16, 16), 1.0));
    }
}

TEST_F(CommandIconTest, ViewDrawings_AreAllDifferent) {
    QMap<QString, QIcon> icons;
    for (const ViewDescriptor& view : ViewDescriptors()) {
        icons.insert(Latin1(view.Type().key), view.Icon());
    }
    for (const char* key : kComingViewKeys) {
        icons.insert(QString::fromLatin1(key), CommandIcon(QString::fromLatin1(key), QStringLiteral("?")));
    }
    QMap<QString, QImage> seen;
    for (auto icon = icons.cbegin(); icon != icons.cend(); ++icon) {
        SCOPED_TRACE(icon.key().toStdString());
        ExpectSharpDrawing(icon.value());
        const QImage picture = Picture(icon.value(), QSize(24, 24), 1.0);
        for (auto other = seen.cbegin(); other != seen.cend(); ++other) {
            EXPECT_NE(picture, other.value()) << "looks like " << other.key().toStdString();
        }
        seen.insert(icon.key(), picture);
    }
}

TEST(CommandIcon, WithoutADrawing_IsASharpTileOfItsText) {
    const QIcon tile = CommandIcon(QStringLiteral("NoSuchVw"), QStringLiteral("Sky"));
    ASSERT_FALSE(tile.isNull());
    EXPECT_EQ(tile.actualSize(QSize(40, 24)), QSize(40, 24));
    ExpectSharp(tile, QSize(40, 24));
    EXPECT_NE(Picture(tile, QSize(40, 24), 1.0),
              Picture(CommandIcon(QStringLiteral("NoSuchVw"), QStringLiteral("Sat")), QSize(40, 24), 1.0))
        << "the tile reads its text";
}

}  // namespace
}  // namespace zarnmon
