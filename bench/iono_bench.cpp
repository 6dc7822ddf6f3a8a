// Recomputing the iono map: one IonoDelayAt per square of the default region
// (180W..40W, 0..80N in 2-degree squares: 70 x 40 = 2800 squares) on a grid
// where every point of bands 0-8 holds a delay. The map does this on every
// fourth refresh tick after new WAAS data; the goal is under 2 ms.

#include <benchmark/benchmark.h>

#include "core/waas/iono_interpolation.h"

namespace {

constexpr int kSquare = 2;
constexpr int kLeft = -180;
constexpr int kRight = -40;
constexpr int kBottom = 0;
constexpr int kTop = 80;

zarnmon::IonoGrid FilledGrid() {
    zarnmon::IonoGrid grid;
    grid.Clear();
    for (std::size_t band = 0; band < 9; ++band) {
        for (std::size_t i = 0; i < grid.igp[band].size(); ++i) {
            // Delays 0.5-16 m that vary from point to point, GIVEI 7.
            const auto units = static_cast<std::uint16_t>(4 + (band * 37 + i * 11) % 120);
            grid.igp[band][i] = static_cast<std::uint16_t>((units << 4) | 7U);
        }
    }
    return grid;
}

void BM_DefaultRegionMap(benchmark::State& state) {
    const zarnmon::IonoGrid grid = FilledGrid();
    const bool extend = state.range(0) != 0;
    for (auto _ : state) {
        double sum = 0.0;
        for (int lat = kTop; lat > kBottom; lat -= kSquare) {
            for (int lon = kLeft; lon < kRight; lon += kSquare) {
                sum += zarnmon::IonoDelayAt(grid, lon + kSquare / 2.0, lat - kSquare / 2.0, extend);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * ((kRight - kLeft) / kSquare) * ((kTop - kBottom) / kSquare));
}
BENCHMARK(BM_DefaultRegionMap)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// Sparse grid: only every other band-0-8 point received, so most squares go
// through the 10-degree and fallback searches (the slow path).
void BM_DefaultRegionMapSparse(benchmark::State& state) {
    zarnmon::IonoGrid grid = FilledGrid();
    for (std::size_t band = 0; band < 9; ++band) {
        for (std::size_t i = 0; i < grid.igp[band].size(); i += 2) {
            grid.igp[band][i] = zarnmon::IonoGrid::kNeverReceived;
        }
    }
    for (auto _ : state) {
        double sum = 0.0;
        for (int lat = kTop; lat > kBottom; lat -= kSquare) {
            for (int lon = kLeft; lon < kRight; lon += kSquare) {
                sum += zarnmon::IonoDelayAt(grid, lon + kSquare / 2.0, lat - kSquare / 2.0, true);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_DefaultRegionMapSparse)->Unit(benchmark::kMicrosecond);

}  // namespace
