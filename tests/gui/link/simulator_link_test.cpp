// The built-in simulator: commands in, the receiver's messages out.

#include "gui/link/simulator_link.h"

#include <gtest/gtest.h>

#include "tests/gui/link/link_test_support.h"

namespace zarnmon::test {
namespace {

using Kind = CLinkRecorder::Kind;

TEST(SimulatorLink, Commands_SwitchOnMessagesTheDispatcherDecodes) {
    CSimulatorLink link;
    CLinkRecorder recorder(link);
    Decoder decoder;
    recorder.onBytes = [&decoder](const QByteArray& chunk) { decoder.Feed(chunk); };
    ASSERT_TRUE(link.open());
    EXPECT_EQ(recorder.Count(Kind::Opened), 1);
    // Like a receiver after $JOFF: silent until asked.
    QTest::qWait(300);
    EXPECT_TRUE(recorder.received.isEmpty());

    EXPECT_TRUE(link.write("$JBIN,1,1\r$JBIN,99,1\r$JI\r"));
    EXPECT_TRUE(WaitFor(
        [&] { return decoder.Has(Slots::Msg1) && decoder.Has(Slots::Msg99) && decoder.Has(Slots::ReplyHandler); }));
    EXPECT_EQ(decoder.dispatcher->DroppedBytes(), 0u);
    EXPECT_LE(recorder.largestChunk, CLink::kMaxChunk);
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
    CSimulatorLink link(options);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(WaitFor([&] { return !recorder.received.isEmpty(); }));
    link.close();
    const qsizetype atClose = recorder.received.size();
    QTest::qWait(1200);
    EXPECT_EQ(recorder.received.size(), atClose);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
    EXPECT_FALSE(link.write("$JI\r"));
}

TEST(SimulatorLink, Reopen_PowersUpAFreshReceiver) {
    CSimulatorLink link;
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    EXPECT_TRUE(link.write("$JBIN,1,1\r"));
    ASSERT_TRUE(WaitFor([&] { return !recorder.received.isEmpty(); }));
    ASSERT_TRUE(link.open());
    const qsizetype atReopen = recorder.received.size();
    QTest::qWait(1200);
    EXPECT_EQ(recorder.received.size(), atReopen);
    EXPECT_EQ(recorder.Count(Kind::Opened), 2);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
}

}  // namespace
}  // namespace zarnmon::test
