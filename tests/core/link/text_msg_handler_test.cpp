#include "core/link/text_msg_handler.h"

#include <array>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "core/link/msg_dispatcher.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

using test::AsBytes;

class TextHandlersTest : public ::testing::Test {
protected:
    TextHandlersTest() {
        dispatcher.SetStoreTap(&recorder);
        rxId = dispatcher.Rx().Subscribe(&rxQueue);
    }

    void FeedLine(std::string_view line) { dispatcher.Feed(AsBytes(line)); }

    CManualTickClock clock{100000};
    CMsgDispatcher dispatcher{clock};
    test::StoreRecorder recorder;
    CRxQueue rxQueue;
    std::uint32_t rxId = 0;
};

TEST_F(TextHandlersTest, Prefixes_RouteLinesToTheirHandlers) {
    for (const auto& [line, handler] : std::vector<std::pair<std::string, std::string>>{
             {"$GPGGA,1\r\n", "NmeaHandler"},
             {"$HEHDT,271.4,T*2B\r\n", "NmeaHandler"},
             {"$PASHR,1\r\n", "NmeaHandler"},
             {"Y~abc\r\n", "RtcmHandler"},
             {"fAxyz\r\n", "RtcmHandler"},
             {"$>JBIN,1,1\r\n", "ReplyHandler"},
             {"$RX,1,a\r\n", "RxHandler"},
             {"$RD1,1,2\r\n", "Rd1Handler"},
             {"$CRMSS,1\r\n", "BeaconReplyHandler"},
         }) {
        SCOPED_TRACE(line);
        recorder.stored.clear();
        FeedLine(line);
        ASSERT_EQ(recorder.Handlers(), std::vector<std::string>{handler});
        EXPECT_EQ(recorder.stored[0].bytes.size(), line.size()) << "the length includes CR LF";
    }
    EXPECT_EQ(dispatcher.DroppedBytes(), 0u);
}

TEST_F(TextHandlersTest, Acknowledgement_GoesOnlyToBeaconRepliesAndOpensATenSecondWindow) {
    FeedLine("$PCSI,ACK,1\r\n");
    EXPECT_EQ(recorder.Handlers(), std::vector<std::string>{"BeaconReplyHandler"});
    EXPECT_EQ(dispatcher.Nmea().LastLength(), 0u) << "not kept as NMEA";
    EXPECT_EQ(dispatcher.Nmea().LastAckTick(), 100000u);

    clock.Advance(9999);
    FeedLine("$PCSI,1,2,3\r\n");
    EXPECT_EQ(recorder.Handlers(),
              (std::vector<std::string>{"BeaconReplyHandler", "BeaconReplyHandler", "NmeaHandler"}));

    clock.Advance(1);
    FeedLine("$PCSI,4,5,6\r\n");
    EXPECT_EQ(recorder.Handlers().back(), "NmeaHandler");
    EXPECT_EQ(recorder.stored.size(), 4u) << "10 s after the acknowledgement it is plain NMEA";

    FeedLine("$PC,ACK\r\n");
    EXPECT_EQ(recorder.Handlers().back(), "BeaconReplyHandler");
    FeedLine("$PCAK\r\n");
    EXPECT_EQ(recorder.Handlers().back(), "NmeaHandler") << "lines under 8 bytes are ordinary NMEA";
    EXPECT_EQ(recorder.stored.size(), 6u) << "even within the window";
}

TEST_F(TextHandlersTest, RxLine_IsFiledIntoItsNumberedSlot) {
    FeedLine("$RX,5,7,abc\r\n");
    EXPECT_EQ(dispatcher.Rx().RxSlot(5), "7,abc");
    EXPECT_EQ(dispatcher.Rx().RxCount(5), 1u);
    EXPECT_EQ(rxQueue.Pending().size(), 1u);
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(dispatcher.Rx().LastBuffer().data())), "$RX,5,7,abc")
        << "the last line loses its line end";
    std::array<char, 64> history{};
    ASSERT_TRUE(dispatcher.Rx().GetHistory(0, history.data(), history.size()));
    EXPECT_STREQ(history.data(), "$RX,5,7,abc\r\n") << "the history keeps it";

    for (const char* unfiled : {"$RX,32,1\r\n", "$RX,-1,1\r\n", "$RX,x,1\r\n", "$RX,4\r\n"}) {
        SCOPED_TRACE(unfiled);
        FeedLine(unfiled);
    }
    EXPECT_EQ(rxQueue.Pending().size(), 1u) << "unfiled lines notify nobody";
    EXPECT_EQ(recorder.stored.size(), 5u) << "but they are stored";
    EXPECT_EQ(dispatcher.Rx().RxCount(4), 0u);

    dispatcher.ClearAll();
    EXPECT_EQ(dispatcher.Rx().RxCount(5), 0u);
    EXPECT_EQ(dispatcher.Rx().RxSlot(5), "7,abc") << "slot texts survive a reconnect";
}

