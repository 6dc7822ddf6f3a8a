// Moving about in a replay: seeking gives the state a straight replay gives,
// steps move by one message or one second, a looping replay starts again,
// and the logs record every part of the recording once whatever the moves.

#include "core/link/replay_timeline.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/msg_dispatcher.h"
#include "core/state/data_log.h"
#include "core/state/phase_log.h"
#include "core/state/program_clock.h"
#include "core/state/reference_position.h"
#include "support/sim_recording.h"
#include "support/temp_dir.h"

namespace zarnmon::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The program's receiving end as the main frame is while a recording plays:
// every stored message moves the recording's clock and reaches the logs
// unless it is a repeat; going back forgets everything received.
class CProgramFeed final : public IReplayFeed, public IStoreTap {
public:
    CProgramFeed() {
        clock_.FollowRecording(true);
        dispatcher_.SetStoreTap(this);
        dataLog_.SetOptions({.interval = 0});
    }
    ~CProgramFeed() override { dispatcher_.SetStoreTap(nullptr); }
    CProgramFeed(const CProgramFeed&) = delete;
    CProgramFeed& operator=(const CProgramFeed&) = delete;

    void Restart() override {
        ++restarts;
        dispatcher_.Reset();
        dispatcher_.ClearAll();
        clock_.FollowRecording(true);
    }
    void Feed(std::span<const std::uint8_t> bytes, bool repeat) override {
        repeat_ = repeat;
        if (!repeat) {
            logged.insert(logged.end(), bytes.begin(), bytes.end());
        }
        dispatcher_.Feed(bytes);
    }
    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> /*bytes*/) override {
        ++stored;
        clock_.Take(handler);
        if (repeat_) {
            phaseLog_.PassOver(handler);
        } else {
            dataLog_.OnMessage(handler);
            phaseLog_.OnMessage(handler);
        }
    }

    void StartLogs(const TempDir& dir) {
        ASSERT_TRUE(dataLog_.Start(dir.File("data.log").string(), false));
        ASSERT_TRUE(phaseLog_.Start(dir.File("phase.bin").string()));
    }
    void StopLogs() {
        dataLog_.Stop();
        phaseLog_.Stop();
    }

    [[nodiscard]] const CMsgDispatcher& Dispatcher() const { return dispatcher_; }
    [[nodiscard]] std::uint32_t Now() const { return clock_.Now(); }

    int restarts = 0;
    std::size_t stored = 0;
    // The bytes the logs were given, in order.
    Bytes logged;

private:
    CManualTickClock host_;
    CProgramClock clock_{host_};
    CMsgDispatcher dispatcher_{clock_};
    CReferencePosition reference_;
    CDataLog dataLog_{dispatcher_, clock_, reference_};
    CPhaseLog phaseLog_{dispatcher_};
    bool repeat_ = false;
};

// What the views would show: every handler's last message and age, the
// counters and the values the messages set.
void ExpectSameState(const CProgramFeed& actual, const CProgramFeed& expected) {
    const CMsgDispatcher& a = actual.Dispatcher();
    const CMsgDispatcher& e = expected.Dispatcher();
    EXPECT_EQ(actual.Now(), expected.Now());
    EXPECT_EQ(a.DroppedBytes(), e.DroppedBytes());
    EXPECT_EQ(a.GpsUtcOffset().Get(), e.GpsUtcOffset().Get());
    for (int slot = 0; slot < e.HandlerCount(); ++slot) {
        SCOPED_TRACE(e.Handler(slot).Name());
        const auto got = a.Handler(slot).LastMessage();
        const auto want = e.Handler(slot).LastMessage();
        EXPECT_TRUE(std::ranges::equal(got, want));
        EXPECT_EQ(a.Handler(slot).LastCompletionTick(), e.Handler(slot).LastCompletionTick());
        EXPECT_EQ(a.Handler(slot).AssembledLength(), e.Handler(slot).AssembledLength());
        EXPECT_EQ(a.IsActive(slot, true), e.IsActive(slot, true));
    }
    for (int n = 0; n < CRxHandler::kFiledSlots; ++n) {
        EXPECT_EQ(a.Rx().RxCount(n), e.Rx().RxCount(n)) << "debug message " << n;
    }
}

