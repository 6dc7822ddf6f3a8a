#include "core/state/strip_chart_geometry.h"

#include <gtest/gtest.h>

#include "core/state/neu_history.h"

namespace zarnmon {
namespace {

// A 30-minute, 5 m history in a 500 x 200 chart.
StripChartGeometry DefaultChart() {
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 30, 50);
    return NeuChartGeometry(history, 500, 200);
}

TEST(StripChartGeometryTest, PlotRect_InsetAndMargins) {
    const PixelRect plot = PlotRect(500, 200);
    EXPECT_EQ(plot.left, 35);
    EXPECT_EQ(plot.top, 20);
    EXPECT_EQ(plot.right, 460);
    EXPECT_EQ(plot.bottom, 195);
}

TEST(StripChartGeometryTest, DefaultChart_ExtentTicksAndSlots) {
    const StripChartGeometry chart = DefaultChart();
    EXPECT_EQ(chart.extent, 5 * 16);
    EXPECT_EQ(chart.yTickSpacing, 16);  // (5 x 2 + 5) / 10 = 1 m
    EXPECT_EQ(chart.xTickSpacing, 30);
    EXPECT_EQ(chart.PointSlots(), 990);
    EXPECT_EQ(chart.ScrollStep(), 90);
    EXPECT_EQ(chart.YTickValues().size(), 11U);
    EXPECT_EQ(chart.TickLabel(-80), "-5");
    EXPECT_EQ(chart.XTickIndexes().back(), 990);
}

TEST(StripChartGeometryTest, YTickSpacing_AFifthOfTheRangeOrAQuarterOfTheExtent) {
    EXPECT_EQ(YTickSpacing(1, 16), 4);      // (2 + 5) / 10 = 0
    EXPECT_EQ(YTickSpacing(2, 16), 8);      // (4 + 5) / 10 = 0
    EXPECT_EQ(YTickSpacing(3, 16), 16);     // 1, within half of the extent
    EXPECT_EQ(YTickSpacing(100, 16), 320);  // 20
}

TEST(StripChartGeometryTest, TickLabel_DecimalsOnlyForFractionalTicksOnSmallExtents) {
    CNeuHistory history;
    history.Configure(kNeuSampleScale, 30, 1);  // 0.1 m: fine, range 1 tenth, spacing 4
    const StripChartGeometry fine = NeuChartGeometry(history, 500, 200);
    EXPECT_EQ(fine.TickLabel(-16), "-1.00");
    EXPECT_EQ(fine.TickLabel(4), "0.25");
    history.Configure(kNeuSampleScale, 30, 50);
    EXPECT_EQ(NeuChartGeometry(history, 500, 200).TickLabel(48), "3");
}

TEST(StripChartGeometryTest, Point_IntegerPlacement) {
    const StripChartGeometry chart = DefaultChart();
    // Plot 425 x 175, zero line at 20 + 87 = 107.
    EXPECT_EQ(chart.ZeroLineY(), 107);
    EXPECT_EQ(chart.PointX(0), 35);
    EXPECT_EQ(chart.PointX(100), 35 + 425 * 100 / 990);
    EXPECT_EQ(chart.PointY(0), 107);
    EXPECT_EQ(chart.PointY(80), 107 - 87);
    EXPECT_EQ(chart.PointY(-40), 107 + 87 * 40 / 80);
}

TEST(StripChartGeometryTest, OutsideThePlot_LineBreaks) {
    CStripChartPoints points(DefaultChart());
    points.Add(0);
    points.Add(10);
    points.Add(400);  // 25 m on a 5 m chart
    points.Add(10);
    ASSERT_EQ(points.Points().size(), 4U);
    EXPECT_FALSE(points.Points()[0].lineTo);
    EXPECT_TRUE(points.Points()[1].lineTo);
    EXPECT_FALSE(points.Points()[2].lineTo);
    EXPECT_TRUE(points.Points()[3].lineTo);
}

TEST(StripChartGeometryTest, Full_ScrollsByTheStepToTheLeftEdge) {
    const StripChartGeometry chart = DefaultChart();
    CStripChartPoints points(chart);
    for (int i = 0; i < chart.PointSlots(); ++i) {
        ASSERT_FALSE(points.Add(i % 80));
    }
    EXPECT_TRUE(points.Add(1));
    ASSERT_EQ(points.Points().size(), static_cast<std::size_t>(chart.PointSlots() - chart.ScrollStep() + 1));
    EXPECT_EQ(points.Points().front().x, chart.plot.left);
    EXPECT_EQ(points.Points().front().y, chart.PointY(90 % 80));
    EXPECT_EQ(points.Points().back().x, chart.PointX(chart.PointSlots() - chart.ScrollStep()));
}

}  // namespace
}  // namespace zarnmon