TEST_F(TextHandlersTest, GetField_DistinguishesEmptyFromMissing) {
    FeedLine("$RD1,a,,c\r\n");
    std::array<char, 16> field{};
    ASSERT_NE(dispatcher.Rd1().GetField(0, field.data(), field.size()), nullptr);
    EXPECT_STREQ(field.data(), "$RD1");
    ASSERT_NE(dispatcher.Rd1().GetField(2, field.data(), field.size()), nullptr);
    EXPECT_STREQ(field.data(), "");
    ASSERT_NE(dispatcher.Rd1().GetField(3, field.data(), field.size()), nullptr);
    EXPECT_STREQ(field.data(), "c");
    EXPECT_EQ(dispatcher.Rd1().GetField(4, field.data(), field.size()), nullptr);

    FeedLine("$RD1,only\r\n");
    EXPECT_EQ(dispatcher.Rd1().GetField(3, field.data(), field.size()), nullptr);
    std::array<char, 3> small{};
    ASSERT_NE(dispatcher.Rd1().GetField(1, small.data(), small.size()), nullptr);
    EXPECT_STREQ(small.data(), "on") << "cut to the buffer";
}

TEST_F(TextHandlersTest, Rd1Ber_TakesTheSmallerOfADualValue) {
    for (const auto& [field, ber, dual] : std::vector<std::tuple<std::string, int, bool>>{
             {"12-7", 7, true},
             {"-3", -3, false},
             {"-3-5", -3, true},
             {"40", 40, false},
             {"abc", 0, false},
             {"9-x", 9, true},
             {"", 0, false},
         }) {
        SCOPED_TRACE(field);
        FeedLine("$RD1,1,2,3,4," + field + ",6\r\n");
        EXPECT_EQ(dispatcher.Rd1().Rd1Ber(), ber);
        EXPECT_EQ(dispatcher.Rd1().Rd1HasDualBer(), dual);
    }
}

TEST_F(TextHandlersTest, Rd1Time_IsCorrectedForTheGpsUtcOffset) {
    dispatcher.GpsUtcOffset().Set(18);
    FeedLine("$RD1,100018.7,2000,1551.489\r\n");
    EXPECT_EQ(dispatcher.Rd1().Rd1Time(), "05/07/18  03:46:40");
    FeedLine("$RD1,nonsense,0\r\n");
    EXPECT_EQ(dispatcher.Rd1().Rd1Time(), "01/06/80  00:00:00") << "week 0 is not corrected";
}

// Real receivers' output: every NMEA sentence is kept, everything else
// (comments, AIS sentences, RTCM garbage) dropped and counted.
TEST_F(TextHandlersTest, RealCaptures_EveryByteIsStoredOrCountedAsDropped) {
    for (const char* name : {"saab-r4.log", "rst39.log", "skytraq-dgps.log", "rtcm2.log"}) {
        SCOPED_TRACE(name);
        std::ifstream file(std::string(ZARNMON_TEST_DATA) + "/nmea/" + name, std::ios::binary);
        ASSERT_TRUE(file);
        std::stringstream content;
        content << file.rdbuf();
        const std::string bytes = test::WithCrLf(content.str());

        CMsgDispatcher fresh(clock);
        test::StoreRecorder stored;
        fresh.SetStoreTap(&stored);
        for (std::size_t at = 0; at < bytes.size(); at += 97) {
            fresh.Feed(AsBytes(std::string_view(bytes).substr(at, 97)));
        }
        std::size_t storedBytes = 0;
        std::size_t nmeaLines = 0;
        for (const auto& m : stored.stored) {
            storedBytes += m.bytes.size();
            nmeaLines += m.handler == "NmeaHandler" ? 1 : 0;
        }
        std::size_t expectedLines = 0;
        std::istringstream lines(bytes);
        for (std::string line; std::getline(lines, line);) {
            expectedLines += line.size() > 1 && line[0] == '$' && (line[1] == 'G' || line[1] == 'H' || line[1] == 'P');
        }
        EXPECT_EQ(nmeaLines, expectedLines);
        EXPECT_EQ(storedBytes + fresh.DroppedBytes() + static_cast<std::size_t>(fresh.Stream().Count()) +
                      fresh.Handler(Slots::NmeaHandler).AssembledLength(),
                  bytes.size());
    }
}

}  // namespace
}  // namespace zarnmon
