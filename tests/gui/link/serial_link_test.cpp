// The serial link against real pseudo-terminals: zarnmon-sim --pty, which
// behaves like a receiver on a COM port, and a bare pseudo-terminal whose
// other end the test holds, to take the device away at a chosen moment.

#include "gui/link/serial_link.h"

#include <atomic>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/gui/link/bare_pty.h"
#include "tests/gui/link/link_test_support.h"

namespace zarnmon::test {
namespace {

using Kind = CLinkRecorder::Kind;

// Counts the lines logged to the serial category, to catch a flood.
std::atomic<int> g_serialLines{0};
QtMessageHandler g_previousHandler = nullptr;

void CountSerialLines(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (context.category != nullptr && QByteArray(context.category) == "zarnmon.serial") {
        ++g_serialLines;
    }
    if (g_previousHandler != nullptr) {
        g_previousHandler(type, context, message);
    }
}

class SerialLink : public ::testing::Test {
protected:
    void SetUp() override {
        g_serialLines = 0;
        g_previousHandler = qInstallMessageHandler(CountSerialLines);
    }
    void TearDown() override { qInstallMessageHandler(g_previousHandler); }
};

TEST_F(SerialLink, SimulatorPty_CommandInFramesOut) {
    CSimProcess sim({"--pty"});
    ASSERT_TRUE(sim.Address().startsWith("/dev/")) << sim.Address().toStdString();
    CSerialPort link(sim.Address());
    CLinkRecorder recorder(link);
    Decoder decoder;
    recorder.onBytes = [&decoder](const QByteArray& chunk) { decoder.Feed(chunk); };

    ASSERT_TRUE(link.open());
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(recorder.Count(Kind::Opened), 1);
    EXPECT_EQ(link.displayName(), sim.Address());
    EXPECT_TRUE(link.write("$JBIN,1,1\r"));

    EXPECT_TRUE(WaitFor([&] { return decoder.Has(Slots::Msg1) && decoder.Has(Slots::BeaconReplyHandler); }));
    EXPECT_EQ(decoder.dispatcher->DroppedBytes(), 0u);
    EXPECT_LE(recorder.largestChunk, CLink::kMaxChunk);
    EXPECT_EQ(recorder.Count(Kind::Error), 0);
    link.close();
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
}

TEST_F(SerialLink, HeldBurst_IsHandedOnInChunksOfAtMost1024) {
    CSimProcess sim({"--pty", "--enable", "all"});
    ASSERT_TRUE(sim.Address().startsWith("/dev/"));
    CSerialPort link(sim.Address());
    // Let a whole second's output gather before it is handed on.
    link.setNotifyThreshold(CSerialPort::kReceiveBufferSize, 400);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    EXPECT_TRUE(WaitFor([&] { return recorder.received.size() > 4 * CLink::kMaxChunk; }));
    EXPECT_EQ(recorder.largestChunk, CLink::kMaxChunk);
}

TEST_F(SerialLink, SimulatorKilledMidStream_OneErrorThenOneClosedAndNoFlood) {
    CSimProcess sim({"--pty", "--enable", "all"});
    ASSERT_TRUE(sim.Address().startsWith("/dev/"));
    CSerialPort link(sim.Address());
    CLinkRecorder recorder(link);
    Decoder decoder;
    recorder.onBytes = [&decoder](const QByteArray& chunk) { decoder.Feed(chunk); };
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(WaitFor([&] { return decoder.Has(Slots::Msg99); }));

    sim.Kill();
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }));
    // A port that keeps failing would report again from the next rounds of the event loop.
    SpinEventLoop();

    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(recorder.Count(Kind::Error), 1);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
    EXPECT_EQ(recorder.Last(Kind::Closed), static_cast<int>(recorder.events.size()) - 1);
    EXPECT_LT(recorder.Last(Kind::Bytes), recorder.First(Kind::Error));
    EXPECT_LT(recorder.First(Kind::Error), recorder.First(Kind::Closed));
    // Whole messages up to the loss: nothing in the stream was skipped.
    EXPECT_EQ(decoder.dispatcher->DroppedBytes(), 0u);
    EXPECT_LT(g_serialLines.load(), 5);
    EXPECT_FALSE(link.write("$JI\r"));
}

