#include "sim/sky_model.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "sim/dop.h"

namespace zarnmon::sim {
namespace {

constexpr std::uint8_t kFullLock = 0x0F;

// North, east and up of a point from the configured one, m.
Enu FromCentre(const SimConfig& config, const Geodetic& point) {
    return {(point.longitude - config.longitude) * MetresPerDegreeLongitude(config.latitude, config.height),
            (point.latitude - config.latitude) * MetresPerDegreeLatitude(config.latitude, config.height),
            point.height - config.height};
}

bool Tracks(const CSkyModel& model, int prn) {
    return std::ranges::any_of(model.Channels(), [prn](const ChannelState& c) { return c.prn == prn; });
}

std::set<int> TrackedPrns(const CSkyModel& model) {
    std::set<int> prns;
    for (const ChannelState& c : model.Channels()) {
        if (c.prn != 0) {
            prns.insert(c.prn);
        }
    }
    return prns;
}

// ---------------------------------------------------------------------------
// Time

TEST(SkyModelTime, EndOfWeek_CarriesIntoTheNextWeek) {
    SimConfig config;
    config.startSeconds = 604790.0;
    CSkyModel model(config);
    model.AdvanceTo(15.5);
    EXPECT_EQ(model.Week(), config.startWeek + 1);
    EXPECT_NEAR(model.SecondsOfWeek(), 5.5, 1e-6);
}

TEST(SkyModelTime, EarlierTime_ChangesNothing) {
    CSkyModel model(SimConfig{});
    model.AdvanceTo(20.0);
    const double before = model.SecondsOfWeek();
    model.AdvanceTo(10.0);
    EXPECT_EQ(model.SecondsOfWeek(), before);
}

// ---------------------------------------------------------------------------
// Channels and solution

class SkyModelRun : public ::testing::Test {
protected:
    SimConfig config;
};

TEST_F(SkyModelRun, Acquisition_LockBuildsUpToFullAndTheFixFollows) {
    CSkyModel model(config);
    for (const ChannelState& c : model.Channels()) {
        if (c.prn != 0) {
            EXPECT_EQ(c.trackFlags, 0x01) << "code lock only, just acquired";
        }
    }
    EXPECT_EQ(model.CurrentSolution().fix, FixType::None);
    model.AdvanceTo(1.0);
    for (const ChannelState& c : model.Channels()) {
        if (c.prn != 0) {
            EXPECT_EQ(c.trackFlags & 0x03, 0x03) << "carrier locked after half a second";
        }
    }
    // Frame sync at the next subframe boundary (6 s) brings the fix; the
    // L-band corrections follow 5 s later.
    for (double t = 1.0; t <= 12.0; t += 0.5) {
        model.AdvanceTo(t);
    }
    int tracked = 0;
    for (const ChannelState& c : model.Channels()) {
        if (c.prn != 0) {
            SCOPED_TRACE(c.prn);
            ++tracked;
            EXPECT_EQ(c.trackFlags, kFullLock);
            EXPECT_GE(c.subframes, 1);
            EXPECT_EQ(c.ephState & 0x03, 2) << "warm start: ephemeris known";
        }
    }
    EXPECT_GE(tracked, 6);
    EXPECT_EQ(model.CurrentSolution().fix, FixType::ThreeD);
    EXPECT_TRUE(model.CurrentSolution().differential);
    EXPECT_EQ(NavModeOf(model.CurrentSolution()), 4) << "3-D DIFF";
}

TEST_F(SkyModelRun, TwoHours_UsedSatellitesAreTrackedAndCountedAndDopsPlausible) {
    CSkyModel model(config);
    for (double t = 0.0; t <= 7200.0; t += 1.0) {
        model.AdvanceTo(t);
        if (t < 15.0 || std::fmod(t, 10.0) != 0.0) {
            continue;
        }
        SCOPED_TRACE(t);
        const Solution& s = model.CurrentSolution();
        ASSERT_EQ(std::popcount(s.usedMask), s.numUsed);
        for (int prn = 1; prn <= kGpsPrns; ++prn) {
            if ((s.usedMask >> (prn - 1)) & 1U) {
                ASSERT_TRUE(Tracks(model, prn)) << "PRN " << prn << " used but not on a channel";
            }
        }
        ASSERT_GE(s.numUsed, 4);
        ASSERT_EQ(s.fix, FixType::ThreeD);
        EXPECT_GT(s.hdop, 0.5);
        EXPECT_LT(s.hdop, 4.0);
        EXPECT_GT(s.vdop, 0.5);
        EXPECT_LT(s.vdop, 6.0);
        EXPECT_GT(s.stdDevResid, 0.0);
        EXPECT_LT(s.stdDevResid, 3.0);
        EXPECT_GT(s.ageOfDiff, 0.0);
    }
}

TEST_F(SkyModelRun, Channels_KeepTheirSatelliteUntilItSets) {
    CSkyModel model(config);
    std::array<int, kGpsChannels> before{};
    int handovers = 0;
    for (double t = 0.0; t <= 6.0 * 3600.0; t += 1.0) {
        model.AdvanceTo(t);
        const auto channels = model.Channels();
        for (std::size_t k = 0; k < channels.size(); ++k) {
            if (before[k] != 0 && channels[k].prn != before[k]) {
                SCOPED_TRACE(testing::Message() << "t " << t << " channel " << k << " PRN " << before[k]);
                EXPECT_LT(model.Almanac(before[k]).elevation, 0.0) << "dropped while still up";
                ++handovers;
            }
            before[k] = channels[k].prn;
        }
    }
    EXPECT_GT(handovers, 3);
}

TEST_F(SkyModelRun, TwelveHours_SatellitesRiseAndSet) {
    CSkyModel model(config);
    const std::set<int> first = TrackedPrns(model);
    std::set<int> seen = first;
    std::set<int> gone;
    for (double t = 0.0; t <= 12.0 * 3600.0; t += 10.0) {
        model.AdvanceTo(t);
        const std::set<int> now = TrackedPrns(model);
        seen.insert(now.begin(), now.end());
        for (const int prn : first) {
            if (!now.contains(prn)) {
                gone.insert(prn);
            }
        }
        for (const ChannelState& c : model.Channels()) {
            ASSERT_TRUE(c.prn == 0 || c.sight.elevation >= 0.0) << "tracked below the horizon at " << t;
        }
    }
    EXPECT_GE(seen.size() - first.size(), 5u) << "satellites rose";
    EXPECT_GE(gone.size(), 5u) << "satellites set";
}

TEST_F(SkyModelRun, Cno_IsHigherHighInTheSkyOnAverage) {
    CSkyModel model(config);
    double lowSum = 0.0;
    double highSum = 0.0;
    int low = 0;
    int high = 0;
    for (double t = 0.0; t <= 4.0 * 3600.0; t += 5.0) {
        model.AdvanceTo(t);
        for (const ChannelState& c : model.Channels()) {
            if (c.prn == 0) {
                continue;
            }
            EXPECT_GT(c.cno, 28.0);
            EXPECT_LT(c.cno, 56.0);
            if (c.sight.elevation < 20.0) {
                lowSum += c.cno;
                ++low;
            } else if (c.sight.elevation > 60.0) {
                highSum += c.cno;
                ++high;
            }
        }
    }
    ASSERT_GT(low, 100);
    ASSERT_GT(high, 100);
    EXPECT_GT(highSum / high, lowSum / low + 5.0);
}

TEST_F(SkyModelRun, Doppler_IsPositiveWhileASatelliteRises) {
    CSkyModel model(config);
    std::array<double, kGpsPrns + 1> elevation{};
    int checked = 0;
    for (double t = 0.0; t <= 4.0 * 3600.0; t += 120.0) {
        model.AdvanceTo(t);
        for (const ChannelState& c : model.Channels()) {
            if (c.prn == 0) {
                continue;
            }
            const double rise = c.sight.elevation - elevation[c.prn];
            if (t > 0.0 && std::abs(rise) > 0.5 && elevation[c.prn] != 0.0) {
                SCOPED_TRACE(testing::Message() << "PRN " << c.prn << " at " << t);
                EXPECT_EQ(c.doppler > 0.0, rise > 0.0) << "approaching satellites shift the carrier up";
                EXPECT_LT(std::abs(c.doppler), 5000.0);
                ++checked;
            }
            elevation[c.prn] = c.sight.elevation;
        }
    }
    EXPECT_GT(checked, 200);
}

TEST_F(SkyModelRun, Sbas_DefaultGeosAreTrackedAndUsed) {
    CSkyModel model(config);
    model.AdvanceTo(20.0);
    const auto sbas = model.SbasChannels();
    EXPECT_EQ(sbas[0].prn, 135);
    EXPECT_EQ(sbas[1].prn, 138);
    EXPECT_EQ(sbas[2].prn, 0);
    EXPECT_EQ(model.SbasUsedMask(), 0x03);
    EXPECT_GT(sbas[0].sight.elevation, 5.0);
}

TEST_F(SkyModelRun, Sbas_PrnsOutsideTheSbasRangeAreIgnored) {
    const std::vector<int> prns{131, 999, 138, 0, 133};
    const CSkyModel model(config, prns);
    EXPECT_EQ(std::vector<int>(model.SbasPrns().begin(), model.SbasPrns().end()), (std::vector<int>{131, 138, 133}));
}

TEST_F(SkyModelRun, Almanac_EveryPrnIsAnnouncedOncePerCycle) {
    CSkyModel model(config);
    std::set<int> announced;
    for (double t = 0.0; t <= 1600.0; t += 5.0) {
        model.AdvanceTo(t);
        announced.insert(model.LastAlmanacPrn());
    }
    EXPECT_EQ(announced.size(), 32u);
    int existing = 0;
    for (int prn = 1; prn <= kGpsPrns; ++prn) {
        SCOPED_TRACE(prn);
        const AlmanacEntry entry = model.Almanac(prn);
        if (entry.exists) {
            ++existing;
            EXPECT_GE(entry.updateCount, 2) << "two almanac cycles in 1600 s";
            EXPECT_LE(entry.updateCount, 3);
        }
    }
    EXPECT_GE(existing, 24);
    EXPECT_LE(existing, 32);
}

TEST_F(SkyModelRun, Housekeeping_StaysInItsRanges) {
    CSkyModel model(config);
    bool dualBer = false;
    for (double t = 0.0; t <= 3600.0; t += 1.0) {
        model.AdvanceTo(t);
        const double spare = model.Processor().spareCount * 0.00045;
        ASSERT_GE(spare, 40.0);
        ASSERT_LE(spare, 80.0);
        if (t < 10.0 || t >= 12.0) {
            ASSERT_EQ(model.LBand().locked, t >= 12.0) << "in sync 5 s after the first fix (6 s)";
        }
        ASSERT_GE(model.LBand().ber, 0);
        dualBer = dualBer || model.LBand().secondBer.has_value();
        ASSERT_LT(std::abs(model.ClockBias()), 0.5e-3 * 299792458.0 + 1.0);
    }
    EXPECT_TRUE(dualBer) << "the two-number BER shows up now and then";
}

// ---------------------------------------------------------------------------
// Motion

TEST(SkyModelMotion, Static_PositionNoiseStaysWithinMetresAndIsCorrelated) {
    const SimConfig config;
    CSkyModel model(config);
    std::vector<double> north;
    for (double t = 0.0; t <= 3600.0; t += 1.0) {
        model.AdvanceTo(t);
        if (model.CurrentSolution().fix == FixType::None) {
            continue;
        }
        const Enu error = FromCentre(config, model.CurrentSolution().position);
        ASSERT_LT(std::hypot(error.east, error.north), 1.5) << "at " << t;
        ASSERT_LT(std::abs(error.up), 3.0) << "at " << t;
        north.push_back(error.north);
    }
    // Second-to-second changes are far smaller than the spread: a wander, not static.
    double spread = 0.0;
    double step = 0.0;
    const double mean = std::accumulate(north.begin(), north.end(), 0.0) / static_cast<double>(north.size());
    for (std::size_t i = 1; i < north.size(); ++i) {
        spread += (north[i] - mean) * (north[i] - mean);
        step += (north[i] - north[i - 1]) * (north[i] - north[i - 1]);
    }
    EXPECT_GT(spread, 0.0);
    EXPECT_LT(step, 0.1 * spread);
}

TEST(SkyModelMotion, Circle_SpeedCourseAndHeadingFollowTheMotion) {
    SimConfig config;
    config.motion = Motion::Circle;
    CSkyModel model(config);
    for (double t = 0.0; t <= 15.0; t += 0.05) {
        model.AdvanceTo(t);
    }
    Enu last = FromCentre(config, model.CurrentSolution().position);
    double lastCourse = -1.0;
    for (double t = 15.0; t <= 120.0; t += 1.0) {
        model.AdvanceTo(t);
        SCOPED_TRACE(t);
        const Solution& s = model.CurrentSolution();
        const Enu here = FromCentre(config, s.position);
        const double speed = std::hypot(s.velocity.east, s.velocity.north);
        const double course = WrapDegrees(std::atan2(s.velocity.east, s.velocity.north) / kDeg);
        const double travelled = WrapDegrees(std::atan2(here.east - last.east, here.north - last.north) / kDeg);
        const auto difference = [](double a, double b) { return std::abs(std::remainder(a - b, 360.0)); };
        EXPECT_NEAR(speed, config.circleSpeed, 0.1);
        EXPECT_NEAR(std::hypot(here.east, here.north), config.circleRadius, 1.0);
        // The course is the tangent at the end of a 1 s arc: half its turn ahead of the chord.
        EXPECT_LT(difference(course, travelled), 10.0);
        EXPECT_LT(difference(model.Heading(), course), 2.0) << "heading follows the course";
        if (lastCourse >= 0.0) {
            EXPECT_GT(difference(course, lastCourse), 3.0) << "the course keeps turning";
        }
        last = here;
        lastCourse = course;
    }
}

// ---------------------------------------------------------------------------
// Determinism

TEST(SkyModelSeed, SameSeed_GivesTheSameWorldAndAnotherSeedAnotherOne) {
    const auto run = [](std::uint32_t seed) {
        SimConfig config;
        config.seed = seed;
        CSkyModel model(config);
        for (double t = 0.0; t <= 300.0; t += 0.5) {
            model.AdvanceTo(t);
        }
        std::vector<double> state{model.CurrentSolution().position.latitude, model.CurrentSolution().position.longitude,
                                  model.ClockErrHz(), model.Heading()};
        for (const ChannelState& c : model.Channels()) {
            state.push_back(c.prn);
            state.push_back(c.cno);
            state.push_back(c.posResid);
        }
        return state;
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
}

// ---------------------------------------------------------------------------
// Geometry

TEST(Dops, SymmetricGeometry_GivesTheTextbookValues) {
    const std::vector<Enu> lines{{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const auto dops = ComputeDops(lines);
    ASSERT_TRUE(dops.has_value());
    EXPECT_NEAR(dops->hdop, 1.0, 1e-9);
    EXPECT_NEAR(dops->vdop, std::sqrt(0.5), 1e-9);
}

TEST(Dops, TooFewOrDegenerateSatellites_GiveNone) {
    const double c = std::cos(30.0 * kDeg);
    const double s = std::sin(30.0 * kDeg);
    // All at one elevation: height and clock cannot be told apart.
    const std::vector<Enu> cone{{c, 0, s}, {0, c, s}, {-c, 0, s}, {0, -c, s}};
    EXPECT_FALSE(ComputeDops(cone).has_value());
    const std::vector<Enu> three{{c, 0, s}, {0, c, s}, {0, 0, 1}};
    EXPECT_FALSE(ComputeDops(three).has_value());
    EXPECT_TRUE(ComputeDops(three, true).has_value()) << "a 2-D fix holds the height";
}

}  // namespace
}  // namespace zarnmon::sim
