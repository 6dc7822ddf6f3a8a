#include "core/state/data_log.h"

#include <string>

#include <gtest/gtest.h>

#include "core/state/data_log_format.h"
#include "core/state/log_test_support.h"

namespace zarnmon {
namespace {

using test::kThursdayMidnight;

constexpr const char* kShortRow =
    "11/05/26\t00:00:00\t51.0447000\t-114.0719000\t1048.250\t5.00\t53.13\t-0.50\t1.2\t2.0\t0.125\t3.005\t9"
    "\t1F\t12~7\t230\t0F\tA1\t-1234\t11\t-345";
constexpr const char* kChannel1 = "\t5~CXBF\t45\t21.9\t-0.123\t1.50\t-2.50";
constexpr const char* kL2Channel1 = "\tCC  \t20.7\t P  \t19.4\t1.23\t-4.560\t7.890\t0.120\t-0.700";
constexpr const char* kIdleChannel = "\t0~    \t-3\t0.0\t0.000\t0.00\t0.00";
constexpr const char* kIdleL2 = "\t    \t0.0\t    \t0.0\t0.00\t0.000\t0.000\t0.000\t0.000";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto end = text.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

std::size_t Columns(const std::string& line) {
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t')) + 1;
}

class DataLogTest : public ::testing::Test {
protected:
    DataLogTest() {
        link.sink = [this](const CMsgHandler& h) { log.OnMessage(h); };
    }

    // Message 1 flowing before the log starts, so message 99 writes no rows.
    void Prime() {
        link.Feed(test::Msg1Frame(kThursdayMidnight - 1));
        clock.Advance(1000);
    }

    // One epoch: message 1 last, so its row sees this epoch's other messages.
    void Epoch(double tow) {
        link.Feed(test::Msg2Frame());
        link.Feed(test::Msg99Frame(tow));
        link.Feed(test::Msg100Frame());
        link.Feed(test::Rd1Line());
        link.Feed(test::Msg1Frame(tow));
    }

    void Options(bool full, bool errors, int interval = 1, bool autoLog = false) {
        log.SetOptions(LogSettings{errors, full, interval, autoLog});
    }

