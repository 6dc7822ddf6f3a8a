#include "gui/app/main_frame.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "gui/app/data_flow_dialog.h"
#include "gui/state/rx_event.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/link/fake_link.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

using test::CFakeLink;

// A view that counts the refresh ticks and data notifications it gets.
class CountingView final : public QWidget {
public:
    explicit CountingView(QWidget* parent = nullptr) : QWidget(parent) {}
    int ticks = 0;
    int notifications = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == CRefreshTickEvent::Type()) {
            ++ticks;
            return true;
        }
        if (event->type() == CRxMessageEvent::Type()) {
            ++notifications;
            return true;
        }
        return QWidget::event(event);
    }
};

std::vector<CMultiDocTempSpecial> TestTemplates() {
    std::vector<CMultiDocTempSpecial> templates;
    for (const ViewType& type : kViewTypes) {
        // Two view types have a view here; the others have none yet.
        const bool built = type.templateId == 129 || type.templateId == 137;
        templates.emplace_back(type, built ? ViewFactory([](CBaseDoc&, const ViewServices&, QWidget* frame) {
                                   return new CountingView(frame);
                               })
                                           : ViewFactory{});
    }
    return templates;
}

class MainFrameTest : public ::testing::Test, public test::FrameFixture {
protected:
    MainFrameTest() : FrameFixture(TestTemplates()) {}

    // Connects a fake link and returns it (owned by the frame).
    CFakeLink* ConnectFake() {
        auto link = std::make_unique<CFakeLink>();
        CFakeLink* fake = link.get();
        EXPECT_TRUE(frame->ConnectLink(std::move(link), QStringLiteral("Fake, 19200")));
        return fake;
    }

    static void Flush() { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }
};

TEST_F(MainFrameTest, Connect_ClearsWhatTheLastLinkLeftAndShowsTheLink) {
    context.dispatcher.Feed(CBinFrameBuilder(1).Build());
    ASSERT_GT(context.dispatcher.Handler(Slots::Msg1).LastLength(), 0u);
    ConnectFake();
    EXPECT_EQ(context.dispatcher.Handler(Slots::Msg1).LastLength(), 0u);
    EXPECT_EQ(frame->PaneText(CMainFrame::kPortPaneId), QStringLiteral("Fake, 19200"));
    frame->UpdateUi();
    EXPECT_EQ(frame->PaneText(CMainFrame::kFixPaneId), QStringLiteral("No Communication"));
    EXPECT_TRUE(frame->Action(CMainFrame::kDisconnectId)->isEnabled());
}

TEST_F(MainFrameTest, ReceivedBytes_ReachTheDispatcherAndNotifyLater) {
    CFakeLink* link = ConnectFake();
    CountingView subscriber;
    CRxEventPoster poster(&subscriber);
    context.dispatcher.Handler(Slots::Msg99).Subscribe(&poster);

    CBinFrameBuilder msg99(99);
    msg99.Set(msg99::GpsWeek, std::uint16_t{2000}).Set(msg99::NavStatus, std::uint8_t{3});
    const auto frame99 = msg99.Build();
    link->feed(QByteArray(reinterpret_cast<const char*>(frame99.data()), static_cast<qsizetype>(frame99.size())));
    EXPECT_EQ(subscriber.notifications, 0) << "posted, never delivered from inside Feed";
    Flush();
    EXPECT_EQ(subscriber.notifications, 1);
    frame->UpdateUi();
    EXPECT_EQ(frame->PaneText(CMainFrame::kFixPaneId), QStringLiteral("FIX_3D"));
}

TEST_F(MainFrameTest, TimerTick_EveryDocumentsViewGetsOneTickASecond) {
    frame->OpenView(129);
    frame->OpenView(137);
    ASSERT_EQ(frame->MdiArea().subWindowList().size(), 2);
    for (int i = 0; i < 3; ++i) {
        frame->OnTimerTick();
    }
    Flush();
    for (QMdiSubWindow* window : frame->MdiArea().subWindowList()) {
        EXPECT_EQ(static_cast<CountingView*>(window->widget())->ticks, 3) << window->objectName().toStdString();
    }
    EXPECT_EQ(frame->TickCount(), 3u);
}

