// The TCP link against zarnmon-sim --tcp, a receiver behind a
// serial-to-network server.

#include "gui/link/tcp_link.h"

#include <QHostAddress>
#include <QTcpServer>

#include <gtest/gtest.h>

#include "tests/gui/link/link_test_support.h"

namespace zarnmon::test {
namespace {

using Kind = CLinkRecorder::Kind;

TEST(TcpLink, SimulatorServer_CommandInFramesOut) {
    const quint16 port = FreePort();
    ASSERT_NE(port, 0);
    CSimProcess sim({"--tcp", QString::number(port)});
    ASSERT_EQ(sim.Address(), QStringLiteral("127.0.0.1:%1").arg(port));
    CTcpLink link("127.0.0.1", port);
    EXPECT_EQ(link.displayName(), sim.Address());
    CLinkRecorder recorder(link);
    Decoder decoder;
    recorder.onBytes = [&decoder](const QByteArray& chunk) { decoder.Feed(chunk); };

    EXPECT_FALSE(link.write("$JI\r"));
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(WaitFor([&] { return link.isOpen(); }));
    EXPECT_EQ(recorder.First(Kind::Opened), 0);
    EXPECT_TRUE(link.write("$JBIN,1,1\r"));
    EXPECT_TRUE(WaitFor([&] { return decoder.Has(Slots::Msg1) && decoder.Has(Slots::BeaconReplyHandler); }));
    EXPECT_EQ(decoder.dispatcher->DroppedBytes(), 0u);
    EXPECT_LE(recorder.largestChunk, CLink::kMaxChunk);

    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
    EXPECT_EQ(recorder.Count(Kind::Error), 0);
}

TEST(TcpLink, RefusedConnection_OneErrorAndNeverOpened) {
    const quint16 port = FreePort();
    ASSERT_NE(port, 0);
    CTcpLink link("127.0.0.1", port);
    CLinkRecorder recorder(link);
    EXPECT_TRUE(link.open());
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Error) > 0; }));
    SpinEventLoop();
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(recorder.Count(Kind::Error), 1);
    EXPECT_TRUE(recorder.FirstMessage(Kind::Error).contains(QStringLiteral("refused"), Qt::CaseInsensitive))
        << recorder.FirstMessage(Kind::Error).toStdString();
    EXPECT_EQ(recorder.Count(Kind::Opened), 0);
    EXPECT_EQ(recorder.Count(Kind::Closed), 0);
}

TEST(TcpLink, ServerGoesAway_OneErrorThenClosed) {
    const quint16 port = FreePort();
    ASSERT_NE(port, 0);
    CSimProcess sim({"--tcp", QString::number(port), "--enable", "1,99"});
    ASSERT_FALSE(sim.Address().isEmpty());
    CTcpLink link("127.0.0.1", port);
    CLinkRecorder recorder(link);
    Decoder decoder;
    recorder.onBytes = [&decoder](const QByteArray& chunk) { decoder.Feed(chunk); };
    ASSERT_TRUE(link.open());
    ASSERT_TRUE(WaitFor([&] { return decoder.Has(Slots::Msg99); }));

    sim.Kill();
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }));
    SpinEventLoop();
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(recorder.Count(Kind::Error), 1);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
    EXPECT_LT(recorder.Last(Kind::Bytes), recorder.First(Kind::Error));
    EXPECT_LT(recorder.First(Kind::Error), recorder.First(Kind::Closed));
    EXPECT_EQ(decoder.dispatcher->DroppedBytes(), 0u);
    EXPECT_FALSE(link.write("$JI\r"));
}

}  // namespace
}  // namespace zarnmon::test
