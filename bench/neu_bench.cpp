// What a message 1 costs the NEU error history, which the main frame feeds
// on every message 1 for the whole run. Goal: adding a sample and placing
// its segment in the three strip charts well under 50 µs. The messages are
// a day of 1 Hz positions on a 40 m circle, built once; a fresh history
// (configured at the default 30 minutes and 5 m) takes them all per
// iteration, so the track since start-up grows as it does live.

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/link/bin_catalogue.h"
#include "core/link/frame_builder.h"
#include "core/state/neu_history.h"
#include "core/state/strip_chart_geometry.h"

namespace zarnmon {
namespace {

constexpr int kDaySeconds = 24 * 3600;
constexpr double kLat = 51.0447;
constexpr double kLon = -114.0719;
constexpr double kHeight = 1048.0;
constexpr double kStart = 345600.0;

const CReferencePosition& Reference() {
    static const CReferencePosition reference = [] {
        CReferencePosition r;
        r.SetPosition({kLat, kLon, kHeight});
        r.ComputeDegreeFactors(kLat, kHeight);
        r.MarkValid();
        return r;
    }();
    return reference;
}

// secondsApart: 1 offers every message (half are stored at 2 s per sample),
// 2 stores every one.
const std::vector<std::vector<std::uint8_t>>& DayOfMessage1(int secondsApart) {
    static std::array<std::vector<std::vector<std::uint8_t>>, 3> frames;
    auto& day = frames.at(static_cast<std::size_t>(secondsApart));
    if (day.empty()) {
        const CReferencePosition& reference = Reference();
        for (int i = 0; i < kDaySeconds; ++i) {
            const double angle = i * 0.15;  // 6 m/s on 40 m
            CBinFrameBuilder msg1(msg1::kId);
            msg1.Set(msg1::GpsWeek, std::uint16_t{2443})
                .Set(msg1::GpsTimeOfWeek, std::fmod(kStart + i * secondsApart, 604800.0))
                .Set(msg1::Latitude, kLat + 40.0 * std::cos(angle) / reference.MetersPerDegreeLatitude())
                .Set(msg1::Longitude, kLon + 40.0 * std::sin(angle) / reference.MetersPerDegreeLongitude())
                .Set(msg1::Height, static_cast<float>(kHeight));
            day.push_back(msg1.Build());
        }
    }
    return day;
}

void BM_AddNeuSample(benchmark::State& state) {
    const auto& day = DayOfMessage1(static_cast<int>(state.range(0)));
    std::int64_t stored = 0;
    for (auto _ : state) {
        CNeuHistory history;
        history.Configure(kNeuSampleScale, 30, 50);
        for (const auto& frame : day) {
            benchmark::DoNotOptimize(history.AddNeuSample(Msg1View(frame), Reference()));
        }
        stored += static_cast<std::int64_t>(history.Stored());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(day.size()));
    state.counters["ns/message"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(day.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    state.counters["stored"] = static_cast<double>(stored) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_AddNeuSample)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The same with the plot open: each stored sample read back and placed in
// the three charts (scrolling included), as the view does before drawing.
void BM_AddNeuSampleWithCharts(benchmark::State& state) {
    const auto& day = DayOfMessage1(2);
    for (auto _ : state) {
        CNeuHistory history;
        history.Configure(kNeuSampleScale, 30, 50);
        const StripChartGeometry geometry = NeuChartGeometry(history, 600, 200);
        CStripChartPoints north(geometry);
        CStripChartPoints east(geometry);
        CStripChartPoints up(geometry);
        for (const auto& frame : day) {
            if (history.AddNeuSample(Msg1View(frame), Reference())) {
                while (const auto sample = history.NextNeuSample()) {
                    benchmark::DoNotOptimize(north.Add(sample->north));
                    benchmark::DoNotOptimize(east.Add(sample->east));
                    benchmark::DoNotOptimize(up.Add(sample->up));
                }
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(day.size()));
    state.counters["ns/sample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(day.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_AddNeuSampleWithCharts)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zarnmon
