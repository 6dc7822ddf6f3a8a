#include "core/state/debug_log.h"

#include <gtest/gtest.h>

#include "core/state/log_test_support.h"

namespace zarnmon {
namespace {

class DebugLogTest : public ::testing::Test {
protected:
    DebugLogTest() {
        link.sink = [this](const CMsgHandler& h) { log.OnMessage(h); };
    }

    CManualTickClock clock;
    test::NotifiedDispatcher link{clock};
    CDebugLog log{link.dispatcher.Rx()};
    test::TempDir dir;
    std::string path = dir.File("debug.log");
};

TEST_F(DebugLogTest, OneLinePerNewMessage) {
    ASSERT_TRUE(log.Start(path));
    link.Feed(TextLine("$RX,1,a,b"));
    link.Feed(TextLine("$RX,2,x"));
    link.Feed(TextLine("$RX,17,not tracked"));
    link.Feed(TextLine("$RX,1,c"));
    log.Stop();
    EXPECT_EQ(test::ReadFile(path), "Msg-1\ta,b\r\nMsg-2\tx\r\nMsg-1\tc\r\n");
}

TEST_F(DebugLogTest, Mask0001_OnlyMessage1) {
    log.SetMask(0x0001);
    ASSERT_TRUE(log.Start(path));
    link.Feed(TextLine("$RX,1,one"));
    link.Feed(TextLine("$RX,2,two"));
    link.Feed(TextLine("$RX,16,sixteen"));
    log.Stop();
    EXPECT_EQ(test::ReadFile(path), "Msg-1\tone\r\n");
}

TEST_F(DebugLogTest, FirstWriteAfterOpening_CatchesUpOnceOnWhatChanged) {
    link.Feed(TextLine("$RX,3,before"));
    link.Feed(TextLine("$RX,3,latest"));
    ASSERT_TRUE(log.Start(path));
    link.Feed(TextLine("$RX,5,now"));
    link.Feed(TextLine("$RX,5,again"));
    log.Stop();
    EXPECT_EQ(test::ReadFile(path), "Msg-3\tlatest\r\nMsg-5\tnow\r\nMsg-5\tagain\r\n");
}

TEST_F(DebugLogTest, PassOver_WhatAReplayPlaysAgainIsNeitherWrittenNorMissed) {
    ASSERT_TRUE(log.Start(path));
    link.Feed(TextLine("$RX,1,A"));
    link.Feed(TextLine("$RX,1,B"));
    // Going back: the counters start again and A comes again, passed over.
    link.sink = [this](const CMsgHandler& /*handler*/) { log.PassOver(); };
    link.dispatcher.ClearAll();
    link.Feed(TextLine("$RX,1,A"));
    link.sink = [this](const CMsgHandler& h) { log.OnMessage(h); };
    link.Feed(TextLine("$RX,1,C"));
    log.Stop();
    EXPECT_EQ(test::ReadFile(path), "Msg-1\tA\r\nMsg-1\tB\r\nMsg-1\tC\r\n");
}

TEST(DebugLogMaskTest, StoredNonHexLeavesAllBits) {
    CSettingsStore store;
    store.SetString(kLogSettings, kDebugLogMaskKey, "zz");
    CDebugLogMask mask;
    EXPECT_EQ(mask.Get(store), 0xFFFFFFFFu);
}

TEST(DebugLogMaskTest, LoadedOnceThenSetWritesUpperHex) {
    CSettingsStore store;
    store.SetString(kLogSettings, kDebugLogMaskKey, "00a1");
    CDebugLogMask mask;
    EXPECT_EQ(mask.Get(store), 0xA1u);
    store.SetString(kLogSettings, kDebugLogMaskKey, "1");
    EXPECT_EQ(mask.Get(store), 0xA1u);
    mask.Set(0x12345, store);
    EXPECT_EQ(mask.Get(store), 0x2345u);
    EXPECT_EQ(store.Find(kLogSettings, kDebugLogMaskKey).value(), "2345");
}

}  // namespace
}  // namespace zarnmon
