// How fast the simulator writes recordings. Goal: 24 hours of receiver time
// with every message on in under 10 seconds; one benchmark hour is measured
// and the day's figure reported as a counter.

#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "sim/sim_receiver.h"

namespace zarnmon::sim {
namespace {

void BM_SimulateOneHourEverythingOn(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        CSimReceiver receiver{SimConfig{}};
        std::string bad;
        receiver.Schedule().Enable("all", bad);
        std::vector<std::uint8_t> out;
        out.reserve(1 << 20);
        for (int ms = 0; ms < 3600 * 1000; ms += static_cast<int>(CSimReceiver::kTickMs)) {
            receiver.Advance(CSimReceiver::kTickMs);
            receiver.TakeOutput(out);
            if (out.size() > (1u << 20)) {
                bytes += out.size();
                out.clear();
            }
        }
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["s_per_24h"] = benchmark::Counter(static_cast<double>(state.iterations()) / 24.0,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SimulateOneHourEverythingOn)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace zarnmon::sim
