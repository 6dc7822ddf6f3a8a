#include "cli/neu_command.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "support/sim_recording.h"
#include "support/temp_dir.h"

namespace zarnmon::cli {
namespace {

using test::Invoke;
using Outcome = test::CommandOutcome;
using zarnmon::test::TempDir;

constexpr const char* kHeader = "# TOW\tN\tE\tU\tNorth(m)\tEast(m)\tUp(m)";
// Where the simulated receiver stands, or drives its 40 m circle around.
constexpr const char* kSimCentre = "51.0447,-114.0719,1048";

Outcome Neu(const std::vector<std::string>& args) { return Invoke(&RunNeu, args); }

// The simulated receiver's messages 1 and 2 for the given seconds.
std::string SimulatorRecording(const TempDir& dir, int seconds, sim::Motion motion) {
    sim::SimConfig config;
    config.motion = motion;
    return zarnmon::test::WriteSimRecording(dir, {.seconds = seconds, .outputs = "1,2", .config = config});
}

std::string WriteFile(const TempDir& dir, const std::string& name, const std::string& text) {
    const auto path = dir.File(name);
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

// The value after "# NAME " in the summary.
double Figure(const Outcome& outcome, const std::string& name) {
    const std::string prefix = "# " + name + " ";
    for (const std::string& line : outcome.lines) {
        if (line.starts_with(prefix)) {
            return std::stod(line.substr(prefix.size()));
        }
    }
    ADD_FAILURE() << "no line " << prefix;
    return 0.0;
}

// The sample lines: neither the header nor the summary.
std::vector<std::string> SampleLines(const Outcome& outcome) {
    std::vector<std::string> lines;
    for (const std::string& line : outcome.lines) {
        if (!line.starts_with("#")) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(NeuCommandTest, Help_ExitsZero) {
    const Outcome outcome = Neu({"--help"});
    EXPECT_EQ(outcome.status, kExitOk);
    EXPECT_NE(outcome.out.find("usage: zarnmon-cli neu"), std::string::npos);
}

TEST(NeuCommandTest, BadArguments_ExitTwoWithAMessage) {
    const TempDir dir;
    const std::string rec = WriteFile(dir, "empty.zbin", "");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {rec, "--minutes", "0"},
        {rec, "--minutes", "1441"},
        {rec, "--minutes=ten"},
        {rec, "--range", "0.05"},
        {rec, "--range", "2000.5"},
        {rec, "--range"},
        {rec, "--ref", "0,0,0"},
        {rec, "--ref", "91,0,0"},
        {rec, "--ref", "51,-114"},
        {rec, "--settings", dir.File("missing.ini").string()},
        {rec, "--bogus"},
        {dir.File("missing.zbin").string()},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const Outcome outcome = Neu(args);
        EXPECT_EQ(outcome.status, kExitUsage);
        EXPECT_FALSE(outcome.err.empty());
        EXPECT_TRUE(outcome.out.empty());
    }
}

TEST(NeuCommandTest, NoMessage1_HeaderAndZeroSamples) {
    const TempDir dir;
    const Outcome outcome = Neu({WriteFile(dir, "empty.zbin", "$GPGGA,junk\r\n")});
    EXPECT_EQ(outcome.status, kExitOk);
    ASSERT_EQ(outcome.lines.size(), 2U);
    EXPECT_EQ(outcome.lines[0], kHeader);
    EXPECT_EQ(outcome.lines[1], "# samples 0");
}

TEST(NeuCommandTest, CircleAroundTheReference_Cep50Near40Metres) {
    const TempDir dir;
    const Outcome outcome = Neu({SimulatorRecording(dir, 300, sim::Motion::Circle), "--ref", kSimCentre});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    EXPECT_EQ(outcome.lines.front(), kHeader);
    // 300 s at the default 2 s per sample.
    EXPECT_EQ(SampleLines(outcome).size(), 150U);
    EXPECT_EQ(Figure(outcome, "samples"), 150.0);
    EXPECT_NEAR(Figure(outcome, "CEP50"), 40.0, 1.0);
    EXPECT_NEAR(Figure(outcome, "CEP95"), 40.0, 2.0);
    EXPECT_NEAR(Figure(outcome, "2DRMS"), 80.0, 2.0);
    // Around the centre, north and east each swing with a 40 / sqrt(2) m deviation.
    EXPECT_NEAR(Figure(outcome, "stddev"), 40.0 / std::sqrt(2.0), 2.0);
}

TEST(NeuCommandTest, SampleLine_TimeIntegersAndMetres) {
    const TempDir dir;
    const Outcome outcome =
        Neu({SimulatorRecording(dir, 20, sim::Motion::Circle), "--ref", kSimCentre, "--minutes", "1"});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    const auto lines = SampleLines(outcome);
    ASSERT_EQ(lines.size(), 20U);  // 1 minute: a sample a second
    double tow = 0.0;
    int north = 0;
    int east = 0;
    int up = 0;
    double northMetres = 0.0;
    double eastMetres = 0.0;
    double upMetres = 0.0;
    ASSERT_EQ(std::sscanf(lines[5].c_str(), "%lf\t%d\t%d\t%d\t%lf\t%lf\t%lf", &tow, &north, &east, &up, &northMetres,
                          &eastMetres, &upMetres),
              7);
    EXPECT_DOUBLE_EQ(tow, 345605.0);
    // The stored integers are the metres x 160 (+ 0.5, truncated toward zero).
    EXPECT_NEAR(north, northMetres * 160 + 0.5, 1.0);
    EXPECT_NEAR(east, eastMetres * 160 + 0.5, 1.0);
    EXPECT_NEAR(std::hypot(northMetres, eastMetres), 40.0, 0.5);
}

TEST(NeuCommandTest, WithoutReference_FirstPositionBecomesIt) {
    const TempDir dir;
    const Outcome outcome = Neu({SimulatorRecording(dir, 20, sim::Motion::Circle), "--minutes", "1"});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    const auto lines = SampleLines(outcome);
    ASSERT_FALSE(lines.empty());
    int north = 1;
    int east = 1;
    int up = 1;
    double northMetres = 1.0;
    double eastMetres = 1.0;
    ASSERT_EQ(
        std::sscanf(lines.front().c_str(), "%*f\t%d\t%d\t%d\t%lf\t%lf", &north, &east, &up, &northMetres, &eastMetres),
        5);
    EXPECT_EQ(north, 0);
    EXPECT_EQ(east, 0);
    EXPECT_EQ(up, 0);
    // Only what the profile's "%.8lf" degrees leave, a millimetre at most.
    EXPECT_LT(std::hypot(northMetres, eastMetres), 0.001);
}

TEST(NeuCommandTest, SettingsLocationAndPlot_UsedAndNeverWritten) {
    const TempDir dir;
    const std::string profile =
        "[Location]\nLatitude=51.04470000\nLongitude=-114.07190000\nHeight=1048.0000\n"
        "[PlotSettings]\nMinutes=1\nMaxMeters=0.5\n";
    const std::string ini = WriteFile(dir, "zarnmon.ini", profile);
    const Outcome outcome = Neu({SimulatorRecording(dir, 20, sim::Motion::Circle), "--settings", ini});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    EXPECT_EQ(SampleLines(outcome).size(), 20U);       // Minutes=1
    EXPECT_NEAR(Figure(outcome, "CEP50"), 40.0, 1.0);  // the stored centre, not the first position
    std::ifstream in(ini, std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, profile);
}

TEST(NeuCommandTest, OptionsOverrideSettings) {
    const TempDir dir;
    const std::string ini = WriteFile(dir, "zarnmon.ini", "[PlotSettings]\nMinutes=1\n");
    const Outcome outcome =
        Neu({SimulatorRecording(dir, 20, sim::Motion::Circle), "--settings", ini, "--minutes=30", "--ref", kSimCentre});
    ASSERT_EQ(outcome.status, kExitOk) << outcome.err;
    EXPECT_EQ(SampleLines(outcome).size(), 10U);
}

}  // namespace
}  // namespace zarnmon::cli
