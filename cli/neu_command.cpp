#include "cli/neu_command.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/decode_command.h"
#include "cli/option_values.h"
#include "cli/recording_input.h"
#include "core/app/settings_keys.h"
#include "core/app/settings_store.h"
#include "core/link/bin_catalogue.h"
#include "core/link/msg_dispatcher.h"
#include "core/state/accuracy_figures.h"
#include "core/state/neu_history.h"
#include "core/state/reference_position.h"
#include "core/state/replay_clock.h"

namespace zarnmon::cli {

const char* const kNeuHelp =
    "usage: zarnmon-cli neu FILE|- [--ref LAT,LON,H] [--settings INI] [--minutes M]\n"
    "                       [--range METRES]\n"
    "\n"
    "Replays a recorded receiver byte stream through the NEU error plot's history\n"
    "and prints the north, east and up errors of every sample it stores, then the\n"
    "accuracy figures of them all.\n"
    "\n"
    "  FILE             the recording; - reads standard input\n"
    "  --ref LAT,LON,H  reference position: degrees north, degrees east, metres.\n"
    "                   Without it the [Location] of INI is the reference, and\n"
    "                   without that the first message 1 with a non-zero position\n"
    "  --settings INI   a profile: [PlotSettings] Minutes and MaxMeters, and\n"
    "                   [Location]; the file is never written\n"
    "  --minutes M      time span of the history, 1..1440 (default: INI, else 30)\n"
    "  --range METRES   vertical range, 0.1..2000, kept in tenths of a metre\n"
    "                   (default: INI, else 5.0)\n"
    "  -h, --help       show this help\n"
    "\n"
    "The history keeps a sample of a message 1 when its sampling interval (the\n"
    "seconds per sample less 0.1) has passed since the message 1 before, by the\n"
    "recording's own GPS time. The time span sets the seconds per sample, so that\n"
    "at most 1000 samples span it: 1 s up to 16 minutes, 2 s for 30, 128 s for 1440.\n"
    "\n"
    "Output: the line\n"
    "  # TOW<TAB>N<TAB>E<TAB>U<TAB>North(m)<TAB>East(m)<TAB>Up(m)\n"
    "then per stored sample its GPS time of week, the three stored integers (error\n"
    "x 160, clamped to +-max(1000 m, range)) and the three unclamped errors in\n"
    "metres. Then, over every sample printed:\n"
    "  # samples N\n"
    "  # mean N E U        # stddev N E U (population)\n"
    "  # CEP50 M           # CEP95 M (nearest-rank percentiles of sqrt(N^2+E^2))\n"
    "  # 2DRMS M           (2 x sqrt(mean(N^2+E^2)))\n"
    "\n"
    "Exit status: 0 on success, 2 for bad arguments or an unreadable recording or\n"
    "settings file.\n";

namespace {

constexpr std::string_view kCommand = "neu";
// Large reads: the result does not depend on how the bytes were chunked.
constexpr std::size_t kReplayChunk = std::size_t{1} << 16;

struct NeuOptions {
    std::string path;
    std::optional<std::string> reference;
    std::optional<std::string> settings;
    std::optional<double> minutes;
    std::optional<double> metres;
};

// A decimal value within min..max, as the configuration dialog's range check.
std::optional<double> RangedValue(std::string_view name, std::string_view value, double min, double max,
                                  std::string_view what, std::ostream& err) {
    const auto number = ParseDecimal(value);
    if (!number || *number < min || *number > max) {
        err << "zarnmon-cli neu: " << name << " takes " << what << ", not '" << value << "'\n";
        return std::nullopt;
    }
    return number;
}

std::optional<NeuOptions> ParseArgs(std::span<const std::string_view> args, std::ostream& err, bool& help) {
    NeuOptions options;
    std::optional<std::string> path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            help = true;
            return std::nullopt;
        }
        std::string_view name;
        for (const std::string_view known : {"--ref", "--settings", "--minutes", "--range"}) {
            if (IsOption(arg, known)) {
                name = known;
            }
        }
        if (name.empty()) {
            if (!TakeRecordingArgument(kCommand, arg, path, err)) {
                return std::nullopt;
            }
            continue;
        }
        const auto value = OptionValue(kCommand, args, i, name, err);
        if (!value) {
            return std::nullopt;
        }
        if (name == "--ref") {
            options.reference = std::string(*value);
        } else if (name == "--settings") {
            if (value->empty()) {
                err << "zarnmon-cli neu: --settings needs a file name\n";
                return std::nullopt;
            }
            options.settings = std::string(*value);
        } else if (name == "--minutes") {
            options.minutes = RangedValue(name, *value, kMinPlotMinutes, kMaxPlotMinutes, "minutes 1..1440", err);
            if (!options.minutes) {
                return std::nullopt;
            }
        } else {
            options.metres = RangedValue(name, *value, kMinPlotMeters, kMaxPlotMeters, "metres 0.1..2000", err);
            if (!options.metres) {
                return std::nullopt;
            }
        }
    }
    if (!RequireRecording(kCommand, path, err)) {
        return std::nullopt;
    }
    options.path = *path;
    return options;
}

