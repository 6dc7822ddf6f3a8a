#include "cli/iono_command.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/decode_command.h"
#include "cli/option_values.h"
#include "cli/recording_input.h"
#include "core/app/settings_store.h"
#include "core/link/msg_dispatcher.h"
#include "core/waas/waas_decoder.h"

namespace zarnmon::cli {

const char* const kIonoHelp =
    "usage: zarnmon-cli iono FILE|- [--extend 0|1] [--points LON,LAT;LON,LAT...] [--igp]\n"
    "                           [--settings FILE]\n"
    "\n"
    "Feeds a recorded receiver byte stream through the message dispatcher, passes\n"
    "every intact message 80 (WAAS message) to the WAAS decoder in the order\n"
    "received, and prints from the ionospheric grid it built:\n"
    "  LON LAT DELAY               for each point of --points, in the order given;\n"
    "                              DELAY is the vertical delay in metres (%.3f),\n"
    "                              9999.000 where the grid gives none\n"
    "  BAND INDEX DELAY_RAW GIVEI  with --igp, every grid point whose delay was\n"
    "                              received: INDEX is its position among the band's\n"
    "                              mask bits, DELAY_RAW the 9-bit delay in units of\n"
    "                              0.125 m (511: do not use), GIVEI the 4-bit indicator\n"
    "\n"
    "  FILE             the recording; - reads standard input\n"
    "  --extend 0|1     extrapolate along an edge where no cell interpolates (default 1)\n"
    "  --points LIST    longitude,latitude pairs in degrees, separated by ';'\n"
    "  --igp            list the received grid points\n"
    "  --settings FILE  profile holding the decoder's masks across runs (section\n"
    "                   WAASNonVolatile); read before the first WAAS message and\n"
    "                   written back at the end if it changed. Default: none,\n"
    "                   nothing persists\n"
    "  -h, --help       show this help\n"
    "\n"
    "Exit status: 0 on success, 1 when the settings file cannot be written, 2 for\n"
    "bad arguments or an unreadable file.\n";

namespace {

constexpr int kExitWriteFailed = 1;
constexpr std::size_t kChunk = 1024;

struct Point {
    std::string lonText;
    std::string latText;
    double longitude = 0.0;
    double latitude = 0.0;
};

struct IonoOptions {
    std::string path;
    bool extend = true;
    std::vector<Point> points;
    bool igp = false;
    std::optional<std::string> settings;
};

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::optional<double> ParseDegrees(std::string_view text, double limit) {
    text = Trim(text);
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    const auto value = ParseDecimal(text);
    if (!value || std::abs(*value) > limit) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<Point>> ParsePoints(std::string_view list, std::ostream& err) {
    std::vector<Point> points;
    while (!list.empty()) {
        const auto end = list.find(';');
        const std::string_view item = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view{} : list.substr(end + 1);
        if (Trim(item).empty()) {
            continue;
        }
        const auto comma = item.find(',');
        const auto lon = comma == std::string_view::npos ? std::nullopt : ParseDegrees(item.substr(0, comma), 360.0);
        const auto lat = comma == std::string_view::npos ? std::nullopt : ParseDegrees(item.substr(comma + 1), 90.0);
        if (!lon || !lat) {
            err << "zarnmon-cli iono: --points takes LON,LAT pairs in degrees (longitude -360..360, latitude "
                   "-90..90), not '"
                << item << "'\n";
            return std::nullopt;
        }
        points.push_back(
            {std::string(Trim(item.substr(0, comma))), std::string(Trim(item.substr(comma + 1))), *lon, *lat});
    }
    if (points.empty()) {
        err << "zarnmon-cli iono: --points needs at least one LON,LAT pair\n";
        return std::nullopt;
    }
    return points;
}

std::optional<IonoOptions> ParseArgs(std::span<const std::string_view> args, std::ostream& err, bool& help) {
    IonoOptions options;
    std::optional<std::string> path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            help = true;
            return std::nullopt;
        }
        if (IsOption(arg, "--extend")) {
            const auto value = OptionValue("iono", args, i, "--extend", err);
            if (!value) {
                return std::nullopt;
            }
            if (*value != "0" && *value != "1") {
                err << "zarnmon-cli iono: --extend takes 0 or 1, not '" << *value << "'\n";
                return std::nullopt;
            }
            options.extend = *value == "1";
        } else if (IsOption(arg, "--points")) {
            const auto value = OptionValue("iono", args, i, "--points", err);
            if (!value) {
                return std::nullopt;
            }
            auto points = ParsePoints(*value, err);
            if (!points) {
                return std::nullopt;
            }
            options.points.insert(options.points.end(), points->begin(), points->end());
        } else if (arg == "--igp") {
            options.igp = true;
        } else if (IsOption(arg, "--settings")) {
            const auto value = OptionValue("iono", args, i, "--settings", err);
            if (!value) {
                return std::nullopt;
            }
            if (value->empty()) {
                err << "zarnmon-cli iono: --settings needs a file name\n";
                return std::nullopt;
            }
            options.settings = std::string(*value);
        } else if (!TakeRecordingArgument("iono", arg, path, err)) {
            return std::nullopt;
        }
    }
    if (!RequireRecording("iono", path, err)) {
        return std::nullopt;
    }
    options.path = *path;
    return options;
}

// Hands every intact message 80 to the decoder as the dispatcher stores it,
// so none is lost however many arrive between two looks at the history.
class WaasFeeder final : public IStoreTap {
public:
    WaasFeeder(const CMsgDispatcher& dispatcher, CWaasDecoder& decoder) : dispatcher_(dispatcher), decoder_(decoder) {}

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        if (dispatcher_.SlotOf(&handler) == Slots::Msg80) {
            (void)decoder_.ProcessWaasRecord(bytes);
        }
    }

private:
    const CMsgDispatcher& dispatcher_;
    CWaasDecoder& decoder_;
};

