#include "core/state/neu_history.h"

#include <vector>

#include <gtest/gtest.h>

#include "core/link/bin_catalogue.h"
#include "core/state/log_test_support.h"
#include "core/state/strip_chart_geometry.h"

namespace zarnmon {
namespace {

constexpr double kLat = 51.0447;
constexpr double kLon = -114.0719;
constexpr double kHeight = 1048.0;
constexpr double kTow = 345600.0;

CReferencePosition ValidReference() {
    CReferencePosition reference;
    reference.SetPosition({kLat, kLon, kHeight});
    EXPECT_TRUE(reference.ComputeDegreeFactors(kLat, kHeight));
    reference.MarkValid();
    return reference;
}

// A position the given metres north of the reference.
GeoPosition North(const CReferencePosition& reference, double metres) {
    return {kLat + metres / reference.MetersPerDegreeLatitude(), kLon, kHeight};
}

std::vector<NeuSample> ReadAll(CNeuHistory& history) {
    history.Rewind();
    std::vector<NeuSample> samples;
    while (const auto sample = history.NextNeuSample()) {
        samples.push_back(*sample);
    }
    return samples;
}

TEST(NeuHistoryTest, ThirtyMinutes_NineHundredSamplesAtTwoSeconds) {
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 30, 50);
    EXPECT_EQ(history.Capacity(), 900);
    EXPECT_EQ(history.Decimation(), 2);
    EXPECT_DOUBLE_EQ(history.SamplingInterval(), 1.9);
    EXPECT_EQ(XTickSpacing(history.Capacity()), 30);
    EXPECT_EQ(SecondsPerTickCaption(history.Decimation(), XTickSpacing(history.Capacity())), "60 Sec/Tick");
}

TEST(NeuHistoryTest, OneDay_SixHundredSeventyFiveSamplesAt128Seconds) {
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 1440, 50);
    EXPECT_EQ(history.Capacity(), 675);
    EXPECT_EQ(history.Decimation(), 128);
}

TEST(NeuHistoryTest, HalfMetreRange_FineScaleInTenths) {
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 30, 5);
    EXPECT_TRUE(history.FineScale());
    EXPECT_EQ(history.VerticalRange(), 5);
    EXPECT_EQ(ScaleLabel(history.FineScale()), "Meters x 10");
    EXPECT_EQ(UnitText(history.FineScale()), " (m x 10)");
}

TEST(NeuHistoryTest, WholeMetreRanges_RoundedAndAtLeastOne) {
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 30, 10);
    EXPECT_FALSE(history.FineScale());
    EXPECT_EQ(history.VerticalRange(), 1);
    history.Configure(kNeuSampleScale, 30, 24);
    EXPECT_EQ(history.VerticalRange(), 2);
    history.Configure(kNeuSampleScale, 30, 25);
    EXPECT_EQ(history.VerticalRange(), 3);
    history.Configure(kNeuSampleScale, 30, 0);  // below the dialog's range: still at least 1
    EXPECT_TRUE(history.FineScale());
    EXPECT_EQ(history.VerticalRange(), 1);
}

TEST(NeuHistoryTest, BeforeConfiguration_NothingStored) {
    CNeuHistory history;
    EXPECT_EQ(history.Capacity(), 1000);
    EXPECT_FALSE(history.AddNeuSample(kTow, {kLat, kLon, kHeight}, ValidReference()));
    EXPECT_EQ(history.Stored(), 0U);
}

TEST(NeuHistoryTest, FarPosition_StoredClampedTo1000MetresButCurrentErrorUnclamped) {
    const CReferencePosition reference = ValidReference();
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 30, 50);
    const auto index = history.AddNeuSample(kTow, North(reference, 2500.0), reference);
    ASSERT_TRUE(index);
    EXPECT_EQ(history.SampleAt(*index).north, 1000 * 160);
    EXPECT_NEAR(history.CurrentErrors().north, 2500.0, 1e-6);
    EXPECT_NEAR(history.Track().back().north, 2500.0, 1e-6);
}

TEST(NeuHistoryTest, StoredValue_ErrorTimes160PlusHalfTruncated) {
    const CReferencePosition reference = ValidReference();
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 30, 50);
    // -1.0 m: -160 + 0.5 truncates toward zero to -159; 1.0 m gives 160.
    const auto first = history.AddNeuSample(kTow, North(reference, -1.0), reference);
    const auto second = history.AddNeuSample(kTow + 2, North(reference, 1.0), reference);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(history.SampleAt(*first).north, -159);
    EXPECT_EQ(history.SampleAt(*second).north, 160);
}

TEST(NeuHistoryTest, FiveHertz_OneSamplePerSecond) {
    const CReferencePosition reference = ValidReference();
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 10, 50);  // 1 s per sample
    int stored = 0;
    for (int i = 0; i < 50; ++i) {
        stored += history.AddNeuSample(kTow + i * 0.2, North(reference, 1.0), reference) ? 1 : 0;
    }
    EXPECT_EQ(stored, 10);
}

TEST(NeuHistoryTest, InvalidReference_StillMovesTheSampleTime) {
    const CReferencePosition valid = ValidReference();
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 10, 50);
    EXPECT_FALSE(history.AddNeuSample(kTow, North(valid, 1.0), CReferencePosition{}));
    // Half a second later is too soon after the offer above, even though nothing was stored.
    EXPECT_FALSE(history.AddNeuSample(kTow + 0.5, North(valid, 1.0), valid));
    EXPECT_TRUE(history.AddNeuSample(kTow + 1.0, North(valid, 1.0), valid));
}

