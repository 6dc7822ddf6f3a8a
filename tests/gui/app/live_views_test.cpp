// The views as a user meets them: opened through the main frame's commands
// and fed by the built-in simulator.

#include <QMdiSubWindow>
#include <QMenuBar>
#include <set>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"
#include "core/link/gps_time.h"
#include "gui/app/main_frame.h"
#include "gui/displays/channel_l2_view.h"
#include "gui/displays/channel_view.h"
#include "gui/displays/gps_view.h"
#include "gui/displays/sky_view.h"
#include "gui/state/app_icons.h"
#include "gui/state/monitor_view.h"
#include "gui/state/neu_view.h"
#include "gui/state/scatter_view.h"
#include "gui/state/statistics_view.h"
#include "tests/gui/app/frame_fixture.h"

namespace zarnmon {
namespace {

class LiveViewsTest : public ::testing::Test, public test::FrameFixture {
protected:
    LiveViewsTest() { frame->show(); }

    template <typename View>
    View& Open(int templateId) {
        frame->OpenView(templateId);
        QCoreApplication::processEvents();
        QMdiSubWindow* active = frame->MdiArea().activeSubWindow();
        EXPECT_NE(active, nullptr);
        return *qobject_cast<View*>(active->widget());
    }

    [[nodiscard]] QStringList MenuTitles() const {
        QStringList titles;
        for (const QAction* action : frame->menuBar()->actions()) {
            titles << action->text();
        }
        return titles;
    }
};

TEST_F(LiveViewsTest, EachViewBringsItsOwnMenuAndFitsItsFrame) {
    frame->UpdateUi();
    for (const int id : {32771, 32808, 32781}) {
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    }
    CViewGPS& gps = Open<CViewGPS>(137);
    EXPECT_TRUE(MenuTitles().contains(QStringLiteral("&Solution")));
    CViewChannel& channels = Open<CViewChannel>(129);
    EXPECT_TRUE(MenuTitles().contains(QStringLiteral("&Channels")));
    EXPECT_FALSE(MenuTitles().contains(QStringLiteral("&Solution")));
    EXPECT_LT(MenuTitles().indexOf(QStringLiteral("&Channels")), MenuTitles().indexOf(QStringLiteral("&Window")));

    // The frames show the whole table without scrolling.
    for (const CElementView* view : std::initializer_list<const CElementView*>{&gps, &channels}) {
        EXPECT_GE(view->viewport()->width(), view->Extent().width());
        EXPECT_GE(view->viewport()->height(), view->Extent().height());
        EXPECT_LE(view->viewport()->width(), view->Extent().width() + 4);
    }
}

TEST_F(LiveViewsTest, TheSimulatorFillsTheChannelAndSolutionViews) {
    ConnectSimulator();
    const CViewChannel& channels = Open<CViewChannel>(129);
    const CViewGPS& gps = Open<CViewGPS>(137);

    const auto tracked = [&channels] {
        int rows = 0;
        for (int row = 1; row <= 12; ++row) {
            rows += channels.Cell(row, 1).Text() != "---" ? 1 : 0;
        }
        return rows;
    };
    ASSERT_TRUE(RunSecondsUntil([&] { return tracked() >= 8 && gps.Box(3).Values()[0] == "3-D DIFF"; }));

    // Used satellites are green, and only they.
    const Msg2View msg2(context.dispatcher.Handler(Slots::Msg2).LastMessage());
    for (int row = 1; row <= 12; ++row) {
        const std::string& prn = channels.Cell(row, 1).Text();
        if (prn == "---") {
            continue;
        }
        const bool used = msg2.IsGpsPrnUsed(std::stoi(prn));
        EXPECT_EQ(channels.Cell(row, 0).Color() == colors::kDarkGreen, used) << "row " << row;
    }

    // The solution agrees with what the receiver sent.
    const Msg1View msg1(context.dispatcher.Handler(Slots::Msg1).LastMessage());
    EXPECT_EQ(gps.Box(0).Values()[0], FormatFixed(msg1.Latitude(), 7));
    EXPECT_EQ(gps.Box(2).Values()[0], FormatFixed(msg2.Hdop() * 0.1, 1));
    EXPECT_TRUE(gps.Box(3).Values()[1].starts_with(std::to_string(msg1.NumSats()) + " ("));
    const std::string shown = gps.Box(4).Values()[0] + "  " + gps.Box(4).Values()[1];
    EXPECT_EQ(shown, UtcDateTimeString(msg1.GpsWeek(), msg1.GpsTimeOfWeek(), context.dispatcher.GpsUtcOffset().Get()));

    // Values move as the satellites do.
    std::vector<std::string> before;
    for (int row = 1; row <= 12; ++row) {
        before.push_back(channels.Cell(row, 4).Text());
    }
    ASSERT_TRUE(RunSecondsUntil([&] {
        for (int row = 1; row <= 12; ++row) {
            if (channels.Cell(row, 4).Text() != before[static_cast<std::size_t>(row - 1)]) {
                return true;
            }
        }
        return false;
    }));
}

TEST_F(LiveViewsTest, Monitor_ConductsOnTheSimulatorAndFailsWhenTheCableIsPulled) {
    const auto picture = [](const QIcon& icon) { return icon.pixmap(32, 32).toImage(); };
    ConnectSimulator();
    CViewMonitor& monitor = Open<CViewMonitor>(146);
    ASSERT_TRUE(RunSecondsUntil([&] { return monitor.Test().State() == MonitorState::Conducting; }));
    EXPECT_EQ(monitor.StatusLight().Color(), QColor(0, 255, 0));
    EXPECT_EQ(monitor.Light(0).Color(), QColor(0, 255, 0)) << "the L-band receiver is locked";
    EXPECT_EQ(monitor.Light(3).Color(), QColor(255, 0, 0)) << "and talking";
    EXPECT_EQ(picture(frame->windowIcon()), picture(ApplicationIcon()));

    // Copy follows the text box's selection.
    monitor.StatusBox().setFocus();
    monitor.StatusBox().selectAll();
    frame->UpdateUi();
    EXPECT_TRUE(frame->Action(57634)->isEnabled());
    monitor.StatusBox().moveCursor(QTextCursor::End);
    frame->UpdateUi();
    EXPECT_FALSE(frame->Action(57634)->isEnabled());

    frame->Link()->close();
    ASSERT_TRUE(RunSecondsUntil([&] { return monitor.Test().State() == MonitorState::Failed; }, 10));
    EXPECT_TRUE(monitor.StatusBox().toPlainText().contains(QStringLiteral(": Failed Communications (3 sec)")));
    EXPECT_EQ(monitor.StatusLight().Color(), QColor(255, 0, 0));
    EXPECT_EQ(picture(frame->windowIcon()), picture(FailedTestIcon()));
}

TEST_F(LiveViewsTest, Statistics_ShowTheSimulatorsMessage97) {
    ConnectSimulator();
    const CViewStatistics& statistics = Open<CViewStatistics>(141);
    ASSERT_TRUE(RunSecondsUntil([&] { return statistics.FieldText(0) != QStringLiteral("0.0"); }, 30));
    const Msg97View msg97(context.dispatcher.Handler(Slots::Msg97).LastMessage());
    EXPECT_EQ(statistics.FieldText(1), QString::number(msg97.MissedSubframes()));
}

TEST_F(LiveViewsTest, NeuPlotAndScatter_FillFromTheSimulatorAroundTheStoredLocation) {
    // The simulator stands near this point; the views find it stored and ask nothing.
    settings.SetString(kLocation, "Latitude", "51.04470000");
    settings.SetString(kLocation, "Longitude", "-114.07190000");
    settings.SetString(kLocation, "Height", "1048.0000");
    ConnectSimulator();
    const CViewNEUerrors& neu = Open<CViewNEUerrors>(148);
    EXPECT_TRUE(MenuTitles().contains(QStringLiteral("&Graph")));
    const CViewScatter& scatter = Open<CViewScatter>(161);
    ASSERT_TRUE(context.reference.IsValid());
    ASSERT_TRUE(
        RunSecondsUntil([&] { return neu.Chart(0).Points().Points().size() >= 5 && scatter.Figures().samples >= 5; }));
    EXPECT_EQ(neu.Chart(2).Points().Points().size(), neu.Chart(0).Points().Points().size());
    EXPECT_EQ(neu.Chart(0).Caption(), QStringLiteral("60 Sec/Tick")) << "the default 30 minutes";
    EXPECT_EQ(scatter.Figures().samples, context.neuHistory.Track().size());
    EXPECT_EQ(neu.FieldText(CViewNEUerrors::kNorth),
              QString::asprintf("%.4lf", context.neuHistory.CurrentErrors().north));
    EXPECT_LT(scatter.Figures().cep95, 20.0) << "a receiver standing still";
}

TEST_F(LiveViewsTest, Sky_TheSimulatorsSatellitesMoveAcrossThePlot) {
    ConnectSimulator();
    const CViewSky& sky = Open<CViewSky>(162);
    const auto count = [&sky](SkyUse use) {
        return std::ranges::count(sky.Plot().Content().satellites, use, &SkySatellite::use);
    };
    // Used and unused satellites, the almanac's others, SBAS and L2 signals.
    ASSERT_TRUE(RunSecondsUntil([&] {
        return count(SkyUse::Used) >= 6 && count(SkyUse::AlmanacOnly) >= 1 && sky.Bar(0).Signal().l2.has_value() &&
               sky.Bar(kGpsSignalChannels).Signal().prn != 0;
    }));
    for (int channel = 0; channel < kSignalChannels; ++channel) {
        const ChannelSignal signal = sky.Bar(channel).Signal();
        if (signal.l1) {
            EXPECT_GT(*signal.l1, 10.0) << "channel " << channel + 1;
            EXPECT_LT(*signal.l1, kCnoScaleMax) << "channel " << channel + 1;
        }
    }
    // Within minutes satellites have moved a few steps in azimuth or elevation.
    const auto moved = [&sky] {
        return std::ranges::count_if(sky.Plot().Content().trails,
                                     [](const auto& trail) { return trail.size() >= 3; }) >= 4;
    };
    EXPECT_TRUE(RunSecondsUntil(moved, 600));
}

}  // namespace
}  // namespace zarnmon
