#include "core/state/phase_log.h"

#include <gtest/gtest.h>

#include "core/state/log_test_support.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

std::vector<std::uint8_t> Msg95Frame(std::uint8_t tag) {
    CBinFrameBuilder b(95);
    b.Data()[0] = tag;
    return b.Build();
}

std::vector<std::uint8_t> Concat(const std::vector<std::vector<std::uint8_t>>& frames) {
    std::vector<std::uint8_t> all;
    for (const auto& f : frames) {
        all.insert(all.end(), f.begin(), f.end());
    }
    return all;
}

class PhaseLogTest : public ::testing::Test {
protected:
    PhaseLogTest() {
        link.dispatcher.SetSender(&sender);
        link.sink = [this](const CMsgHandler& h) { log.OnMessage(h); };
    }

    std::string Written() {
        log.Stop();
        return test::ReadFile(path);
    }

    CManualTickClock clock{100000};
    test::NotifiedDispatcher link{clock};
    test::RecordingSender sender;
    CPhaseLog log{link.dispatcher};
    test::TempDir dir;
    std::string path = dir.File("phase.bin");
};

TEST_F(PhaseLogTest, FramesFromOpeningOnWrittenExactlyBadFrameSkipped) {
    link.Feed(Msg95Frame(1));  // before the log: not written
    ASSERT_TRUE(log.Start(path));
    const auto good2 = Msg95Frame(2);
    link.Feed(good2);
    auto bad = Msg95Frame(3);
    bad[10] ^= 0xFF;  // checksum no longer matches
    link.dispatcher.Handler(Slots::Msg95).Store(bad, false);
    link.Feed(std::vector<std::uint8_t>{});
    link.queue.Drain([&](const CRxQueue::Notification& n) { log.OnMessage(*n.handler); });
    const auto good4 = Msg95Frame(4);
    link.Feed(good4);
    EXPECT_EQ(log.FramesWritten(), 2u);
    const std::string expected = std::string(good2.begin(), good2.end()) + std::string(good4.begin(), good4.end());
    EXPECT_EQ(Written(), expected);
}

TEST_F(PhaseLogTest, SeveralFramesBetweenNotificationsAllWritten) {
    ASSERT_TRUE(log.Start(path));
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::uint8_t k = 0; k < 10; ++k) {
        frames.push_back(Msg95Frame(k));
    }
    link.Feed(Concat(frames));  // ten notifications after one Feed
    const auto all = Concat(frames);
    EXPECT_EQ(Written(), std::string(all.begin(), all.end()));
}

TEST_F(PhaseLogTest, ReaderOvertakenByMoreThan16_WritesWhatItFindsNoDuplicates) {
    ASSERT_TRUE(log.Start(path));
    std::vector<std::vector<std::uint8_t>> frames;
    for (std::uint8_t k = 0; k < 20; ++k) {
        frames.push_back(Msg95Frame(k));
    }
    link.Feed(Concat(frames));
    // The ring holds the 16 newest; the reader's way round to the write index
    // passes the four newest, in order, and the rest is lost.
    const auto newest = Concat({frames[16], frames[17], frames[18], frames[19]});
    EXPECT_EQ(Written(), std::string(newest.begin(), newest.end()));
}

TEST_F(PhaseLogTest, OpeningWhileMessage95Flows_SendsNoEnableForItAndLeavesItOn) {
    link.Feed(Msg95Frame(1));
    ASSERT_TRUE(log.Start(path));
    const std::vector<std::string> enables{link.dispatcher.EnableCommand(Slots::Msg94),
                                           link.dispatcher.EnableCommand(Slots::Msg76)};
    EXPECT_EQ(sender.sent, enables);
    EXPECT_FALSE(log.EnabledByUs(Slots::Msg95));
    EXPECT_TRUE(log.EnabledByUs(Slots::Msg94));
    sender.sent.clear();
    log.Stop();
    const std::vector<std::string> disables{link.dispatcher.DisableCommand(Slots::Msg94),
                                            link.dispatcher.DisableCommand(Slots::Msg76)};
    EXPECT_EQ(sender.sent, disables);
    EXPECT_FALSE(log.EnabledByUs(Slots::Msg94));
}

TEST_F(PhaseLogTest, Msg94SeenAfterFirstMessage94) {
    ASSERT_TRUE(log.Start(path));
    EXPECT_FALSE(log.Msg94Seen());
    link.Feed(CBinFrameBuilder(94).Build());
    EXPECT_TRUE(log.Msg94Seen());
}

TEST_F(PhaseLogTest, FailedWrite_ClosesReportsOnceAndSwitchesOffWhatItEnabled) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "needs /dev/full";
    }
    ASSERT_TRUE(log.Start("/dev/full"));
    sender.sent.clear();
    link.Feed(Msg95Frame(1));
    EXPECT_FALSE(log.IsOpen());
    EXPECT_TRUE(log.TakeFailure().has_value());
    EXPECT_FALSE(log.TakeFailure().has_value());
    EXPECT_EQ(sender.sent.size(), 3u);  // 94, 95 and 76 had been switched on by the log
}

}  // namespace
}  // namespace zarnmon
