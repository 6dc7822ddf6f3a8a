#include "core/state/reference_position.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"

namespace zarnmon {
namespace {

void Store(CSettingsStore& store, const char* lat, const char* lon, const char* height) {
    store.SetString(kLocation, kLatitudeKey, lat);
    store.SetString(kLocation, kLongitudeKey, lon);
    store.SetString(kLocation, kHeightKey, height);
}

TEST(ReferencePositionTest, StoredKeys_LoadValidWithFactorsAndResave) {
    CSettingsStore store;
    Store(store, " 51.0447 junk", "-114.0719", "1048.5");
    CReferencePosition reference;
    ASSERT_TRUE(LoadReferencePosition(reference, store, {}));
    EXPECT_TRUE(reference.IsValid());
    EXPECT_DOUBLE_EQ(reference.Latitude(), 51.0447);
    // Hand-computed on the ellipsoid for 51.0447 N, 1048.5 m.
    EXPECT_NEAR(reference.MetersPerDegreeLatitude(), 111267.4325, 1e-4);
    EXPECT_NEAR(reference.MetersPerDegreeLongitude(), 70141.7116, 1e-4);
    EXPECT_EQ(store.Find(kLocation, kLatitudeKey).value(), "51.04470000");
    EXPECT_EQ(store.Find(kLocation, kLongitudeKey).value(), "-114.07190000");
    EXPECT_EQ(store.Find(kLocation, kHeightKey).value(), "1048.5000");
}

TEST(ReferencePositionTest, OutOfRangeOrUnscannable_StaysInvalid) {
    const char* cases[][3] = {{"90.5", "10", "0"},  {"10", "-180.01", "0"}, {"10", "10", "100001"},
                              {"north", "10", "0"}, {"10", "", "0"},        {"nan", "10", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c[0]) + "," + c[1] + "," + c[2]);
        CSettingsStore store;
        Store(store, c[0], c[1], c[2]);
        CReferencePosition reference;
        EXPECT_FALSE(LoadReferencePosition(reference, store, {45.0, 7.0, 100.0}));
        EXPECT_FALSE(reference.IsValid());
    }
}

TEST(ReferencePositionTest, RangeLimitsThemselvesAreAccepted) {
    CSettingsStore store;
    Store(store, "-90", "180", "-100000");
    CReferencePosition reference;
    EXPECT_TRUE(LoadReferencePosition(reference, store, {}));
}

TEST(ReferencePositionTest, ZeroZero_NeverValid) {
    CSettingsStore store;
    Store(store, "0.0", "0.0", "10.0");
    CReferencePosition reference;
    EXPECT_FALSE(LoadReferencePosition(reference, store, {}));
    EXPECT_FALSE(reference.IsValid());
}

TEST(ReferencePositionTest, NoKeysNoFix_InvalidThenFirstPositionAdoptedAndSaved) {
    CSettingsStore store;
    CReferencePosition reference;
    EXPECT_FALSE(LoadReferencePosition(reference, store, {}));
    EXPECT_FALSE(store.Find(kLocation, kLatitudeKey).has_value());

    ASSERT_TRUE(LoadReferencePosition(reference, store, {51.0447, -114.0719, 1048.25}));
    EXPECT_TRUE(reference.IsValid());
    EXPECT_EQ(store.Find(kLocation, kLatitudeKey).value(), "51.04470000");
    EXPECT_EQ(store.Find(kLocation, kHeightKey).value(), "1048.2500");
}

TEST(ReferencePositionTest, UnreadableKey_NotReplacedByReceiverPosition) {
    CSettingsStore store;
    Store(store, "51.0", "bad", "10");
    CReferencePosition reference;
    EXPECT_FALSE(LoadReferencePosition(reference, store, {51.0, 7.0, 10.0}));
    EXPECT_EQ(store.Find(kLocation, kLongitudeKey).value(), "bad");
}

TEST(ReferencePositionTest, NeuError_SmallOffsets) {
    CReferencePosition reference;
    reference.SetPosition({10.0, 20.0, 30.0});
    ASSERT_TRUE(reference.ComputeDegreeFactors(10.0, 30.0));
    const NeuOffset e = reference.NeuError(10.001, 19.999, 31.5);
    EXPECT_NEAR(e.north, 0.001 * reference.MetersPerDegreeLatitude(), 1e-9);
    EXPECT_NEAR(e.east, -0.001 * reference.MetersPerDegreeLongitude(), 1e-9);
    EXPECT_DOUBLE_EQ(e.up, 1.5);
    EXPECT_NEAR(e.north, 110.6, 0.1);
}

TEST(ReferencePositionTest, DegreeFactors_AtEquatorMatchEllipsoid) {
    CReferencePosition reference;
    ASSERT_TRUE(reference.ComputeDegreeFactors(0.0, 0.0));
    EXPECT_NEAR(reference.MetersPerDegreeLatitude(), 6335439.326804105 * 0.01745329251993791, 1e-6);
    EXPECT_NEAR(reference.MetersPerDegreeLongitude(), 6378137.0 * 0.01745329251993791, 1e-6);
}

}  // namespace
}  // namespace zarnmon
