#include "core/app/view_table.h"

#include <set>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"

namespace zarnmon {
namespace {

TEST(ViewTable, Rows_AreUniqueInEveryColumnAViewIsFoundBy) {
    // A view type exists at most once because it is found by these.
    std::set<int> commands;
    std::set<int> templates;
    std::set<std::string_view> keys;
    std::set<std::string_view> descriptions;
    for (const ViewType& row : kViewTypes) {
        SCOPED_TRACE(row.key);
        EXPECT_TRUE(commands.insert(row.commandId).second);
        EXPECT_TRUE(templates.insert(row.templateId).second);
        EXPECT_TRUE(keys.insert(row.key).second);
        EXPECT_TRUE(descriptions.insert(row.description).second);
    }
    EXPECT_EQ(commands.count(kDataFlowCommandId), 0U) << "no view shares the data flow command";
}

TEST(ViewTable, Find_GivesTheRowOfACommandTemplateOrKey) {
    const auto iono = FindViewByCommand(32803);
    ASSERT_TRUE(iono);
    EXPECT_EQ(iono->key, "IonoVw");
    EXPECT_EQ(iono->templateId, 152);

    const auto l2 = FindViewByTemplate(160);
    ASSERT_TRUE(l2);
    EXPECT_EQ(l2->description, "View Of P-Code Channel Data");
    EXPECT_EQ(l2->document, DocKind::ZarnMonDoc);

    const auto monitor = FindViewByKey("MonVw");
    ASSERT_TRUE(monitor);
    EXPECT_EQ(monitor->commandId, 32792);
    EXPECT_EQ(monitor->viewClass, "CViewMonitor");
}

TEST(ViewTable, Find_UnknownIdsAndKeysFindNothing) {
    EXPECT_FALSE(FindViewByCommand(kDataFlowCommandId));
    EXPECT_FALSE(FindViewByCommand(129)) << "a template id is not a command id";
    EXPECT_FALSE(FindViewByTemplate(130)) << "the trace window is not a view type";
    EXPECT_FALSE(FindViewByKey("monvw"));
    EXPECT_FALSE(FindViewByKey(""));
}

TEST(ViewTable, SplitPrompt_StatusTipBeforeTheLineBreakToolTipAfter) {
    const PromptParts plot = SplitPrompt(FindViewByCommand(32796)->prompt);
    EXPECT_EQ(plot.statusTip, "View Plot");
    EXPECT_EQ(plot.toolTip, "View NEU Error Plot");

    const PromptParts flow = SplitPrompt(kDataFlowPrompt);
    EXPECT_EQ(flow.statusTip, "Comm Data Flow (turn on or off)");
    EXPECT_EQ(flow.toolTip, "Comm Data Flow");

    const PromptParts bare = SplitPrompt("Status only");
    EXPECT_EQ(bare.statusTip, "Status only");
    EXPECT_EQ(bare.toolTip, "");
}

TEST(ViewTable, TemplateString_PicksTheFieldOrNothing) {
    const std::string_view strings = FindViewByTemplate(134)->templateStrings;
    EXPECT_EQ(TemplateString(strings, DocString::WindowTitle), "");
    EXPECT_EQ(TemplateString(strings, DocString::DocName), "Commd");
    EXPECT_EQ(TemplateString(strings, DocString::FileNewName), "Receiver Commands");
    EXPECT_EQ(TemplateString(strings, DocString::RegFileTypeName), "");
    EXPECT_EQ(TemplateString("\nOnly", DocString::DocName), "Only");
    EXPECT_EQ(TemplateString("\nOnly", DocString::FilterName), "");
}

TEST(ViewTable, ViewsToReopen_WithoutAutoOpenAreTheChannelAndSolutionViews) {
    CSettingsStore store;
    store.SetInt(kOpenWindows, "IonoVw", 1);
    store.SetInt(kOpenWindows, "ChannelVw", 0);
    EXPECT_EQ(ViewsToReopen(store), (std::vector<int>{129, 137})) << "whatever OpenWindows holds";
    store.SetInt(kOpenWindows, kAutoOpenKey, 0);
    EXPECT_EQ(ViewsToReopen(store), (std::vector<int>{129, 137}));
}

TEST(ViewTable, ViewsToReopen_WithAutoOpenAreExactlyThoseSavedOpenInTableOrder) {
    CSettingsStore store;
    store.SetInt(kOpenWindows, kAutoOpenKey, 1);
    EXPECT_TRUE(ViewsToReopen(store).empty());

    SaveOpenWindows(store, [](const ViewType& row) { return row.key == "HeadingVw" || row.key == "RCommand"; });
    EXPECT_EQ(ViewsToReopen(store), (std::vector<int>{134, 158}));
    EXPECT_EQ(store.GetString(kOpenWindows, "ChannelVw", ""), "0") << "closed views are recorded as 0";
    EXPECT_EQ(store.GetInt(kOpenWindows, kAutoOpenKey, 0), 1) << "saving the views leaves AutoOpen";
}

}  // namespace
}  // namespace zarnmon
