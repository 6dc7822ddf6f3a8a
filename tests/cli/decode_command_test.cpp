#include "cli/decode_command.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/command_outcome.h"
#include "core/link/bin_catalogue.h"
#include "core/link/frame_builder.h"
#include "support/temp_dir.h"

namespace zarnmon::cli {
namespace {

struct Run {
    int status;
    std::string out;
    std::string err;
    std::vector<nlohmann::json> lines;
};

Run Decode(std::vector<std::string_view> args) {
    const test::CommandOutcome outcome = test::Invoke(RunDecode, args);
    Run run{outcome.status, outcome.out, outcome.err, {}};
    for (const std::string& line : outcome.lines) {
        if (line.starts_with('{')) {
            run.lines.push_back(nlohmann::json::parse(line));
        }
    }
    return run;
}

class DecodeCommandTest : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes) const {
        const std::filesystem::path path = dir_.File("recording.zbin");
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    zarnmon::test::TempDir dir_;
};

TEST_F(DecodeCommandTest, Decode_PrintsFieldsTextAndSummaryInStoredOrder) {
    CBinFrameBuilder m1(1);
    m1.Set(msg1::GpsWeek, std::uint16_t{2000}).Set(msg1::GpsTimeOfWeek, 100018.7).Set(msg1::Latitude, 51.5);
    CBinFrameBuilder m99(99);
    m99.Set(msg99::GpsUtcDiff, std::int8_t{18}).Set(chan::Prn, std::uint8_t{17}, msg99::kChannelsOffset + 24);
    const auto f1 = m1.Build();
    const auto f99 = m99.Build();
    std::string bytes = "noise!";
    bytes.append(f99.begin(), f99.end());
    bytes.append(f1.begin(), f1.end());
    bytes += "$GPGGA,\xb0\"quoted\"\r\n";
    const auto path = Write(bytes);

    for (const std::string_view chunk : {"1", "5", "1024"}) {
        SCOPED_TRACE(chunk);
        const auto run = Decode({"--chunk", chunk, path});
        ASSERT_EQ(run.status, kExitOk) << run.err;
        ASSERT_EQ(run.lines.size(), 4u);
        EXPECT_EQ(run.lines[0]["seq"], 1);
        EXPECT_EQ(run.lines[0]["handler"], "Msg99");
        EXPECT_EQ(run.lines[0]["slot"], 5);
        EXPECT_EQ(run.lines[0]["length"], 316);
        EXPECT_EQ(run.lines[0]["fields"]["Channels"][1]["Prn"], 17);
        EXPECT_EQ(run.lines[0]["fields"]["Channels"].size(), 12u);
        EXPECT_EQ(run.lines[1]["fields"]["Latitude"], 51.5);
        EXPECT_EQ(run.lines[1]["fields"]["Utc"], "05/07/18  03:46:40") << "corrected by message 99's offset";
        EXPECT_EQ(run.lines[2]["handler"], "NmeaHandler");
        EXPECT_EQ(run.lines[2]["text"], "$GPGGA,\u00b0\"quoted\"\r\n");
        EXPECT_EQ(run.lines[2]["length"], 18);
        EXPECT_EQ(run.lines[3]["summary"]["dropped"], 6);
        EXPECT_EQ(run.lines[3]["summary"]["stored"]["Msg99"], 1);
        EXPECT_EQ(run.lines[3]["summary"]["stored"]["NmeaHandler"], 1);
    }
}

TEST_F(DecodeCommandTest, Decode_RoutedAcknowledgementsAppearUnderTheBeaconHandler) {
    const auto run = Decode({Write("$PCSI,ACK,1\r\n$PCSI,2\r\n")});
    ASSERT_EQ(run.status, kExitOk);
    ASSERT_EQ(run.lines.size(), 4u);
    EXPECT_EQ(run.lines[0]["handler"], "BeaconReplyHandler");
    EXPECT_EQ(run.lines[0]["slot"], 20);
    EXPECT_EQ(run.lines[1]["handler"], "BeaconReplyHandler");
    EXPECT_EQ(run.lines[2]["handler"], "NmeaHandler");
}

TEST_F(DecodeCommandTest, BadArguments_ExplainAndExitTwo) {
    const auto file = Write("x");
    for (const auto& args : std::vector<std::vector<std::string_view>>{
             {},
             {"--chunk"},
             {"--chunk", "0", file},
             {"--chunk", "12k", file},
             {"--frobnicate", file},
             {file, file},
             {"/nonexistent/zarnmon/recording"},
         }) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const auto run = Decode(args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find("zarnmon-cli decode:"), std::string::npos) << run.err;
    }
    const auto help = Decode({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_NE(help.out.find("--chunk N"), std::string::npos);
}

TEST_F(DecodeCommandTest, Chunk_OutsideOneByteToAMegabyte_ExitsTwoNamingTheRange) {
    const auto file = Write("$GPGGA,1\r\n");
    for (const std::string_view chunk :
         {"0", "1048577", "99999999999999", "99999999999999999999999", "-1", "+5", "1e3", "0x10", " 5", ""}) {
        SCOPED_TRACE(chunk);
        const auto run = Decode({"--chunk", chunk, file});
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find("--chunk takes a whole number of bytes from 1 to 1048576"), std::string::npos)
            << run.err;
    }
    const auto largest = Decode({"--chunk=1048576", file});
    EXPECT_EQ(largest.status, kExitOk) << largest.err;
    ASSERT_FALSE(largest.lines.empty());
    EXPECT_EQ(largest.lines[0]["handler"], "NmeaHandler");
}

}  // namespace
}  // namespace zarnmon::cli
