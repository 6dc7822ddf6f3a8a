#include "gui/displays/sky_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "gui/state/color_ref.h"
#include "support/sky_frames.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

using test::Msg100With;
using test::Msg2With;
using test::Msg89With;
using test::Msg98With;
using test::Msg99With;

constexpr std::uint16_t kCno30 = 20000;  // 30.1 dB
constexpr std::uint16_t kCno20 = 2000;   // 20.1 dB

// Whether any pixel of the square of half-width half about the point passes.
template <typename Test>
bool AnyPixel(const QImage& image, QPointF point, int half, Test&& test) {
    const QPoint centre = point.toPoint();
    for (int y = centre.y() - half; y <= centre.y() + half; ++y) {
        for (int x = centre.x() - half; x <= centre.x() + half; ++x) {
            if (test(image.pixelColor(x, y))) {
                return true;
            }
        }
    }
    return false;
}

bool NearColor(const QImage& image, QPointF point, const QColor& wanted, int half = 1) {
    return AnyPixel(image, point, half, [&wanted](const QColor& pixel) {
        return std::abs(pixel.red() - wanted.red()) < 30 && std::abs(pixel.green() - wanted.green()) < 30 &&
               std::abs(pixel.blue() - wanted.blue()) < 30;
    });
}

class SkyViewTest : public ::testing::Test, public test::ViewContext {
protected:
    SkyViewTest() { Open(); }

    void Open() {
        view = std::make_unique<CViewSky>(services);
        view->resize(950, 560);
        view->show();
        view->InitialUpdate();
        QCoreApplication::processEvents();
    }
    [[nodiscard]] const SkySatellite* Find(int prn) const {
        const auto& satellites = view->Plot().Content().satellites;
        const auto found = std::ranges::find(satellites, prn, &SkySatellite::prn);
        return found == satellites.end() ? nullptr : &*found;
    }
    [[nodiscard]] QRegion PlotArea() const { return view->Plot().Rect().ToQRect(); }
    [[nodiscard]] QRegion BarArea(int channel) const { return view->Bar(channel).Rect().ToQRect(); }

    std::unique_ptr<CViewSky> view;
};

TEST_F(SkyViewTest, PlotIsNorthUpEastRightWithTheZenithAtTheCentre) {
    const CDrawSkyPlot& plot = view->Plot();
    const QPointF centre = plot.Centre();
    const double radius = plot.Radius();
    EXPECT_GT(radius, 150.0);
    EXPECT_EQ(plot.PointOf({90, 0}), centre + QPointF(radius, 0.0)) << "east at the right edge";
    EXPECT_EQ(plot.PointOf({0, 0}), centre + QPointF(0.0, -radius)) << "north at the top";
    EXPECT_EQ(plot.PointOf({270, 0}), centre + QPointF(-radius, 0.0));
    EXPECT_EQ(plot.PointOf({200, 90}), centre) << "the zenith";
    // The whole plot with its labels is inside the element, and everything inside the extent.
    EXPECT_TRUE(plot.Rect().ToQRect().contains(
        QRectF(centre.x() - radius - 24, centre.y() - radius - 24, 2 * radius + 48, 2 * radius + 48).toRect()));
    EXPECT_TRUE(QRect(QPoint(0, 0), view->Extent()).contains(view->Bar(kSignalChannels - 1).Rect().ToQRect()));

    // A satellite due east on the horizon is drawn at the right edge, not the left.
    Feed(Msg99With({{.channel = 0, .prn = 9, .elevation = 0, .azimuthHalf = 45, .cnoRaw = kCno30}}));
    const QImage picture = view->Picture();
    const QColor ramp = CnoColor(L1CnoDbHz(kCno30));
    EXPECT_TRUE(NearColor(picture, centre + QPointF(radius - 10, 0.0), ramp, 2));
    EXPECT_FALSE(NearColor(picture, centre + QPointF(-radius + 10, 0.0), ramp, 2));
}

