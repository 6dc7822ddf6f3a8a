// The main frame on a real serial path: zarnmon-sim on a pseudo-terminal,
// opened through the serial link as a USB receiver's device would be, then
// unplugged mid-stream.

#include <QCoreApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

#include "gui/app/main_frame.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/link/link_test_support.h"

namespace zarnmon {
namespace {

class MainFramePty : public ::testing::Test, public test::FrameFixture {};

TEST_F(MainFramePty, SerialReceiver_KeptAliveIdentifiedAndUnpluggedCleanly) {
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
    EXPECT_EQ(mainFrame.PaneText(CMainFrame::kPortPaneId), QStringLiteral("Not Open"));
    EXPECT_EQ(mainFrame.findChildren<QMessageBox*>().size(), 1) << "one report, not a flood";
    EXPECT_GE(context.dispatcher.Handler(Slots::Msg1).LastCompletionTick(), before) << "what arrived was kept";
    EXPECT_FALSE(mainFrame.Send("$JI\r", false));
}

}  // namespace
}  // namespace zarnmon
