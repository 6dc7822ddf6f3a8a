#include "gui/link/replay_schedule.h"

#include <gtest/gtest.h>

#include "tests/gui/link/replay_recording.h"

namespace zarnmon::test {
namespace {

bool StartsTaggedFrame(const QByteArray& log, std::size_t offset) {
    const QByteArray head = log.mid(static_cast<qsizetype>(offset), 6);
    return head == QByteArray("$BIN\x01\x00", 6) || head == QByteArray("$BIN\x63\x00", 6);
}

TEST(ReplaySchedule, SimulatorLog_MarksEveryTaggedFrameOneSecondApart) {
    const QByteArray log = RecordSimulator(5);
    const CReplaySchedule schedule(AsSpan(log));
    const auto& marks = schedule.Marks();
    // Messages 1 and 99 once a second each.
    ASSERT_GE(marks.size(), 8u);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(StartsTaggedFrame(log, marks[i].offset));
        EXPECT_EQ(marks[i].dueMs % 1000, 0);
        if (i > 0) {
            EXPECT_GT(marks[i].offset, marks[i - 1].offset);
            EXPECT_GE(marks[i].dueMs, marks[i - 1].dueMs);
        }
    }
    EXPECT_EQ(marks.front().dueMs, 0);
    EXPECT_GE(marks.back().dueMs, 3000);
}

TEST(ReplaySchedule, BytesOfAnEpoch_AreDueTogetherAndTheNextEpochLater) {
    const QByteArray log = RecordSimulator(3);
    const CReplaySchedule schedule(AsSpan(log));
    const auto& marks = schedule.Marks();
    ASSERT_FALSE(marks.empty());
    const auto second = std::ranges::find_if(marks, [](const auto& m) { return m.dueMs == 1000; });
    ASSERT_NE(second, marks.end());
    EXPECT_EQ(schedule.DueBytes(0), second->offset);
    EXPECT_EQ(schedule.DueBytes(999), second->offset);
    EXPECT_GT(schedule.DueBytes(1000), second->offset);
    EXPECT_EQ(schedule.DueBytes(marks.back().dueMs), static_cast<std::size_t>(log.size()));
    EXPECT_EQ(schedule.DueMs(second->offset), 1000);
    EXPECT_EQ(schedule.DueMs(second->offset - 1), 0);
}

TEST(ReplaySchedule, TimeRunningBackwards_NeverRewindsTheReplay) {
    // Two sessions in one file, the second recorded at an earlier time.
    const QByteArray log = RecordSimulator(3, "1,99", 400000.0) + RecordSimulator(3, "1,99", 300000.0);
    const CReplaySchedule schedule(AsSpan(log));
    const auto& marks = schedule.Marks();
    ASSERT_GE(marks.size(), 8u);
    for (std::size_t i = 1; i < marks.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(marks[i].dueMs, marks[i - 1].dueMs);
        EXPECT_LE(marks[i].dueMs - marks[i - 1].dueMs, 1000);
    }
}

TEST(ReplaySchedule, LogWithoutTimeTags_PlaysAtTheLinesPace) {
    const QByteArray log = RecordSimulator(3, "GPGGA");
    ASSERT_FALSE(log.isEmpty());
    const CReplaySchedule schedule(AsSpan(log));
    EXPECT_TRUE(schedule.Marks().empty());
    EXPECT_EQ(schedule.DueBytes(1000), std::min<std::size_t>(1920, static_cast<std::size_t>(log.size())));
    EXPECT_EQ(schedule.DueBytes(3'600'000), static_cast<std::size_t>(log.size()));
}

TEST(ReplaySchedule, GarbageAndCutFrames_AreNotTimeTags) {
    QByteArray log = RecordSimulator(2);
    const CReplaySchedule clean(AsSpan(log));
    ASSERT_FALSE(clean.Marks().empty());
    const QByteArray cutFrame = log.mid(static_cast<qsizetype>(clean.Marks().front().offset), 20);
    // Noise in front and a tagged frame cut short at the end take no tags
    // away and add none.
    log.prepend("line noise before the first message\r\n");
    log.append(cutFrame);
    const CReplaySchedule noisy(AsSpan(log));
    EXPECT_EQ(noisy.Marks().size(), clean.Marks().size());
}

}  // namespace
}  // namespace zarnmon::test
