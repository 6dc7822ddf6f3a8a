#include "core/state/sky_plot.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "core/link/tick_clock.h"
#include "support/sky_frames.h"

namespace zarnmon {
namespace {

using test::Msg100With;
using test::Msg2With;
using test::Msg89With;
using test::Msg98With;
using test::Msg99With;

constexpr double kRadius = 100.0;
constexpr std::uint16_t kCno30 = 20000;  // 30.1 dB

TEST(PolarOffsetTest, NorthUpEastRightZenithAtTheCentre) {
    struct Case {
        SkyPosition position;
        double x;
        double y;
    };
    for (const Case& c :
         {Case{{0, 0}, 0.0, -kRadius}, Case{{90, 0}, kRadius, 0.0}, Case{{180, 0}, 0.0, kRadius},
          Case{{270, 0}, -kRadius, 0.0}, Case{{123, 90}, 0.0, 0.0}, Case{{90, 45}, kRadius / 2, 0.0},
          Case{{0, 60}, 0.0, -kRadius / 3}, Case{{45, 0}, kRadius / std::sqrt(2.0), -kRadius / std::sqrt(2.0)},
          // Outside 0..90 the nearer end holds.
          Case{{90, -12}, kRadius, 0.0}, Case{{90, 120}, 0.0, 0.0}}) {
        SCOPED_TRACE(testing::Message() << "azimuth " << c.position.azimuth << " elevation " << c.position.elevation);
        const PlotOffset offset = PolarOffset(c.position, kRadius);
        EXPECT_NEAR(offset.x, c.x, 1e-9);
        EXPECT_NEAR(offset.y, c.y, 1e-9);
    }
}

class SkyPlotTest : public ::testing::Test {
protected:
    void Feed(const CBinFrameBuilder& frame) { dispatcher.Feed(frame.Build()); }
    [[nodiscard]] std::vector<SkySatellite> Sky() const {
        return SkySatellites(dispatcher, SampleChannelUse(dispatcher));
    }
    [[nodiscard]] ChannelSignal Signal(int channel) const {
        return SignalOfChannel(dispatcher, SampleChannelUse(dispatcher), channel);
    }
    [[nodiscard]] const SkySatellite* Find(const std::vector<SkySatellite>& sky, int prn) const {
        const auto found = std::ranges::find(sky, prn, &SkySatellite::prn);
        return found == sky.end() ? nullptr : &*found;
    }

