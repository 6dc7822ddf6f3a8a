// The main frame on a real serial path: zarnmon-sim on a pseudo-terminal,
// opened through the serial link as a USB receiver's device would be, then
// unplugged mid-stream; and a receiver the test plays on a pseudo-terminal
// behind a symlink, unplugged and plugged back in.

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QStatusBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "gui/app/main_frame.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/link/bare_pty.h"
#include "tests/gui/link/link_test_support.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

const QString kReconnecting = QStringLiteral("Reconnecting\u2026");

QByteArray Bytes(const std::vector<std::uint8_t>& frame) {
    return {reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size())};
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class MainFramePty : public ::testing::Test, public test::FrameFixture {
protected:
    // Everything the program has written to the receiver's side so far.
    bool ReceiverGets(const test::CBarePty& pty, QByteArray& got, const QByteArray& wanted) {
        return RunUntil(
            [&] {
                got += pty.ReadAvailable();
                return got.contains(wanted);
            },
            5000);
    }
};

TEST_F(MainFramePty, SerialReceiver_KeptAliveIdentifiedAndUnpluggedWithoutABox) {
    test::CSimProcess sim({QStringLiteral("--pty")});
    ASSERT_TRUE(sim.Address().startsWith(QStringLiteral("/dev/"))) << sim.Address().toStdString();

    CMainFrame& mainFrame = *frame;
    LinkChoice choice;
    choice.device = sim.Address();
    choice.baud = 115200;
    ASSERT_TRUE(mainFrame.ConnectTo(choice));
    EXPECT_EQ(mainFrame.PaneText(CMainFrame::kPortPaneId), sim.Address() + QStringLiteral(", 115200"));
    mainFrame.StartTimer();

    // The receiver starts silent: the keep-alive switches messages 1 and 2
    // on, and the identity question is answered.
    ASSERT_TRUE(RunUntil([&] {
        return context.dispatcher.IsActive(Slots::Msg1, true) && context.dispatcher.IsActive(Slots::Msg2, true) &&
               !context.receiverInfo.ReceiverId().empty();
    }));
    EXPECT_EQ(context.dispatcher.DroppedBytes(), 0u);
    const std::uint32_t before = context.dispatcher.Handler(Slots::Msg1).LastCompletionTick();

    sim.Kill();
    ASSERT_TRUE(RunUntil([&] { return !mainFrame.LinkOpen(); }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(mainFrame.PaneText(CMainFrame::kPortPaneId), kReconnecting);
    EXPECT_TRUE(mainFrame.findChildren<QMessageBox*>().isEmpty()) << "said in the status bar, not in a box";
    EXPECT_GE(context.dispatcher.Handler(Slots::Msg1).LastCompletionTick(), before) << "what arrived was kept";
    EXPECT_FALSE(mainFrame.Send("$JI\r", false));

    // The user gives up on it.
    mainFrame.UpdateUi();
    ASSERT_TRUE(mainFrame.Action(CMainFrame::kDisconnectId)->isEnabled());
    test::AnswerNextModal<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    mainFrame.Disconnect();
    EXPECT_EQ(mainFrame.PaneText(CMainFrame::kPortPaneId), QStringLiteral("Not Open"));
    EXPECT_FALSE(mainFrame.Reconnector().Waiting());
    mainFrame.UpdateUi();
    EXPECT_FALSE(mainFrame.Action(CMainFrame::kReconnectId)->isEnabled());
}

TEST_F(MainFramePty, UnpluggedReceiver_ComesBackWithEveryByteKeptAndItsMessagesAskedForAgain) {
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("ttyFAKE"));
    const QString rawLog = dir.filePath(QStringLiteral("raw.bin"));
    test::CBarePty first;
    ASSERT_TRUE(QFile::link(first.Path(), device));

    LinkChoice choice;
    choice.device = device;
    choice.baud = 115200;
    ASSERT_TRUE(frame->ConnectTo(choice));
    CommandLine logs;
    logs.portGiven = true;
    logs.binaryLogName = rawLog.toStdString();
    frame->Logs().StartFromCommandLine(logs);
    ASSERT_TRUE(frame->Logs().BinaryLogOpen());
    QByteArray written;
    TickSecond();
    ASSERT_TRUE(ReceiverGets(first, written, "$JBIN,1,1\r$JBIN,2,1\r"));

    // Messages 1 and 2 and the start of a message 99, read by the port and
    // held back when the receiver is pulled out.
    auto* port = qobject_cast<CSerialPort*>(frame->Link());
    ASSERT_NE(port, nullptr);
    port->setNotifyThreshold(CSerialPort::kReceiveBufferSize, 60000);
    const QByteArray frame99 = Bytes(CBinFrameBuilder(99).Build());
    const QByteArray beforeLoss =
        Bytes(CBinFrameBuilder(1).Build()) + Bytes(CBinFrameBuilder(2).Build()) + frame99.first(100);
    ASSERT_TRUE(first.Write(beforeLoss));
    ASSERT_TRUE(RunUntil([&] { return port->heldInput() == beforeLoss.size(); }, 5000));
    const QString liveStatus = frame->statusBar()->currentMessage();
    first.Close();
    QFile::remove(device);
    ASSERT_TRUE(RunUntil([&] { return !frame->LinkOpen(); }, 5000));
    QCoreApplication::processEvents();

    EXPECT_EQ(frame->PaneText(CMainFrame::kPortPaneId), kReconnecting);
    const QString lossStatus = frame->statusBar()->currentMessage();
    EXPECT_NE(lossStatus, liveStatus);
    EXPECT_TRUE(lossStatus.endsWith(QStringLiteral("Reconnecting when it is back."))) << lossStatus.toStdString();
    EXPECT_TRUE(frame->findChildren<QMessageBox*>().isEmpty());
    EXPECT_GT(context.dispatcher.Handler(Slots::Msg1).LastLength(), 0u);
    EXPECT_GT(context.dispatcher.Handler(Slots::Msg2).LastLength(), 0u);
    EXPECT_EQ(FileBytes(rawLog), beforeLoss) << "every byte read before the loss is in the raw log";
    frame->UpdateUi();
    EXPECT_TRUE(frame->Action(CMainFrame::kReconnectId)->isEnabled());
    EXPECT_FALSE(frame->Action(CMainFrame::kDataFlowId)->isEnabled());

    // A second without the receiver: one look that finds nothing, and nothing more said.
    TickSecond();
    EXPECT_EQ(frame->PaneText(CMainFrame::kPortPaneId), kReconnecting);
    EXPECT_EQ(frame->statusBar()->currentMessage(), lossStatus);

    // Plugged back in: found within the back-off, while messages 1 and 2
    // still count as flowing, and asked for again all the same.
    test::CBarePty second;
    ASSERT_TRUE(QFile::link(second.Path(), device));
    ASSERT_TRUE(RunSecondsUntil([&] { return frame->LinkOpen(); }, 3));
    EXPECT_TRUE(context.dispatcher.IsActive(Slots::Msg1, true));
    EXPECT_EQ(frame->PaneText(CMainFrame::kPortPaneId), frame->Link()->displayName() + QStringLiteral(", 115200"));
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Reconnected to ") + frame->Link()->displayName());
    written.clear();
    EXPECT_TRUE(ReceiverGets(second, written, "$JBIN,1,1\r$JBIN,2,1\r")) << written.toStdString();
    frame->UpdateUi();
    EXPECT_FALSE(frame->Action(CMainFrame::kReconnectId)->isEnabled());

    // The stream goes on where it was: the message cut short is dropped and
    // counted, the new ones are whole, and the raw log has it all in order.
    const QByteArray afterLoss = frame99;
    ASSERT_TRUE(second.Write(afterLoss));
    ASSERT_TRUE(RunUntil([&] { return context.dispatcher.Handler(Slots::Msg99).LastLength() > 0; }, 5000));
    EXPECT_EQ(context.dispatcher.DroppedBytes(), 100u);
    EXPECT_TRUE(frame->Logs().BinaryLogOpen());
    EXPECT_EQ(FileBytes(rawLog), beforeLoss + afterLoss);
}

}  // namespace
}  // namespace zarnmon
