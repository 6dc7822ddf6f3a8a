// Moving about in an hour-long recording of the simulated receiver with
// every output on. Goals on the project's 2-core machine: the index of the
// hour (one scan, when the replay opens) in under half a second, and a seek
// back to the middle, replaying half an hour into the program with every
// view open, a data log and the NEU and WAAS processing running, in under a
// second, the views redrawn included.

#include <QCoreApplication>
#include <QFile>
#include <filesystem>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/day_recording.h"
#include "bench/program_rig.h"
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
    bench::ProgramRig rig;
    CMainFrame& frame = rig.frame;
    frame.SetWaasProcessing(true);
    rig.OpenEveryView();
    auto link = std::make_unique<CReplayLink>(QString::fromStdString(HourRecording().string()));
    link->pause();
    CReplayLink& replay = *link;
    frame.ConnectLink(std::move(link), replay.displayName());
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

}  // namespace
}  // namespace zarnmon
