#include "sim/sim_options.h"

#include <sstream>
#include <vector>

#include <gtest/gtest.h>

namespace zarnmon::sim {
namespace {

std::optional<SimOptions> Parse(std::vector<std::string_view> args, std::string* error = nullptr) {
    std::ostringstream err;
    auto options = ParseSimOptions(args, err);
    if (error != nullptr) {
        *error = err.str();
    }
    return options;
}

TEST(SimOptions, GoodCommandLine_FillsEveryField) {
    const auto options = Parse({"--out",      "x.bin",    "--seconds",    "3600",       "--seed",
                                "7",          "--start",  "2300,100.5",   "--position", "45.5,-75.25,80",
                                "--motion",   "circle",   "--geos",       "3",          "--arm-version",
                                "4.2",        "--enable", "1,2,GPGGA,D1", "--noise",    "0.01",
                                "--truncate", "0.5",      "--burst",      "1",          "--lband-fade",
                                "0.25"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->transport, Transport::File);
    EXPECT_EQ(options->outPath, "x.bin");
    EXPECT_DOUBLE_EQ(options->seconds, 3600);
    EXPECT_EQ(options->config.seed, 7u);
    EXPECT_EQ(options->config.startWeek, 2300);
    EXPECT_DOUBLE_EQ(options->config.startSeconds, 100.5);
    EXPECT_DOUBLE_EQ(options->config.longitude, -75.25);
    EXPECT_EQ(options->config.motion, Motion::Circle);
    EXPECT_EQ(options->geoCount, 3);
    EXPECT_DOUBLE_EQ(options->config.armVersion, 4.2);
    EXPECT_DOUBLE_EQ(options->faults.truncatedFrame, 0.5);
    EXPECT_DOUBLE_EQ(options->faults.burst, 1.0);
    EXPECT_DOUBLE_EQ(options->faults.lbandFade, 0.25);

    ASSERT_TRUE(Parse({"--tcp", "4001"}));
    EXPECT_EQ(Parse({"--tcp", "4001"})->tcpPort, 4001);
    EXPECT_TRUE(Parse({"--pty", "--enable", "all"}));
    EXPECT_TRUE(Parse({"--help"})->help);
}

TEST(SimOptions, BadCommandLine_SaysWhatIsWrong) {
    for (const auto& [args, complaint] : std::vector<std::pair<std::vector<std::string_view>, std::string>>{
             {{}, "choose a transport"},
             {{"--out", "x"}, "--out needs --seconds"},
             {{"--tcp", "0"}, "port"},
             {{"--tcp", "70000"}, "port"},
             {{"--pty", "--enable", "1,GPXYZ"}, "unknown output 'GPXYZ'"},
             {{"--pty", "--start", "2300"}, "WEEK,SECONDS"},
             {{"--pty", "--start", "2300,604800"}, "WEEK,SECONDS"},
             {{"--pty", "--position", "95,0,0"}, "LAT,LON,HEIGHT"},
             {{"--pty", "--motion", "zigzag"}, "static or circle"},
             {{"--pty", "--noise", "1.5"}, "--noise"},
             {{"--pty", "--lband-fade", "-0.1"}, "--lband-fade"},
             {{"--pty", "--geos", "4"}, "1, 2 or 3"},
             {{"--pty", "--seed"}, "needs a value"},
             {{"--pty", "--frobnicate", "1"}, "unknown option"},
             {{"stray"}, "unexpected argument"},
         }) {
        std::string error;
        EXPECT_FALSE(Parse(args, &error));
        EXPECT_NE(error.find(complaint), std::string::npos) << error;
        EXPECT_TRUE(error.starts_with("zarnmon-sim: ")) << error;
    }
}

}  // namespace
}  // namespace zarnmon::sim
