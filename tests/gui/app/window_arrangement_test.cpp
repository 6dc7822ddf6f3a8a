// The "&Window" menu and the placement of windows: cascade and tile keep the
// views at their extents where the area allows, the first start's views
// neither hide each other nor leave the area, placements come back in the
// next run, and the window list reaches every view by keyboard.

#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "core/app/view_table.h"
#include "gui/app/window_arranger.h"
#include "gui/displays/element_view.h"
#include "tests/gui/app/frame_fixture.h"

namespace zarnmon {
namespace {

class WindowArrangementTest : public ::testing::Test, public test::FrameFixture {
protected:
    WindowArrangementTest() { frame->show(); }

    void Open(std::initializer_list<int> templateIds) {
        for (const int id : templateIds) {
            frame->OpenView(id);
        }
        QCoreApplication::processEvents();
    }

    [[nodiscard]] QMenu& WindowMenu() const {
        for (QAction* action : frame->menuBar()->actions()) {
            if (action->text() == QStringLiteral("&Window")) {
                return *action->menu();
            }
        }
        throw std::logic_error("no Window menu");
    }

    void Choose(const QString& command) const {
        for (QAction* action : WindowMenu().actions()) {
            if (action->text() == command) {
                action->trigger();
                QCoreApplication::processEvents();
                return;
            }
        }
        ADD_FAILURE() << "no " << command.toStdString();
    }

    [[nodiscard]] QList<QMdiSubWindow*> Windows() const {
        return frame->MdiArea().subWindowList(QMdiArea::CreationOrder);
    }
    [[nodiscard]] QRect Area() const { return frame->MdiArea().viewport()->rect(); }

    void ExpectInsideWithoutOverlap() const {
        const QList<QMdiSubWindow*> windows = Windows();
        for (qsizetype i = 0; i < windows.size(); ++i) {
            SCOPED_TRACE(windows[i]->objectName().toStdString());
            EXPECT_TRUE(Area().contains(windows[i]->geometry()));
            for (qsizetype j = i + 1; j < windows.size(); ++j) {
                EXPECT_FALSE(windows[i]->geometry().intersects(windows[j]->geometry()))
                    << "overlaps " << windows[j]->objectName().toStdString();
            }
        }
    }