    CManualTickClock clock{5000};
    test::NotifiedDispatcher link{clock};
    CReferencePosition reference;
    CDataLog log{link.dispatcher, clock, reference};
    test::TempDir dir;
};

TEST_F(DataLogTest, ShortLog_WritesHeaderAndExactRow) {
    Options(false, false);
    const std::string path = dir.File("run.txt");
    Prime();
    ASSERT_TRUE(log.Start(path, false));
    Epoch(kThursdayMidnight);
    log.Stop();
    EXPECT_EQ(test::ReadFile(path),
              "UTCDay\tUTCtime\tLat(N)\tLon(E)\tHeight(H)\tSpeed\tHeading\tROC\tHDOP\tVDOP\tStdDev\tAgeDiff\tNumSats"
              "\tNavCond\tBER\tAGC\tDSPStat\tARMStat\tClockErrHz\tDDSHz\tDopplerHz\r\n" +
                  std::string(kShortRow) + "\r\n");
    EXPECT_EQ(log.RowsWritten(), 1u);
}

TEST_F(DataLogTest, FullLog_ChannelGroupsL2GroupsAndIdleChannels) {
    Options(true, false);
    const std::string path = dir.File("full.log");
    Prime();
    ASSERT_TRUE(log.Start(path, false));
    Epoch(kThursdayMidnight);
    log.Stop();
    const auto lines = Lines(test::ReadFile(path));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Columns(lines[0]), 21u + 15u * 6u + 12u * 9u);
    std::string row = kShortRow;
    row += std::string(kChannel1) + kL2Channel1;
    for (int k = 1; k < 12; ++k) {
        row += std::string(kIdleChannel) + kIdleL2;
    }
    for (int k = 0; k < 3; ++k) {
        row += "\t0~    \t0\t0.0\t0.000\t0.00\t0.00";  // message 89 never arrived: all zero
    }
    EXPECT_EQ(lines[1], row);
}

TEST_F(DataLogTest, FullHeader_LabelsMixChAndChAsKnown) {
    const std::string header = DataLogHeader(true, false);
    EXPECT_NE(header.find("\tDopplerHz\tPRN~Lock_Ch01\tElev_Ch01\tSNR_Ch01\tPosResid_Ch01\tVelResid_Ch01\tDiffCor_Ch01"
                          "\tLock_L2_Ch01\tSNR_L2_Ch01\tLock_L1P_Ch01\tSNR_L1P_Ch01\tP2mC1_CH01\tP2mL1_CH01\tC1mL1_CH01"
                          "\tP2mP1_CH01\tL2mL1_CH01\tPRN~Lock_Ch02"),
              std::string::npos);
    EXPECT_NE(header.find("\tL2mL1_CH12\tPRN~Lock_Ch13\t"), std::string::npos);
    EXPECT_TRUE(header.ends_with("\tDiffCor_Ch15\r\n"));
    const std::string fine = DataLogHeader(true, true);
    EXPECT_NE(fine.find("\tP2mC1_CH03\tDiff2_CH03\tPosRes2_Ch03\tP2mP1_CH03"), std::string::npos);
}

TEST_F(DataLogTest, LogErrors_WithValidReference_WritesMetres) {
    CSettingsStore store;
    ASSERT_TRUE(LoadReferencePosition(reference, store, {51.0446, -114.0720, 1047.0}));
    Options(false, true);
    const std::string path = dir.File("err.log");
    Prime();
    ASSERT_TRUE(log.Start(path, false));
    Epoch(kThursdayMidnight);
    log.Stop();
    const auto lines = Lines(test::ReadFile(path));
    ASSERT_EQ(lines.size(), 2u);
    const NeuOffset e = reference.NeuError(51.0447, -114.0719, 1048.25);
    char expected[128];
    std::snprintf(expected, sizeof expected, "00:00:00\t%.3lf\t%.3lf\t%.3lf\t5.00", e.north, e.east, e.up);
    EXPECT_NE(lines[1].find(expected), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find("\t11.127\t"), std::string::npos) << "0.0001 degree of latitude is about 11.1 m";
}

TEST_F(DataLogTest, LogErrors_WithoutValidReference_WritesSevenDecimals) {
    Options(false, true);
    const std::string path = dir.File("noref.log");
    Prime();
    ASSERT_TRUE(log.Start(path, false));
    Epoch(kThursdayMidnight);
    log.Stop();
    EXPECT_EQ(Lines(test::ReadFile(path))[1], kShortRow);
}

TEST_F(DataLogTest, IntervalZero_RowForEveryMessage1) {
    Options(false, false, 0);
    const std::string path = dir.File("i0.log");
    ASSERT_TRUE(log.Start(path, false));
    for (int i = 0; i < 5; ++i) {
        link.Feed(test::Msg1Frame(kThursdayMidnight + i * 0.2));
        clock.Advance(200);
    }
    log.Stop();
    EXPECT_EQ(log.RowsWritten(), 5u);
}

TEST_F(DataLogTest, IntervalOne_KeepsEvery1HzFixDespiteJitterButNot5Hz) {
    Options(false, false, 1);
    ASSERT_TRUE(log.Start(dir.File("i1.log"), false));
    // 1 Hz with up to 100 ms of jitter: 850 ms is enough.
    const std::uint32_t steps[] = {0, 900, 1100, 860, 1000};
    for (const std::uint32_t step : steps) {
        clock.Advance(step);
        link.Feed(test::Msg1Frame(kThursdayMidnight));
    }
    EXPECT_EQ(log.RowsWritten(), 5u);
    // 5 Hz: one row per second.
    for (int i = 0; i < 10; ++i) {
        clock.Advance(200);
        link.Feed(test::Msg1Frame(kThursdayMidnight));
    }
    EXPECT_EQ(log.RowsWritten(), 7u);
}

TEST_F(DataLogTest, FullLogSwitchedOnMidFile_WritesSecondLongerHeader) {
    Options(false, false, 0);
    const std::string path = dir.File("switch.log");
    Prime();
    ASSERT_TRUE(log.Start(path, false));
    Epoch(kThursdayMidnight);
    Options(true, false, 0);
    Epoch(kThursdayMidnight + 1);
    log.Stop();
    const auto lines = Lines(test::ReadFile(path));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0].starts_with("UTCDay\t"));
    EXPECT_EQ(Columns(lines[0]), 21u);
    EXPECT_TRUE(lines[2].starts_with("UTCDay\t"));
    EXPECT_EQ(Columns(lines[2]), 219u);
    EXPECT_EQ(Columns(lines[3]), 219u);
}

TEST_F(DataLogTest, Message99Rows_OnlyAfterMessage1SilentFor6s) {
    Options(false, false, 0);
    ASSERT_TRUE(log.Start(dir.File("fallback.log"), false));
    link.Feed(test::Msg1Frame(kThursdayMidnight));
    EXPECT_EQ(log.RowsWritten(), 1u);
    for (int i = 1; i <= 8; ++i) {
        clock.Advance(1000);
        link.Feed(test::Msg99Frame(kThursdayMidnight + i));
        SCOPED_TRACE(i);
        // At 6 s message 1 no longer counts as flowing.
        EXPECT_EQ(log.RowsWritten(), 1u + (i >= 6 ? static_cast<unsigned>(i - 5) : 0u));
    }
}

