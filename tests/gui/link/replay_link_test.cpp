// Replaying raw logs recorded from the simulated receiver.

#include "gui/link/replay_link.h"

#include <QTemporaryDir>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/tick_clock.h"
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

    // The distinct times the log's tags are due at, in order.
    static std::vector<qint64> SecondsOfTags(const CReplayLink& link) {
        std::vector<qint64> due;
        for (const auto& mark : link.schedule().Marks()) {
            if (due.empty() || due.back() != mark.dueMs) {
                due.push_back(mark.dueMs);
            }
        }
        return due;
    }
    // Where the first message due at dueMs starts: how much of the log plays before it.
    static qsizetype StartOfSecond(const CReplayLink& link, qint64 dueMs) {
        for (const auto& mark : link.schedule().Marks()) {
            if (mark.dueMs >= dueMs) {
                return static_cast<qsizetype>(mark.offset);
            }
        }
        return link.totalBytes();
    }

    QTemporaryDir dir_;
    QByteArray log_;
    // The pacing tests move time themselves and deliver by hand.
    CManualTickClock clock_{5000};
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
    link.setClock(clock_);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    ASSERT_EQ(SecondsOfTags(link), (std::vector<qint64>{0, 1000, 2000}));

    link.deliverDue();
    EXPECT_EQ(recorder.received, log_.left(StartOfSecond(link, 1000))) << "the first epoch at once";
    clock_.Advance(999);
    link.deliverDue();
    EXPECT_EQ(recorder.received, log_.left(StartOfSecond(link, 1000)));
    clock_.Advance(1);
    link.deliverDue();
    EXPECT_EQ(recorder.received, log_.left(StartOfSecond(link, 2000))) << "the second epoch 1 s in";
    clock_.Advance(999);
    link.deliverDue();
    EXPECT_EQ(recorder.Count(Kind::Closed), 0);
    clock_.Advance(1);
    link.deliverDue();
    EXPECT_EQ(recorder.received, log_) << "the last epoch 2 s in";
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
}

TEST_F(ReplayLink, Times10_PlaysTenSecondsInOne) {
    CReplayLink link(Recording(10), ReplaySpeed::Times10);
    link.setClock(clock_);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    ASSERT_EQ(SecondsOfTags(link).back(), 9000);

    link.deliverDue();
    clock_.Advance(99);
    link.deliverDue();
    EXPECT_EQ(recorder.received, log_.left(StartOfSecond(link, 1000)));
    clock_.Advance(1);
    link.deliverDue();
    EXPECT_EQ(recorder.received, log_.left(StartOfSecond(link, 2000))) << "a second of the log in 100 ms";
    clock_.Advance(799);
    link.deliverDue();
    EXPECT_EQ(recorder.Count(Kind::Closed), 0);
    clock_.Advance(1);
    link.deliverDue();
    EXPECT_EQ(recorder.received, log_);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
}

TEST_F(ReplayLink, Pause_StopsDeliveryAndTheLogsClockUntilResumed) {
    CReplayLink link(Recording(3), ReplaySpeed::RealTime);
    link.setClock(clock_);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    link.deliverDue();
    clock_.Advance(500);
    link.pause();
    EXPECT_TRUE(link.isPaused());
    const qint64 playedAtPause = link.playedBytes();
    EXPECT_EQ(playedAtPause, StartOfSecond(link, 1000));

    clock_.Advance(5000);
    link.deliverDue();
    EXPECT_EQ(recorder.received.size(), playedAtPause);
    EXPECT_EQ(link.playedBytes(), playedAtPause);
    EXPECT_TRUE(link.isOpen());

    link.resume();
    clock_.Advance(499);
    link.deliverDue();
    EXPECT_EQ(link.playedBytes(), playedAtPause) << "the time paused does not count";
    clock_.Advance(1);
    link.deliverDue();
    EXPECT_EQ(recorder.received, log_.left(StartOfSecond(link, 2000)));
    clock_.Advance(1000);
    link.deliverDue();
    EXPECT_EQ(recorder.received, log_);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
}

