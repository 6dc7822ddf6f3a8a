#include "gui/state/scatter_view.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <cmath>

#include <gtest/gtest.h>

#include "core/link/bin_catalogue.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

constexpr double kRefLatitude = 51.0;
constexpr double kRefLongitude = -114.0;
constexpr float kRefHeight = 1000.0F;

class ScatterViewTest : public ::testing::Test, public test::ViewContext {
protected:
    ScatterViewTest() {
        context.reference.SetPosition({kRefLatitude, kRefLongitude, kRefHeight});
        context.reference.ComputeDegreeFactors(kRefLatitude, kRefHeight);
        context.reference.MarkValid();
        context.neuHistory.Configure(kNeuSampleScale, 30, 50);
    }

    CViewScatter& Open() {
        view = new CViewScatter(services);
        area.addSubWindow(view);
        area.resize(900, 600);
        area.show();
        QCoreApplication::processEvents();
        return *view;
    }

    // A message 1 at these offsets from the reference, offered to the history
    // as the main frame does.
    void Fix(double timeOfWeek, double north, double east, double up) {
        CBinFrameBuilder b(msg1::kId);
        b.Set(msg1::GpsTimeOfWeek, timeOfWeek)
            .Set(msg1::Latitude, kRefLatitude + north / context.reference.MetersPerDegreeLatitude())
            .Set(msg1::Longitude, kRefLongitude + east / context.reference.MetersPerDegreeLongitude())
            .Set(msg1::Height, static_cast<float>(kRefHeight + up));
        context.dispatcher.Feed(b.Build());
        (void)context.neuHistory.AddNeuSample(Msg1View(context.dispatcher.Handler(Slots::Msg1).LastMessage()),
                                              context.reference);
        QCoreApplication::processEvents();
    }

    QMdiArea area;
    CViewScatter* view = nullptr;
};

TEST_F(ScatterViewTest, Figures_AreTheCoresForTheWholeTrack) {
    const std::array<std::array<double, 3>, 6> offsets{
        {{3.0, 4.0, 1.0}, {-3.0, 0.0, 2.0}, {0.0, -1.0, -1.0}, {6.0, 8.0, 0.5}, {0.5, 0.5, 0.0}, {-2.0, 2.0, 3.0}}};
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        Fix(2000.0 + 2.0 * static_cast<double>(i), offsets[i][0], offsets[i][1], offsets[i][2]);
    }
    CViewScatter& scatter = Open();
    const AccuracyFigures expected = ComputeAccuracy(context.neuHistory.Track());
    ASSERT_EQ(expected.samples, 6U);
    EXPECT_EQ(scatter.FieldText(CViewScatter::kSamples), QStringLiteral("6"));
    const auto shown = [&scatter](CViewScatter::Field field) { return scatter.FieldText(field); };
    const auto text = [](double value) { return QString::asprintf("%.4lf", value); };
    EXPECT_EQ(shown(CViewScatter::kMeanNorth), text(expected.mean.north));
    EXPECT_EQ(shown(CViewScatter::kMeanEast), text(expected.mean.east));
    EXPECT_EQ(shown(CViewScatter::kMeanUp), text(expected.mean.up));
    EXPECT_EQ(shown(CViewScatter::kStdNorth), text(expected.stddev.north));
    EXPECT_EQ(shown(CViewScatter::kStdEast), text(expected.stddev.east));
    EXPECT_EQ(shown(CViewScatter::kStdUp), text(expected.stddev.up));
    EXPECT_EQ(shown(CViewScatter::kCep50), text(expected.cep50));
    EXPECT_EQ(shown(CViewScatter::kCep95), text(expected.cep95));
    EXPECT_EQ(shown(CViewScatter::kTwoDrms), text(expected.twoDrms));
    // Nearest rank of the horizontal errors 5, 3, 1, 10, 0.71, 2.83: the 3rd and 6th of six.
    EXPECT_NEAR(expected.cep50, 2.8284, 1e-3);
    EXPECT_NEAR(expected.cep95, 10.0, 1e-3);

    // Every dot is drawn, inside a square that fits the farthest (8 m east, 6 m north).
    scatter.grab();
    EXPECT_EQ(scatter.Plot().DrawnDots(), 6U);
    EXPECT_DOUBLE_EQ(scatter.Plot().HalfWidth(), 10.0);
    const QPointF centre = scatter.Plot().PointOf(0.0, 0.0);
    const QPointF east = scatter.Plot().PointOf(0.0, 5.0);
    const QPointF north = scatter.Plot().PointOf(5.0, 0.0);
    EXPECT_NEAR(east.x() - centre.x(), centre.y() - north.y(), 1e-9) << "equal scales on both axes";
    EXPECT_GT(east.x(), centre.x());
    EXPECT_LT(north.y(), centre.y()) << "north is up";
}

TEST_F(ScatterViewTest, NewSamples_AppearLiveAndTheScaleGrowsToFitThem) {
    CViewScatter& scatter = Open();
    EXPECT_EQ(scatter.FieldText(CViewScatter::kSamples), QStringLiteral("0"));
    Fix(100.0, 0.3, -0.4, 0.0);
    PostRefreshTick(view);
    QCoreApplication::processEvents();
    scatter.grab();
    EXPECT_EQ(scatter.FieldText(CViewScatter::kSamples), QStringLiteral("1"));
    EXPECT_EQ(scatter.FieldText(CViewScatter::kCep50), QStringLiteral("0.5000"));
    EXPECT_DOUBLE_EQ(scatter.Plot().HalfWidth(), 0.5);
    EXPECT_EQ(scatter.Plot().DrawnDots(), 1U);

    Fix(102.0, 30.0, 0.0, 0.0);
    PostRefreshTick(view);
    QCoreApplication::processEvents();
    scatter.grab();
    EXPECT_EQ(scatter.FieldText(CViewScatter::kSamples), QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(scatter.Plot().HalfWidth(), 50.0);
    EXPECT_EQ(scatter.Plot().DrawnDots(), 2U);
}

TEST_F(ScatterViewTest, ADayOfSamples_RepaintsInUnderThirtyMilliseconds) {
    // 86,400 fixes scattered around the reference, one a second, straight into the track.
    context.neuHistory.Configure(kNeuSampleScale, 1, 50);
    for (int i = 0; i < 86400; ++i) {
        const double angle = i * 0.001;
        const double radius = 2.0 * std::fmod(i * 0.61803398875, 1.0);
        const GeoPosition position{
            kRefLatitude + radius * std::cos(angle) / context.reference.MetersPerDegreeLatitude(),
            kRefLongitude + radius * std::sin(angle) / context.reference.MetersPerDegreeLongitude(), kRefHeight};
        (void)context.neuHistory.AddNeuSample(static_cast<double>(i + 1), position, context.reference);
    }
    ASSERT_EQ(context.neuHistory.Track().size(), 86400U);
    CViewScatter& scatter = Open();
    scatter.grab();
    EXPECT_EQ(scatter.Plot().DrawnDots(), 86400U);
    QElapsedTimer timer;
    timer.start();
    constexpr int kRepaints = 5;
    for (int i = 0; i < kRepaints; ++i) {
        scatter.Plot().resize(scatter.Plot().width() + (i % 2 == 0 ? 1 : -1), scatter.Plot().height());
        scatter.Plot().grab();
    }
    // Generous against a loaded machine; the benchmark measures the real figure.
    EXPECT_LT(timer.elapsed() / kRepaints, 100);
}

}  // namespace
}  // namespace zarnmon