TEST_F(MainFrameTest, OpenView_BringsTheOpenWindowForwardInsteadOfASecond) {
    frame->OpenView(129);
    frame->OpenView(137);
    frame->OpenView(129);
    EXPECT_EQ(frame->MdiArea().subWindowList().size(), 2);
    EXPECT_EQ(frame->MdiArea().activeSubWindow()->objectName(), QStringLiteral("ChannelVw"));
    frame->OpenView(136);  // a view that is not built: nothing opens
    EXPECT_EQ(frame->MdiArea().subWindowList().size(), 2);
    frame->UpdateUi();
    // A command is offered when the program has its view.
    for (const ViewDescriptor& view : ViewDescriptors()) {
        if (view.availability == ViewAvailability::Always) {
            EXPECT_EQ(frame->Action(view.Type().commandId)->isEnabled(), static_cast<bool>(view.factory))
                << view.menuText;
        }
    }
}

TEST_F(MainFrameTest, Send_GoesOverTheOpenLinkAndFailsQuietlyWithoutOne) {
    EXPECT_FALSE(frame->Send("$JI\r", false));
    CFakeLink* link = ConnectFake();
    EXPECT_TRUE(frame->Send("$JI\r", false));
    EXPECT_EQ(link->written(), QByteArray("$JI\r"));
}

TEST_F(MainFrameTest, TimerTick_KeepsMessagesAliveOverTheLink) {
    CFakeLink* link = ConnectFake();
    frame->OnTimerTick();
    EXPECT_EQ(link->written(), QByteArray("$JBIN,1,1\r$JBIN,2,1\r"));
    frame->OnTimerTick();
    EXPECT_EQ(link->written(), QByteArray("$JBIN,1,1\r$JBIN,2,1\r$JI\r"));
    context.autoConfigure = false;
    for (int i = 0; i < 8; ++i) {
        frame->OnTimerTick();
    }
    EXPECT_EQ(link->written(), QByteArray("$JBIN,1,1\r$JBIN,2,1\r$JI\r")) << "nothing automatic without auto-configure";
}

TEST_F(MainFrameTest, LinkLost_IsSaidOnceInTheStatusBarWithoutABoxAndTheLinkForgotten) {
    CFakeLink* link = ConnectFake();
    link->injectError(QStringLiteral("device gone"));
    Flush();
    EXPECT_FALSE(frame->LinkOpen());
    EXPECT_EQ(frame->PaneText(CMainFrame::kPortPaneId), QStringLiteral("Not Open"));
    EXPECT_TRUE(frame->findChildren<QMessageBox*>().isEmpty());
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Fake link: device gone"));
    EXPECT_FALSE(frame->Send("$JI\r", false));
    frame->UpdateUi();
    EXPECT_FALSE(frame->Action(CMainFrame::kReconnectId)->isEnabled()) << "only a serial receiver is waited for";
    EXPECT_FALSE(frame->Action(CMainFrame::kDisconnectId)->isEnabled());
}

TEST_F(MainFrameTest, DataFlowOk_SendsTheChosenStatesAsCommandsByHand) {
    CFakeLink* link = ConnectFake();
    CDataFlowDialog dialog(context.dispatcher, context.autoConfigure, frame.get());
    EXPECT_FALSE(dialog.RowOn(Slots::Msg99));
    dialog.SetRow(Slots::Msg99, true);
    dialog.SetRow(Slots::Msg1, true);
    dialog.AutoConfigureBox().setChecked(false);
    dialog.accept();
    EXPECT_EQ(link->written(), QByteArray("$JBIN,1,1\r$JBIN,99,1\r"));
    EXPECT_FALSE(context.autoConfigure);
    EXPECT_TRUE(context.dispatcher.IsActive(Slots::Msg99, false)) << "sent by hand: counts as on for 6 s";
}

TEST_F(MainFrameTest, CancelledConnect_LeavesTheOpenLinkOpen) {
    ConnectFake();
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
        }
    });
    frame->Connect();
    EXPECT_TRUE(frame->LinkOpen());
    EXPECT_EQ(frame->PaneText(CMainFrame::kPortPaneId), QStringLiteral("Fake, 19200"));
}

