#include "gui/app/link_health_dock.h"

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "tests/gui/app/frame_fixture.h"

namespace zarnmon {
namespace {

class LinkHealthDockTest : public ::testing::Test, public test::FrameFixture {
protected:
    LinkHealthDockTest() {
        frame->show();
        ShowDock(true);
    }

    void ShowDock(bool shown) {
        QAction* toggle = frame->Action(CMainFrame::kLinkHealthId);
        if (toggle->isChecked() != shown) {
            toggle->trigger();
        }
        QCoreApplication::processEvents();
    }

    CLinkHealthDock& Dock() { return frame->LinkHealth(); }
    QString Cell(int slot, int column) { return Dock().Table().item(CLinkHealthDock::RowOf(slot), column)->text(); }
    bool RowShown(int slot) { return !Dock().Table().isRowHidden(CLinkHealthDock::RowOf(slot)); }
    bool RowAlarmed(int slot) {
        return Dock().Table().item(CLinkHealthDock::RowOf(slot), CLinkHealthDock::kAgeColumn)->background().color() ==
               CLinkHealthDock::AlarmColor();
    }

    // One of the dock's timer rounds, ms later.
    void RefreshAfter(std::uint32_t ms) {
        clock.Advance(ms);
        Dock().Refresh();
    }

    static std::vector<std::uint8_t> Damaged(std::uint16_t id) {
        auto frame = CBinFrameBuilder(id).Build();
        frame[frame.size() - 4] ^= 0x5A;
        return frame;
    }
};

TEST_F(LinkHealthDockTest, Table_ShowsRateAgeAndFailuresOfTheMessagesThatCame) {
    Dock().Refresh();
    for (int second = 0; second < 4; ++second) {
        context.dispatcher.Feed(CBinFrameBuilder(1).Build());
        context.dispatcher.Feed(CBinFrameBuilder(1).Build());
        RefreshAfter(1000);
    }
    context.dispatcher.Feed(Damaged(1));
    EXPECT_EQ(Cell(Slots::Msg1, CLinkHealthDock::kFailedColumn), QStringLiteral("0")) << "shown only on the timer";
    RefreshAfter(500);

    EXPECT_TRUE(RowShown(Slots::Msg1));
    EXPECT_EQ(Cell(Slots::Msg1, CLinkHealthDock::kNameColumn), QStringLiteral("Msg1"));
    EXPECT_EQ(Cell(Slots::Msg1, CLinkHealthDock::kRateColumn), QStringLiteral("1.8")) << "8 in 4.5 s";
    EXPECT_EQ(Cell(Slots::Msg1, CLinkHealthDock::kAgeColumn), QStringLiteral("0.5")) << "the damaged one came too";
    EXPECT_EQ(Cell(Slots::Msg1, CLinkHealthDock::kFailedColumn), QStringLiteral("1"));
    EXPECT_FALSE(RowShown(Slots::Msg100)) << "nothing came, nobody asked";
    EXPECT_FALSE(RowAlarmed(Slots::Msg1));
}

TEST_F(LinkHealthDockTest, KeptOnMessageThatStopped_WearsTheAlarmColour) {
    context.dispatcher.EnsureState(Slots::Msg99, true, false);
    RefreshAfter(0);
    EXPECT_TRUE(RowShown(Slots::Msg99)) << "kept on, though nothing came yet";
    EXPECT_EQ(Cell(Slots::Msg99, CLinkHealthDock::kAgeColumn), QStringLiteral("---"));
    context.dispatcher.Feed(CBinFrameBuilder(99).Build());
    RefreshAfter(4000);
    context.dispatcher.EnsureState(Slots::Msg99, true, false);
    RefreshAfter(1999);
    EXPECT_FALSE(RowAlarmed(Slots::Msg99));
    RefreshAfter(1);
    EXPECT_TRUE(RowAlarmed(Slots::Msg99));
    EXPECT_EQ(Cell(Slots::Msg99, CLinkHealthDock::kAgeColumn), QStringLiteral("6.0"));

    context.dispatcher.Feed(CBinFrameBuilder(99).Build());
    RefreshAfter(0);
    EXPECT_FALSE(RowAlarmed(Slots::Msg99)) << "arriving again";
}

TEST_F(LinkHealthDockTest, LineUsage_IsMeasuredAgainstTheConfiguredBaud) {
    context.link.baud = 9600;
    const std::vector<std::uint8_t> noise(480, 0x01);
    Dock().Refresh();
    for (int second = 0; second < 10; ++second) {
        context.dispatcher.Feed(noise);
        RefreshAfter(1000);
    }
    EXPECT_EQ(Dock().LineUsage().text(), QStringLiteral("480 of 960 B/s (50%)"));
    EXPECT_EQ(Dock().LineUsage().value(), Dock().LineUsage().maximum() / 2);
    EXPECT_EQ(Dock().Dropped().text(), QStringLiteral("Dropped bytes: 4793"));

    context.link.baud = 115200;
    RefreshAfter(0);
    EXPECT_EQ(Dock().LineUsage().text(), QStringLiteral("480 of 11520 B/s (4%)"));
}

TEST_F(LinkHealthDockTest, ViewMenu_TogglesTheDockAndTheProfileKeepsTheChoice) {
    QAction* toggle = frame->Action(CMainFrame::kLinkHealthId);
    ASSERT_NE(toggle, nullptr);
    EXPECT_TRUE(toggle->isCheckable());
    const QMenu* view = frame->menuBar()->actions().at(1)->menu();
    EXPECT_TRUE(view->actions().contains(toggle));
    EXPECT_EQ(toggle->text(), QStringLiteral("Link &Health"));

    EXPECT_TRUE(Dock().isVisible());
    EXPECT_TRUE(context.showLinkHealth);
    ShowDock(false);
    EXPECT_FALSE(Dock().isVisible());
    EXPECT_FALSE(context.showLinkHealth);
    SaveViewPreferences(settings, context.ViewChoices());
    EXPECT_FALSE(LoadViewPreferences(settings, {.showLinkHealth = true}).showLinkHealth) << "as the exit writes it";

    Dock().show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(context.showLinkHealth) << "shown by the program, as a snapshot does";
    frame->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(context.showLinkHealth) << "the dock hides with the window: no choice of the user's";

    // The next start shows it as the profile has it.
    for (const bool shown : {true, false}) {
        SCOPED_TRACE(shown);
        frame.reset();
        context.showLinkHealth = shown;
        std::vector<CMultiDocTempSpecial> templates = MakeTemplates();
        frame = std::make_unique<CMainFrame>(context, templates);
        frame->show();
        QCoreApplication::processEvents();
        EXPECT_EQ(Dock().isVisible(), shown);
        EXPECT_EQ(frame->Action(CMainFrame::kLinkHealthId)->isChecked(), shown);
        frame.reset();
    }
}

// The main window's picture (as --snapshot saves it) holds the dock as the
// dock itself draws it.
TEST_F(LinkHealthDockTest, MainWindowPicture_IncludesTheDock) {
    context.dispatcher.Feed(CBinFrameBuilder(1).Build());
    RefreshAfter(1000);
    QCoreApplication::processEvents();
    const QRect area = Dock().geometry();
    ASSERT_TRUE(frame->rect().contains(area));
    const QImage window = frame->grab().toImage();
    const QImage dock = Dock().grab().toImage();
    const qreal ratio = window.devicePixelRatio();
    const QImage inWindow = window.copy(QRectF(area.topLeft() * ratio, area.size() * ratio).toRect());
    EXPECT_EQ(inWindow.convertToFormat(QImage::Format_RGB32), dock.convertToFormat(QImage::Format_RGB32));

    ShowDock(false);
    const QImage without = frame->grab().toImage().copy(QRectF(area.topLeft() * ratio, area.size() * ratio).toRect());
    EXPECT_NE(without.convertToFormat(QImage::Format_RGB32), dock.convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace zarnmon
