// The cost of the live views. Goal: with the channel, P-code channel and
// solution views open and the simulator sending at 5 Hz, the program uses
// under 5 % of one core. One iteration is one second of receiver output fed
// to the dispatcher a fix at a time, with the views updating, repainting what changed on the
// offscreen platform and taking their refresh tick; the simulator's own time
// is left out (its benchmark has it). The counter "core_percent" is the
// process CPU time per receiver second.

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <ctime>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/app/settings_store.h"
#include "gui/displays/channel_l2_view.h"
#include "gui/displays/channel_view.h"
#include "gui/displays/gps_view.h"
#include "gui/state/rx_event.h"
#include "sim/sim_receiver.h"

namespace zarnmon {
namespace {

constexpr int kSeconds = 60;

// Counts the paint events of the views, to show that repainting is measured.
class CPaintCounter final : public QObject {
public:
    long paints = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

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

void BM_ThreeViewsAtFiveHz(benchmark::State& state) {
    CSteadyTickClock clock;
    CSettingsStore settings;
    CAppContext context{settings, clock};
    CNoReceiverControl receiver;
    const ViewServices services{context, receiver};
    QMdiArea area;
    area.resize(1600, 900);
    CPaintCounter counter;
    std::vector<QWidget*> views;
    for (CElementView* view : std::initializer_list<CElementView*>{
             new CViewChannel(services), new CViewChannelL2(services), new CViewGPS(services)}) {
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
BENCHMARK(BM_ThreeViewsAtFiveHz)->Unit(benchmark::kMillisecond)->Iterations(kSeconds * 2);

}  // namespace
}  // namespace zarnmon

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
