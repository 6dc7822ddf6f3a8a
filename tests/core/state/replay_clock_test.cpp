#include "core/state/replay_clock.h"

#include <gtest/gtest.h>

#include "core/link/msg_dispatcher.h"
#include "core/state/log_test_support.h"
#include "core/state/program_clock.h"

namespace zarnmon {
namespace {

TEST(ReplayClockTest, ReadsLatestGpsTimeOfMessages1And99InMilliseconds) {
    CManualTickClock host;
    CMsgDispatcher dispatcher(host);
    CReplayClock clock;
    EXPECT_EQ(clock.Now(), 0u);
    CMsgHandler& msg1 = dispatcher.Handler(Slots::Msg1);
    CMsgHandler& msg99 = dispatcher.Handler(Slots::Msg99);

    msg1.Store(test::Msg1Frame(1000.25, 2), false);
    clock.Take(msg1);
    const std::uint32_t first = clock.Now();
    EXPECT_EQ(first, static_cast<std::uint32_t>(2LL * 604800000 + 1000250));

    msg99.Store(test::Msg99Frame(1001.0, 2), false);
    clock.Take(msg99);
    EXPECT_EQ(clock.Now() - first, 750u);

    // Older times, a receiver without time (week 0) and other messages do not move it.
    msg1.Store(test::Msg1Frame(999.0, 2), false);
    clock.Take(msg1);
    msg1.Store(test::Msg1Frame(5.0, 0), false);
    clock.Take(msg1);
    dispatcher.Handler(Slots::Msg2).Store(test::Msg2Frame(), false);
    clock.Take(dispatcher.Handler(Slots::Msg2));
    EXPECT_EQ(clock.Now() - first, 750u);
}

TEST(ProgramClockTest, FollowsTheHostUntilARecordingPlaysThenItsTimeFromNothing) {
    CManualTickClock host(5000);
    CMsgDispatcher dispatcher(host);
    CProgramClock clock(host);
    CMsgHandler& msg1 = dispatcher.Handler(Slots::Msg1);
    msg1.Store(test::Msg1Frame(1000.0, 2), false);
    clock.Take(msg1);
    EXPECT_EQ(clock.Now(), 5000u) << "a live link runs on the host's ticks";

    clock.FollowRecording(true);
    EXPECT_EQ(clock.Now(), 0u) << "no time before the recording's first timed message";
    clock.Take(msg1);
    EXPECT_EQ(clock.Now(), static_cast<std::uint32_t>(2LL * 604800000 + 1000000));
    host.Advance(60000);
    EXPECT_EQ(clock.Now(), static_cast<std::uint32_t>(2LL * 604800000 + 1000000)) << "the host's time does not count";

    clock.FollowRecording(true);
    EXPECT_EQ(clock.Now(), 0u) << "the next recording starts from nothing";
    clock.FollowRecording(false);
    EXPECT_EQ(clock.Now(), 65000u);
}

}  // namespace
}  // namespace zarnmon
