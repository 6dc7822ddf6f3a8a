#include "core/state/accuracy_figures.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

TEST(AccuracyFiguresTest, Empty_AllZero) {
    const AccuracyFigures figures = ComputeAccuracy({});
    EXPECT_EQ(figures.samples, 0U);
    EXPECT_EQ(figures.cep50, 0.0);
    EXPECT_EQ(figures.twoDrms, 0.0);
}

TEST(AccuracyFiguresTest, HandMadeSet_MatchesTheDefinitions) {
    // Horizontal errors 5, 10, 1, 13 and 2 m (3-4-5, 6-8-10, 5-12-13 triangles).
    const std::vector<NeuOffset> errors = {
        {3.0, 4.0, 1.0}, {-6.0, 8.0, 2.0}, {1.0, 0.0, 3.0}, {5.0, -12.0, 4.0}, {0.0, 2.0, 5.0},
    };
    const AccuracyFigures figures = ComputeAccuracy(errors);
    EXPECT_EQ(figures.samples, 5U);
    EXPECT_DOUBLE_EQ(figures.mean.north, 0.6);
    EXPECT_DOUBLE_EQ(figures.mean.east, 0.4);
    EXPECT_DOUBLE_EQ(figures.mean.up, 3.0);
    EXPECT_NEAR(figures.stddev.up, std::sqrt(2.0), 1e-12);  // population: (4+1+0+1+4) / 5
    // North: deviations 2.4, -6.6, 0.4, 4.4, -0.6 -> squares sum 69.2.
    EXPECT_NEAR(figures.stddev.north, std::sqrt(69.2 / 5), 1e-12);
    // Sorted 1, 2, 5, 10, 13: rank ceil(2.5) = 3 and ceil(4.75) = 5.
    EXPECT_DOUBLE_EQ(figures.cep50, 5.0);
    EXPECT_DOUBLE_EQ(figures.cep95, 13.0);
    // Squares 25 + 100 + 1 + 169 + 4 = 299.
    EXPECT_DOUBLE_EQ(figures.twoDrms, 2.0 * std::sqrt(299.0 / 5));
}

TEST(AccuracyFiguresTest, TwentySamples_Cep95IsTheNineteenth) {
    std::vector<NeuOffset> errors;
    for (int i = 1; i <= 20; ++i) {
        errors.push_back({static_cast<double>(i), 0.0, 0.0});
    }
    const AccuracyFigures figures = ComputeAccuracy(errors);
    EXPECT_DOUBLE_EQ(figures.cep50, 10.0);
    EXPECT_DOUBLE_EQ(figures.cep95, 19.0);
}

TEST(AccuracyFiguresTest, OneSample_IsEveryPercentile) {
    const std::vector<NeuOffset> errors = {{0.0, -7.0, 0.0}};
    const AccuracyFigures figures = ComputeAccuracy(errors);
    EXPECT_DOUBLE_EQ(figures.cep50, 7.0);
    EXPECT_DOUBLE_EQ(figures.cep95, 7.0);
    EXPECT_DOUBLE_EQ(figures.stddev.east, 0.0);
}

}  // namespace
}  // namespace zarnmon
