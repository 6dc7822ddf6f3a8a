#include "core/link/replay_schedule.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/sim_recording.h"

namespace zarnmon::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// seconds of receiver output with the outputs of enable on, from startSeconds into the week.
Bytes RecordSimulator(int seconds, std::string_view enable = "1,99", double startSeconds = 345600.0) {
    SimRecording recording{.seconds = seconds, .outputs = enable};
    recording.config.startSeconds = startSeconds;
    return RecordSim(recording);
}

bool StartsTaggedFrame(const Bytes& log, std::size_t offset) {
    constexpr std::string_view msg1("$BIN\x01\x00", 6);
    constexpr std::string_view msg99("$BIN\x63\x00", 6);
    const std::string_view head(reinterpret_cast<const char*>(log.data()) + offset,
                                std::min<std::size_t>(6, log.size() - offset));
    return head == msg1 || head == msg99;
}

TEST(ReplaySchedule, SimulatorLog_MarksEveryTaggedFrameOneSecondApart) {
    const Bytes log = RecordSimulator(5);
    const CReplaySchedule schedule(log);
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
    const Bytes log = RecordSimulator(3);
    const CReplaySchedule schedule(log);
    const auto& marks = schedule.Marks();
    ASSERT_FALSE(marks.empty());
    const auto second = std::ranges::find_if(marks, [](const auto& m) { return m.dueMs == 1000; });
    ASSERT_NE(second, marks.end());
    EXPECT_EQ(schedule.DueBytes(0), second->offset);
    EXPECT_EQ(schedule.DueBytes(999), second->offset);
    EXPECT_GT(schedule.DueBytes(1000), second->offset);
    EXPECT_EQ(schedule.DueBytes(marks.back().dueMs), log.size());
    EXPECT_EQ(schedule.DueMs(second->offset), 1000);
    EXPECT_EQ(schedule.DueMs(second->offset - 1), 0);
}

TEST(ReplaySchedule, TimeRunningBackwards_NeverRewindsTheReplay) {
    // Two sessions in one file, the second recorded at an earlier time.
    Bytes log = RecordSimulator(3, "1,99", 400000.0);
    const Bytes earlier = RecordSimulator(3, "1,99", 300000.0);
    log.insert(log.end(), earlier.begin(), earlier.end());
    const CReplaySchedule schedule(log);
    const auto& marks = schedule.Marks();
    ASSERT_GE(marks.size(), 8u);
    for (std::size_t i = 1; i < marks.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(marks[i].dueMs, marks[i - 1].dueMs);
        EXPECT_LE(marks[i].dueMs - marks[i - 1].dueMs, 1000);
    }
}

TEST(ReplaySchedule, LogWithoutTimeTags_PlaysAtTheLinesPace) {
    const Bytes log = RecordSimulator(3, "GPGGA");
    ASSERT_FALSE(log.empty());
    const CReplaySchedule schedule(log);
    EXPECT_TRUE(schedule.Marks().empty());
    EXPECT_EQ(schedule.DueBytes(1000), std::min<std::size_t>(1920, log.size()));
    EXPECT_EQ(schedule.DueBytes(3'600'000), log.size());
}

TEST(ReplaySchedule, GarbageAndCutFrames_AreNotTimeTags) {
    Bytes log = RecordSimulator(2);
    const CReplaySchedule clean(log);
    ASSERT_FALSE(clean.Marks().empty());
    const auto cutFrameAt = log.begin() + static_cast<std::ptrdiff_t>(clean.Marks().front().offset);
    const Bytes cutFrame(cutFrameAt, cutFrameAt + 20);
    // Noise in front and a tagged frame cut short at the end take no tags
    // away and add none.
    constexpr std::string_view noise = "line noise before the first message\r\n";
    log.insert(log.begin(), noise.begin(), noise.end());
    log.insert(log.end(), cutFrame.begin(), cutFrame.end());
    const CReplaySchedule noisy(log);
    EXPECT_EQ(noisy.Marks().size(), clean.Marks().size());
}

}  // namespace
}  // namespace zarnmon::test
