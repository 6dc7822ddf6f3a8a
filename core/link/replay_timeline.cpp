#include "core/link/replay_timeline.h"

#include <algorithm>
#include <cstdio>

namespace zarnmon {

CReplayTimeline::CReplayTimeline(std::span<const std::uint8_t> log) : log_(log), index_(log), schedule_(index_) {}

std::int64_t CReplayTimeline::PlayMsAt(std::size_t offset) const {
    offset = std::min(offset, Size());
    return offset == 0 ? 0 : schedule_.DueMs(offset - 1);
}

std::size_t CReplayTimeline::StepTarget(ReplayStep step) const {
    switch (step) {
        case ReplayStep::MessageBack:
            return index_.PreviousMessageEnd(position_);
        case ReplayStep::MessageForward:
            return std::min(index_.NextMessageEnd(position_), Size());
        case ReplayStep::SecondBack:
            // From the first second (or from nothing) back to nothing.
            return position_ == 0 ? 0 : std::min(position_, OffsetAtMs(PlayMs() - kSecondMs));
        case ReplayStep::SecondForward:
            // From nothing, the first second is the step.
            return std::max(position_, OffsetAtMs(position_ == 0 ? 0 : PlayMs() + kSecondMs));
    }
    return position_;
}

void CReplayTimeline::PlayTo(std::size_t to, IReplayFeed& feed) {
    to = std::min(to, Size());
    while (position_ < to) {
        const std::size_t from = position_;
        const bool repeat = from < loggedTo_;
        const std::size_t end = repeat ? std::min(to, loggedTo_) : to;
        // Counted before the feed: whoever it tells sees these bytes as played.
        position_ = end;
        loggedTo_ = std::max(loggedTo_, end);
        lastWasRepeat_ = repeat;
        feed.Feed(log_.subspan(from, end - from), repeat);
    }
}

void CReplayTimeline::SeekTo(std::size_t target, IReplayFeed& feed) {
    target = std::min(target, Size());
    if (target < position_) {
        position_ = 0;
        // What the feed shows after forgetting is no news to the logs either.
        lastWasRepeat_ = loggedTo_ > 0;
        feed.Restart();
    }
    PlayTo(target, feed);
}

bool CReplayTimeline::WrapAtEnd(IReplayFeed& feed) {
    if (!loop_ || !AtEnd() || Size() == 0) {
        return false;
    }
    SeekTo(0, feed);
    return true;
}

std::string ElapsedText(std::int64_t ms) {
    const long long seconds = std::max<std::int64_t>(ms, 0) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

}  // namespace zarnmon
