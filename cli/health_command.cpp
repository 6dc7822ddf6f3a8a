#include "cli/health_command.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/decode_command.h"
#include "cli/recording_input.h"
#include "core/link/gps_time.h"
#include "core/link/msg_dispatcher.h"
#include "core/state/replay_clock.h"

namespace zarnmon::cli {

const char* const kHealthHelp =
    "usage: zarnmon-cli health FILE|-\n"
    "\n"
    "How well a recorded receiver byte stream (a binary log or a zarnmon-sim --out\n"
    "file) carried its messages. Prints, tab-separated, the header line\n"
    "  handler<TAB>stored<TAB>failed<TAB>max_gap_s<TAB>rate_hz\n"
    "then, in the dispatcher's slot order, one line for each handler that stored a\n"
    "message or rejected one:\n"
    "  handler    the handler's name, as zarnmon-cli decode names it\n"
    "  stored     messages stored\n"
    "  failed     messages that failed their checksum or trailer check\n"
    "  max_gap_s  the longest receiver time between two stored messages, in\n"
    "             seconds (\"%.1f\")\n"
    "  rate_hz    the mean rate over the recording, defined as\n"
    "             stored / (receiver-time span of the recording), in messages per\n"
    "             second (\"%.3f\")\n"
    "and last\n"
    "  dropped<TAB>BYTES   bytes that started no message\n"
    "\n"
    "Receiver time is the GPS time of the newest message 1 or 99 read so far, so a\n"
    "message's time is that of the last message 1 or 99 up to and including it,\n"
    "and gaps are seen at the rate of those messages. The span runs from the first\n"
    "such time to the last. A step of the time by more than a week (a receiver that\n"
    "has just learnt the time) counts as no time at all. Messages before the first\n"
    "time are counted but have no place in time. A column with nothing to measure\n"
    "(fewer than two stored messages with a time, or no span) shows ---.\n"
    "\n"
    "  FILE        the recording; - reads standard input\n"
    "  -h, --help  show this help\n"
    "\n"
    "Exit status: 0 on success, 2 for bad arguments or an unreadable file.\n";

namespace {

constexpr std::string_view kCommand = "health";
// Large reads: the result does not depend on how the bytes were chunked.
constexpr std::size_t kReplayChunk = std::size_t{1} << 16;
constexpr std::int64_t kWeekMs = std::int64_t{kSecondsPerWeek} * 1000;
constexpr std::string_view kNothing = "---";

struct HealthOptions {
    std::string path;
};

std::optional<HealthOptions> ParseArgs(std::span<const std::string_view> args, std::ostream& err, bool& help) {
    std::optional<std::string> path;
    for (const std::string_view arg : args) {
        if (arg == "-h" || arg == "--help") {
            help = true;
            return std::nullopt;
        }
        if (!TakeRecordingArgument(kCommand, arg, path, err)) {
            return std::nullopt;
        }
    }
    if (!RequireRecording(kCommand, path, err)) {
        return std::nullopt;
    }
    return HealthOptions{*path};
}

// Places each stored message on the recording's receiver-time line: the
// elapsed time since the first message 1 or 99, with jumps of the clock
// left out, and keeps per slot the longest gap between two messages.
class CGapRecorder final : public IStoreTap {
public:
    explicit CGapRecorder(const CMsgDispatcher& dispatcher) : dispatcher_(dispatcher) {}

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> /*bytes*/) override {
        const bool hadTime = clock_.HasTime();
        const std::int64_t before = clock_.GpsMs();
        clock_.Take(handler);
        if (!clock_.HasTime()) {
            return;
        }
        if (const std::int64_t step = clock_.GpsMs() - before; hadTime && step <= kWeekMs) {
            elapsedMs_ += step;
        }
        const auto slot = static_cast<std::size_t>(dispatcher_.SlotOf(&handler));
        if (const auto last = lastAt_.at(slot)) {
            maxGapMs_.at(slot) = std::max(maxGapMs_.at(slot).value_or(0), elapsedMs_ - *last);
        }
        lastAt_.at(slot) = elapsedMs_;
    }

    [[nodiscard]] std::optional<std::int64_t> MaxGapMs(int slot) const {
        return maxGapMs_.at(static_cast<std::size_t>(slot));
    }
    [[nodiscard]] std::int64_t SpanMs() const { return elapsedMs_; }

private:
    const CMsgDispatcher& dispatcher_;
    CReplayClock clock_;
    std::int64_t elapsedMs_ = 0;
    std::array<std::optional<std::int64_t>, CMsgDispatcher::kMaxSlots> lastAt_{};
    std::array<std::optional<std::int64_t>, CMsgDispatcher::kMaxSlots> maxGapMs_{};
};

// value in format, or --- when there is none.
std::string Formatted(const char* format, std::optional<double> value) {
    if (!value) {
        return std::string(kNothing);
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), format, *value);
    return text.data();
}

void PrintHealth(const CMsgDispatcher& dispatcher, const CGapRecorder& gaps, std::ostream& out) {
    out << "handler\tstored\tfailed\tmax_gap_s\trate_hz\n";
    const std::int64_t spanMs = gaps.SpanMs();
    for (int slot = 0; slot < dispatcher.HandlerCount(); ++slot) {
        const CMsgHandler& handler = dispatcher.Handler(slot);
        if (handler.StoredCount() == 0 && handler.FailedCount() == 0) {
            continue;
        }
        std::optional<double> gapSeconds;
        if (const auto gap = gaps.MaxGapMs(slot)) {
            gapSeconds = static_cast<double>(*gap) / 1000.0;
        }
        std::optional<double> rate;
        if (spanMs > 0) {
            rate = static_cast<double>(handler.StoredCount()) * 1000.0 / static_cast<double>(spanMs);
        }
        out << handler.Name() << '\t' << handler.StoredCount() << '\t' << handler.FailedCount() << '\t'
            << Formatted("%.1f", gapSeconds) << '\t' << Formatted("%.3f", rate) << '\n';
    }
    out << "dropped\t" << dispatcher.DroppedBytes() << '\n';
}

}  // namespace

int RunHealth(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    bool help = false;
    const auto options = ParseArgs(args, err, help);
    if (const auto status = EndsBeforeReading(help, options, kHealthHelp, out)) {
        return *status;
    }

    // Offline: the dispatcher's own time does not matter, and nothing is sent.
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    CGapRecorder gaps(dispatcher);
    dispatcher.SetStoreTap(&gaps);
    if (!FeedRecording(kCommand, options->path, kReplayChunk, dispatcher, err)) {
        return kExitUsage;
    }
    PrintHealth(dispatcher, gaps, out);
    return kExitOk;
}

}  // namespace zarnmon::cli
