// Replaying raw logs recorded from the simulated receiver.

#include "gui/link/replay_link.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/gui/link/link_test_support.h"
#include "tests/gui/link/replay_recording.h"

namespace zarnmon::test {
namespace {

using Kind = CLinkRecorder::Kind;

class ReplayLink : public ::testing::Test {
protected:
    // A log of seconds of receiver output in the temporary directory.
    QString Recording(int seconds) {
        log_ = RecordSimulator(seconds);
        const QString path = dir_.filePath(QStringLiteral("run%1.bin").arg(seconds));
        EXPECT_TRUE(WriteFile(path, log_));
        return path;
    }

    QTemporaryDir dir_;
    QByteArray log_;
};

TEST_F(ReplayLink, Fastest_DeliversEveryByteInOrderInChunksOfAtMost1024) {
    CReplayLink link(Recording(30), ReplaySpeed::Fastest);
    CLinkRecorder recorder(link);
    qint64 lastPlayed = -1;
    qint64 lastTotal = -1;
    QObject::connect(&link, &CReplayLink::progressChanged, &link, [&](qint64 played, qint64 total) {
        EXPECT_GE(played, lastPlayed);
        lastPlayed = played;
        lastTotal = total;
    });
    ASSERT_TRUE(link.open());
    EXPECT_EQ(recorder.Count(Kind::Bytes), 0);  // nothing from inside open()
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }, 20000));

    EXPECT_EQ(recorder.received, log_);
    EXPECT_LE(recorder.largestChunk, CLink::kMaxChunk);
    EXPECT_EQ(lastPlayed, log_.size());
    EXPECT_EQ(lastTotal, log_.size());
    EXPECT_EQ(recorder.Count(Kind::Error), 0);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
    EXPECT_FALSE(link.isOpen());
}

TEST_F(ReplayLink, RealTime_FollowsTheReceiversTimeTags) {
    CReplayLink link(Recording(3), ReplaySpeed::RealTime);
    CLinkRecorder recorder(link);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(link.open());
    // Tags at 0, 1 and 2 s of receiver time: the last epoch is due 2 s in.
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }, 15000));
    EXPECT_GE(clock.elapsed(), 1900);
    EXPECT_EQ(recorder.received, log_);
}

TEST_F(ReplayLink, Times10_PlaysTenSecondsInAboutOne) {
    CReplayLink link(Recording(10), ReplaySpeed::Times10);
    CLinkRecorder recorder(link);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }, 15000));
    EXPECT_GE(clock.elapsed(), 850);
    EXPECT_LT(clock.elapsed(), 6000);
    EXPECT_EQ(recorder.received, log_);
}

TEST_F(ReplayLink, Pause_StopsDeliveryUntilResumed) {
    CReplayLink link(Recording(3), ReplaySpeed::RealTime);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(WaitFor([&] { return !recorder.received.isEmpty(); }));
    link.pause();
    EXPECT_TRUE(link.isPaused());
    const qsizetype atPause = recorder.received.size();
    const qint64 playedAtPause = link.playedBytes();
    QTest::qWait(1500);
    EXPECT_EQ(recorder.received.size(), atPause);
    EXPECT_EQ(link.playedBytes(), playedAtPause);
    EXPECT_TRUE(link.isOpen());

    link.resume();
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }, 15000));
    EXPECT_EQ(recorder.received, log_);
}

TEST_F(ReplayLink, SpeedChangeMidway_KeepsEveryByteInOrder) {
    CReplayLink link(Recording(5), ReplaySpeed::RealTime);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(WaitFor([&] { return !recorder.received.isEmpty(); }));
    link.setSpeed(ReplaySpeed::Fastest);
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }, 15000));
    EXPECT_EQ(recorder.received, log_);
}

TEST_F(ReplayLink, Write_IsRefusedWithoutAnyReport) {
    CReplayLink link(Recording(3), ReplaySpeed::RealTime);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    EXPECT_FALSE(link.acceptsCommands());
    EXPECT_FALSE(link.write("$JBIN,1,1\r"));
    EXPECT_EQ(recorder.Count(Kind::Error), 0);
    EXPECT_TRUE(link.isOpen());
    link.close();
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
}

TEST_F(ReplayLink, MissingFile_OneErrorAndNeverOpened) {
    CReplayLink link(dir_.filePath("no-such.bin"));
    CLinkRecorder recorder(link);
    EXPECT_FALSE(link.open());
    EXPECT_EQ(recorder.Count(Kind::Error), 1);
    EXPECT_EQ(recorder.Count(Kind::Opened), 0);
    EXPECT_EQ(recorder.Count(Kind::Closed), 0);
}

}  // namespace
}  // namespace zarnmon::test
