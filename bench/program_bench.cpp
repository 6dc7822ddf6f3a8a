// The whole program on the simulator, with every view it has open, on the
// offscreen platform; the receiver is simulated in this process, so its cost
// is counted too. The argument is the rate of message 1 in Hz; everything
// else comes at 1 Hz. Goals: under 3 % of one core with message 1 at 1 Hz,
// under 5 % at 5 Hz, and from a chunk's arrival at the link to the repaint
// of what it changed under 20 ms for 99 chunks in 100.
//
// One iteration is one second of the program as it runs live: every 50 ms
// the receiver catches up with the clock and its link delivers what it sent,
// and everything that posts is handled, painting included; then the main
// frame's one-second timer ticks (re-enables, WAAS processing, the views'
// refresh ticks). Counters: "core_percent", the process CPU time per program
// second; "latency_p50_ms" and "latency_p99_ms", from the arrival of a chunk
// to the start of the last paint it caused, over the chunks that caused one;
// "msg1_per_s", to show the rate was what was asked for.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/every_view_program.h"
#include "core/link/notify_list.h"
#include "gui/link/simulator_link.h"

namespace zarnmon {
namespace {

constexpr int kSeconds = 120;
constexpr int kChunksPerSecond = 1000 / CSimulatorLink::kTickMs;

// Counts the notifications of one handler: one per message stored.
class CMessageCounter final : public IRxWindow {
public:
    long messages = 0;
    void PostRxMessage(std::uint32_t /*message*/, std::uint32_t /*wParam*/, const CMsgHandler* /*handler*/) override {
        ++messages;
    }
};

double Percentile(std::vector<double> values, int percent) {
    if (values.empty()) {
        return 0.0;
    }
    std::ranges::sort(values);
    const std::size_t rank = values.size() * static_cast<std::size_t>(percent) / 100;
    return values[std::min(rank, values.size() - 1)];
}

void BM_EveryViewOnSimulator(benchmark::State& state) {
    bench::CEveryViewProgram program;
    // As a user sets the rate on the command page: it becomes the rate kept up.
    program.Context().dispatcher.AdoptUserCommand("$JBIN,1," + std::to_string(state.range(0)) + "\r");
    auto link = std::make_unique<CSimulatorLink>();
    link->setClock(program.Clock());
    CSimulatorLink& simulator = *link;
    program.Start(std::move(link));
    CMessageCounter msg1;
    CMsgHandler& msg1Handler = program.Context().dispatcher.Handler(Slots::Msg1);
    const std::uint32_t subscription = msg1Handler.Subscribe(&msg1);

    std::vector<double> latencyMs;
    const auto second = [&] {
        for (int chunk = 0; chunk < kChunksPerSecond; ++chunk) {
            program.Clock().Advance(CSimulatorLink::kTickMs);
            const long paintsBefore = program.Paints().paints;
            const auto arrival = std::chrono::steady_clock::now();
            simulator.deliverDue();
            bench::CEveryViewProgram::Drain();
            if (program.Paints().paints != paintsBefore) {
                latencyMs.push_back(
                    std::chrono::duration<double, std::milli>(program.Paints().lastPaint - arrival).count());
            }
        }
        program.Frame().OnTimerTick();
        bench::CEveryViewProgram::Drain();
    };
    // The views switch their messages on over their first refresh ticks.
    for (int warmUp = 0; warmUp < 10; ++warmUp) {
        second();
    }

    program.Paints().paints = 0;
    msg1.messages = 0;
    latencyMs.clear();
    const std::clock_t start = std::clock();
    for (auto _ : state) {
        second();
    }
    const double cpuSeconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    const auto iterations = static_cast<double>(state.iterations());
    msg1Handler.Unsubscribe(subscription);
    state.counters["core_percent"] = 100.0 * cpuSeconds / iterations;
    state.counters["paints_per_s"] = static_cast<double>(program.Paints().paints) / iterations;
    state.counters["msg1_per_s"] = static_cast<double>(msg1.messages) / iterations;
    state.counters["latency_p50_ms"] = Percentile(latencyMs, 50);
    state.counters["latency_p99_ms"] = Percentile(latencyMs, 99);
    state.counters["views"] = static_cast<double>(program.ViewCount());
}
BENCHMARK(BM_EveryViewOnSimulator)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(kSeconds);

}  // namespace
}  // namespace zarnmon
