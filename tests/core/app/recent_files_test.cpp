#include "core/app/recent_files.h"

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, Add_PutsTheNewestFirstOnceAndKeepsFour) {
    CRecentFiles recent;
    for (const char* path : {"/a.zbin", "/b.zbin", "/c.zbin"}) {
        recent.Add(path);
    }
    EXPECT_EQ(recent.Entries(), (Paths{"/c.zbin", "/b.zbin", "/a.zbin"}));

    recent.Add("/a.zbin");
    EXPECT_EQ(recent.Entries(), (Paths{"/a.zbin", "/c.zbin", "/b.zbin"})) << "replayed again: moves up, not twice";

    recent.Add("/d.zbin");
    recent.Add("/e.zbin");
    EXPECT_EQ(recent.Entries(), (Paths{"/e.zbin", "/d.zbin", "/a.zbin", "/c.zbin"})) << "the oldest falls off";

    recent.Add("");
    EXPECT_EQ(recent.Entries().size(), CRecentFiles::kMaxEntries);
    EXPECT_EQ(recent.Entries().front(), "/e.zbin");
}

TEST(RecentFiles, Remove_TakesOnlyThatEntry) {
    CRecentFiles recent;
    recent.Add("/a.zbin");
    recent.Add("/b.zbin");
    recent.Add("/c.zbin");
    EXPECT_TRUE(recent.Remove("/b.zbin"));
    EXPECT_EQ(recent.Entries(), (Paths{"/c.zbin", "/a.zbin"}));
    EXPECT_FALSE(recent.Remove("/b.zbin"));
    EXPECT_EQ(recent.Entries().size(), 2u);
}

TEST(RecentFiles, SaveThenLoad_KeepsTheOrderAndClearsRemovedEntries) {
    CSettingsStore store;
    CRecentFiles recent;
    for (const char* path : {"/a.zbin", "/b.zbin", "/c.zbin", "/d.zbin"}) {
        recent.Add(path);
    }
    recent.Save(store);
    EXPECT_EQ(store.GetString("Recent File List", "File1", ""), "/d.zbin");
    EXPECT_EQ(store.GetString("Recent File List", "File4", ""), "/a.zbin");

    recent.Remove("/d.zbin");
    recent.Save(store);
    CRecentFiles loaded;
    loaded.Load(store);
    EXPECT_EQ(loaded.Entries(), (Paths{"/c.zbin", "/b.zbin", "/a.zbin"})) << "no stale fourth entry";
}

TEST(RecentFiles, Load_SkipsGapsAndRepeatsOfAHandEditedList) {
    CSettingsStore store;
    store.Parse("[Recent File List]\nFile1=/x.zbin\nFile2=\nFile3=/y.zbin\nFile4=/x.zbin\nFile5=/z.zbin\n");
    CRecentFiles recent;
    recent.Load(store);
    EXPECT_EQ(recent.Entries(), (Paths{"/x.zbin", "/y.zbin"}));
}

}  // namespace
}  // namespace zarnmon