TEST_F(DataLogTest, AutoLog_PendingUntilValidTimeThenDayFilesAcrossMidnightAppended) {
    Options(false, false, 0, true);
    const std::string chosen = dir.File("run.txt");
    // An earlier run of the same day left its file.
    {
        std::ofstream earlier(dir.File("run-11-04-26.txt"), std::ios::binary);
        earlier << "earlier\r\n";
    }
    ASSERT_TRUE(log.Start(chosen, false));
    EXPECT_TRUE(log.IsPending());
    EXPECT_FALSE(log.IsOpen());

    // No time yet: nothing opens.
    link.Feed(test::Msg2Frame());
    link.Feed(test::Msg1Frame(0.0, 0));
    EXPECT_TRUE(log.IsPending());

    for (int s = -2; s <= 1; ++s) {
        clock.Advance(1000);
        link.Feed(test::Msg1Frame(kThursdayMidnight + s));
    }
    log.Stop();
    EXPECT_FALSE(std::filesystem::exists(chosen));
    const auto before = Lines(test::ReadFile(dir.File("run-11-04-26.txt")));
    ASSERT_EQ(before.size(), 4u);
    EXPECT_EQ(before[0], "earlier");
    EXPECT_TRUE(before[1].starts_with("UTCDay\t"));
    EXPECT_TRUE(before[2].starts_with("11/04/26\t23:59:58\t"));
    EXPECT_TRUE(before[3].starts_with("11/04/26\t23:59:59\t"));
    const auto after = Lines(test::ReadFile(dir.File("run-11-05-26.txt")));
    ASSERT_EQ(after.size(), 3u);
    EXPECT_TRUE(after[0].starts_with("UTCDay\t"));
    EXPECT_TRUE(after[1].starts_with("11/05/26\t00:00:00\t"));
}

TEST_F(DataLogTest, AutoLog_RestartSameDay_AppendsAfterNewHeader) {
    Options(false, false, 0, true);
    const std::string chosen = dir.File("day");
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(log.Start(chosen, false));
        clock.Advance(1000);
        link.Feed(test::Msg1Frame(kThursdayMidnight + 60 + run));
        log.Stop();
    }
    const auto lines = Lines(test::ReadFile(dir.File("day-11-05-26.LOG")));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[2].starts_with("UTCDay\t"));
}

TEST(DataLogRowTest, BerDashReplacedOnlyAfterFirstCharacter) {
    CManualTickClock clock;
    test::NotifiedDispatcher link{clock};
    CReferencePosition reference;
    const DataLogSources sources{
        Msg1View({}), Msg2View({}), Msg99View({}), Msg89View({}), Msg100View({}), &link.dispatcher.Rd1(), 0};
    link.Feed(TextLine("$RD1,1,2,3,4,-3-5,6"));
    std::string row;
    AppendDataLogRow(row, sources, reference, {});
    EXPECT_NE(row.find("	-3-5	6	"), std::string::npos) << row;
    link.Feed(TextLine("$RD1,1,2,3,4,30-5"));
    row.clear();
    AppendDataLogRow(row, sources, reference, {});
    EXPECT_NE(row.find("	30~5		"), std::string::npos) << row;
}

TEST(DayFileNameTest, ExtensionsLoneDotAndOneCharacter) {
    EXPECT_EQ(DayFileName("C:\\data\\run.txt", "12-05-26"), "C:\\data\\run-12-05-26.txt");
    EXPECT_EQ(DayFileName("/logs/run", "12-05-26"), "/logs/run-12-05-26.LOG");
    EXPECT_EQ(DayFileName("/logs/run.", "12-05-26"), "/logs/run-12-05-26.LOG");
    EXPECT_EQ(DayFileName("/logs/run.x", "12-05-26"), "/logs/run-12-05-26.x");
    EXPECT_EQ(DayFileName(".hidden", "12-05-26"), ".hidden-12-05-26.LOG");
    EXPECT_EQ(DayFileDateText("12/05/26  10:15:00"), "12-05-26");
    EXPECT_EQ(DayFileDateText("  1/05/26 x"), "1-05-26");
}

TEST_F(DataLogTest, FailedWrite_ClosesLogAndReportsOnce) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "needs /dev/full";
    }
    Options(false, false, 0);
    ASSERT_TRUE(log.Start("/dev/full", true));
    link.Feed(test::Msg1Frame(kThursdayMidnight));
    EXPECT_FALSE(log.IsOpen());
    EXPECT_FALSE(log.IsRecording());
    EXPECT_EQ(log.RowsWritten(), 0u);
    const auto failure = log.TakeFailure();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->path, "/dev/full");
    EXPECT_FALSE(failure->reason.empty());
    link.Feed(test::Msg1Frame(kThursdayMidnight + 1));
    EXPECT_FALSE(log.TakeFailure().has_value());
}

TEST_F(DataLogTest, RowsAreOnDiskBeforeTheLogCloses) {
    Options(false, false, 0);
    const std::string path = dir.File("flush.log");
    Prime();
    ASSERT_TRUE(log.Start(path, false));
    Epoch(kThursdayMidnight);
    EXPECT_EQ(Lines(test::ReadFile(path)).size(), 2u);
}

TEST_F(DataLogTest, UnopenablePath_StartFails) {
    Options(false, false);
    EXPECT_FALSE(log.Start(dir.File("missing/dir/x.log"), false));
    EXPECT_FALSE(log.IsRecording());
}

}  // namespace
}  // namespace zarnmon