TEST_F(SerialLink, DeviceVanishes_BytesAlreadyReadAreDeliveredBeforeTheLoss) {
    CBarePty pty;
    ASSERT_FALSE(pty.Path().isEmpty());
    CSerialPort link(pty.Path());
    // Nothing is handed on by itself: only the loss can release the bytes.
    link.setNotifyThreshold(CSerialPort::kReceiveBufferSize, 60000);
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());

    QByteArray sent;
    for (int i = 0; i < 3000; ++i) {
        sent.append(static_cast<char>(i % 251));
    }
    ASSERT_TRUE(pty.Write(sent));
    ASSERT_TRUE(WaitFor([&] { return link.heldInput() == sent.size(); }));
    EXPECT_EQ(recorder.Count(Kind::Bytes), 0);

    pty.Close();
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }));
    EXPECT_EQ(recorder.received, sent);
    EXPECT_LE(recorder.largestChunk, CLink::kMaxChunk);
    EXPECT_EQ(recorder.Count(Kind::Error), 1);
    EXPECT_LT(recorder.Last(Kind::Bytes), recorder.First(Kind::Error));
    EXPECT_LT(recorder.First(Kind::Error), recorder.First(Kind::Closed));
}

TEST_F(SerialLink, SmallBurst_IsHandedOnAfterTheQuietGap) {
    CBarePty pty;
    ASSERT_FALSE(pty.Path().isEmpty());
    CSerialPort link(pty.Path());
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    // Fewer bytes than the notify threshold: the end of the burst releases them.
    ASSERT_TRUE(pty.Write("$>JI,12345\r\n"));
    EXPECT_TRUE(WaitFor([&] { return recorder.received == QByteArray("$>JI,12345\r\n"); }, 2000));
}

TEST_F(SerialLink, MissingDevice_FailsWithOneErrorGivingTheSystemsReasonAndNoOpened) {
    CSerialPort link("/dev/zarnmon-no-such-port");
    CLinkRecorder recorder(link);
    EXPECT_FALSE(link.open());
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write("$JI\r"));
    link.close();
    EXPECT_EQ(recorder.Count(Kind::Error), 1);
    EXPECT_EQ(recorder.FirstMessage(Kind::Error), QStringLiteral("No such file or directory"));
    EXPECT_EQ(recorder.Count(Kind::Opened), 0);
    EXPECT_EQ(recorder.Count(Kind::Closed), 0);
}

TEST_F(SerialLink, Reopen_StartsANewCycleOnTheSameDevice) {
    CBarePty pty;
    ASSERT_FALSE(pty.Path().isEmpty());
    CSerialPort link(pty.Path());
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(link.open());
    EXPECT_EQ(recorder.Count(Kind::Opened), 2);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
    ASSERT_TRUE(pty.Write(QByteArray(200, 'z')));
    EXPECT_TRUE(WaitFor([&] { return recorder.received.size() == 200; }, 2000));
}

TEST_F(SerialLink, ReceiverTakesNoOutput_WriteFailedOnceAndTheOutputDiscarded) {
    CBarePty pty;
    ASSERT_FALSE(pty.Path().isEmpty());
    CSerialPort link(pty.Path());
    CLinkRecorder recorder(link);
    ASSERT_TRUE(link.open());
    // Nobody reads the other end: once the terminal's buffers are full, the
    // output waits until the time-out discards it.
    const QByteArray commands = QByteArray("$JBIN,99,1\r").repeated(100000);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(link.write(commands));
        ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::WriteFailed) > 0 && link.pendingOutput() == 0; }));
    }
    EXPECT_EQ(recorder.Count(Kind::WriteFailed), 1) << "one report while the receiver takes nothing";
    EXPECT_TRUE(recorder.FirstMessage(Kind::WriteFailed).contains(QStringLiteral("did not take")))
        << recorder.FirstMessage(Kind::WriteFailed).toStdString();
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(recorder.Count(Kind::Error), 0);
    EXPECT_EQ(recorder.Count(Kind::Closed), 0);
}

}  // namespace
}  // namespace zarnmon::test