    CManualTickClock clock;
    CMsgDispatcher dispatcher{clock};
};

TEST_F(SkyPlotTest, TrackedUsedAndAlmanacSatellitesFromTheMessages) {
    Feed(Msg98With({{.prn = 5, .elevation = 40, .azimuthHalf = 10},
                    {.prn = 7, .elevation = 12, .azimuthHalf = 100},
                    {.prn = 9, .elevation = 30, .status = 0},   // "NoInfo"
                    {.prn = 10, .elevation = 30, .status = 4},  // "NoSuch"
                    {.prn = 11, .elevation = -5, .azimuthHalf = 3},
                    {.prn = 20, .elevation = 8, .azimuthHalf = 7}}));
    Feed(Msg99With({{.channel = 0, .prn = 5, .elevation = 41, .azimuthHalf = 11, .cnoRaw = kCno30},
                    {.channel = 3, .prn = 12, .elevation = 70, .azimuthHalf = 150, .cnoRaw = 0},
                    {.channel = 4, .prn = 20, .elevation = -2},
                    // A record whose channel number is not its own is not a tracked channel.
                    {.channel = 6, .prn = 25, .channelNumber = 9},
                    // The same satellite on a second channel is placed once.
                    {.channel = 7, .prn = 5, .elevation = 10}}));
    Feed(Msg89With({{.channel = 12, .prn = 133, .elevation = 30, .azimuthHalf = 110},
                    {.channel = 13, .prn = 138, .elevation = 25, .azimuthHalf = 120}},
                   0x01));
    Feed(Msg2With(1U << 4));

    const std::vector<SkySatellite> sky = Sky();
    std::vector<int> prns;
    for (const SkySatellite& satellite : sky) {
        prns.push_back(satellite.prn);
    }
    // Tracked in channel order, then the almanac's own by PRN; satellite 20
    // is tracked below the horizon, so the almanac does not place it either.
    EXPECT_EQ(prns, (std::vector<int>{5, 12, 133, 138, 7}));

    EXPECT_EQ(Find(sky, 5)->use, SkyUse::Used);
    EXPECT_EQ(Find(sky, 5)->position, (SkyPosition{22, 41})) << "the channel's place, not the almanac's";
    ASSERT_TRUE(Find(sky, 5)->cno.has_value());
    EXPECT_NEAR(*Find(sky, 5)->cno, 30.1, 0.05);
    EXPECT_EQ(Find(sky, 12)->use, SkyUse::Tracked);
    EXPECT_EQ(Find(sky, 12)->cno, 0.0) << "a measured nothing is still a value";
    EXPECT_EQ(Find(sky, 133)->use, SkyUse::Used) << "bit 0 of message 89's mask";
    EXPECT_EQ(Find(sky, 138)->use, SkyUse::Tracked);
    EXPECT_EQ(Find(sky, 7)->use, SkyUse::AlmanacOnly);
    EXPECT_EQ(Find(sky, 7)->position, (SkyPosition{200, 12}));
    EXPECT_FALSE(Find(sky, 7)->cno.has_value()) << "the almanac has no C/No";
}

TEST_F(SkyPlotTest, ChannelDataOlderThanTheRuleFallsBackToTheAlmanac) {
    Feed(Msg98With({{.prn = 5, .elevation = 40, .azimuthHalf = 10}}));
    Feed(Msg99With({{.channel = 0, .prn = 5, .elevation = 41}, {.channel = 1, .prn = 12}}));
    Feed(Msg89With({{.channel = 12, .prn = 133}}));
    clock.Advance(CMsgDispatcher::kActiveMs - 1);
    EXPECT_EQ(Sky().size(), 3U);
    EXPECT_EQ(Signal(0).prn, 5);

    clock.Advance(1);
    const std::vector<SkySatellite> sky = Sky();
    ASSERT_EQ(sky.size(), 1U);
    EXPECT_EQ(sky[0].prn, 5);
    EXPECT_EQ(sky[0].use, SkyUse::AlmanacOnly);
    EXPECT_EQ(sky[0].position, (SkyPosition{20, 40}));
    EXPECT_EQ(Signal(0), ChannelSignal{}) << "a stale channel charts nothing";
    EXPECT_EQ(Signal(12), ChannelSignal{});

    // The almanac has no age: it stays.
    clock.Advance(600000);
    EXPECT_EQ(Sky().size(), 1U);
}

TEST_F(SkyPlotTest, UseNeedsTheSolutionMessagesToFlow) {
    Feed(Msg2With(1U << 4));
    clock.Advance(CMsgDispatcher::kActiveMs);
    Feed(Msg99With({{.channel = 0, .prn = 5}}));
    EXPECT_EQ(Sky().at(0).use, SkyUse::Tracked) << "message 2 stopped";
    EXPECT_FALSE(Signal(0).used);
    Feed(Msg2With(1U << 4));
    EXPECT_EQ(Sky().at(0).use, SkyUse::Used);
    EXPECT_TRUE(Signal(0).used);
}

TEST_F(SkyPlotTest, SignalsPairL1AndL2ByPrnWhileMessage100Flows) {
    Feed(Msg99With({{.channel = 0, .prn = 5, .cnoRaw = kCno30}, {.channel = 1, .prn = 8}}));
    Feed(Msg89With({{.channel = 12, .prn = 133}}, 0x01));
    Feed(Msg100With({{.record = 4, .prn = 5, .l2CnoRaw = 2000}}));

    const ChannelSignal gps = Signal(0);
    EXPECT_EQ(gps.prn, 5);
    ASSERT_TRUE(gps.l1 && gps.l2);
    EXPECT_NEAR(*gps.l1, 30.1, 0.05);
    EXPECT_NEAR(*gps.l2, 20.7, 0.05);
    EXPECT_FALSE(Signal(1).l2.has_value()) << "message 100 does not carry PRN 8";
    EXPECT_EQ(Signal(12).prn, 133);
    EXPECT_TRUE(Signal(12).used);
    EXPECT_FALSE(Signal(12).l2.has_value());
    EXPECT_EQ(Signal(2), ChannelSignal{}) << "an idle channel";
    EXPECT_EQ(Signal(15), ChannelSignal{}) << "no such channel";

    clock.Advance(CMsgDispatcher::kActiveMs);
    Feed(Msg99With({{.channel = 0, .prn = 5}}));
    EXPECT_FALSE(Signal(0).l2.has_value()) << "message 100 stopped";
}

TEST(SkyTrailsTest, KeepsTheLastDistinctPositionsOfSatellitesInTheSky) {
    CSkyTrails trails;
    const auto sky = [](int prn, int azimuth, int elevation) {
        return std::vector<SkySatellite>{
            {.prn = prn, .position = {azimuth, elevation}, .use = SkyUse::Tracked, .cno = 30.0}};
    };
    trails.Follow(sky(5, 10, 20));
    trails.Follow(sky(5, 10, 20));
    EXPECT_EQ(trails.Trail(5).size(), 1U) << "a satellite standing still keeps one position";

    for (int step = 1; step <= 30; ++step) {
        trails.Follow(sky(5, 10 + 2 * step, 20));
    }
    const std::span<const SkyPosition> trail = trails.Trail(5);
    ASSERT_EQ(trail.size(), CSkyTrails::kLength);
    EXPECT_EQ(trail.back(), (SkyPosition{70, 20})) << "the current position last";
    EXPECT_EQ(trail.front(), (SkyPosition{70 - 2 * static_cast<int>(CSkyTrails::kLength - 1), 20}));

    trails.Follow(sky(7, 0, 5));
    EXPECT_TRUE(trails.Trail(5).empty()) << "satellite 5 left the sky";
    EXPECT_EQ(trails.Trail(7).size(), 1U);
    EXPECT_EQ(trails.Satellites(), 1U);
}

TEST_F(SkyPlotTest, PictureFollowsTheTrailsOnEveryUpdate) {
    CSkyPicture picture;
    for (std::uint8_t azimuthHalf = 10; azimuthHalf < 40; ++azimuthHalf) {
        Feed(Msg99With({{.channel = 2, .prn = 17, .azimuthHalf = azimuthHalf}}));
        picture.Update(dispatcher);
    }
    EXPECT_EQ(picture.Trails().Trail(17).size(), CSkyTrails::kLength);
    EXPECT_EQ(picture.Signal(2).prn, 17);
    ASSERT_EQ(picture.Sky().size(), 1U);
    EXPECT_EQ(picture.Sky()[0].position.azimuth, 78);
}

}  // namespace
}  // namespace zarnmon
