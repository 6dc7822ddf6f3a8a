// How fast a day of recording becomes a detailed data log. Goal: 24 hours of
// 1 Hz output (messages 1, 2, 99, 100, 89 and the L-band diagnostics) to a
// full data log in under 2 seconds, file reading and writing included. The
// recording is made once, in-process, by the simulated receiver; only the
// conversion is timed.

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/day_recording.h"
#include "cli/log_commands.h"

namespace zarnmon {
namespace {

// A day of 1 Hz output, written once per process.
const std::filesystem::path& DayRecording() {
    static const std::filesystem::path path = bench::WriteDayRecording("datalog", "1,2,99,100,89,D1");
    return path;
}

void BM_DayToFullDataLog(benchmark::State& state) {
    const std::filesystem::path& recording = DayRecording();
    const std::string output = recording.string() + ".txt";
    const std::vector<std::string> args{recording.string(), "-o", output, "--full"};
    const std::vector<std::string_view> views(args.begin(), args.end());
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (cli::RunDataLog(views, out, err) != 0) {
            state.SkipWithError(err.str().c_str());
            break;
        }
        benchmark::DoNotOptimize(out.str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(recording)));
    state.counters["rows"] = bench::kDaySeconds;
    std::error_code ec;
    std::filesystem::remove(output, ec);
    std::filesystem::remove(recording, ec);
}
BENCHMARK(BM_DayToFullDataLog)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace
}  // namespace zarnmon
