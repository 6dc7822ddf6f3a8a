// A build without Qt has no links: send says so instead of sending.

#include <gtest/gtest.h>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "cli/send_command.h"

namespace zarnmon::cli {
namespace {

TEST(SendLinkNoneTest, ValidCommandLine_ReportsThatThisBuildHasNoLinks) {
    const std::vector<std::string_view> args = {"--tcp", "127.0.0.1:4001", "$JI"};
    const auto run = test::Invoke(RunSend, args);
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("no link support"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace zarnmon::cli
