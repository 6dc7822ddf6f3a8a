// The whole program on the simulator. Goal: with every view it has open,
// the program uses under 3 % of one core. One iteration is one second of
// the program as it runs live: the simulated receiver catches up with the
// clock and delivers what it sent, the main frame's one-second timer ticks
// (re-enables, WAAS processing, the views' refresh ticks) and every event
// that posted is handled, painting included, on the offscreen platform.
// The receiver is simulated in this process, so its cost is counted too.
// The counter "core_percent" is the process CPU time per program second.

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <ctime>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/paint_counter.h"
#include "bench/program_rig.h"
#include "gui/link/simulator_link.h"

namespace zarnmon {
namespace {

constexpr int kSeconds = 120;

void BM_EveryViewOnSimulator(benchmark::State& state) {
    bench::ProgramRig rig;
    CMainFrame& frame = rig.frame;
    auto link = std::make_unique<CSimulatorLink>();
    link->setClock(rig.clock);
    CSimulatorLink& simulator = *link;
    frame.ConnectLink(std::move(link), simulator.displayName());
    frame.StartTimer();
    rig.OpenEveryView();
    CPaintCounter counter;
    const QList<QMdiSubWindow*> windows = frame.MdiArea().subWindowList();
    for (QMdiSubWindow* window : windows) {
        window->installEventFilter(&counter);
        for (QWidget* child : window->findChildren<QWidget*>()) {
            child->installEventFilter(&counter);
        }
    }
    const auto second = [&] {
        rig.clock.Advance(1000);
        simulator.deliverDue();
        frame.OnTimerTick();
        QCoreApplication::processEvents();
    };
    // The views switch their messages on over their first refresh ticks.
    for (int warmUp = 0; warmUp < 10; ++warmUp) {
        second();
    }

    counter.paints = 0;
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        second();
    }
    const double cpuSeconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["core_percent"] = 100.0 * cpuSeconds / iterations;
    state.counters["paints_per_s"] = static_cast<double>(counter.paints) / iterations;
    state.counters["views"] = static_cast<double>(windows.size());
}
BENCHMARK(BM_EveryViewOnSimulator)->Unit(benchmark::kMillisecond)->Iterations(kSeconds);

}  // namespace
}  // namespace zarnmon
