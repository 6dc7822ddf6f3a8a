#include "core/link/msg_dispatcher.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "support/recorders.h"
#include "support/stream_builder.h"

namespace zarnmon {
namespace {

using test::AsBytes;

class DispatcherTest : public ::testing::Test {
protected:
    DispatcherTest() {
        dispatcher.SetStoreTap(&recorder);
        dispatcher.SetSender(&sender);
    }

    void FeedInChunks(std::span<const std::uint8_t> bytes, std::size_t chunk) {
        for (std::size_t at = 0; at < bytes.size(); at += chunk) {
            dispatcher.Feed(bytes.subspan(at, std::min(chunk, bytes.size() - at)));
        }
    }

    static std::vector<std::uint8_t> Frame(std::uint16_t id) { return CBinFrameBuilder(id).Build(); }

    CManualTickClock clock{50000};
    CMsgDispatcher dispatcher{clock};
    test::StoreRecorder recorder;
    test::RecordingSender sender;
    CRxQueue queue;
};

// Every message stored, in order, with every noise byte counted: whatever the chunking.
TEST_F(DispatcherTest, Feed_ResultDoesNotDependOnChunking) {
    const auto stream = test::MixedStream({.epochs = 3, .noiseFraction = 0.05, .noise = test::Noise::Inert});
    for (const std::size_t chunk : {1, 2, 3, 7, 8, 9, 64, 127, 1024, 4096, 10000}) {
        SCOPED_TRACE(chunk);
        CMsgDispatcher fresh(clock);
        test::StoreRecorder stored;
        fresh.SetStoreTap(&stored);
        for (std::size_t at = 0; at < stream.bytes.size(); at += chunk) {
            fresh.Feed(std::span(stream.bytes).subspan(at, std::min(chunk, stream.bytes.size() - at)));
        }
        EXPECT_EQ(stored.Handlers(), stream.handlers);
        // Fewer than 8 trailing noise bytes wait in the stream for more.
        EXPECT_EQ(fresh.DroppedBytes() + static_cast<std::size_t>(fresh.Stream().Count()), stream.noiseBytes);
    }
}

TEST_F(DispatcherTest, Feed_SplitAtEveryOffsetDeliversTheSameMessages) {
    const auto stream = test::MixedStream({.epochs = 1});
    for (std::size_t split = 0; split <= stream.bytes.size(); ++split) {
        SCOPED_TRACE(split);
        CMsgDispatcher fresh(clock);
        test::StoreRecorder stored;
        fresh.SetStoreTap(&stored);
        fresh.Feed(std::span(stream.bytes).first(split));
        fresh.Feed(std::span(stream.bytes).subspan(split));
        ASSERT_EQ(stored.Handlers(), stream.handlers);
        ASSERT_EQ(fresh.DroppedBytes(), 0u);
    }
}

TEST_F(DispatcherTest, Feed_TruncatedStreamDeliversExactlyTheCompleteMessages) {
    const auto stream = test::MixedStream({.epochs = 1});
    std::vector<std::size_t> ends;
    {
        test::StoreRecorder whole;
        CMsgDispatcher fresh(clock);
        fresh.SetStoreTap(&whole);
        std::size_t end = 0;
        for (const auto& m : (fresh.Feed(stream.bytes), whole.stored)) {
            end += m.bytes.size();
            ends.push_back(end);
        }
    }
    for (std::size_t length = 0; length <= stream.bytes.size(); length += 5) {
        SCOPED_TRACE(length);
        CMsgDispatcher fresh(clock);
        test::StoreRecorder stored;
        fresh.SetStoreTap(&stored);
        fresh.Feed(std::span(stream.bytes).first(length));
        const auto complete = std::ranges::upper_bound(ends, length) - ends.begin();
        ASSERT_EQ(stored.stored.size(), static_cast<std::size_t>(complete));
        ASSERT_EQ(fresh.DroppedBytes(), 0u);
    }
}

TEST_F(DispatcherTest, Feed_StoredBytesAreExactlyTheBytesReceived) {
    const auto stream = test::MixedStream({.epochs = 2});
    FeedInChunks(stream.bytes, 100);
    std::vector<std::uint8_t> joined;
    for (const auto& m : recorder.stored) {
        joined.insert(joined.end(), m.bytes.begin(), m.bytes.end());
    }
    EXPECT_EQ(joined, stream.bytes);
}

TEST_F(DispatcherTest, Feed_BadChecksumOrTrailerIsConsumedButStampsArrival) {
    auto good = Frame(1);
    for (const std::size_t corrupt : {good.size() - 4, good.size() - 3}) {
        SCOPED_TRACE(corrupt);
        auto bad = good;
        bad[corrupt] ^= 0x01;
        CMsgDispatcher fresh(clock);
        test::StoreRecorder stored;
        fresh.SetStoreTap(&stored);
        fresh.Feed(bad);
        fresh.Feed(good);
        ASSERT_EQ(stored.stored.size(), 1u);
        EXPECT_EQ(fresh.DroppedBytes(), 0u) << "a bad frame is not re-scanned";
    }

    auto reversed = good;
    std::swap(reversed[reversed.size() - 2], reversed[reversed.size() - 1]);
    dispatcher.Feed(reversed);
    EXPECT_TRUE(recorder.stored.empty());
    EXPECT_EQ(dispatcher.Handler(Slots::Msg1).AgeMs(), 0u) << "arrival is stamped even when rejected";
    EXPECT_EQ(dispatcher.Handler(Slots::Msg1).LastLength(), 0u);
}

// Each handler counts what it stored and what failed its frame check; nothing else moves.
TEST_F(DispatcherTest, Counts_DamagedFrameIsCountedOnItsOwnHandlerOnly) {
    auto badChecksum = Frame(99);
    badChecksum[badChecksum.size() - 4] ^= 0x5A;
    auto reversed = Frame(2);
    std::swap(reversed[reversed.size() - 2], reversed[reversed.size() - 1]);
    const auto msg1 = Frame(1);
    const auto msg99 = Frame(99);
    const std::string ack = NmeaSentence("PCSI,ACK,1");
    std::vector<std::uint8_t> stream;
    const auto append = [&stream](std::span<const std::uint8_t> part) {
        stream.insert(stream.end(), part.begin(), part.end());
    };
    append(msg1);
    append(badChecksum);
    append(msg99);
    append(reversed);
    append(AsBytes(ack));
    append(msg1);
    append(AsBytes("\x01\x02\x03\x04\x05\x06\x07\x08"));
    FeedInChunks(stream, 37);
    EXPECT_EQ(dispatcher.ReceivedBytes(), stream.size());
    EXPECT_EQ(dispatcher.DroppedBytes(), 1u) << "7 noise bytes wait for more";
    const auto counts = [this](int slot) {
        const CMsgHandler& handler = dispatcher.Handler(slot);
        return std::pair{handler.StoredCount(), handler.FailedCount()};
    };
    EXPECT_EQ(counts(Slots::Msg1), std::pair(std::uint64_t{2}, std::uint64_t{0}));
    EXPECT_EQ(counts(Slots::Msg99), std::pair(std::uint64_t{1}, std::uint64_t{1}));
    EXPECT_EQ(counts(Slots::Msg2), std::pair(std::uint64_t{0}, std::uint64_t{1}));
    // An acknowledgement is routed, not rejected: stored where it went.
    EXPECT_EQ(counts(Slots::NmeaHandler), std::pair(std::uint64_t{0}, std::uint64_t{0}));
    EXPECT_EQ(counts(Slots::BeaconReplyHandler), std::pair(std::uint64_t{1}, std::uint64_t{0}));
    for (const int slot : {Slots::RtcmHandler, Slots::Msg98, Slots::Msg80, Slots::RxHandler}) {
        EXPECT_EQ(counts(slot), std::pair(std::uint64_t{0}, std::uint64_t{0})) << slot;
    }
    EXPECT_EQ(recorder.Handlers(), (std::vector<std::string>{"Msg1", "Msg99", "BeaconReplyHandler", "Msg1"}));

    dispatcher.Reset();
    EXPECT_EQ(dispatcher.ReceivedBytes(), 0u);
    EXPECT_EQ(counts(Slots::Msg99), std::pair(std::uint64_t{0}, std::uint64_t{0}));
}

TEST_F(DispatcherTest, Feed_KnownIdWithWrongLengthIsDroppedByteByByte) {
    auto wrong = CBinFrameBuilder(1, 53).Build();
    dispatcher.Feed(wrong);
    dispatcher.Feed(Frame(2));
    EXPECT_EQ(dispatcher.DroppedBytes(), wrong.size());
    EXPECT_EQ(recorder.Handlers(), std::vector<std::string>{"Msg2"});
}

TEST_F(DispatcherTest, Feed_GarbageBeforeAMessageIsCountedExactly) {
    const std::string garbage = "\x01\x02garbage#\xff\xfe!!AIVDM,1,1";
    dispatcher.Feed(AsBytes(garbage));
    dispatcher.Feed(Frame(99));
    EXPECT_EQ(dispatcher.DroppedBytes(), garbage.size());
    EXPECT_EQ(recorder.Handlers(), std::vector<std::string>{"Msg99"});
}

TEST_F(DispatcherTest, Feed_WaitsForEightBytesBeforeDroppingAndTwoBeforeTrying) {
    dispatcher.Feed(AsBytes("ab"));
    dispatcher.Feed(AsBytes("$BIN\x01"));
    EXPECT_EQ(dispatcher.DroppedBytes(), 0u) << "7 bytes held: a partial header must wait";
    EXPECT_EQ(dispatcher.Stream().Count(), 7);
    dispatcher.Feed(std::array<std::uint8_t, 1>{0});
    EXPECT_EQ(dispatcher.DroppedBytes(), 1u) << "8 bytes: the front byte can be judged";
}

TEST_F(DispatcherTest, Feed_OwnerGetsTheNextChunkAndTheRestIsScannedInTheSameFeed) {
    const auto frame = Frame(99);
    const auto line = NmeaSentence("GPGGA,1");
    dispatcher.Feed(std::span(frame).first(100));
    EXPECT_EQ(dispatcher.Owner(), &dispatcher.Handler(Slots::Msg99));

    std::vector<std::uint8_t> rest(frame.begin() + 100, frame.end());
    rest.insert(rest.end(), line.begin(), line.end());
    dispatcher.Feed(rest);
    EXPECT_EQ(dispatcher.Owner(), nullptr);
    EXPECT_EQ(recorder.Handlers(), (std::vector<std::string>{"Msg99", "NmeaHandler"}));
}

TEST_F(DispatcherTest, Feed_TextLineInterruptedByAFrameOwnsTheFrameBytes) {
    // A line's handler owns the stream until CR LF, whatever comes: the frame
    // inside the line is not a message of its own.
    std::vector<std::uint8_t> bytes;
    const std::string head = "$GPGGA,12";
    bytes.insert(bytes.end(), head.begin(), head.end());
    const auto frame = Frame(2);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    dispatcher.Feed(bytes);
    ASSERT_EQ(recorder.Handlers(), std::vector<std::string>{"NmeaHandler"});
    EXPECT_EQ(recorder.stored[0].bytes, bytes);
}

TEST_F(DispatcherTest, Feed_OverlongLineIsCutAtCapacityAndTheRestDropped) {
    std::string line = "$GPGSV," + std::string(1100, 'x') + "\r\n";
    dispatcher.Feed(AsBytes(line));
    dispatcher.Feed(Frame(2));
    ASSERT_EQ(recorder.Handlers(), (std::vector<std::string>{"NmeaHandler", "Msg2"}));
    EXPECT_EQ(recorder.stored[0].bytes.size(), CTextMsgHandler::kCapacity);
    EXPECT_EQ(dispatcher.DroppedBytes(), line.size() - CTextMsgHandler::kCapacity);
}

TEST_F(DispatcherTest, Feed_ChunkLargerThanTheStreamLosesNothing) {
    const auto stream = test::MixedStream({.epochs = 6});
    ASSERT_GT(stream.bytes.size(), 4u * CMsgStream::kSize);
    dispatcher.Feed(stream.bytes);
    EXPECT_EQ(recorder.Handlers(), stream.handlers);
}

TEST_F(DispatcherTest, Feed_EmptyChunkChangesNothing) {
    dispatcher.Feed(AsBytes("$GPG"));
    dispatcher.Feed(std::span<const std::uint8_t>{});
    dispatcher.Feed(nullptr, 0);
    dispatcher.Feed(AsBytes("GA\r\n"));
    EXPECT_EQ(recorder.Handlers(), std::vector<std::string>{"NmeaHandler"});
}

TEST_F(DispatcherTest, Reset_StaleBytesNeverMixWithNewOnes) {
    const auto frame = Frame(1);
    dispatcher.Feed(AsBytes("$BI"));
    dispatcher.Feed(std::span(frame).first(30));
    dispatcher.Reset();
    EXPECT_EQ(dispatcher.Owner(), nullptr);
    dispatcher.Feed(AsBytes("xy"));
    dispatcher.Reset();
    dispatcher.Feed(frame);
    EXPECT_EQ(recorder.Handlers(), std::vector<std::string>{"Msg1"});
    EXPECT_EQ(dispatcher.DroppedBytes(), 0u);
}

// Notes, in one shared list, which subscriber was told in what order.
class OrderRecorder final : public IRxWindow {
public:
    OrderRecorder(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void PostRxMessage(std::uint32_t /*message*/, std::uint32_t /*wParam*/, const CMsgHandler* /*handler*/) override {
        log_.push_back(name_);
    }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

TEST_F(DispatcherTest, Notifications_ArePostedToTheNewestSubscriberFirst) {
    std::vector<std::string> order;
    OrderRecorder oldest("oldest", order);
    OrderRecorder middle("middle", order);
    OrderRecorder newest("newest", order);
    auto& handler = dispatcher.Handler(Slots::Msg1);
    handler.Subscribe(&oldest);
    const auto middleId = handler.Subscribe(&middle);
    handler.Subscribe(&newest);

    dispatcher.Feed(Frame(1));
    EXPECT_EQ(order, (std::vector<std::string>{"newest", "middle", "oldest"}));

    order.clear();
    handler.Unsubscribe(middleId);
    dispatcher.Feed(Frame(1));
    EXPECT_EQ(order, (std::vector<std::string>{"newest", "oldest"})) << "removing one keeps the others' order";
}

TEST_F(DispatcherTest, Notifications_CarryTheHandlerAndStopAfterUnsubscribe) {
    CRxQueue older;
    const auto first = dispatcher.Handler(Slots::Msg1).Subscribe(&older);
    const auto second = dispatcher.Handler(Slots::Msg1).Subscribe(&queue);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);

    dispatcher.Feed(Frame(1));
    ASSERT_EQ(queue.Pending().size(), 1u);
    const auto n = queue.Pending()[0];
    EXPECT_EQ(n.message, WM_RX_MESSAGE);
    EXPECT_EQ(n.wParam, 0xFFFFFFFFu);
    EXPECT_EQ(n.handler, &dispatcher.Handler(Slots::Msg1));
    EXPECT_EQ(older.Pending().size(), 1u);

    dispatcher.Handler(Slots::Msg1).Unsubscribe(0);
    dispatcher.Handler(Slots::Msg1).Unsubscribe(first);
    dispatcher.Feed(Frame(1));
    EXPECT_EQ(older.Pending().size(), 1u);
    EXPECT_EQ(queue.Pending().size(), 2u);

    dispatcher.ClearAll();
    EXPECT_EQ(queue.Pending().size(), 3u) << "clearing tells subscribers too";
}

TEST_F(DispatcherTest, Quiet_StoresWithoutTellingThenAnnounceTellsEachSubscriberOnce) {
    CRxQueue rx;
    dispatcher.Handler(Slots::Msg1).Subscribe(&queue);
    dispatcher.Handler(Slots::RxHandler).Subscribe(&rx);
    dispatcher.SetQuiet(true);
    dispatcher.ClearAll();
    dispatcher.Feed(Frame(1));
    dispatcher.Feed(Frame(1));
    dispatcher.Feed(AsBytes(TextLine("$RX,1,quiet")));
    EXPECT_TRUE(queue.Pending().empty());
    EXPECT_TRUE(rx.Pending().empty());
    EXPECT_EQ(dispatcher.Rx().RxCount(1), 1u) << "stored and filed all the same";

    dispatcher.SetQuiet(false);
    dispatcher.AnnounceAll();
    ASSERT_EQ(queue.Pending().size(), 1u);
    EXPECT_EQ(queue.Pending()[0].handler, &dispatcher.Handler(Slots::Msg1));
    ASSERT_EQ(rx.Pending().size(), 1u);
    EXPECT_EQ(rx.Pending()[0].handler, &dispatcher.Handler(Slots::RxHandler));
    dispatcher.Feed(Frame(1));
    EXPECT_EQ(queue.Pending().size(), 2u) << "told again as each message arrives";
}

TEST_F(DispatcherTest, CompletionAtTickZeroIsStampedOne) {
    clock.Set(0);
    dispatcher.Feed(Frame(1));
    EXPECT_EQ(dispatcher.Handler(Slots::Msg1).LastCompletionTick(), 1u);
    EXPECT_EQ(dispatcher.Handler(Slots::Msg2).AgeMs(), 0x7FFFFFFFu);
}

TEST_F(DispatcherTest, History_ReaderBehindBySixteenSeesNoneAndBySeventeenOnlyTheNewest) {
    CMsgHandler& replies = dispatcher.Handler(Slots::ReplyHandler);
    for (const int behind : {3, 16, 17}) {
        SCOPED_TRACE(behind);
        int reader = replies.HistoryWriteIndex();
        for (int i = 0; i < behind; ++i) {
            dispatcher.Feed(AsBytes(TextLine("$>reply " + std::to_string(i))));
        }
        std::vector<std::string> seen;
        std::array<char, 64> text{};
        while (replies.GetHistory(reader, text.data(), text.size())) {
            seen.emplace_back(text.data());
            ++reader;
        }
        EXPECT_EQ(text[0], 0);
        const int expected = behind % 16;
        ASSERT_EQ(seen.size(), static_cast<std::size_t>(expected));
        if (expected > 0) {
            EXPECT_EQ(seen.back(), "$>reply " + std::to_string(behind - 1) + "\r\n");
            EXPECT_EQ(seen.front(), "$>reply " + std::to_string(behind - expected) + "\r\n");
        }
    }
    EXPECT_TRUE(dispatcher.Handler(Slots::Msg1).HistorySlot(0).empty()) << "message 1 keeps no history";
    EXPECT_EQ(dispatcher.Handler(Slots::Msg80).HistorySlot(17).size(), 40u + 12 + CMsgHandler::kSlack);
}

TEST_F(DispatcherTest, IsActive_FollowsTheSixThousandMillisecondRule) {
    EXPECT_FALSE(dispatcher.IsActive(Slots::Msg99, false));
    dispatcher.SendEnable(Slots::Msg99, true, true);
    EXPECT_EQ(sender.sent.back(), "$JBIN,99,1\r");
    EXPECT_TRUE(dispatcher.IsActive(Slots::Msg99, false)) << "assumed on after a command by hand";
    EXPECT_FALSE(dispatcher.IsActive(Slots::Msg99, true)) << "strict: only arrivals count";
    clock.Advance(5999);
    EXPECT_TRUE(dispatcher.IsActive(Slots::Msg99, false));
    clock.Advance(1);
    EXPECT_FALSE(dispatcher.IsActive(Slots::Msg99, false));

    dispatcher.Feed(Frame(99));
    EXPECT_TRUE(dispatcher.IsActive(Slots::Msg99, true));
    dispatcher.SendDisable(Slots::Msg99, true);
    EXPECT_EQ(sender.sent.back(), "$JBIN,99,0\r");
    EXPECT_FALSE(dispatcher.IsActive(Slots::Msg99, false)) << "recently turned off";
    EXPECT_TRUE(dispatcher.IsActive(Slots::Msg99, true));
    clock.Advance(6000);
    EXPECT_FALSE(dispatcher.IsActive(Slots::Msg99, true));
}

TEST_F(DispatcherTest, SendEnable_RecordsOnlySuccessfulInteractiveSends) {
    dispatcher.SendEnable(Slots::Msg1, true, false);
    EXPECT_EQ(sender.sent.size(), 1u);
    EXPECT_FALSE(sender.shown.back());
    EXPECT_FALSE(dispatcher.IsActive(Slots::Msg1, false)) << "automatic requests are not assumed to work";

    sender.linkOpen = false;
    dispatcher.SendEnable(Slots::Msg1, true, true);
    EXPECT_TRUE(sender.shown.back());
    EXPECT_FALSE(dispatcher.IsActive(Slots::Msg1, false)) << "a failed send is not recent";

    dispatcher.SendEnable(Slots::ReplyHandler, true, true);
    dispatcher.SendDisable(Slots::BeaconReplyHandler, true);
    EXPECT_EQ(sender.sent.size(), 2u) << "the reply handlers have no commands";

    dispatcher.SetSender(nullptr);
    dispatcher.SendEnable(Slots::Msg1, true, true);
    EXPECT_EQ(sender.sent.size(), 2u);
}

TEST_F(DispatcherTest, EnsureState_AutomaticChecksAtMostEveryFiveSeconds) {
    dispatcher.EnsureState(Slots::Msg2, true, false);
    dispatcher.EnsureState(Slots::Msg2, true, false);
    clock.Advance(4999);
    dispatcher.EnsureState(Slots::Msg2, true, false);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JBIN,2,1\r"});
    clock.Advance(1);
    dispatcher.EnsureState(Slots::Msg2, true, false);
    EXPECT_EQ(sender.sent.size(), 2u);

    dispatcher.Feed(Frame(2));
    clock.Advance(5000);
    dispatcher.EnsureState(Slots::Msg2, true, false);
    EXPECT_EQ(sender.sent.size(), 2u) << "a flowing message is not asked for";
    dispatcher.EnsureState(Slots::Msg2, false, true);
    EXPECT_EQ(sender.sent.back(), "$JBIN,2,0\r");
    dispatcher.EnsureState(Slots::Msg2, false, true);
    EXPECT_EQ(sender.sent.size(), 3u) << "already off";
}

TEST_F(DispatcherTest, Resume_DropsTheCutMessageKeepsTheStoredOnesAndAsksForFlowingMessagesOnce) {
    dispatcher.Feed(Frame(2));
    const auto frame99 = Frame(99);
    dispatcher.Feed(std::span(frame99).first(100));
    dispatcher.EnsureState(Slots::Msg2, true, false);
    EXPECT_TRUE(sender.sent.empty()) << "flowing";

    dispatcher.Resume();
    EXPECT_EQ(dispatcher.DroppedBytes(), 100u) << "the message the loss cut short";
    EXPECT_EQ(dispatcher.Handler(Slots::Msg2).LastLength(), Frame(2).size()) << "kept";
    dispatcher.Feed(Frame(99));
    EXPECT_EQ(recorder.stored.size(), 2u) << "the next link's first message is whole";

    dispatcher.EnsureState(Slots::Msg2, true, false);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JBIN,2,1\r"}) << "asked again at once, though flowing";
    clock.Advance(5000);
    dispatcher.EnsureState(Slots::Msg2, true, false);
    EXPECT_EQ(sender.sent.size(), 1u) << "once";

    dispatcher.Resume();
    dispatcher.Reset();
    dispatcher.EnsureState(Slots::Msg2, true, false);
    EXPECT_EQ(sender.sent.size(), 1u) << "a new connection starts over";
}

TEST_F(DispatcherTest, EnsureState_RecordsWhoKeepsAMessageOnUntilItIsAskedOff) {
    EXPECT_EQ(dispatcher.LastKeepOnTick(Slots::Msg99), 0u);
    dispatcher.EnsureState(Slots::Msg99, true, false);
    EXPECT_EQ(dispatcher.LastKeepOnTick(Slots::Msg99), clock.Now());
    clock.Advance(1000);
    dispatcher.EnsureState(Slots::Msg99, true, false);
    EXPECT_EQ(dispatcher.LastKeepOnTick(Slots::Msg99), clock.Now()) << "recorded within the five-second limit too";
    dispatcher.EnsureState(Slots::Msg99, false, true);
    EXPECT_EQ(dispatcher.LastKeepOnTick(Slots::Msg99), 0u);
    dispatcher.EnsureState(Slots::Msg99, true, true);
    dispatcher.SendDisable(Slots::Msg99, false);
    EXPECT_EQ(dispatcher.LastKeepOnTick(Slots::Msg99), 0u) << "a view that closes sends its message off";
    EXPECT_EQ(dispatcher.LastKeepOnTick(Slots::Count), 0u) << "no such slot";
}

TEST_F(DispatcherTest, AdoptUserCommand_KeepsTheUsersRate) {
    dispatcher.AdoptUserCommand("  $jbin,99,5\r\n");
    EXPECT_EQ(dispatcher.EnableCommand(Slots::Msg99), "$JBIN,99,5\r");
    dispatcher.AdoptUserCommand("$JBIN,99,0");
    EXPECT_EQ(dispatcher.EnableCommand(Slots::Msg99), "$JBIN,99,5\r") << "rate 0 changes nothing";

    dispatcher.AdoptUserCommand("$JBIN,95,0.2");
    EXPECT_EQ(dispatcher.EnableCommand(Slots::Msg95), "$JBIN,95,0.2\r");
    EXPECT_EQ(dispatcher.EnableCommand(Slots::Msg93), "$JBIN,95,0.2\r") << "93 rides on 95";

    dispatcher.AdoptUserCommand("$JASC,GPGGA,5,OTHER");
    dispatcher.AdoptUserCommand("$JASC,GPGGA,5,PORTB");
    dispatcher.AdoptUserCommand("$JASC,GPGGA,OFF");
    EXPECT_EQ(dispatcher.EnableCommand(Slots::NmeaHandler), "$JASC,GPGGA,1\r");

    dispatcher.AdoptUserCommand("$JBIN,123,5");
    dispatcher.AdoptUserCommand("$JBIN,100,5");
    EXPECT_EQ(dispatcher.EnableCommand(Slots::Msg1), "$JBIN,1,1\r") << "another message's id is not a rate";
    EXPECT_EQ(dispatcher.EnableCommand(Slots::Msg100), "$JBIN,100,5\r");

    dispatcher.SendEnable(Slots::Msg99, true, true);
    EXPECT_EQ(sender.sent.back(), "$JBIN,99,5\r");
}

TEST_F(DispatcherTest, GpsUtcOffset_FollowsWhicheverOfMessage2And99CameLast) {
    CBinFrameBuilder m99(99);
    m99.Set(msg99::GpsUtcDiff, std::int8_t{-3});
    CBinFrameBuilder m2(2);
    m2.Set(msg2::GpsUtcDiff, std::uint16_t{18});
    dispatcher.Feed(m99.Build());
    EXPECT_EQ(dispatcher.GpsUtcOffset().Get(), -3);
    dispatcher.Feed(m2.Build());
    EXPECT_EQ(dispatcher.GpsUtcOffset().Get(), 18);
    dispatcher.ClearAll();
    EXPECT_EQ(dispatcher.GpsUtcOffset().Get(), 18) << "clearing stores no message";
}

TEST_F(DispatcherTest, Almanac_AccumulatesValidRecordsAndSurvivesClear) {
    CBinFrameBuilder m98(98);
    for (std::size_t k = 0; k < msg98::kRecordCount; ++k) {
        const std::size_t base = k * alm::kRecordSize;
        m98.Set(alm::SvIndex, static_cast<std::uint8_t>(k == 2 ? 40 : k + 8), base);
        m98.Set(alm::Elevation, static_cast<std::int8_t>(10 + k), base);
    }
    dispatcher.Feed(m98.Build());
    dispatcher.ClearAll();
    const auto& table = dispatcher.AlmanacHandler().Almanac();
    EXPECT_EQ(table.Entry(8).Elevation(), 10);
    EXPECT_EQ(table.Entry(9).Elevation(), 11);
    EXPECT_EQ(table.Entry(10).SvIndex(), 0xFF) << "the record for index 40 went nowhere";
    EXPECT_EQ(table.Entry(15).Elevation(), 17);
    EXPECT_EQ(table.Entry(0).SvIndex(), 0xFF);
}

}  // namespace
}  // namespace zarnmon
