// The iono map against the simulator's WAAS broadcast: within a minute of
// opening the view the map shows the simulated ionosphere over the
// broadcast's coverage.

#include <QCoreApplication>
#include <cmath>

#include <gtest/gtest.h>

#include "gui/waas/iono_view.h"
#include "sim/iono_model.h"
#include "sim/sim_config.h"
#include "sim/waas_broadcast.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

constexpr std::size_t kFrameSize = kBinFrameOverhead + msg80::kLength;

TEST(IonoViewSimTest, MapFillsWithinAMinuteAndFollowsTheModel) {
    test::ViewContext run;
    CAppContext& context = run.context;
    // Without extrapolation past the grid every square interpolates the model.
    context.ionoCoverage = IonoCoverage{kDefaultIonoRegion, false};
    CViewIono view(run.services);
    view.InitialUpdate();

    const sim::SimConfig config;
    const sim::CWaasBroadcaster broadcaster(config);
    std::vector<std::uint8_t> bytes;
    for (int second = 0; second < 60; ++second) {
        bytes.clear();
        broadcaster.AppendSecond(config.startSeconds + second, config.startWeek, bytes);
        for (std::size_t at = 0; at + kFrameSize <= bytes.size(); at += kFrameSize) {
            context.waas.ProcessWaasRecord(std::span<const std::uint8_t>(bytes).subspan(at, kFrameSize));
        }
        QCoreApplication::postEvent(&view, new CRxMessageEvent(&context.dispatcher.Handler(Slots::Msg80)));
        PostRefreshTick(&view);
        QCoreApplication::processEvents();
    }

    int drawn = 0;
    double worst = 0.0;
    for (int row = 0; row < view.Layout().Rows(); ++row) {
        for (int column = 0; column < view.Layout().Columns(); ++column) {
            const CDrawIono& square = view.Square(column, row);
            if (square.Value() == 0) {
                continue;
            }
            ++drawn;
            const double model =
                sim::VerticalDelayMetres(square.Latitude(), square.Longitude(), config.startSeconds + 60.0);
            worst = std::max(worst, std::abs(square.Value() / 16.0 - model));
        }
    }
    // Of the 70 x 40 squares over North America, those inside the broadcast grid.
    EXPECT_GT(drawn, 800);
    // Interpolated between 5-degree grid points of a smooth model.
    EXPECT_LT(worst, 0.5);
}

}  // namespace
}  // namespace zarnmon
