// How fast a day of recording is qualified by the monitor test. Goal: 24
// hours of a receiver with every output on, through `zarnmon-cli monitor`,
// in under 3 seconds, file reading included. The recording is made once,
// in-process, by the simulated receiver; only the test run is timed.

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/day_recording.h"
#include "cli/monitor_command.h"

namespace zarnmon {
namespace {

// A day of everything the simulated receiver sends, written once per process.
const std::filesystem::path& DayRecording() {
    static const std::filesystem::path path = bench::WriteDayRecording("monitor", "all");
    return path;
}

void BM_DayThroughMonitorTest(benchmark::State& state) {
    const std::filesystem::path& recording = DayRecording();
    const std::vector<std::string> args{recording.string()};
    const std::vector<std::string_view> views(args.begin(), args.end());
    int status = 0;
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        status = cli::RunMonitor(views, out, err);
        if (status == 2) {
            state.SkipWithError(err.str().c_str());
            break;
        }
        benchmark::DoNotOptimize(out.str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(recording)));
    state.counters["seconds_replayed"] = bench::kDaySeconds;
    state.counters["exit_status"] = status;
    std::error_code ec;
    std::filesystem::remove(recording, ec);
}
BENCHMARK(BM_DayThroughMonitorTest)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace
}  // namespace zarnmon
