#pragma once

// Where a replay of a recorded raw log stands, and how it moves: played
// forward as the link delivers, or sought to another place, stepped by one
// message or one second, and started again at the end when it loops.
//
// Seeking back starts again from nothing (the feed forgets everything it was
// given) and plays the recording again from its start up to the place
// sought, at once; seeking forward plays the stretch between at once. So the
// program holds what a straight replay to that place would have given it.
// Replaying from the start is fast enough (a one-hour log in a fraction of a
// second) that no checkpoints of the program's state are kept.
//
// The logs record each part of the recording once. The timeline keeps the
// furthest place ever played; bytes before it were given to the logs when
// they were first played, so they are played again as repeats, which the
// logs pass over. After going back, logging therefore resumes exactly where
// it had reached, and the log files read as those of one straight replay.
// Going forward past that place logs the stretch skipped over too: a log
// covers the recording without gaps from where it was started. No stretch
// straddles that place, so each one is wholly new or wholly a repeat.
//
// Time on the timeline is the schedule's: milliseconds of the receiver's own
// time since the first time tag.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/link/replay_index.h"
#include "core/link/replay_schedule.h"

namespace zarnmon {

enum class ReplayStep : std::uint8_t { MessageBack, MessageForward, SecondBack, SecondForward };

// What takes the recording's bytes: the program's receiving end.
class IReplayFeed {
public:
    virtual ~IReplayFeed() = default;
    // Forget everything received: the replay starts again from nothing.
    virtual void Restart() = 0;
    // The next bytes of the recording; repeat when they were played before
    // and the logs already have them.
    virtual void Feed(std::span<const std::uint8_t> bytes, bool repeat) = 0;
};

class CReplayTimeline {
public:
    static constexpr std::int64_t kSecondMs = 1000;

    CReplayTimeline() = default;
    // Indexes log, which must outlive the timeline.
    explicit CReplayTimeline(std::span<const std::uint8_t> log);

    [[nodiscard]] const CReplayIndex& Index() const noexcept { return index_; }
    [[nodiscard]] const CReplaySchedule& Schedule() const noexcept { return schedule_; }
    [[nodiscard]] std::size_t Size() const noexcept { return log_.size(); }
    // Bytes played so far.
    [[nodiscard]] std::size_t Position() const noexcept { return position_; }
    [[nodiscard]] bool AtEnd() const noexcept { return position_ >= log_.size(); }
    // The furthest place played: the logs have everything before it.
    [[nodiscard]] std::size_t LoggedTo() const noexcept { return loggedTo_; }
    // The last bytes fed (or the last restart) went over what the logs have.
    [[nodiscard]] bool LastWasRepeat() const noexcept { return lastWasRepeat_; }

    // The time of the last byte before offset: how far the receiver had got
    // once offset bytes were played (0 before anything was).
    [[nodiscard]] std::int64_t PlayMsAt(std::size_t offset) const;
    [[nodiscard]] std::int64_t PlayMs() const { return PlayMsAt(position_); }
    [[nodiscard]] std::int64_t DurationMs() const { return PlayMsAt(Size()); }
    // Where the replay stands when playMs of the recording have played.
    [[nodiscard]] std::size_t OffsetAtMs(std::int64_t playMs) const { return schedule_.DueBytes(playMs); }
    // Where a step from the current place leads.
    [[nodiscard]] std::size_t StepTarget(ReplayStep step) const;

    // Plays forward up to to (at most the end).
    void PlayTo(std::size_t to, IReplayFeed& feed);
    // Moves to target, starting again from nothing when it lies behind.
    void SeekTo(std::size_t target, IReplayFeed& feed);

    [[nodiscard]] bool Loops() const noexcept { return loop_; }
    void SetLoop(bool loop) noexcept { loop_ = loop; }
    // At the end of a looping replay, starts again from the beginning; true
    // when it did, false when the replay is over (or not at its end).
    bool WrapAtEnd(IReplayFeed& feed);

private:
    std::span<const std::uint8_t> log_;
    CReplayIndex index_;
    CReplaySchedule schedule_;
    std::size_t position_ = 0;
    std::size_t loggedTo_ = 0;
    bool lastWasRepeat_ = false;
    bool loop_ = false;
};

// Minutes and seconds of a stretch of play time: "07:05", "75:00".
[[nodiscard]] std::string ElapsedText(std::int64_t ms);

}  // namespace zarnmon
