#include "gui/app/command_line_start.h"

#include <gtest/gtest.h>

#include "tests/gui/app/frame_fixture.h"

namespace zarnmon {
namespace {

class CommandLineStartTest : public ::testing::Test, public test::FrameFixture {
protected:
    void Start(const std::vector<std::string>& args) {
        const CommandLine commandLine = ParseCommandLine(args, DefaultCommandLine({}, {}));
        ASSERT_TRUE(commandLine.problems.empty());
        StartFromCommandLine(*frame, commandLine, context.link);
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

}  // namespace
}  // namespace zarnmon
