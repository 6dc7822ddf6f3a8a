// The lifecycle rules every link shares, through the fake link.

#include <QByteArray>

#include <gtest/gtest.h>

#include "tests/gui/link/fake_link.h"
#include "tests/gui/link/link_test_support.h"

namespace zarnmon::test {
namespace {

using Kind = CLinkRecorder::Kind;

TEST(Link, LargeReceive_ArrivesInChunksOf1024And1024And452) {
    CFakeLink link;
    CLinkRecorder recorder(link);
    link.open();
    link.feed(QByteArray(2500, 'x'));
    ASSERT_EQ(recorder.Count(Kind::Bytes), 3);
    EXPECT_EQ(recorder.events[1].bytes.size(), 1024);
    EXPECT_EQ(recorder.events[2].bytes.size(), 1024);
    EXPECT_EQ(recorder.events[3].bytes.size(), 452);
}

TEST(Link, BytesWhileClosed_AreIgnored) {
    CFakeLink link;
    CLinkRecorder recorder(link);
    link.feed("before");
    link.open();
    link.feed("during");
    link.close();
    link.feed("after");
    EXPECT_EQ(recorder.received, QByteArray("during"));
}

TEST(Link, RepeatedFailures_AreReportedOncePerCycle) {
    CFakeLink link;
    CLinkRecorder recorder(link);
    link.open();
    link.injectError("gone");
    link.injectError("gone again");
    EXPECT_EQ(recorder.Count(Kind::Error), 1);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
    EXPECT_LT(recorder.First(Kind::Error), recorder.First(Kind::Closed));

    link.open();
    link.injectError("gone in the next cycle");
    EXPECT_EQ(recorder.Count(Kind::Error), 2);
    EXPECT_EQ(recorder.Count(Kind::Closed), 2);
}

TEST(Link, FailedOpen_ReportsAnErrorButNeverClosed) {
    CFakeLink link;
    CLinkRecorder recorder(link);
    link.failNextOpen("no such port");
    EXPECT_FALSE(link.open());
    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(recorder.Count(Kind::Error), 1);
    EXPECT_EQ(recorder.Count(Kind::Opened), 0);
    EXPECT_EQ(recorder.Count(Kind::Closed), 0);
}

TEST(Link, CloseTwice_ReportsClosedOnce) {
    CFakeLink link;
    CLinkRecorder recorder(link);
    link.open();
    link.close();
    link.close();
    EXPECT_EQ(recorder.Count(Kind::Opened), 1);
    EXPECT_EQ(recorder.Count(Kind::Closed), 1);
}

TEST(Link, ListenerClosingMidDelivery_StopsTheRestOfTheBytes) {
    CFakeLink link;
    CLinkRecorder recorder(link);
    recorder.onBytes = [&link](const QByteArray&) { link.close(); };
    link.open();
    link.feed(QByteArray(3000, 'x'));
    EXPECT_EQ(recorder.Count(Kind::Bytes), 1);
    EXPECT_EQ(recorder.received.size(), 1024);
}

TEST(Link, DeliveryDuringDelivery_KeepsTheOrder) {
    CFakeLink link;
    CLinkRecorder recorder(link);
    bool nested = false;
    // A listener that pumps events (a message box) may let more bytes in
    // while it handles a chunk: they must come after the rest of that chunk's
    // delivery, not in the middle of it.
    recorder.onBytes = [&](const QByteArray&) {
        if (!nested) {
            nested = true;
            link.feed("second");
        }
    };
    link.open();
    link.feed(QByteArray(1500, 'a'));
    EXPECT_EQ(recorder.received, QByteArray(1500, 'a') + "second");
    EXPECT_LE(recorder.largestChunk, CLink::kMaxChunk);
}

TEST(Link, Write_IsRecordedOnlyWhileOpen) {
    CFakeLink link;
    EXPECT_FALSE(link.write("$JI\r"));
    link.open();
    EXPECT_TRUE(link.write("$JBIN,1,1\r"));
    EXPECT_TRUE(link.write("$JI\r"));
    link.close();
    EXPECT_FALSE(link.write("$JOFF\r"));
    EXPECT_EQ(link.written(), QByteArray("$JBIN,1,1\r$JI\r"));
    EXPECT_EQ(link.writes().size(), 2);
}

TEST(Link, RepeatedWriteFailures_AreReportedOnceUntilOutputIsTakenAgain) {
    CFakeLink link;
    CLinkRecorder recorder(link);
    link.open();
    link.injectWriteFailure("not taken");
    link.setWriteFails(true);
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(link.write("$JI\r"));
    }
    ASSERT_EQ(recorder.Count(Kind::WriteFailed), 1);
    EXPECT_EQ(recorder.FirstMessage(Kind::WriteFailed), QStringLiteral("not taken"));
    EXPECT_TRUE(link.isOpen()) << "a lost command is no lost link";
    EXPECT_EQ(recorder.Count(Kind::Error), 0);

    link.setWriteFails(false);
    EXPECT_TRUE(link.write("$JI\r"));
    link.injectWriteFailure("not taken again");
    link.injectWriteFailure("and again");
    EXPECT_EQ(recorder.Count(Kind::WriteFailed), 2) << "the receiver took output in between";

    link.open();
    link.injectWriteFailure("in the next cycle");
    EXPECT_EQ(recorder.Count(Kind::WriteFailed), 3);
}

}  // namespace
}  // namespace zarnmon::test
