#include "core/waas/iono_map.h"

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"

namespace zarnmon {
namespace {

TEST(IonoMapLayoutTest, DefaultRegion_GivesTheDocumentedMap) {
    const IonoMapLayout layout(kDefaultIonoRegion);
    EXPECT_EQ(layout.Columns(), 70);
    EXPECT_EQ(layout.Rows(), 40);
    EXPECT_EQ(layout.CellSide(), 12);
    EXPECT_EQ(layout.MapWidth(), 840);
    EXPECT_EQ(layout.MapHeight(), 480);
    EXPECT_EQ(layout.MapRect(), (IonoRect{55, 55, 895, 535}));
    EXPECT_EQ(layout.ScrollExtent(), (IonoSize{922, 562}));
    // The last square lies in the map's south-east corner, centred 1 degree in.
    EXPECT_EQ(layout.CellRect(69, 39), (IonoRect{883, 523, 895, 535}));
    EXPECT_DOUBLE_EQ(layout.SquareLongitude(0), -179.0);
    EXPECT_DOUBLE_EQ(layout.SquareLatitude(0), 79.0);
    EXPECT_DOUBLE_EQ(layout.SquareLongitude(69), -41.0);
    EXPECT_DOUBLE_EQ(layout.SquareLatitude(39), 1.0);
}

TEST(IonoMapLayoutTest, Mapping_PlacesSquaresMarksAndAnyPointOnOneScale) {
    // Europe: 60 x 40 squares of 13 pixels, an odd side.
    const IonoMapLayout layout(kIonoZones[1].region);
    ASSERT_EQ(layout.CellSide(), 13);
    EXPECT_EQ(layout.Right0(), 60);
    EXPECT_EQ(layout.Bottom0(), 10);
    EXPECT_DOUBLE_EQ(layout.XOf(-60.0), 55.0);
    EXPECT_DOUBLE_EQ(layout.XOf(60.0), layout.MapRect().right);
    EXPECT_DOUBLE_EQ(layout.YOf(90.0), 55.0);
    EXPECT_DOUBLE_EQ(layout.YOf(10.0), layout.MapRect().bottom);
    // The Lizard, 5.2W 49.96N: 54.8 degrees east of the map's edge and 40.04
    // south of it, at 6.5 pixels a degree.
    EXPECT_DOUBLE_EQ(layout.XOf(-5.2), 55.0 + 356.2);
    EXPECT_DOUBLE_EQ(layout.YOf(49.96), 55.0 + 260.26);
    for (int row = 0; row < layout.Rows(); ++row) {
        for (int column = 0; column < layout.Columns(); ++column) {
            SCOPED_TRACE(testing::Message() << "column " << column << " row " << row);
            const IonoRect cell = layout.CellRect(column, row);
            // The square's delay is taken at its centre, where its cell is.
            EXPECT_DOUBLE_EQ(layout.XOf(layout.SquareLongitude(column)), (cell.left + cell.right) / 2.0);
            EXPECT_DOUBLE_EQ(layout.YOf(layout.SquareLatitude(row)), (cell.top + cell.bottom) / 2.0);
        }
    }
    for (const IonoMapMark& mark : IonoLongitudeMarks(layout)) {
        EXPECT_DOUBLE_EQ(layout.XOf(mark.degrees), mark.position);
    }
    for (const IonoMapMark& mark : IonoLatitudeMarks(layout)) {
        EXPECT_DOUBLE_EQ(layout.YOf(mark.degrees), mark.position);
    }
}

TEST(IonoMapLayoutTest, EmptyRegion_HasNoSquaresAndNoDivisionByZero) {
    const IonoMapLayout layout(NormaliseRegion({20, 10, 20, 10}));
    EXPECT_EQ(layout.SquareCount(), 0);
    EXPECT_EQ(layout.MapWidth(), 0);
    EXPECT_GT(layout.CellSide(), 0);
}

TEST(IonoRegionTest, Normalise_WrapsOrdersLimitsAndWidensToTens) {
    struct Case {
        IonoRegion in;
        IonoRegion out;
    };
    const Case cases[] = {
        // 95W..15W, 12S..47N.
        {{-95, 47, -15, -12}, {-100, 50, -10, -20}},
        // Crossing 180 degrees is swapped, not wrapped around.
        {{170, 10, -170, 0}, {-170, 10, 170, 0}},
        {{190, 10, 200, 0}, {-170, 10, -160, 0}},
        {{-541, 10, 541, 0}, {-180, 10, 180, 0}},
        {{0, -5, 10, 95}, {0, 90, 10, -10}},
        {{-200, 100, 2000000000, -100}, {-160, 90, 160, -90}},
        {{-60, 90, 60, 10}, {-60, 90, 60, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.in.left) + "/" + std::to_string(c.in.top) + "/" + std::to_string(c.in.right) +
                     "/" + std::to_string(c.in.bottom));
        EXPECT_EQ(NormaliseRegion(c.in), c.out);
    }
}

TEST(IonoRegionTest, ZoneOf_OnlyAnExactPresetMatches) {
    EXPECT_EQ(ZoneOf({100, 70, 170, 10}), 2);
    EXPECT_EQ(ZoneOf({50, 50, 110, 0}), 3);
    EXPECT_EQ(ZoneOf({100, 70, 170, 0}), kCustomZone);
}

TEST(IonoCoverageTest, MissingKeys_KeepTheCurrentValues) {
    CSettingsStore store;
    store.SetInt(kIonoMapCoverage, kTopKey, 60);
    const IonoCoverage current{{-60, 90, 60, 10}, false};
    EXPECT_EQ(LoadIonoCoverage(store, current), (IonoCoverage{{-60, 60, 60, 10}, false}));
    EXPECT_EQ(LoadIonoCoverage(CSettingsStore{}, IonoCoverage{}), (IonoCoverage{kDefaultIonoRegion, true}));
}

TEST(IonoCoverageTest, StoredValuesOutOfRange_AreNormalisedNotRefused) {
    CSettingsStore store;
    store.Parse("[IonoMapCoverage]\nleft=350\ntop=-95\nright=-13\nbottom=47\nExtendMap=0\n");
    EXPECT_EQ(LoadIonoCoverage(store, {}), (IonoCoverage{{-20, 50, -10, -90}, false}));
}

TEST(IonoCoverageTest, RegionAndFlag_SavedSeparatelyAndReadBack) {
    CSettingsStore store;
    SaveExtendMap(store, false);
    EXPECT_FALSE(store.Find(kIonoMapCoverage, kLeftKey));
    SaveIonoRegion(store, {-100, 50, -10, -20});
    EXPECT_EQ(store.Find(kIonoMapCoverage, kBottomKey).value(), "-20");
    EXPECT_EQ(store.Find(kIonoMapCoverage, kExtendMapKey).value(), "0");
    EXPECT_EQ(LoadIonoCoverage(store, {}), (IonoCoverage{{-100, 50, -10, -20}, false}));
}

TEST(IonoSquareTest, Value_InSixteenthsOfAMetreAndZeroForNoDelay) {
    EXPECT_EQ(IonoSquareValue(8.0), 128);
    EXPECT_EQ(IonoSquareValue(1.03), 16);  // 16.98 rounds up
    EXPECT_EQ(IonoSquareValue(31.99), 512);
    EXPECT_EQ(IonoSquareValue(32.0), 0);
    EXPECT_EQ(IonoSquareValue(9999.0), 0);
    EXPECT_EQ(IonoSquareValue(-3.0), 0);
}

TEST(IonoSquareTest, Geometry_ScaleFillsHalfScaleCentresLargerOverlaps) {
    const IonoRect cell{55, 67, 67, 79};
    EXPECT_EQ(IonoSquareGeometry(cell, 128, 128).box, cell);
    // 6 of 12 pixels, 3 in from each side.
    EXPECT_EQ(IonoSquareGeometry(cell, 64, 128).box, (IonoRect{58, 70, 64, 76}));
    // 7 of 12: the odd pixel is taken off the right and bottom.
    EXPECT_EQ(IonoSquareGeometry(cell, 75, 128).box, (IonoRect{57, 69, 64, 76}));
    EXPECT_EQ(IonoSquareGeometry(cell, 256, 128).box, (IonoRect{49, 61, 73, 85}));
}

TEST(IonoSquareTest, Geometry_TinyBoxesAreDotsAndNoValueIsNothing) {
    const IonoRect cell{55, 67, 67, 79};
    // A box of no width still shows its delay as one dot.
    const IonoSquareShape dot = IonoSquareGeometry(cell, 3, 128);
    EXPECT_FALSE(dot.box);
    ASSERT_EQ(dot.pixelCount, 1);
    EXPECT_EQ(dot.pixels[0], (IonoPoint{61, 73}));
    // One pixel wide: both corners.
    const IonoSquareShape pair = IonoSquareGeometry(cell, 10, 128);
    EXPECT_FALSE(pair.box);
    ASSERT_EQ(pair.pixelCount, 2);
    EXPECT_EQ(pair.pixels[0], (IonoPoint{60, 72}));
    EXPECT_EQ(pair.pixels[1], (IonoPoint{61, 73}));
    EXPECT_TRUE(IonoSquareGeometry(cell, IonoSquareValue(32.0), 128).IsEmpty());
    EXPECT_TRUE(IonoSquareGeometry(cell, IonoSquareValue(9999.0), 128).IsEmpty());
}

TEST(IonoScaleTest, Scale_SixteenthsRoundedHalfUpAndNamedInTheTitle) {
    EXPECT_DOUBLE_EQ(IonoScaleMetres(kIonoStartScale), 8.0);
    EXPECT_EQ(IonoScaleFromMetres(4.0), 64);
    EXPECT_EQ(IonoScaleFromMetres(12.34), 197);  // 197.44
    EXPECT_EQ(IonoMapTitle(kIonoStartScale), "Iono Correctors (squares touch at 8.0m)");
    EXPECT_EQ(IonoMapTitle(197), "Iono Correctors (squares touch at 12.3m)");
}

TEST(IonoMapMarksTest, DefaultRegion_EveryTenDegreesAcrossTheWholeMap) {
    const IonoMapLayout layout(kDefaultIonoRegion);
    const auto latitudes = IonoLatitudeMarks(layout);
    ASSERT_EQ(latitudes.size(), 9U);
    EXPECT_EQ(latitudes.front(), (IonoMapMark{80, 55, "80\xB0"}));
    EXPECT_EQ(latitudes[1].position, 115);
    EXPECT_EQ(latitudes.back(), (IonoMapMark{0, 535, "0\xB0"}));

    const auto longitudes = IonoLongitudeMarks(layout);
    ASSERT_EQ(longitudes.size(), 15U);
    EXPECT_EQ(longitudes.front(), (IonoMapMark{-180, 55, "-180\xB0"}));
    EXPECT_EQ(longitudes.back(), (IonoMapMark{-40, 895, "-40\xB0"}));
}

TEST(IonoMapMarksTest, SouthernRegion_LabelsNegativeLatitudes) {
    const IonoMapLayout layout(NormaliseRegion({-95, 47, -15, -12}));
    const auto latitudes = IonoLatitudeMarks(layout);
    ASSERT_EQ(latitudes.size(), 8U);
    EXPECT_EQ(latitudes.back().label, "-20\xB0");
    EXPECT_EQ(latitudes.back().position, layout.MapRect().bottom);
}

}  // namespace
}  // namespace zarnmon