TEST_F(SkyViewTest, UsedFilledTrackedHollowAlmanacGrey) {
    Feed(Msg2With(1U << 4));
    Feed(Msg98With({{.prn = 5, .elevation = 60, .azimuthHalf = 0}, {.prn = 22, .elevation = 30, .azimuthHalf = 135}}));
    Feed(Msg99With({{.channel = 0, .prn = 5, .elevation = 60, .azimuthHalf = 0, .cnoRaw = kCno30},
                    {.channel = 1, .prn = 14, .elevation = 30, .azimuthHalf = 45, .cnoRaw = kCno30}}));
    Feed(Msg89With({{.channel = 12, .prn = 135, .elevation = 30, .azimuthHalf = 90, .cnoRaw = kCno20}}, 0x01));

    ASSERT_NE(Find(5), nullptr);
    EXPECT_EQ(Find(5)->use, SkyUse::Used);
    EXPECT_EQ(Find(14)->use, SkyUse::Tracked);
    EXPECT_EQ(Find(22)->use, SkyUse::AlmanacOnly);
    EXPECT_EQ(Find(135)->use, SkyUse::Used);

    const QImage picture = view->Picture();
    const CDrawSkyPlot& plot = view->Plot();
    const QColor ramp = CnoColor(L1CnoDbHz(kCno30));
    // Below the label, inside the symbol: the fill.
    const QPointF inside(0.0, 8.0);
    EXPECT_TRUE(NearColor(picture, plot.PointOf({0, 60}) + inside, ramp)) << "used: filled";
    EXPECT_TRUE(NearColor(picture, plot.PointOf({90, 30}) + inside, Qt::white)) << "tracked: hollow";
    EXPECT_FALSE(NearColor(picture, plot.PointOf({90, 30}) + inside, ramp));
    EXPECT_TRUE(NearColor(picture, plot.PointOf({90, 30}) + QPointF(0.0, 10.5), ramp)) << "tracked: its ring";
    const QColor almanacInside = picture.pixelColor((plot.PointOf({270, 30}) + QPointF(0.0, 6.0)).toPoint());
    EXPECT_EQ(almanacInside.red(), almanacInside.green()) << "almanac: grey";
    EXPECT_EQ(almanacInside.green(), almanacInside.blue());
    EXPECT_LT(almanacInside.red(), 250);
    EXPECT_TRUE(NearColor(picture, plot.PointOf({180, 30}) + inside, CnoColor(L1CnoDbHz(kCno20))))
        << "the SBAS satellite, used by message 89, in its own C/No's colour";
}

TEST_F(SkyViewTest, TrailsAreBoundedAndFollowTheSatellite) {
    for (std::uint8_t azimuthHalf = 20; azimuthHalf < 60; ++azimuthHalf) {
        Feed(Msg99With({{.channel = 4, .prn = 17, .elevation = 35, .azimuthHalf = azimuthHalf}}));
    }
    const SkyContent& content = view->Plot().Content();
    ASSERT_EQ(content.satellites.size(), 1U);
    ASSERT_EQ(content.trails[0].size(), CSkyTrails::kLength);
    EXPECT_EQ(content.trails[0].back(), (SkyPosition{118, 35}));
    EXPECT_EQ(content.trails[0].front(), (SkyPosition{118 - 2 * (static_cast<int>(CSkyTrails::kLength) - 1), 35}));
    // The trail is drawn to its oldest point, in the satellite's (green) colour.
    EXPECT_TRUE(AnyPixel(view->Picture(), view->Plot().PointOf(content.trails[0].front()), 2,
                         [](const QColor& pixel) { return pixel.green() - pixel.red() > 30; }));
}

