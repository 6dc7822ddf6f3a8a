#include "cli/iono_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "core/app/settings_keys.h"
#include "core/app/settings_store.h"
#include "core/waas/waas_decoder.h"
#include "core/waas/waas_non_volatile.h"
#include "sim/iono_model.h"
#include "sim/sim_config.h"
#include "sim/sim_receiver.h"
#include "sim/waas_broadcast.h"
#include "support/temp_dir.h"

namespace zarnmon::cli {
namespace {

using Run = test::CommandOutcome;

Run Iono(std::vector<std::string_view> args) { return test::Invoke(RunIono, args); }

// Two and a half minutes of a simulated receiver sending only message 80,
// with the line noise of a real recording: every WAAS block at least once.
std::vector<std::uint8_t> Recording(const sim::SimConfig& config) {
    sim::CSimReceiver receiver(config);
    std::string bad;
    EXPECT_TRUE(receiver.Schedule().Enable("80,GPGGA", bad)) << bad;
    std::vector<std::uint8_t> bytes;
    for (int s = 0; s < 150; ++s) {
        receiver.Advance(1000);
        receiver.TakeOutput(bytes);
    }
    receiver.TakeOutput(bytes, true);
    return bytes;
}

class IonoCommandTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const auto path = dir_.File(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    zarnmon::test::TempDir dir_;
};

TEST_F(IonoCommandTest, SimulatedRecording_PrintsModelDelaysAtGridPointsAndNoneFarAway) {
    const sim::SimConfig config;  // Calgary
    const auto path = Write("calgary.zbin", Recording(config));

    const auto run = Iono({path, "--points", "-115,50; -110,45;100,-40", "--extend", "1"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    ASSERT_EQ(run.lines.size(), 3U) << run.out;
    double delay = 0.0;
    ASSERT_EQ(std::sscanf(run.lines[0].c_str(), "-115 50 %lf", &delay), 1) << run.lines[0];
    // Received somewhere in the last two minutes; the model drifts slowly.
    EXPECT_NEAR(delay, sim::VerticalDelayMetres(50.0, -115.0, config.startSeconds + 120.0), 0.25);
    EXPECT_TRUE(run.lines[1].starts_with("-110 45 ")) << run.lines[1];
    EXPECT_EQ(run.lines[2], "100 -40 9999.000");
}

TEST_F(IonoCommandTest, Igp_ListsEveryReceivedPointAsTheDecoderFedDirectlySeesIt) {
    const sim::SimConfig config;
    const auto bytes = Recording(config);
    const auto path = Write("calgary.zbin", bytes);

    CWaasDecoder direct;
    sim::ForEachMessage(std::span<const std::uint8_t>(bytes), [&](std::span<const std::uint8_t> message) {
        if (sim::HandlerFor(message) == "Msg80") {
            (void)direct.ProcessWaasRecord(message);
        }
    });
    std::vector<std::string> expected;
    std::size_t masked = 0;
    const sim::CWaasBroadcaster broadcaster(config);
    for (const auto& mask : broadcaster.Masks()) {
        masked += mask.igps.size();
    }
    for (int band = 0; band < IonoGrid::kBands; ++band) {
        for (int i = 0; i < IonoGrid::kEntriesPerBand; ++i) {
            const auto value = direct.Grid().igp[static_cast<std::size_t>(band)][static_cast<std::size_t>(i)];
            if (value != IonoGrid::kNeverReceived) {
                expected.push_back(std::to_string(band) + " " + std::to_string(i) + " " + std::to_string(value >> 4) +
                                   " " + std::to_string(value & 0xF));
            }
        }
    }

    const auto run = Iono({"--igp", path});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.lines, expected);
    EXPECT_EQ(run.lines.size(), masked);
}

TEST_F(IonoCommandTest, Settings_AreWrittenAndCarryTheMasksIntoTheNextRun) {
    const sim::SimConfig config;
    const auto path = Write("calgary.zbin", Recording(config));
    const auto settings = (dir_.Path() / "zarnmon.ini").string();

    const auto first = Iono({path, "--settings", settings});
    ASSERT_EQ(first.status, kExitOk) << first.err;
    EXPECT_TRUE(first.out.empty());
    CSettingsStore store;
    ASSERT_TRUE(store.Load(settings).ok);
    CWaasNonVolatile block(&store);
    EXPECT_TRUE(block.Load());
    const auto& words = block.Words();
    EXPECT_TRUE(std::any_of(words.begin() + CWaasNonVolatile::kFirstRecordWord, words.end(), [](std::uint32_t word) {
        return word != 0;
    })) << "band masks were kept";

    // The same run again finds everything known: the file does not change.
    std::stringstream before;
    before << std::ifstream(settings).rdbuf();
    ASSERT_EQ(Iono({path, "--settings=" + settings}).status, kExitOk);
    std::stringstream after;
    after << std::ifstream(settings).rdbuf();
    EXPECT_EQ(after.str(), before.str());
}

TEST_F(IonoCommandTest, NoWaasInTheRecording_PrintsNoDelayAndLeavesNoSettings) {
    const auto path = Write("empty.zbin", {'$', 'G', 'P', 'x', '\r', '\n'});
    const auto settings = (dir_.Path() / "zarnmon.ini").string();
    const auto run = Iono({path, "--points=10,10", "--igp", "--extend=0", "--settings", settings});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.lines, std::vector<std::string>{"10 10 9999.000"});
    EXPECT_FALSE(std::filesystem::exists(settings));
}

TEST_F(IonoCommandTest, BadArguments_ExplainAndExitTwo) {
    const auto file = Write("x.zbin", {'x'});
    for (const auto& args : std::vector<std::vector<std::string_view>>{
             {},
             {"--igp"},
             {file, "--extend"},
             {file, "--extend", "2"},
             {file, "--points", ""},
             {file, "--points", "10"},
             {file, "--points", "10,95"},
             {file, "--points", "abc,10"},
             {file, "--points", "10,10;20"},
             {file, "--points", "361,10"},
             {file, "--points", "-361,10"},
             {file, "--points", "10,-91"},
             {file, "--points", "nan,10"},
             {file, "--points", "10,inf"},
             {file, "--points", "1e999,10"},
             {file, "--settings"},
             {file, "--frobnicate"},
             {file, file},
             {"/nonexistent/zarnmon/recording"},
         }) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const auto run = Iono(args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find("zarnmon-cli iono:"), std::string::npos) << run.err;
    }
    const auto help = Iono({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_NE(help.out.find("--points LIST"), std::string::npos);
}

}  // namespace
}  // namespace zarnmon::cli