TEST_F(ReplayLink, SpeedChangeMidway_KeepsEveryByteInOrder) {
    CReplayLink link(Recording(5), ReplaySpeed::RealTime);
    link.setClock(clock_);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    link.deliverDue();
    ASSERT_FALSE(recorder.received.isEmpty());
    link.setSpeed(ReplaySpeed::Fastest);
    // The clock stands still: only the fastest speed can finish the log.
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }, 15000));
    EXPECT_EQ(recorder.received, log_);
}

TEST_F(ReplayLink, Seek_ForwardPlaysTheStretchAtOnceBackStartsAgainAsRepeats) {
    CReplayLink link(Recording(10), ReplaySpeed::RealTime);
    link.setClock(clock_);
    CLinkRecorder recorder(link);
    int rewinds = 0;
    QByteArray repeats;
    std::vector<bool> catchingUp;
    QObject::connect(&link, &CReplayLink::rewound, &link, [&] {
        ++rewinds;
        recorder.received.clear();
    });
    QObject::connect(&link, &CReplayLink::catchingUp, &link, [&](bool on) { catchingUp.push_back(on); });
    recorder.onBytes = [&](const QByteArray& chunk) {
        if (link.isRepeat()) {
            repeats.append(chunk);
        }
    };
    ASSERT_TRUE(link.open());
    link.deliverDue();

    const qsizetype sixSeconds = StartOfSecond(link, 6000);
    link.seekToMs(5000);
    EXPECT_EQ(recorder.received, log_.left(sixSeconds)) << "up to the end of the sixth second, at once";
    EXPECT_EQ(rewinds, 0);
    EXPECT_TRUE(repeats.isEmpty());
    EXPECT_EQ(catchingUp, (std::vector<bool>{true, false}));
    clock_.Advance(999);
    link.deliverDue();
    EXPECT_EQ(link.playedBytes(), sixSeconds) << "the pace goes on from the time reached";
    clock_.Advance(1);
    link.deliverDue();
    EXPECT_EQ(link.playedBytes(), StartOfSecond(link, 7000));

    const qsizetype threeSeconds = StartOfSecond(link, 3000);
    link.seek(threeSeconds);
    EXPECT_EQ(rewinds, 1);
    EXPECT_EQ(recorder.received, log_.left(threeSeconds)) << "played again from the start";
    EXPECT_EQ(repeats, log_.left(threeSeconds)) << "and the logs have had it";
    repeats.clear();
    link.seek(link.totalBytes());
    EXPECT_EQ(repeats, log_.mid(threeSeconds, StartOfSecond(link, 7000) - threeSeconds))
        << "a repeat up to where the replay had got, then new";
    EXPECT_TRUE(link.isOpen()) << "a move to the end does not end the replay";
    clock_.Advance(1000);
    link.deliverDue();
    EXPECT_EQ(recorder.Count(Kind::Closed), 1) << "playing on from the end does";
}

TEST_F(ReplayLink, Loop_StartsAgainOnTheTickAfterTheLastBytes) {
    CReplayLink link(Recording(3), ReplaySpeed::RealTime);
    link.setClock(clock_);
    link.setLoop(true);
    CLinkRecorder recorder(link);
    int rewinds = 0;
    QObject::connect(&link, &CReplayLink::rewound, &link, [&] { ++rewinds; });
    ASSERT_TRUE(link.open());
    clock_.Advance(2000);
    link.deliverDue();
    EXPECT_EQ(recorder.received, log_);
    EXPECT_EQ(rewinds, 0) << "what the last bytes posted is handled first";
    link.deliverDue();
    EXPECT_EQ(rewinds, 1);
    EXPECT_EQ(link.playedBytes(), 0);
    link.deliverDue();
    EXPECT_EQ(link.playedBytes(), StartOfSecond(link, 1000)) << "the first second again at once";
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(recorder.Count(Kind::Closed), 0);
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
    EXPECT_TRUE(recorder.FirstMessage(Kind::Error).contains(QStringLiteral("No such file or directory")))
        << recorder.FirstMessage(Kind::Error).toStdString();
    EXPECT_EQ(recorder.Count(Kind::Opened), 0);
    EXPECT_EQ(recorder.Count(Kind::Closed), 0);
}

}  // namespace
}  // namespace zarnmon::test