TEST_F(SkyViewTest, BarsPerChannelWithL2WhereMessage100Flows) {
    Feed(Msg2With(1U << 4));
    Feed(Msg99With({{.channel = 0, .prn = 5, .cnoRaw = kCno30}, {.channel = 2, .prn = 8, .cnoRaw = kCno20}}));
    Feed(Msg100With({{.record = 0, .prn = 5, .l2CnoRaw = 2000}}));

    const CDrawCnoBar& bar = view->Bar(0);
    ASSERT_TRUE(bar.Signal().l1 && bar.Signal().l2);
    EXPECT_TRUE(bar.Signal().used);
    const CnoChartLayout& layout = ChartLayout();
    EXPECT_DOUBLE_EQ(bar.L1Bar().bottom(), layout.bottom);
    EXPECT_DOUBLE_EQ(bar.L1Bar().top(), layout.YOf(*bar.Signal().l1));
    EXPECT_FALSE(bar.L2Bar().isEmpty());
    EXPECT_TRUE(view->Bar(2).L2Bar().isEmpty());
    EXPECT_FALSE(view->Bar(2).L1Bar().isEmpty());
    EXPECT_TRUE(view->Bar(1).L1Bar().isEmpty()) << "an idle channel";
    EXPECT_EQ(bar.ShownTexts(), (TextLines{{"1", "5", "30.1", "20.7", "used"}}));
    EXPECT_EQ(view->Bar(1).ShownTexts(), (TextLines{{"2", "---", "---", "---", ""}}));

    // The bars stand in the ramp's colours.
    const QImage picture = view->Picture();
    EXPECT_TRUE(NearColor(picture, bar.L1Bar().center(), CnoColor(*bar.Signal().l1), 2));
    EXPECT_TRUE(NearColor(picture, view->Bar(2).L1Bar().center(), CnoColor(*view->Bar(2).Signal().l1), 2));
}

TEST_F(SkyViewTest, ThresholdLinesAreTheMonitorsOwn) {
    // The monitor's defaults, read from the profile on the view's behalf.
    ASSERT_TRUE(context.monitorThresholds.has_value());
    EXPECT_EQ(view->Thresholds().Lines(), (ThresholdLines{15.0, 6.0}));
    EXPECT_EQ(view->Thresholds().ShownTexts(), (TextLines{{"SNRFull", "15.0"}, {"SNRCodeOnly", "6.0"}}));

    view.reset();
    context.monitorThresholds.reset();
    settings.SetString("Thresholds", "SNRFull", "22.5");
    settings.SetString("Thresholds", "SNRCodeOnly", "9");
    Open();
    EXPECT_EQ(view->Thresholds().Lines(), (ThresholdLines{22.5, 9.0}));
    EXPECT_DOUBLE_EQ(context.monitorThresholds->snrFull, 22.5) << "one object for the monitor and the view";

    // Each line lies across the chart at its level (somewhere in a dash's period).
    const QImage picture = view->Picture();
    const CnoChartLayout& layout = ChartLayout();
    const int middle = (layout.left + layout.right) / 2;
    const QColor full(25, 90, 170);
    const QColor codeOnly(150, 60, 160);
    EXPECT_TRUE(NearColor(picture, QPointF(middle, layout.YOf(22.5)), full, 7));
    EXPECT_TRUE(NearColor(picture, QPointF(middle, layout.YOf(9.0)), codeOnly, 7));
    EXPECT_FALSE(NearColor(picture, QPointF(middle, layout.YOf(15.0)), full, 7)) << "not at the default level";
}

TEST_F(SkyViewTest, RepaintsOnlyWhatItsMessagesChanged) {
    const auto channels = {test::Tracked{.channel = 0, .prn = 5, .cnoRaw = kCno30},
                           test::Tracked{.channel = 3, .prn = 11, .cnoRaw = kCno20}};
    Feed(Msg99With(channels));
    Feed(Msg100With({{.record = 0, .prn = 5, .l2CnoRaw = 2000}}));
    test::CPaintRecorder painted(*view->viewport());
    painted.Take();

    Feed(Msg99With(channels));
    Feed(Msg100With({{.record = 0, .prn = 5, .l2CnoRaw = 2000}}));
    EXPECT_TRUE(painted.Take().isEmpty()) << "the same messages again";
    Feed(CBinFrameBuilder(msg1::kId));
    EXPECT_TRUE(painted.Take().isEmpty()) << "a message the view does not show";

    Feed(Msg99With({{.channel = 0, .prn = 5, .cnoRaw = kCno30}, {.channel = 3, .prn = 11, .cnoRaw = kCno30}}));
    EXPECT_EQ(painted.Take(), PlotArea() + BarArea(3)) << "one satellite's colour and its channel's bar";
    Feed(Msg100With({{.record = 0, .prn = 5, .l2CnoRaw = 3000}}));
    EXPECT_EQ(painted.Take(), BarArea(0)) << "L2 is charted, not plotted";
}

