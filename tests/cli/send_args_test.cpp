// zarnmon-cli send's command line, the same in every build: what is refused
// before any link is opened.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "cli/send_command.h"

namespace zarnmon::cli {
namespace {

test::CommandOutcome Send(std::vector<std::string_view> args) { return test::Invoke(RunSend, args); }

constexpr std::string_view kUsageLine =
    "usage: zarnmon-cli send (--port DEVICE [--baud N] | --tcp HOST:PORT) [--wait MS] COMMAND...\n";

TEST(SendArgsTest, BadCommandLines_ExitWithTheReasonAndTheUsage) {
    const std::vector<std::pair<std::vector<std::string_view>, std::string_view>> cases = {
        {{"$JI"}, "name one link"},
        {{"--port", "/dev/x", "--tcp", "h:1", "$JI"}, "name one link"},
        {{"--tcp", "127.0.0.1", "$JI"}, "--tcp takes HOST:PORT"},
        {{"--tcp", ":4001", "$JI"}, "--tcp takes HOST:PORT"},
        {{"--tcp", "h:65536", "$JI"}, "--tcp takes HOST:PORT"},
        {{"--tcp", "h:1", "--baud", "9600", "$JI"}, "--baud is for a serial port"},
        {{"--port", "/dev/x", "--baud", "0", "$JI"}, "--baud takes a whole number"},
        {{"--port", "/dev/x", "--baud=fast", "$JI"}, "--baud takes a whole number"},
        {{"--tcp", "h:1", "--wait", "0", "$JI"}, "--wait takes milliseconds"},
        {{"--tcp", "h:1", "--wait", "-5", "$JI"}, "--wait takes milliseconds"},
        {{"--tcp", "h:1"}, "name at least one command"},
        {{"--tcp", "h:1", "--frob", "$JI"}, "unknown option '--frob'"},
        {{"--port", "", "$JI"}, "--port needs a device"},
    };
    for (const auto& [args, reason] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        const auto run = Send(args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.err.ends_with(kUsageLine)) << run.err;
    }
    // An option without its value names the option.
    const auto missing = Send({"--tcp", "h:1", "$JI", "--wait"});
    EXPECT_EQ(missing.status, kExitUsage);
    EXPECT_EQ(missing.err, "zarnmon-cli send: --wait needs a value (see --help)\n");
}

TEST(SendArgsTest, EmptyCommand_IsAnInvalidEntryAndNoLinkIsOpened) {
    // The device does not exist: opening it would have said so.
    const auto run = Send({"--port", "/dev/zarnmon-no-such-port", "$JI", ""});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err, "zarnmon-cli send: Invalid Entry\n");
}

TEST(SendArgsTest, Help_GoesToStandardOutput) {
    const auto run = Send({"--tcp", "h:1", "--help"});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, kSendHelp);
    EXPECT_TRUE(run.out.starts_with(kUsageLine));
    EXPECT_TRUE(run.err.empty());
}

}  // namespace
}  // namespace zarnmon::cli