class ReplayTimelineTest : public ::testing::Test {
protected:
    void Record(int seconds, std::string_view outputs = "all") {
        log_ = RecordSim({.seconds = seconds, .outputs = outputs});
        timeline_ = std::make_unique<CReplayTimeline>(log_);
    }
    // A timeline of the same log for a second program.
    [[nodiscard]] CReplayTimeline Another() const { return CReplayTimeline(log_); }

    Bytes log_;
    std::unique_ptr<CReplayTimeline> timeline_;
};

TEST_F(ReplayTimelineTest, SeekToTheMiddle_GivesTheStateOfAStraightReplay) {
    Record(120);
    const std::size_t middle = timeline_->OffsetAtMs(timeline_->DurationMs() / 2);
    ASSERT_GT(middle, 0u);
    ASSERT_LT(middle, log_.size());

    // A straight replay, delivered in the link's chunks.
    CProgramFeed straight;
    CReplayTimeline straightLine = Another();
    for (std::size_t at = 0; at < middle;) {
        at = std::min(middle, at + 1024);
        straightLine.PlayTo(at, straight);
    }

    CProgramFeed back;
    timeline_->PlayTo(log_.size(), back);
    timeline_->SeekTo(middle, back);
    EXPECT_EQ(back.restarts, 1);
    EXPECT_EQ(timeline_->Position(), middle);
    {
        SCOPED_TRACE("back from the end");
        ExpectSameState(back, straight);
    }

    CProgramFeed forward;
    CReplayTimeline forwardLine = Another();
    forwardLine.SeekTo(middle, forward);
    EXPECT_EQ(forward.restarts, 0) << "nothing to forget going forward";
    {
        SCOPED_TRACE("forward from the start");
        ExpectSameState(forward, straight);
    }
}

TEST_F(ReplayTimelineTest, StepOneMessage_StoresExactlyOneMoreAndStepsBackToWhereItWas) {
    // Outputs without a line that two handlers store.
    Record(5, "1,2,99,98,GPGGA,X,D1");
    CProgramFeed feed;
    std::size_t steps = 0;
    while (!timeline_->AtEnd()) {
        const std::size_t before = timeline_->Position();
        const std::size_t stored = feed.stored;
        timeline_->PlayTo(timeline_->StepTarget(ReplayStep::MessageForward), feed);
        if (feed.stored == stored) {
            ASSERT_TRUE(timeline_->AtEnd()) << "only the bytes after the last message hold none";
            break;
        }
        ++steps;
        ASSERT_EQ(feed.stored, stored + 1) << "step " << steps << " from " << before;
        if (steps % 7 == 0) {
            const std::size_t reached = timeline_->Position();
            timeline_->SeekTo(timeline_->StepTarget(ReplayStep::MessageBack), feed);
            timeline_->SeekTo(timeline_->StepTarget(ReplayStep::MessageForward), feed);
            ASSERT_EQ(timeline_->Position(), reached);
        }
    }
    EXPECT_EQ(steps, timeline_->Index().MessageEnds().size());
}

TEST_F(ReplayTimelineTest, StepOneSecond_PlaysOneEpochForwardAndBack) {
    Record(10, "1,2,99");
    CProgramFeed feed;
    timeline_->PlayTo(timeline_->StepTarget(ReplayStep::SecondForward), feed);
    EXPECT_EQ(timeline_->PlayMs(), 0) << "from nothing, the first second";
    EXPECT_EQ(feed.stored, 3u);
    for (int second = 1; second < 5; ++second) {
        timeline_->PlayTo(timeline_->StepTarget(ReplayStep::SecondForward), feed);
        EXPECT_EQ(timeline_->PlayMs(), second * 1000);
        EXPECT_EQ(feed.stored, 3u * static_cast<std::size_t>(second + 1));
    }
    const std::uint32_t now = feed.Now();
    timeline_->SeekTo(timeline_->StepTarget(ReplayStep::SecondBack), feed);
    EXPECT_EQ(timeline_->PlayMs(), 3000);
    EXPECT_EQ(now - feed.Now(), 1000u) << "the receiver's time one second earlier";
    timeline_->SeekTo(0, feed);
    EXPECT_EQ(timeline_->StepTarget(ReplayStep::SecondBack), 0u);
    EXPECT_EQ(timeline_->StepTarget(ReplayStep::MessageBack), 0u);
}

