// The built-in simulator: commands in, the receiver's messages out.

#include "gui/link/simulator_link.h"

#include <gtest/gtest.h>

#include "core/link/tick_clock.h"
#include "tests/gui/link/link_test_support.h"

namespace zarnmon::test {
namespace {

using Kind = CLinkRecorder::Kind;

TEST(SimulatorLink, Commands_SwitchOnMessagesTheDispatcherDecodes) {
    CManualTickClock clock;
    CSimulatorLink link;
    link.setClock(clock);
    CLinkRecorder recorder(link);
    Decoder decoder;
    recorder.onBytes = [&decoder](const QByteArray& chunk) { decoder.Feed(chunk); };
    ASSERT_TRUE(link.open());
    EXPECT_EQ(recorder.Count(Kind::Opened), 1);
    // Like a receiver after $JOFF: silent until asked.
    clock.Advance(3000);
    link.deliverDue();
    EXPECT_TRUE(recorder.received.isEmpty());

    EXPECT_TRUE(link.write("$JBIN,1,1\r$JBIN,99,1\r$JI\r"));
    EXPECT_TRUE(recorder.received.isEmpty()) << "replies come with the next tick, never from inside write()";
    for (int tick = 0; tick < 60; ++tick) {
        clock.Advance(CSimulatorLink::kTickMs);
        link.deliverDue();
    }
    EXPECT_TRUE(decoder.Has(Slots::Msg1));
    EXPECT_TRUE(decoder.Has(Slots::Msg99));
    EXPECT_TRUE(decoder.Has(Slots::ReplyHandler));
    EXPECT_EQ(decoder.dispatcher->DroppedBytes(), 0u);
    EXPECT_LE(recorder.largestChunk, CLink::kMaxChunk);
}

TEST(SimulatorLink, StalledEventLoop_CatchesUpAtMostTwoSecondsOfReceiverTime) {
    SimulatorOptions options;
    options.allOutputsOn = true;
    // What a fresh receiver sends in the first elapsedMs, taken in one tick.
    const auto firstTick = [&options](std::uint32_t elapsedMs) {
        CManualTickClock clock;
        CSimulatorLink link(options);
        link.setClock(clock);
        CLinkRecorder recorder(link);
        EXPECT_TRUE(link.open());
        clock.Advance(elapsedMs);
        link.deliverDue();
        return recorder.received;
    };
    const QByteArray capped = firstTick(60000);
    EXPECT_FALSE(capped.isEmpty());
    EXPECT_EQ(capped, firstTick(static_cast<std::uint32_t>(CSimulatorLink::kMaxCatchUpMs)));
}

TEST(SimulatorLink, AllOutputsOn_MessagesFlowWithoutCommandsInChunksOfAtMost1024) {
    SimulatorOptions options;
    options.allOutputsOn = true;
    options.config.motion = sim::Motion::Circle;
    CSimulatorLink link(options);
    CLinkRecorder recorder(link);
    Decoder decoder;
    recorder.onBytes = [&decoder](const QByteArray& chunk) { decoder.Feed(chunk); };
    ASSERT_TRUE(link.open());
    EXPECT_TRUE(WaitFor([&] { return decoder.Has(Slots::Msg99) && decoder.Has(Slots::Msg98); }));
    EXPECT_EQ(decoder.dispatcher->DroppedBytes(), 0u);
    EXPECT_LE(recorder.largestChunk, CLink::kMaxChunk);
}

TEST(SimulatorLink, Close_StopsTheBytesAndRefusesCommands) {
    SimulatorOptions options;
    options.allOutputsOn = true;
    CManualTickClock clock;
    CSimulatorLink link(options);
    link.setClock(clock);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    clock.Advance(1200);
    link.deliverDue();
    ASSERT_FALSE(recorder.received.isEmpty());
    link.close();
    const qsizetype atClose = recorder.received.size();
    clock.Advance(1200);
    link.deliverDue();
    SpinEventLoop();
    EXPECT_EQ(recorder.received.size(), atClose);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
    EXPECT_FALSE(link.write("$JI\r"));
}

TEST(SimulatorLink, Reopen_PowersUpAFreshReceiver) {
    CManualTickClock clock;
    CSimulatorLink link;
    link.setClock(clock);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    EXPECT_TRUE(link.write("$JBIN,1,1\r"));
    clock.Advance(1200);
    link.deliverDue();
    ASSERT_FALSE(recorder.received.isEmpty());
    ASSERT_TRUE(link.open());
    const qsizetype atReopen = recorder.received.size();
    clock.Advance(1200);
    link.deliverDue();
    EXPECT_EQ(recorder.received.size(), atReopen) << "the fresh receiver has every output off";
    EXPECT_EQ(recorder.Count(Kind::Opened), 2);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
}

}  // namespace
}  // namespace zarnmon::test