TEST_F(SkyViewTest, StaleChannelDataGoesGreyOrGoesAway) {
    Feed(Msg98With({{.prn = 5, .elevation = 50, .azimuthHalf = 30}}));
    Feed(Msg99With({{.channel = 0, .prn = 5, .elevation = 51, .azimuthHalf = 31}, {.channel = 1, .prn = 12}}));
    Feed(Msg89With({{.channel = 13, .prn = 138}}));
    ASSERT_EQ(view->Plot().Content().satellites.size(), 3U);
    test::CPaintRecorder painted(*view->viewport());
    painted.Take();

    clock.Advance(CMsgDispatcher::kActiveMs - 1);
    Ticks(*view, 1);
    EXPECT_TRUE(painted.Take().isEmpty()) << "still fresh";

    clock.Advance(1);
    Ticks(*view, 1);
    ASSERT_EQ(view->Plot().Content().satellites.size(), 1U);
    EXPECT_EQ(Find(5)->use, SkyUse::AlmanacOnly) << "the almanac's place, in grey";
    EXPECT_EQ(Find(5)->position, (SkyPosition{60, 50}));
    EXPECT_EQ(view->Bar(0).Signal(), ChannelSignal{});
    EXPECT_EQ(view->Bar(13).Signal(), ChannelSignal{});
    // Every message the view shows has stopped, so the whole view greys; what
    // changed is repainted with it.
    EXPECT_TRUE(view->ShowsStale());
    EXPECT_TRUE((PlotArea() + BarArea(0) + BarArea(1) + BarArea(13)).subtracted(painted.Take()).isEmpty());
}

TEST_F(SkyViewTest, KeepsItsMessagesOnAndSwitchesOffWhatItTurnedOn) {
    Feed(Msg98With({}));  // message 98 flows already
    Ticks(*view, 3);
    EXPECT_TRUE(sender.sent.empty());
    Ticks(*view, 1);
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JBIN,99,1\r", "$JBIN,2,1\r", "$JBIN,89,1\r", "$JBIN,100,1\r"}));
    EXPECT_FALSE(view->TurnedOnHere(Slots::Msg98));
    EXPECT_TRUE(view->TurnedOnHere(Slots::Msg100));

    sender.sent.clear();
    view.reset();
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JBIN,100,0\r"}));
}

TEST_F(SkyViewTest, CopyGivesTheSkyTheChannelsAndTheThresholds) {
    Feed(Msg98With({{.prn = 22, .elevation = 30, .azimuthHalf = 135}}));
    Feed(Msg99With({{.channel = 0, .prn = 5, .elevation = 60, .azimuthHalf = 10, .cnoRaw = kCno30}}));
    view->Copy();
    const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 3 + 1 + kSignalChannels + 2);
    EXPECT_EQ(lines[0], QStringLiteral("PRN\tAZI\tELV\tC/No\tUSE"));
    EXPECT_EQ(lines[1], QStringLiteral("5\t20\t60\t30.1\ttracked"));
    EXPECT_EQ(lines[2], QStringLiteral("22\t270\t30\t---\talmanac"));
    EXPECT_EQ(lines[3], QStringLiteral("CH\tPRN\tL1\tL2\tUSE"));
    EXPECT_EQ(lines[4], QStringLiteral("1\t5\t30.1\t---\t"));
    EXPECT_EQ(lines[3 + 1 + kSignalChannels], QStringLiteral("SNRFull\t15.0"));
}

}  // namespace
}  // namespace zarnmon
