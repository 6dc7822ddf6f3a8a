// The cost of the live views. Goal: with the channel, P-code channel and
// solution views open and the simulator sending at 5 Hz, the program uses
// under 5 % of one core. One iteration is one second of receiver output fed
// to the dispatcher a fix at a time, with the views updating, repainting what changed on the
// offscreen platform and taking their refresh tick; the simulator's own time
// is left out (its benchmark has it). The counter "core_percent" is the
// process CPU time per receiver second.

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cmath>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/paint_counter.h"
#include "core/app/settings_store.h"
#include "core/link/bin_catalogue.h"
#include "core/link/frame_builder.h"
#include "gui/displays/channel_l2_view.h"
#include "gui/displays/channel_view.h"
#include "gui/displays/gps_view.h"
#include "gui/displays/sky_view.h"
#include "gui/state/neu_view.h"
#include "gui/state/rx_event.h"
#include "gui/state/scatter_view.h"
#include "sim/sim_receiver.h"

namespace zarnmon {
namespace {

constexpr int kSeconds = 60;

constexpr int kChunksPerSecond = 5;

// A minute of receiver output at 5 Hz, one chunk per fix.
std::vector<std::vector<std::uint8_t>> FiveHzMinute() {
    sim::CSimReceiver receiver{sim::SimConfig{}};
    std::string bad;
    receiver.Schedule().Enable("all", bad);
    for (const std::string_view command : {"$JBIN,1,5\r", "$JBIN,2,5\r", "$JBIN,99,5\r", "$JBIN,100,5\r"}) {
        receiver.Receive({reinterpret_cast<const std::uint8_t*>(command.data()), command.size()});
    }
    std::vector<std::vector<std::uint8_t>> chunks(kSeconds * kChunksPerSecond);
    for (auto& chunk : chunks) {
        for (std::uint32_t ms = 0; ms < 1000 / kChunksPerSecond; ms += sim::CSimReceiver::kTickMs) {
            receiver.Advance(sim::CSimReceiver::kTickMs);
            receiver.TakeOutput(chunk);
        }
    }
    return chunks;
}

// The views only read here: nothing switches WAAS processing.
class CNoReceiverControl final : public IReceiverControl {
public:
    [[nodiscard]] bool WaasProcessing() const override { return false; }
    void SetWaasProcessing(bool /*on*/) override {}
};

// The views open gets one second of receiver output per iteration.
void RunViewsAtFiveHz(benchmark::State& state,
                      const std::function<std::vector<CElementView*>(const ViewServices&)>& open) {
    CSteadyTickClock clock;
    CSettingsStore settings;
    CAppContext context{settings, clock};
    CNoReceiverControl receiver;
    const ViewServices services{context, receiver};
    QMdiArea area;
    area.resize(1600, 900);
    CPaintCounter counter;
    std::vector<QWidget*> views;
    for (CElementView* view : open(services)) {
        area.addSubWindow(view)->show();
        view->viewport()->installEventFilter(&counter);
        views.push_back(view);
    }
    area.show();
    QCoreApplication::processEvents();
    const auto chunks = FiveHzMinute();

    counter.paints = 0;
    std::size_t next = 0;
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        for (int fix = 0; fix < kChunksPerSecond; ++fix) {
            context.dispatcher.Feed(chunks[next]);
            next = (next + 1) % chunks.size();
            QCoreApplication::processEvents();
        }
        for (QWidget* view : views) {
            PostRefreshTick(view);
        }
        QCoreApplication::processEvents();
    }
    const double cpuSeconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["core_percent"] = 100.0 * cpuSeconds / iterations;
    state.counters["paints_per_s"] = static_cast<double>(counter.paints) / iterations;
}

void BM_ThreeViewsAtFiveHz(benchmark::State& state) {
    RunViewsAtFiveHz(state, [](const ViewServices& services) {
        return std::vector<CElementView*>{new CViewChannel(services), new CViewChannelL2(services),
                                          new CViewGPS(services)};
    });
}
BENCHMARK(BM_ThreeViewsAtFiveHz)->Unit(benchmark::kMillisecond)->Iterations(kSeconds * 2);

// The sky view alone on the same output: plot, trails and bars. Goal: under 5 % of a core.
void BM_SkyViewAtFiveHz(benchmark::State& state) {
    RunViewsAtFiveHz(state,
                     [](const ViewServices& services) { return std::vector<CElementView*>{new CViewSky(services)}; });
}
BENCHMARK(BM_SkyViewAtFiveHz)->Unit(benchmark::kMillisecond)->Iterations(kSeconds * 2);

// A run of its own for the NEU benchmarks: a reference valid from the
// start and a one-minute history.
struct NeuBenchRun {
    NeuBenchRun() {
        context.reference.SetPosition({51.0, -114.0, 1000.0});
        context.reference.ComputeDegreeFactors(51.0, 1000.0);
        context.reference.MarkValid();
        context.neuHistory.Configure(kNeuSampleScale, 1, 50);
    }
    CSteadyTickClock clock;
    CSettingsStore settings;
    CAppContext context{settings, clock};
    CNoReceiverControl receiver;
    ViewServices services{context, receiver};
};

// One sample a second with the NEU plot open: the message 1 stored, the
// history fed as the main frame feeds it, the view notified and its new
// segments painted. Goal: under 50 us.
void BM_NeuSampleWithPlotOpen(benchmark::State& state) {
    NeuBenchRun run;
    CAppContext& context = run.context;
    const ViewServices& services = run.services;
    QMdiArea area;
    area.resize(1000, 700);
    auto* view = new CViewNEUerrors(services);
    area.addSubWindow(view)->show();
    area.show();
    QCoreApplication::processEvents();
    CPaintCounter counter;
    for (QObject* chart : view->findChildren<CStripChart*>()) {
        chart->installEventFilter(&counter);
    }
    double tow = 1000.0;
    long samples = 0;
    for (auto _ : state) {
        tow += 1.0;
        CBinFrameBuilder frame(msg1::kId);
        frame.Set(msg1::GpsTimeOfWeek, tow)
            .Set(msg1::Latitude, 51.0 + 1e-5 * std::sin(tow * 0.05))
            .Set(msg1::Longitude, -114.0 + 1e-5 * std::cos(tow * 0.07))
            .Set(msg1::Height, 1000.0F);
        context.dispatcher.Feed(frame.Build());
        samples += context.neuHistory
                       .AddNeuSample(Msg1View(context.dispatcher.Handler(Slots::Msg1).LastMessage()), context.reference)
                       .has_value();
        QCoreApplication::processEvents();
    }
    state.counters["samples"] = static_cast<double>(samples);
    state.counters["paints_per_sample"] = static_cast<double>(counter.paints) / static_cast<double>(samples);
}
BENCHMARK(BM_NeuSampleWithPlotOpen)->Unit(benchmark::kMicrosecond)->Iterations(5000);

// The scatter view repainting a day of samples (86,400 dots) from scratch,
// as after a resize. Goal: under 30 ms.
void BM_ScatterRepaintDay(benchmark::State& state) {
    NeuBenchRun run;
    CAppContext& context = run.context;
    for (int i = 1; i <= 86400; ++i) {
        const double radius = 3.0 * std::fmod(i * 0.61803398875, 1.0);
        const GeoPosition position{51.0 + radius * std::cos(i * 0.001) / context.reference.MetersPerDegreeLatitude(),
                                   -114.0 + radius * std::sin(i * 0.001) / context.reference.MetersPerDegreeLongitude(),
                                   1000.0};
        (void)context.neuHistory.AddNeuSample(static_cast<double>(i), position, context.reference);
    }
    QMdiArea area;
    area.resize(1000, 700);
    auto* view = new CViewScatter(run.services);
    area.addSubWindow(view)->show();
    area.show();
    QCoreApplication::processEvents();
    CScatterPlot& plot = view->Plot();
    int step = 1;
    for (auto _ : state) {
        // A new size drops the cached picture: every dot is drawn again.
        plot.resize(plot.width() + step, plot.height());
        step = -step;
        plot.repaint();
    }
    state.counters["dots"] = static_cast<double>(plot.DrawnDots());
}
BENCHMARK(BM_ScatterRepaintDay)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace
}  // namespace zarnmon