std::string FormatDelay(double metres) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.3f", metres);
    return text.data();
}

}  // namespace

int RunIono(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    bool help = false;
    const auto options = ParseArgs(args, err, help);
    if (const auto status = EndsBeforeReading(help, options, kIonoHelp, out)) {
        return *status;
    }

    CSettingsStore settings;
    std::string settingsBefore;
    if (options->settings) {
        if (const IoStatus loaded = settings.Load(*options->settings); !loaded.ok) {
            err << "zarnmon-cli iono: cannot read settings '" << *options->settings << "': " << loaded.reason << '\n';
            return kExitUsage;
        }
        settingsBefore = settings.Text();
    }

    // Offline: time does not pass, and nothing is ever sent.
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    CWaasDecoder decoder(options->settings ? &settings : nullptr);
    WaasFeeder feeder(dispatcher, decoder);
    dispatcher.SetStoreTap(&feeder);

    if (!FeedRecording("iono", options->path, kChunk, dispatcher, err)) {
        return kExitUsage;
    }

    for (const Point& point : options->points) {
        out << point.lonText << ' ' << point.latText << ' '
            << FormatDelay(decoder.IonoDelayAt(point.longitude, point.latitude, options->extend)) << '\n';
    }
    if (options->igp) {
        const IonoGrid& grid = decoder.Grid();
        for (int band = 0; band < IonoGrid::kBands; ++band) {
            for (int index = 0; index < IonoGrid::kEntriesPerBand; ++index) {
                const std::uint16_t value = grid.igp[static_cast<std::size_t>(band)][static_cast<std::size_t>(index)];
                if (value != IonoGrid::kNeverReceived) {
                    out << band << ' ' << index << ' ' << IonoGrid::DelayUnits(value) << ' ' << IonoGrid::Givei(value)
                        << '\n';
                }
            }
        }
    }

    // Only a changed block is written: a recording without WAAS leaves the file alone.
    if (options->settings && settings.Text() != settingsBefore) {
        if (const IoStatus saved = settings.Save(); !saved.ok) {
            err << "zarnmon-cli iono: cannot write settings '" << *options->settings << "': " << saved.reason << '\n';
            return kExitWriteFailed;
        }
    }
    return kExitOk;
}

}  // namespace zarnmon::cli