TEST_F(ReplayTimelineTest, Loop_StartsAgainFromNothingAtTheEndOnlyWhenOn) {
    Record(3, "1,99");
    CProgramFeed feed;
    EXPECT_FALSE(timeline_->WrapAtEnd(feed)) << "not at the end yet";
    timeline_->PlayTo(log_.size(), feed);
    EXPECT_FALSE(timeline_->WrapAtEnd(feed)) << "the loop is off";
    EXPECT_TRUE(timeline_->AtEnd());

    timeline_->SetLoop(true);
    EXPECT_TRUE(timeline_->WrapAtEnd(feed));
    EXPECT_EQ(feed.restarts, 1);
    EXPECT_EQ(timeline_->Position(), 0u);
    EXPECT_TRUE(timeline_->LastWasRepeat()) << "the second round is no news to the logs";
    timeline_->PlayTo(log_.size(), feed);
    EXPECT_TRUE(timeline_->WrapAtEnd(feed));
    EXPECT_EQ(feed.restarts, 2);
}

TEST_F(ReplayTimelineTest, LogsAfterSeekingBackAndForth_AreThoseOfAStraightReplay) {
    Record(90);
    TempDir straightDir;
    {
        CProgramFeed straight;
        straight.StartLogs(straightDir);
        CReplayTimeline line = Another();
        line.PlayTo(log_.size(), straight);
        straight.StopLogs();
    }

    TempDir movedDir;
    CProgramFeed moved;
    moved.StartLogs(movedDir);
    const auto at = [this](int percent) { return log_.size() * static_cast<std::size_t>(percent) / 100; };
    std::size_t furthest = 0;
    for (const int percent : {40, 10, 60, 80, 30, 35, 5, 100}) {
        SCOPED_TRACE(percent);
        timeline_->SeekTo(at(percent), moved);
        furthest = std::max(furthest, at(percent));
        EXPECT_EQ(timeline_->LoggedTo(), furthest);
        EXPECT_EQ(timeline_->LastWasRepeat(), at(percent) < furthest);
    }
    moved.StopLogs();

    EXPECT_EQ(moved.logged, log_) << "every byte reached the logs once, in order";
    const std::string rows = ReadFile(movedDir.File("data.log"));
    const std::string straightRows = ReadFile(straightDir.File("data.log"));
    EXPECT_EQ(std::ranges::count(rows, '\n'), std::ranges::count(straightRows, '\n'));
    EXPECT_GT(std::ranges::count(rows, '\n'), 85) << "a row a second of receiver time";
    EXPECT_EQ(rows, straightRows);
    EXPECT_EQ(ReadFile(movedDir.File("phase.bin")), ReadFile(straightDir.File("phase.bin")));
}

TEST_F(ReplayTimelineTest, PlayTime_RunsFromTheFirstTagToTheLast) {
    Record(10, "1,2,99");
    EXPECT_EQ(timeline_->PlayMsAt(0), 0);
    EXPECT_EQ(timeline_->DurationMs(), 9000);
    for (std::int64_t ms = 0; ms <= 9000; ms += 1000) {
        SCOPED_TRACE(ms);
        const std::size_t offset = timeline_->OffsetAtMs(ms);
        EXPECT_EQ(timeline_->PlayMsAt(offset), ms);
        const CReplayIndex::TimeTag* tag = timeline_->Index().TagAt(offset);
        ASSERT_NE(tag, nullptr);
        EXPECT_DOUBLE_EQ(tag->time.secondsOfWeek, 345600.0 + static_cast<double>(ms) / 1000.0);
    }
    EXPECT_EQ(timeline_->OffsetAtMs(9000), log_.size());
}

TEST(ElapsedTextTest, MinutesAndSecondsWithoutAnHourField) {
    EXPECT_EQ(ElapsedText(0), "00:00");
    EXPECT_EQ(ElapsedText(425'999), "07:05");
    EXPECT_EQ(ElapsedText(4'500'000), "75:00");
    EXPECT_EQ(ElapsedText(-5), "00:00");
}

}  // namespace
}  // namespace zarnmon::test