TEST_F(MainFrameTest, Simulator_MovesTheStatusPanes) {
    ConnectSimulator();
    EXPECT_EQ(frame->PaneText(CMainFrame::kPortPaneId), QStringLiteral("Built-in simulator"));
    QString firstTime;
    RunSecondsUntil([&] {
        frame->UpdateUi();
        if (firstTime.isEmpty() && context.dispatcher.IsActive(Slots::Msg1, true)) {
            firstTime = frame->PaneText(CMainFrame::kTimePaneId);
        }
        return frame->PaneText(CMainFrame::kFixPaneId) == QStringLiteral("3-D DIFF") &&
               frame->PaneText(CMainFrame::kTimePaneId) != firstTime;
    });
    EXPECT_EQ(frame->PaneText(CMainFrame::kFixPaneId), QStringLiteral("3-D DIFF"));
    EXPECT_FALSE(firstTime.isEmpty());
    EXPECT_NE(frame->PaneText(CMainFrame::kTimePaneId), firstTime) << "the receiver's time moves";
    EXPECT_FALSE(context.receiverInfo.ReceiverId().empty()) << "the simulator answered $JI";
}

TEST_F(MainFrameTest, Close_RemembersTheOpenWindows) {
    frame->OpenView(137);
    frame->close();
    EXPECT_EQ(settings.GetInt("OpenWindows", "GPSVw", -1), 1);
    EXPECT_EQ(settings.GetInt("OpenWindows", "ChannelVw", -1), 0);
}

TEST_F(MainFrameTest, FailedConnect_GivesTheSystemsReasonBelowTheProgramsWords) {
    QString shown;
    test::AnswerNextModal<QMessageBox>([&shown](QMessageBox& box) {
        shown = box.text();
        box.accept();
    });
    LinkChoice choice;
    choice.device = QStringLiteral("/dev/no-such-receiver");
    EXPECT_FALSE(frame->ConnectTo(choice));
    EXPECT_EQ(shown, QStringLiteral("Couldn't Open /dev/no-such-receiver\nNo such file or directory"));
    EXPECT_EQ(frame->PaneText(CMainFrame::kPortPaneId), QStringLiteral("Not Open"));
}

TEST_F(MainFrameTest, CommandNotTaken_IsToldInTheStatusBar) {
    CFakeLink* link = ConnectFake();
    link->injectWriteFailure(QStringLiteral("the receiver did not take 10 bytes"));
    EXPECT_TRUE(frame->statusBar()->currentMessage().contains(QStringLiteral("the receiver did not take 10 bytes")));
}

TEST_F(MainFrameTest, ViewMenuAndToolBar_ComeFromTheViewRegistry) {
    QMenu* view = frame->menuBar()->actions().at(1)->menu();
    QStringList items;
    for (const QAction* action : view->actions()) {
        if (!action->isSeparator()) {
            items << action->text();
        }
    }
    EXPECT_EQ(items.mid(2, 3), (QStringList{QStringLiteral("View &GPS Solution"), QStringLiteral("View &Channel Data"),
                                            QStringLiteral("View L&2Channel Data")}));
    // The bars, the views, and last the Link Health dock.
    EXPECT_EQ(items.size(), 3 + static_cast<qsizetype>(ViewDescriptors().size()));
    EXPECT_EQ(items.back(), QStringLiteral("Link &Health"));

    // The tool bar: connect, then groups of buttons between separators.
    const auto* bar = frame->findChild<QToolBar*>(QStringLiteral("Toolbar"));
    ASSERT_NE(bar, nullptr);
    QList<int> ids;
    for (const QAction* action : bar->actions()) {
        ids << (action->isSeparator() ? 0 : action->data().toInt());
    }
    EXPECT_EQ(ids,
              (QList<int>{32777, 0, 32781, 32771, 32808, 32782, 32786, 32780, 32785, 32796, 32809, 32810, 0,    32779,
                          32778, 0, 32784, 32792, 0,     32803, 0,     57635, 57634, 57637, 0,     57607, 57664}));
}

}  // namespace
}  // namespace zarnmon