// The reference of --ref; nullopt (with a message) when it is none.
std::optional<CReferencePosition> ReferenceFrom(std::string_view text, std::ostream& err) {
    auto reference = ParseReference(text);
    if (!reference) {
        err << "zarnmon-cli neu: --ref takes LAT,LON,H (degrees -90..90, -180..180, metres; not 0,0), not '" << text
            << "'\n";
    }
    return reference;
}

// The profile at path; nullopt (with a message) when it cannot be read.
std::optional<CSettingsStore> ReadSettings(const std::string& path, std::ostream& err) {
    return ReadProfile("neu", "settings", path, err);
}

// Offers every message 1 to the history as it is stored, finding the
// reference first as the program does live, and prints each stored sample.
class CNeuReplay final : public IStoreTap {
public:
    CNeuReplay(CNeuHistory& history, CReferencePosition& reference, CSettingsStore& settings, std::ostream& out)
        : dispatcher_(clock_), history_(history), reference_(reference), settings_(settings), out_(out) {
        dispatcher_.SetStoreTap(this);
    }
    CNeuReplay(const CNeuReplay&) = delete;
    CNeuReplay& operator=(const CNeuReplay&) = delete;

    [[nodiscard]] CMsgDispatcher& Input() { return dispatcher_; }

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        clock_.Take(handler);
        if (dispatcher_.SlotOf(&handler) != Slots::Msg1) {
            return;
        }
        const Msg1View msg1(bytes);
        if (!reference_.IsValid()) {
            // Only in memory: the profile file is never written.
            LoadReferencePosition(reference_, settings_, PositionOf(msg1));
        }
        const auto index = history_.AddNeuSample(msg1, reference_);
        if (!index) {
            return;
        }
        const NeuSample sample = history_.SampleAt(*index);
        const NeuOffset& errors = history_.CurrentErrors();
        std::array<char, 160> line{};
        std::snprintf(line.data(), line.size(), "%.3f\t%d\t%d\t%d\t%.4f\t%.4f\t%.4f\n", msg1.GpsTimeOfWeek(),
                      static_cast<int>(sample.north), static_cast<int>(sample.east), static_cast<int>(sample.up),
                      errors.north, errors.east, errors.up);
        out_ << line.data();
    }

private:
    CReplayClock clock_;
    CMsgDispatcher dispatcher_;
    CNeuHistory& history_;
    CReferencePosition& reference_;
    CSettingsStore& settings_;
    std::ostream& out_;
};

void PrintSummary(const AccuracyFigures& figures, std::ostream& out) {
    std::array<char, 200> text{};
    std::snprintf(text.data(), text.size(), "# samples %zu\n", figures.samples);
    out << text.data();
    if (figures.samples == 0) {
        return;
    }
    std::snprintf(text.data(), text.size(), "# mean %.4f %.4f %.4f\n# stddev %.4f %.4f %.4f\n", figures.mean.north,
                  figures.mean.east, figures.mean.up, figures.stddev.north, figures.stddev.east, figures.stddev.up);
    out << text.data();
    std::snprintf(text.data(), text.size(), "# CEP50 %.4f\n# CEP95 %.4f\n# 2DRMS %.4f\n", figures.cep50, figures.cep95,
                  figures.twoDrms);
    out << text.data();
}

}  // namespace

int RunNeu(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    bool help = false;
    const auto options = ParseArgs(args, err, help);
    if (const auto status = EndsBeforeReading(help, options, kNeuHelp, out)) {
        return *status;
    }
    CSettingsStore settings;
    if (options->settings) {
        auto read = ReadSettings(*options->settings, err);
        if (!read) {
            return kExitUsage;
        }
        settings = std::move(*read);
    }
    CReferencePosition reference;
    if (options->reference) {
        const auto given = ReferenceFrom(*options->reference, err);
        if (!given) {
            return kExitUsage;
        }
        reference = *given;
    }
    if (!RecordingReadable(kCommand, options->path, err)) {
        return kExitUsage;
    }

    PlotSettings plot = LoadPlotSettings(settings);
    if (options->minutes) {
        plot.minutes = static_cast<int>(std::lround(*options->minutes));
    }
    if (options->metres) {
        plot.rangeTenths = RangeTenthsFromMeters(*options->metres);
    }
    CNeuHistory history;
    history.Configure(kNeuSampleScale, plot.minutes, plot.rangeTenths);

    out << "# TOW\tN\tE\tU\tNorth(m)\tEast(m)\tUp(m)\n";
    CNeuReplay replay(history, reference, settings, out);
    if (!FeedRecording(kCommand, options->path, kReplayChunk, replay.Input(), err)) {
        return kExitUsage;
    }
    PrintSummary(ComputeAccuracy(history.Track()), out);
    return kExitOk;
}

}  // namespace zarnmon::cli
