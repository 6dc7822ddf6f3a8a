// Indexing recordings of the simulated receiver: where each message ends and
// which time the receiver had reached there.

#include "core/link/replay_index.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/msg_dispatcher.h"
#include "support/sim_recording.h"

namespace zarnmon::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Where messages complete when the log arrives one byte at a time: each
// store happens on the byte that ends its message.
class CByteWiseEnds final : public IStoreTap {
public:
    explicit CByteWiseEnds(const Bytes& log) {
        dispatcher_.SetStoreTap(this);
        for (fed_ = 1; fed_ <= log.size(); ++fed_) {
            dispatcher_.Feed(std::span(log).subspan(fed_ - 1, 1));
        }
    }
    void OnStored(const CMsgHandler& /*handler*/, std::span<const std::uint8_t> /*bytes*/) override {
        if (ends.empty() || ends.back() != fed_) {
            ends.push_back(fed_);
        }
    }
    std::vector<std::size_t> ends;

private:
    CManualTickClock clock_;
    CMsgDispatcher dispatcher_{clock_};
    std::size_t fed_ = 0;
};

bool StartsWith(const Bytes& log, std::size_t offset, std::string_view head) {
    return offset + head.size() <= log.size() &&
           std::equal(head.begin(), head.end(), log.begin() + static_cast<std::ptrdiff_t>(offset));
}

TEST(ReplayIndex, SimulatorRecording_EndsAreWhereMessagesCompleteByteByByte) {
    const Bytes log = RecordSim({.seconds = 20, .outputs = "all"});
    const CReplayIndex index(log);
    const CByteWiseEnds expected(log);
    EXPECT_EQ(index.Size(), log.size());
    EXPECT_GT(index.MessageEnds().size(), 20u * 20u) << "every output at least once a second";
    EXPECT_EQ(index.MessageEnds(), expected.ends);
}

TEST(ReplayIndex, TimeTags_AreTheMessages1And99OneSecondApartWithTheOffsetKnownThen) {
    const Bytes log = RecordSim({.seconds = 10, .outputs = "1,2,99"});
    const CReplayIndex index(log);
    const auto& tags = index.Tags();
    ASSERT_EQ(tags.size(), 20u);
    for (std::size_t i = 0; i < tags.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(StartsWith(log, tags[i].start, std::string_view("$BIN\x01\x00", 6)) ||
                    StartsWith(log, tags[i].start, std::string_view("$BIN\x63\x00", 6)));
        EXPECT_TRUE(StartsWith(log, tags[i].end - 2, "\r\n"));
        EXPECT_NE(std::ranges::find(index.MessageEnds(), tags[i].end), index.MessageEnds().end());
        if (i >= 2) {
            EXPECT_DOUBLE_EQ(tags[i].time.secondsOfWeek - tags[i - 2].time.secondsOfWeek, 1.0);
        }
    }
    // The first message 1 comes before any message that tells the offset.
    EXPECT_EQ(tags.front().gpsUtcOffset, 0);
    EXPECT_EQ(tags.back().gpsUtcOffset, 18);
}

TEST(ReplayIndex, NoiseAndABrokenFrame_AreBytesBeforeTheNextMessageNotMessages) {
    Bytes log = RecordSim({.seconds = 5, .outputs = "1,2,99"});
    const CReplayIndex clean(log);
    // Spoil the checksum of the second message 1 and put noise in front.
    const std::size_t spoiled = clean.Tags()[2].end - 4;
    log[spoiled] ^= 0xFF;
    constexpr std::string_view noise = "line noise\r\n$BIN";
    log.insert(log.begin(), noise.begin(), noise.end());
    const CReplayIndex noisy(log);

    ASSERT_EQ(noisy.MessageEnds().size(), clean.MessageEnds().size() - 1);
    EXPECT_EQ(noisy.Tags().size(), clean.Tags().size() - 1);
    std::vector<std::size_t> shifted;
    for (const std::size_t end : clean.MessageEnds()) {
        if (end != clean.Tags()[2].end) {
            shifted.push_back(end + noise.size());
        }
    }
    EXPECT_EQ(noisy.MessageEnds(), shifted);
}

TEST(ReplayIndex, Lookups_AtAndBetweenTheEnds) {
    const Bytes log = RecordSim({.seconds = 3, .outputs = "1,2,99"});
    const CReplayIndex index(log);
    const auto& ends = index.MessageEnds();
    ASSERT_GE(ends.size(), 3u);

    EXPECT_EQ(index.NextMessageEnd(0), ends[0]);
    EXPECT_EQ(index.NextMessageEnd(ends[0]), ends[1]) << "from an end, the next one";
    EXPECT_EQ(index.NextMessageEnd(ends[0] + 1), ends[1]);
    EXPECT_EQ(index.NextMessageEnd(ends.back()), log.size());
    EXPECT_EQ(index.PreviousMessageEnd(ends[1]), ends[0]) << "from an end, the one before";
    EXPECT_EQ(index.PreviousMessageEnd(ends[1] - 1), ends[0]);
    EXPECT_EQ(index.PreviousMessageEnd(ends[0]), 0u);
    EXPECT_EQ(index.PreviousMessageEnd(log.size() + 100), ends.back());

    const auto& first = index.Tags().front();
    EXPECT_EQ(index.TagAt(first.end - 1), nullptr) << "a tag counts once its message is complete";
    EXPECT_EQ(index.TagAt(first.end), &first);
    EXPECT_EQ(index.TagAt(log.size()), &index.Tags().back());
}

TEST(ReplayIndex, EmptyLog_HasNoMessagesAndNoTime) {
    const CReplayIndex index(Bytes{});
    EXPECT_TRUE(index.MessageEnds().empty());
    EXPECT_EQ(index.NextMessageEnd(0), 0u);
    EXPECT_EQ(index.PreviousMessageEnd(0), 0u);
    EXPECT_EQ(index.TagAt(0), nullptr);
}

}  // namespace
}  // namespace zarnmon::test
