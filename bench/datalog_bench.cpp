// How fast a day of recording becomes a detailed data log. Goal: 24 hours of
// 1 Hz output (messages 1, 2, 99, 100, 89 and the L-band diagnostics) to a
// full data log in under 2 seconds, file reading and writing included. The
// recording is made once, in-process, by the simulated receiver; only the
// conversion is timed.

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>

#include "cli/log_commands.h"
#include "sim/sim_receiver.h"

namespace zarnmon {
namespace {

constexpr int kDaySeconds = 24 * 3600;

// A day of 1 Hz output, written once per process.
const std::filesystem::path& DayRecording() {
    static const std::filesystem::path path = [] {
        const auto file = std::filesystem::temp_directory_path() /
                          ("zarnmon-datalog-bench-" + std::to_string(std::random_device{}()) + ".bin");
        sim::CSimReceiver receiver{sim::SimConfig{}};
        std::string bad;
        receiver.Schedule().Enable("1,2,99,100,89,D1", bad);
        std::ofstream out(file, std::ios::binary);
        std::vector<std::uint8_t> buffer;
        buffer.reserve(1 << 21);
        for (int ms = 0; ms < kDaySeconds * 1000; ms += static_cast<int>(sim::CSimReceiver::kTickMs)) {
            receiver.Advance(sim::CSimReceiver::kTickMs);
            receiver.TakeOutput(buffer);
            if (buffer.size() >= (1u << 20)) {
                out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
                buffer.clear();
            }
        }
        receiver.TakeOutput(buffer, true);
        out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
        return file;
    }();
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
    state.counters["rows"] = kDaySeconds;
    std::error_code ec;
    std::filesystem::remove(output, ec);
    std::filesystem::remove(recording, ec);
}
BENCHMARK(BM_DayToFullDataLog)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace
}  // namespace zarnmon
