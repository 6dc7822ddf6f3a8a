#include "core/state/fixed_format.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

std::string Printf(double value, int precision) {
    char text[512];
    std::snprintf(text, sizeof text, "%.*f", precision, value);
    return text;
}

TEST(FixedFormatTest, SameTextAsPrintf) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> magnitude(-12.0, 12.0);
    std::vector<double> values{0.0,
                               -0.0,
                               0.125,
                               0.0005,
                               -0.0004,
                               2.5,
                               1e300,
                               -1e-300,
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::quiet_NaN()};
    for (int i = 0; i < 20000; ++i) {
        const double v = std::pow(10.0, magnitude(random)) * (i % 2 == 0 ? 1 : -1);
        values.push_back(v);
        values.push_back(std::round(v * 1000.0) / 1000.0 + 0.0005);  // near rounding ties
    }
    for (const double v : values) {
        for (const int precision : {1, 2, 3, 7}) {
            std::string out;
            AppendFixed(out, v, precision);
            ASSERT_EQ(out, Printf(v, precision)) << v << " %." << precision << "f";
        }
    }
}

TEST(FixedFormatTest, IntegersAsPercentD) {
    std::string out;
    AppendInt(out, -1234);
    AppendInt(out, 0);
    EXPECT_EQ(out, "-12340");
}

}  // namespace
}  // namespace zarnmon
