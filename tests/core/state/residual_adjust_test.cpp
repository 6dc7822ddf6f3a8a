#include "core/state/residual_adjust.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"

namespace zarnmon {
namespace {

struct Channel {
    int prn;
    int elevation;
    int azimuthHalf;
    int posResid;
};

// Expected values were computed by hand (step by step, in double precision)
// from the residuals, elevations and the L1 wavelength.
class ResidualTest : public ::testing::Test {
protected:
    ResidualTest() {
        msg1 = CBinFrameBuilder(msg1::kId)
                   .Set(msg1::Latitude, 51.0447)
                   .Set(msg1::Longitude, -114.0719)
                   .Set(msg1::Height, 1048.25f)
                   .Build();
        msg89 = CBinFrameBuilder(msg89::kId).Build();
    }

    void Channels(const std::vector<Channel>& channels, bool fine) {
        CBinFrameBuilder m99(msg99::kId);
        CBinFrameBuilder m2(msg2::kId);
        m99.Set(msg99::NavStatus, fine ? 0x10 : 0x00);
        std::uint32_t used = 0;
        for (std::size_t k = 0; k < channels.size(); ++k) {
            const std::size_t base = msg99::kChannelsOffset + k * chan::kRecordSize;
            const Channel& c = channels[k];
            m99.Set(chan::Prn, static_cast<std::uint8_t>(c.prn), base)
                .Set(chan::Elevation, static_cast<std::int8_t>(c.elevation), base)
                .Set(chan::AzimuthHalf, static_cast<std::uint8_t>(c.azimuthHalf), base)
                .Set(chan::PosResid, static_cast<std::int16_t>(c.posResid), base);
            if (c.prn >= 1 && c.prn <= 20) {  // PRNs above 20 are tracked but not used
                used |= 1U << (c.prn - 1);
            }
        }
        m2.Set(msg2::UsedMask, used);
        msg99 = m99.Build();
        msg2 = m2.Build();
    }

    ChannelResiduals Run(bool timesTen) {
        return RecomputeResiduals(reference, {Msg1View(msg1), Msg2View(msg2), Msg99View(msg99), Msg89View(msg89)},
                                  timesTen);
    }

    void ReferenceAtReceiver(double heightBelow = 0.0) {
        reference.SetPosition({51.0447, -114.0719, 1048.25 - heightBelow});
        reference.ComputeDegreeFactors(51.0447, 1048.25);
    }

    CReferencePosition reference;
    std::vector<std::uint8_t> msg1, msg2, msg99, msg89;
};

TEST_F(ResidualTest, OneUsedChannel_ProjectedValueOnlyNoCycleAdjustment) {
    ReferenceAtReceiver(1.0);  // the receiver reports 1 m above the reference
    Channels({{7, 90, 0, 25}, {0, 40, 0, 99}, {25, 40, 10, 300}}, false);
    const auto r = Run(false);
    EXPECT_NEAR(r[0], 2.5 - 1.0, 1e-12);
    EXPECT_EQ(r[1], 0.0);  // idle
    EXPECT_EQ(r[2], 0.0);  // tracked but not in the solution
}

TEST_F(ResidualTest, OneUsedChannel_TimesTenStaysDividedByTen) {
    ReferenceAtReceiver(1.0);
    Channels({{7, 90, 0, 25}}, false);
    EXPECT_NEAR(Run(true)[0], 0.25 - 1.0, 1e-12);
}

TEST_F(ResidualTest, EastOffset_ProjectedOnLineOfSight) {
    reference.SetPosition({51.0447, -114.0720, 1048.25});
    reference.ComputeDegreeFactors(51.0447, 1048.25);
    Channels({{7, 0, 45, 0}}, true);  // azimuth 90: due east on the horizon
    EXPECT_NEAR(Run(false)[0], -0.0001 * reference.MetersPerDegreeLongitude(), 1e-9);
}

TEST_F(ResidualTest, LargestResidualLeftOutOfFirstMeanButStillAdjusted) {
    ReferenceAtReceiver();
    // 0.1, 0.2 and 5.0 m at elevations 30, 60 and 90 (weights 900, 3600, 8100).
    Channels({{3, 30, 0, 100}, {7, 60, 20, 200}, {12, 90, 40, 5000}}, true);
    const auto r = Run(false);
    EXPECT_NEAR(r[0], -0.12028025859770505, 1e-12);
    EXPECT_NEAR(r[1], -0.020280258597705058, 1e-12);
    EXPECT_NEAR(r[2], 4.779719741402295, 1e-12);
}

TEST_F(ResidualTest, TimesTen_DividedBeforeAndMultipliedAfter) {
    ReferenceAtReceiver();
    Channels({{3, 30, 0, 100}, {7, 60, 20, 200}, {12, 90, 40, 5000}}, true);
    const auto r = Run(true);
    EXPECT_NEAR(r[0], 0.49137797539704, 1e-11);
    EXPECT_NEAR(r[1], 0.5913779753970401, 1e-11);
    EXPECT_NEAR(r[2], 5.391377975397039, 1e-11);
}

TEST_F(ResidualTest, ZeroWeightsGiveFiniteResiduals) {
    ReferenceAtReceiver();
    Channels({{3, 0, 0, 100}, {7, 0, 20, 200}}, true);
    for (const double v : Run(false)) {
        EXPECT_TRUE(std::isfinite(v));
    }
}

TEST(ResidualAdjustTest, FineResolutionReceiversNeverTimesTen) {
    CResidualAdjust adjust;
    adjust.Start(true, true);
    EXPECT_TRUE(adjust.Adjusting());
    EXPECT_FALSE(adjust.TimesTen());
    adjust.Start(true, false);
    EXPECT_TRUE(adjust.DialogStartsOnTimesTen(false));
    EXPECT_FALSE(adjust.DialogStartsOnTimesTen(true));
    adjust.Stop();
    EXPECT_FALSE(adjust.Adjusting());
}

}  // namespace
}  // namespace zarnmon
