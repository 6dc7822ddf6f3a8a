// Throughput of the stream splitter. Goals on the project's 2-core machine:
// a realistic mixed stream at 1 GB/s or more, pure noise at 200 MB/s or more.

#include <span>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/link/msg_dispatcher.h"
#include "support/stream_builder.h"

namespace zarnmon {
namespace {

constexpr std::size_t kChunk = 1024;  // what the serial link hands over at a time

void FeedAll(CMsgDispatcher& dispatcher, std::span<const std::uint8_t> bytes) {
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
        dispatcher.Feed(bytes.subspan(at, std::min(kChunk, bytes.size() - at)));
    }
}

void Run(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    for (auto _ : state) {
        FeedAll(dispatcher, bytes);
        benchmark::DoNotOptimize(dispatcher.DroppedBytes());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
    state.counters["dropped"] = static_cast<double>(dispatcher.DroppedBytes());
}

// Every binary message at 1 Hz, NMEA, "$RD1," and "$RX," lines, replies, and
// 5 % random noise bytes between the messages.
void BM_FeedMixedStream(benchmark::State& state) {
    const auto stream = test::MixedStream({.epochs = 200, .noiseFraction = 0.05, .noise = test::Noise::Random});
    Run(state, stream.bytes);
}
BENCHMARK(BM_FeedMixedStream);

void BM_FeedPureNoise(benchmark::State& state) { Run(state, test::RandomBytes(1 << 20, 42)); }
BENCHMARK(BM_FeedPureNoise);

// The worst case for the splitter: nothing but dollar signs, each of which
// could start a message until its next bytes rule it out.
void BM_FeedDollarSigns(benchmark::State& state) { Run(state, std::vector<std::uint8_t>(1 << 18, '$')); }
BENCHMARK(BM_FeedDollarSigns);

}  // namespace
}  // namespace zarnmon
