#include "gui/app/command_line_start.h"

#include <QMessageBox>

#include <gtest/gtest.h>

#include "gui/link/port_discovery.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

class CommandLineStartTest : public ::testing::Test, public test::FrameFixture {
protected:
    void Start(const std::vector<std::string>& args) {
        const CommandLine commandLine = ParseCommandLine(args, DefaultCommandLine({}, {}));
        ASSERT_TRUE(commandLine.problems.empty());
        context.link.port = commandLine.port;
        context.link.device = ResolveDevice(commandLine.port, commandLine.device);
        StartFromCommandLine(*frame, commandLine, context.link);
    }

    // Starts from args whose port cannot open and returns what the box said.
    QString FailedStart(const std::vector<std::string>& args) {
        QString said;
        test::AnswerNextModal<QMessageBox>([&said](QMessageBox& box) {
            said = box.text();
            box.accept();
        });
        Start(args);
        return said;
    }

    [[nodiscard]] const LogSettings& DataLogOptions() { return frame->Logs().DataLog().Options(); }
};

TEST_F(CommandLineStartTest, LogOptionsBesideTheSimulator_ShapeThisRunsDataLog) {
    Start({"--simulate", "-LI:30", "-LE", "-LF", "-LA"});
    EXPECT_TRUE(frame->LinkOpen());
    EXPECT_EQ(DataLogOptions().interval, 30);
    EXPECT_TRUE(DataLogOptions().logErrors);
    EXPECT_TRUE(DataLogOptions().fullLog);
    EXPECT_TRUE(DataLogOptions().autoLog);
    // For this run only: the profile keeps what it had.
    EXPECT_FALSE(settings.Find(kLogSettings, kIntervalKey).has_value());
}

TEST_F(CommandLineStartTest, LogOptionsAlone_ShapeTheLogStartedLaterFromTheMenu) {
    Start({"-li:45", "-LE"});
    EXPECT_FALSE(frame->LinkOpen());
    EXPECT_EQ(DataLogOptions().interval, 45);
    EXPECT_TRUE(DataLogOptions().logErrors);
    EXPECT_FALSE(DataLogOptions().fullLog);
}

TEST_F(CommandLineStartTest, PortThatCannotOpen_IsReportedAndTitlesTheWindowWithWhatWasAsked) {
    EXPECT_TRUE(
        FailedStart({"-COM:/dev/no-such-receiver"}).startsWith(QStringLiteral("Couldn't Open /dev/no-such-receiver")));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("ZarnMon(/dev/no-such-receiver)"));
    EXPECT_EQ(frame->PaneText(CMainFrame::kPortPaneId), QStringLiteral("Not Open"));
}

TEST_F(CommandLineStartTest, UsbPortWithoutAnAdapter_SaysNoneIsAttached) {
    if (!FirstUsbPort(DiscoverPorts()).isEmpty()) {
        GTEST_SKIP() << "a USB serial adapter is attached to this machine";
    }
    EXPECT_EQ(FailedStart({"-COM:999"}), QStringLiteral("Couldn't Open USB\nNo USB serial receiver is attached."));
    EXPECT_FALSE(frame->LinkOpen());
}

}  // namespace
}  // namespace zarnmon
