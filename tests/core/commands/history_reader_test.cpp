#include "core/commands/history_reader.h"

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "core/link/msg_dispatcher.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

class HistoryReaderTest : public ::testing::Test {
protected:
    void Nmea(int n) { dispatcher.Feed(test::AsBytes(TextLine("$GPGGA," + std::to_string(n)))); }
    std::vector<std::string> ReadNew() {
        std::vector<std::string> lines;
        reader.ReadNew(nmea, [&lines](std::string_view line) { lines.emplace_back(line); });
        return lines;
    }

    CManualTickClock clock;
    CMsgDispatcher dispatcher{clock};
    const CMsgHandler& nmea = dispatcher.Handler(Slots::NmeaHandler);
    CHistoryReader reader{4096};
};

TEST_F(HistoryReaderTest, CatchUp_PassesOverWhatTheHistoryAlreadyHolds) {
    Nmea(1);
    Nmea(2);
    reader.CatchUp(nmea);
    EXPECT_TRUE(ReadNew().empty());
    Nmea(3);
    EXPECT_EQ(ReadNew(), (std::vector<std::string>{"$GPGGA,3\r\n"}));
    EXPECT_TRUE(ReadNew().empty()) << "each line is read once";
}

TEST_F(HistoryReaderTest, BurstOf15_IsReadWholeInOrder) {
    reader.CatchUp(nmea);
    for (int i = 0; i < 15; ++i) {
        Nmea(i);
    }
    const std::vector<std::string> lines = ReadNew();
    ASSERT_EQ(lines.size(), 15U);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(lines[static_cast<std::size_t>(i)], "$GPGGA," + std::to_string(i) + "\r\n");
    }
}

TEST_F(HistoryReaderTest, SmallBuffer_CutsEachLine) {
    CHistoryReader small(6);
    small.CatchUp(nmea);
    Nmea(12345);
    std::vector<std::string> lines;
    small.ReadNew(nmea, [&lines](std::string_view line) { lines.emplace_back(line); });
    EXPECT_EQ(lines, (std::vector<std::string>{"$GPGG"}));
}

}  // namespace
}  // namespace zarnmon
