#include "cli/commands_command.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "core/commands/command_catalogue.h"

namespace zarnmon::cli {
namespace {

test::CommandOutcome Commands(std::vector<std::string_view> args) { return test::Invoke(RunCommands, args); }

TEST(CommandsCommandTest, Text_ListsEachSyntaxThenItsHelpIndented) {
    const auto run = Commands({});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    std::vector<std::string> expected;
    for (const CommandEntry& entry : CommandCatalogue()) {
        expected.emplace_back(entry.syntax);
        for (const std::string_view line : HelpLines(entry)) {
            expected.push_back("  " + std::string(line));
        }
    }
    EXPECT_EQ(run.lines, expected);
    ASSERT_GT(run.lines.size(), 9u);
    EXPECT_EQ(run.lines[0], "$JBAUD,r[,OTHER]");
    EXPECT_EQ(run.lines[1], "  Configure the baud rate");
    // Blanks inside a help line are kept, the trailing one too.
    EXPECT_EQ(run.lines[8], "   1 = Navigation Data (0.2, 1 or 5 Hz) ");
    EXPECT_EQ(run.lines.back(), "  EXAMPLE:  Change the 1st WAAS PRN to 122   $JWAASPRN,122");
}

TEST(CommandsCommandTest, Json_IsOneArrayOfSyntaxAndHelpLinesInCatalogueOrder) {
    const auto run = Commands({"--json"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_TRUE(json.is_array());
    const auto catalogue = CommandCatalogue();
    ASSERT_EQ(json.size(), catalogue.size());
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        SCOPED_TRACE(catalogue[i].syntax);
        EXPECT_EQ(json[i].size(), 2u);
        EXPECT_EQ(json[i].at("syntax").get<std::string>(), catalogue[i].syntax);
        const auto lines = HelpLines(catalogue[i]);
        const std::vector<std::string> help(lines.begin(), lines.end());
        EXPECT_EQ(json[i].at("help").get<std::vector<std::string>>(), help);
    }
    EXPECT_EQ(json[16].at("help")[3].get<std::string>(),
              "using spot beam tables.  A frequency value of 0 KHz will re-enable the use ");
}

TEST(CommandsCommandTest, Arguments_HelpAndUnknownOption) {
    const auto help = Commands({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_EQ(help.out, kCommandsHelp);

    const auto bad = Commands({"--xml"});
    EXPECT_EQ(bad.status, kExitUsage);
    EXPECT_TRUE(bad.out.empty());
    EXPECT_NE(bad.err.find("'--xml'"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace zarnmon::cli
