// Replaying recordings of the simulated receiver with every output on, with
// every view open on the offscreen platform. Goals on the project's 2-core
// machine:
// - the index of an hour (one scan, when the replay opens) in under half a
//   second, and a seek back to the middle, replaying half an hour into the
//   program with a data log and the NEU and WAAS processing running, in under
//   a second, the views redrawn included;
// - a day (about 2.8 million messages) replayed as fast as the program takes
//   it in under 60 s, the views coalescing their repaints: far fewer paints
//   than messages. Its counters: "cpu_seconds" (process CPU time, the figure
//   that holds on a machine others load), "messages", "paints" and
//   "messages_per_paint".

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QString>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/day_recording.h"
#include "bench/every_view_program.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/replay_timeline.h"
#include "gui/link/replay_link.h"

namespace zarnmon {
namespace {

constexpr int kHourSeconds = 3600;

const std::filesystem::path& HourRecording() {
    static const std::filesystem::path file = bench::WriteRecording("replay", "all", kHourSeconds);
    return file;
}

QByteArray ReadHour() {
    QFile file(QString::fromStdString(HourRecording().string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void BM_IndexAnHour(benchmark::State& state) {
    const QByteArray log = ReadHour();
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(log.constData()), static_cast<std::size_t>(log.size()));
    for (auto _ : state) {
        const CReplayTimeline timeline(bytes);
        benchmark::DoNotOptimize(timeline.DurationMs());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * log.size());
    state.counters["messages"] = static_cast<double>(CReplayTimeline(bytes).Index().MessageEnds().size());
}
BENCHMARK(BM_IndexAnHour)->Unit(benchmark::kMillisecond);

void BM_SeekBackToTheMiddleOfAnHour(benchmark::State& state) {
    bench::CEveryViewProgram program;
    CMainFrame& frame = program.Frame();
    frame.SetWaasProcessing(true);
    auto link = std::make_unique<CReplayLink>(QString::fromStdString(HourRecording().string()));
    link->pause();
    CReplayLink& replay = *link;
    program.Start(std::move(link));
    const auto log = std::filesystem::temp_directory_path() / "zarnmon-replay-bench.log";
    frame.Logs().DataLog().Start(log.string(), false);
    const auto middle = static_cast<qint64>(replay.timeline().OffsetAtMs(kHourSeconds * 1000 / 2));

    for (auto _ : state) {
        state.PauseTiming();
        replay.seek(replay.totalBytes());
        QCoreApplication::processEvents();
        state.ResumeTiming();
        replay.seek(middle);
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = static_cast<double>(frame.Logs().DataLog().RowsWritten());
    frame.Logs().OnConnect();
    std::error_code ec;
    std::filesystem::remove(log, ec);
    std::filesystem::remove(HourRecording(), ec);
}
BENCHMARK(BM_SeekBackToTheMiddleOfAnHour)->Unit(benchmark::kMillisecond)->Iterations(5);

class CStoredCounter final : public IStoreTap {
public:
    std::uint64_t stored = 0;
    void OnStored(const CMsgHandler& /*handler*/, std::span<const std::uint8_t> /*bytes*/) override { ++stored; }
};

// The messages the program stores from the recording.
std::uint64_t StoredMessages(const std::filesystem::path& recording) {
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    CStoredCounter counter;
    dispatcher.SetStoreTap(&counter);
    std::ifstream in(recording, std::ios::binary);
    std::vector<char> chunk(1 << 20);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        dispatcher.Feed({reinterpret_cast<const std::uint8_t*>(chunk.data()), static_cast<std::size_t>(in.gcount())});
    }
    return counter.stored;
}

void BM_ReplayDayEveryView(benchmark::State& state) {
    const std::filesystem::path recording = bench::WriteDayRecording("replay", "all");
    const std::uint64_t messages = StoredMessages(recording);
    long paints = 0;
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        bench::CEveryViewProgram program;
        auto link = std::make_unique<CReplayLink>(QString::fromStdString(recording.string()), ReplaySpeed::Fastest);
        QEventLoop loop;
        QObject::connect(link.get(), &CLink::closed, &loop, &QEventLoop::quit);
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        program.Start(std::move(link));
        program.Frame().StartTimer();
        loop.exec();
        bench::CEveryViewProgram::Drain();
        cpuSeconds += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        paints += program.Paints().paints;
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["cpu_seconds"] = cpuSeconds / iterations;
    state.counters["messages"] = static_cast<double>(messages);
    state.counters["paints"] = static_cast<double>(paints) / iterations;
    state.counters["messages_per_paint"] =
        paints > 0 ? static_cast<double>(messages) * iterations / static_cast<double>(paints) : 0.0;
    std::error_code ec;
    std::filesystem::remove(recording, ec);
}
BENCHMARK(BM_ReplayDayEveryView)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
}  // namespace zarnmon