TEST(NeuHistoryTest, WeekWrap_CountsAsForward) {
    const CReferencePosition reference = ValidReference();
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 10, 50);
    EXPECT_TRUE(history.AddNeuSample(604799.5, North(reference, 1.0), reference));
    EXPECT_FALSE(history.AddNeuSample(0.2, North(reference, 1.0), reference));  // 0.7 s later
    EXPECT_TRUE(history.AddNeuSample(0.5, North(reference, 1.0), reference));   // 1.0 s later
}

TEST(NeuHistoryTest, FromMessage1_UsesItsTimeAndPosition) {
    const CReferencePosition reference = ValidReference();
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 10, 50);
    const auto frame = test::Msg1Frame(kTow);
    ASSERT_TRUE(history.AddNeuSample(Msg1View(frame), reference));
    EXPECT_NEAR(history.CurrentErrors().up, 0.25, 1e-9);  // the frame's height is 1048.25
    EXPECT_FALSE(history.AddNeuSample(Msg1View(test::Msg1Frame(kTow + 0.5)), reference));
}

TEST(NeuHistoryTest, NextSample_DividedByTenUnlessFineScale) {
    const CReferencePosition reference = ValidReference();
    CNeuHistory coarse;
    coarse.Configure(kNeuSampleScale, 10, 50);
    coarse.AddNeuSample(kTow, North(reference, -1.0), reference);  // stored -159
    EXPECT_EQ(ReadAll(coarse).at(0).north, -15);                   // truncated toward zero
    CNeuHistory fine;
    fine.Configure(kNeuSampleScale, 10, 5);
    fine.AddNeuSample(kTow, North(reference, -1.0), reference);
    EXPECT_EQ(ReadAll(fine).at(0).north, -159);
}

TEST(NeuHistoryTest, Wrapped_ReadsFromOneAfterTheWriteIndex) {
    const CReferencePosition reference = ValidReference();
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 1, 50);  // 60 samples at 1 s
    for (int i = 0; i < 70; ++i) {
        ASSERT_TRUE(history.AddNeuSample(kTow + i, North(reference, i), reference));
    }
    const auto samples = ReadAll(history);
    // The ring holds 60; the oldest one of them is skipped, as the ring reads.
    ASSERT_EQ(samples.size(), 59U);
    EXPECT_EQ(samples.front().north, 11 * 16);  // 11 m, divided by 10
    EXPECT_EQ(samples.back().north, 69 * 16);
    EXPECT_EQ(history.Stored(), 70U);
    EXPECT_EQ(history.Track().size(), 70U);
}

TEST(NeuHistoryTest, Shrinking_KeepsTheNewestOldestFirst) {
    const CReferencePosition reference = ValidReference();
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 10, 50);  // 600 samples at 1 s
    for (int i = 0; i < 100; ++i) {
        history.AddNeuSample(kTow + i, North(reference, i), reference);
    }
    history.Configure(kNeuSampleScale, 1, 50);  // 60 samples
    const auto samples = ReadAll(history);
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples.back().north, 99 * 16);
    for (std::size_t k = 1; k < samples.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(samples[k].north - samples[k - 1].north, 16);
    }
    EXPECT_EQ(history.Track().size(), 100U);
}

TEST(NeuHistoryTest, Growing_KeepsEverySample) {
    const CReferencePosition reference = ValidReference();
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 1, 50);
    for (int i = 0; i < 30; ++i) {
        history.AddNeuSample(kTow + i, North(reference, i), reference);
    }
    history.Configure(kNeuSampleScale, 30, 50);
    const auto samples = ReadAll(history);
    ASSERT_EQ(samples.size(), 30U);
    EXPECT_EQ(samples.front().north, 0);
    EXPECT_EQ(samples.back().north, 29 * 16);
}

TEST(PlotSettingsTest, Missing_Defaults) {
    const PlotSettings settings = LoadPlotSettings(CSettingsStore{});
    EXPECT_EQ(settings.minutes, 30);
    EXPECT_EQ(settings.rangeTenths, 50);
}

TEST(PlotSettingsTest, MaxMeters_ClampedAndKeptInTenths) {
    CSettingsStore store;
    store.Parse("[PlotSettings]\nMinutes=0\nMaxMeters=5000\n");
    EXPECT_EQ(LoadPlotSettings(store).minutes, 0);  // read as is
    EXPECT_EQ(LoadPlotSettings(store).rangeTenths, 20000);
    store.Parse("[PlotSettings]\nMaxMeters=0.01\n");
    EXPECT_EQ(LoadPlotSettings(store).rangeTenths, 1);
    store.Parse("[PlotSettings]\nMaxMeters=2.46\n");
    EXPECT_EQ(LoadPlotSettings(store).rangeTenths, 25);
    store.Parse("[PlotSettings]\nMaxMeters=wide\n");
    EXPECT_EQ(LoadPlotSettings(store).rangeTenths, 50);
}

TEST(PlotSettingsTest, Save_WritesMinutesAndOneDecimal) {
    CSettingsStore store;
    SavePlotSettings(store, {.minutes = 90, .rangeTenths = 5});
    EXPECT_EQ(store.Find("PlotSettings", "Minutes"), "90");
    EXPECT_EQ(store.Find("PlotSettings", "MaxMeters"), "0.5");
}

}  // namespace
}  // namespace zarnmon