    // Every element view shows its whole extent: no scroll bar has anywhere to go.
    void ExpectWholeExtentsShown() const {
        for (const QMdiSubWindow* window : Windows()) {
            SCOPED_TRACE(window->objectName().toStdString());
            if (const auto* view = qobject_cast<const CElementView*>(window->widget())) {
                EXPECT_EQ(window->size(), PreferredSize(*window));
                EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
                EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
            }
        }
    }
};

TEST_F(WindowArrangementTest, Cascade_KeepsEachViewAtItsExtentInsideTheArea) {
    frame->resize(1600, 1200);
    Open({137, 129, 141});
    Choose(QStringLiteral("&Cascade"));
    ExpectWholeExtentsShown();
    const QList<QMdiSubWindow*> windows = Windows();
    ASSERT_EQ(windows.size(), 3);
    EXPECT_LT(windows[0]->pos().y(), windows[1]->pos().y()) << "a stair, each title bar showing";
    for (const QMdiSubWindow* window : windows) {
        EXPECT_TRUE(Area().contains(window->geometry()));
        EXPECT_GT(window->width(), 260) << "not the toolkit's shrunken cascade";
    }
}

TEST_F(WindowArrangementTest, Tile_KeepsExtentsWhereTheyFitAndScrollsWhereNot) {
    frame->resize(1800, 1300);
    Open({137, 138});
    Choose(QStringLiteral("&Tile"));
    ExpectInsideWithoutOverlap();
    ExpectWholeExtentsShown();

    frame->resize(700, 500);
    QCoreApplication::processEvents();
    Choose(QStringLiteral("&Tile"));
    ExpectInsideWithoutOverlap();
    bool scrolls = false;
    for (const QMdiSubWindow* window : Windows()) {
        const auto* view = qobject_cast<const CElementView*>(window->widget());
        scrolls = scrolls || view->horizontalScrollBar()->maximum() > 0 || view->verticalScrollBar()->maximum() > 0;
    }
    EXPECT_TRUE(scrolls) << "views cut to the area scroll";
}

TEST_F(WindowArrangementTest, FirstStartViews_NeitherHideEachOtherNorLeaveTheWindow) {
    for (const int id : ViewsToReopen(CSettingsStore{})) {
        frame->OpenView(id);
    }
    TileWindows(frame->MdiArea());
    ASSERT_EQ(Windows().size(), 2);
    ExpectInsideWithoutOverlap();
}

TEST_F(WindowArrangementTest, ArrangeIcons_LinesMinimisedWindowsUpAtTheBottom) {
    Open({137, 129, 141});
    for (QMdiSubWindow* window : Windows()) {
        window->showMinimized();
    }
    Windows()[1]->move(300, 40);
    Choose(QStringLiteral("&Arrange Icons"));
    int left = -1;
    for (const QMdiSubWindow* window : Windows()) {
        EXPECT_EQ(window->geometry().bottom(), Area().bottom());
        EXPECT_GT(window->x(), left);
        left = window->geometry().right();
    }
}

TEST_F(WindowArrangementTest, Placements_ComeBackInTheNextRunUnlessOffScreen) {
    frame->resize(1200, 900);
    Open({137});
    const QRect viewPlace(30, 40, 500, 300);
    Windows()[0]->setGeometry(viewPlace);
    const QRect framePlace = frame->geometry();
    frame->close();
    EXPECT_TRUE(settings.Find("WindowPlacement", "GPSVw"));
    frame.reset();

    std::vector<CMultiDocTempSpecial> templates = MakeTemplates();
    CMainFrame next(context, templates);
    RestorePlacement(settings, static_cast<QMainWindow&>(next));
    EXPECT_EQ(next.geometry(), framePlace);
    next.show();
    next.OpenView(137);
    ASSERT_NE(next.MdiArea().activeSubWindow(), nullptr);
    EXPECT_EQ(next.MdiArea().activeSubWindow()->geometry(), viewPlace);

    settings.SetString("WindowPlacement", "ZarnMon", "40000,40000,800,600,0");
    const QRect before = next.geometry();
    RestorePlacement(settings, static_cast<QMainWindow&>(next));
    EXPECT_EQ(next.geometry(), before) << "a screen that is no longer there";
}

TEST_F(WindowArrangementTest, WindowList_NamesTheOpenViewsAndChecksTheActiveOne) {
    Open({137, 129});
    emit WindowMenu().aboutToShow();
    QStringList texts;
    QAction* first = nullptr;
    for (QAction* action : WindowMenu().actions()) {
        if (action->isCheckable()) {
            texts << action->text() + (action->isChecked() ? QStringLiteral(" *") : QString());
            first = first != nullptr ? first : action;
        }
    }
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("&1 View of GPS Solution"), QStringLiteral("&2 View Of Channel Data *")}));
    ASSERT_NE(first, nullptr);
    first->trigger();
    EXPECT_EQ(frame->MdiArea().activeSubWindow(), Windows()[0]);
    emit WindowMenu().aboutToShow();
    EXPECT_EQ(WindowMenu().actions().size(), 3 + 1 + 2) << "the list is rebuilt, not added to";
}

TEST_F(WindowArrangementTest, EachView_WearsItsToolBarIcon) {
    Open({137, 141});
    for (const QMdiSubWindow* window : Windows()) {
        SCOPED_TRACE(window->objectName().toStdString());
        const int command = window->objectName() == QStringLiteral("GPSVw") ? 32781 : 32785;
        EXPECT_EQ(window->windowIcon().pixmap(40, 24).toImage(),
                  frame->Action(command)->icon().pixmap(40, 24).toImage());
    }
}

}  // namespace
}  // namespace zarnmon
