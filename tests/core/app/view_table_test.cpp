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

TEST(ViewTable, OpenWindowsStored_OnlyOnceAnOpenWindowsKeyIsThere) {
    CSettingsStore store;
    store.Parse("[OpenWindows]\n; written by hand\n[Other]\nChannelVw=1\n");
    EXPECT_FALSE(OpenWindowsStored(store)) << "an empty section, a key elsewhere";
    store.SetInt(kOpenWindows, "GPSVw", 0);
    EXPECT_TRUE(OpenWindowsStored(store));

    CSettingsStore autoOpenOnly;
    autoOpenOnly.SetInt(kOpenWindows, kAutoOpenKey, 1);
    EXPECT_TRUE(OpenWindowsStored(autoOpenOnly));
}

}  // namespace
}  // namespace zarnmon
