#include "sim/sim_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "core/link/scan.h"
#include "sim/output_schedule.h"

namespace zarnmon::sim {

const char* const kSimHelp =
    "usage: zarnmon-sim [OPTIONS] (--pty | --tcp PORT | --out FILE --seconds N)\n"
    "\n"
    "A simulated Zarn GNSS receiver. It obeys the receiver's \"$J\" commands and\n"
    "sends binary messages 1, 2, 80, 89, 91, 93-100, 71 and 76, NMEA sentences,\n"
    "RTCM text, \"$RD1,\" and \"$RX,\" lines and \"$>\" replies once they are on.\n"
    "Like a receiver after $JOFF it starts with everything off unless --enable\n"
    "says otherwise. Runs are deterministic for a given --seed.\n"
    "\n"
    "Transports (choose one):\n"
    "  --pty                 serve on a new pseudo-terminal; its path is printed\n"
    "                        on the first line of standard output\n"
    "  --tcp PORT            serve one client at a time on 127.0.0.1:PORT\n"
    "  --out FILE            write the receiver's output to FILE as fast as\n"
    "  --seconds N           possible, for N seconds of receiver time (with --pty\n"
    "                        or --tcp: stop after N seconds)\n"
    "\n"
    "What it sends:\n"
    "  --enable LIST         outputs on from the start: binary ids and text names,\n"
    "                        comma separated (1,2,99,GPGGA,HEHDT,RTCM,D1,X), or\n"
    "                        all (every binary message at 1 Hz and the text the\n"
    "                        monitor's views use)\n"
    "  --seed N              seed of every random choice (default 1)\n"
    "  --start WEEK,SECONDS  receiver time at start (default 2443,345600)\n"
    "  --position LAT,LON,H  where the receiver is (default 51.0447,-114.0719,1048)\n"
    "  --motion static|circle  stand still (default) or drive a 40 m circle\n"
    "  --geos N              WAAS GEO satellites heard, 1 to 3 (default 2)\n"
    "  --arm-version V       ARM software version in the $JI reply (default 5.2)\n"
    "\n"
    "Faults (probabilities from 0 to 1; counted and printed at the end):\n"
    "  --noise P             noise bytes after a message\n"
    "  --bad-checksum P      binary frames with a wrong checksum\n"
    "  --reversed-trailer P  binary frames ending LF CR\n"
    "  --truncate P          binary frames cut short\n"
    "  --overlong P          text lines longer than 1024 bytes\n"
    "  --silence P           per second: a silent period (link loss) starts\n"
    "  --burst P             per second: output is held back, then sent at once\n"
    "  --lband-fade P        per second: the L-band link starts to fade for 90 to\n"
    "                        300 s: it stays in sync, but the \"$RD1,\" bit error\n"
    "                        rate rises by 70 (to about 75), so the monitor test\n"
    "                        fails BER within a minute; 1 fades it all the time\n"
    "\n"
    "  -q, --quiet           no summary on standard error at the end\n"
    "  -h, --help            show this help\n"
    "\n"
    "Exit status: 0 on success, 2 for bad options, 1 when a transport fails.\n";

namespace {

struct FaultOption {
    std::string_view name;
    double FaultRates::*rate;
};

constexpr std::array<FaultOption, 8> kFaultOptions = {{
    {"--noise", &FaultRates::noise},
    {"--bad-checksum", &FaultRates::badChecksum},
    {"--reversed-trailer", &FaultRates::reversedTrailer},
    {"--truncate", &FaultRates::truncatedFrame},
    {"--overlong", &FaultRates::overlongLine},
    {"--silence", &FaultRates::silence},
    {"--burst", &FaultRates::burst},
    {"--lband-fade", &FaultRates::lbandFade},
}};

std::optional<double> Number(std::string_view text) {
    const auto value = ScanDouble(text);
    if (!value || text.find_first_not_of("+-.0123456789eE") != std::string_view::npos || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

// Splits "a,b,c" into exactly n numbers.
bool Numbers(std::string_view text, std::span<double> out) {
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto comma = text.find(',');
        if ((comma == std::string_view::npos) != (i + 1 == out.size())) {
            return false;
        }
        const auto value = Number(text.substr(0, comma));
        if (!value) {
            return false;
        }
        out[i] = *value;
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    return true;
}

}  // namespace

std::optional<SimOptions> ParseSimOptions(std::span<const std::string_view> args, std::ostream& err) {
    SimOptions options;
    const auto fail = [&err](std::string_view what) {
        err << "zarnmon-sim: " << what << " (see --help)\n";
        return std::nullopt;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            return options;
        }
        if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (arg == "--pty") {
            options.transport = Transport::Pty;
            continue;
        }
        if (!arg.starts_with("--")) {
            return fail("unexpected argument '" + std::string(arg) + "'");
        }
        if (i + 1 == args.size()) {
            return fail(std::string(arg) + " needs a value");
        }
        const std::string_view value = args[++i];
        const std::string bad = "bad value '" + std::string(value) + "' for " + std::string(arg);
        const auto probability = [&](double& out) {
            const auto p = Number(value);
            if (!p || *p < 0.0 || *p > 1.0) {
                return false;
            }
            out = *p;
            return true;
        };
        if (const auto fault = std::ranges::find(kFaultOptions, arg, &FaultOption::name);
            fault != kFaultOptions.end()) {
            if (!probability(options.faults.*(fault->rate))) {
                return fail(bad + ": a probability from 0 to 1");
            }
        } else if (arg == "--tcp") {
            int port = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), port);
            if (ec != std::errc{} || end != value.data() + value.size() || port < 1 || port > 65535) {
                return fail(bad + ": a port from 1 to 65535");
            }
            options.transport = Transport::Tcp;
            options.tcpPort = static_cast<std::uint16_t>(port);
        } else if (arg == "--out") {
            options.transport = Transport::File;
            options.outPath = value;
        } else if (arg == "--seconds") {
            const auto seconds = Number(value);
            if (!seconds || *seconds <= 0.0 || *seconds > 1e7) {
                return fail(bad + ": receiver seconds above 0");
            }
            options.seconds = *seconds;
        } else if (arg == "--enable") {
            COutputSchedule check;
            std::string item;
            if (!check.Enable(value, item)) {
                return fail("--enable: unknown output '" + item + "'");
            }
            options.enable = value;
        } else if (arg == "--seed") {
            std::uint32_t seed = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seed);
            if (ec != std::errc{} || end != value.data() + value.size()) {
                return fail(bad + ": a whole number");
            }
            options.config.seed = seed;
        } else if (arg == "--start") {
            std::array<double, 2> start{};
            if (!Numbers(value, start) || start[0] < 0 || start[0] > 9999 || start[0] != std::floor(start[0]) ||
                start[1] < 0 || start[1] >= 604800) {
                return fail(bad + ": WEEK,SECONDS with SECONDS below 604800");
            }
            options.config.startWeek = static_cast<std::int32_t>(start[0]);
            options.config.startSeconds = start[1];
        } else if (arg == "--position") {
            std::array<double, 3> position{};
            if (!Numbers(value, position) || std::abs(position[0]) > 89.0 || std::abs(position[1]) > 180.0 ||
                position[2] < -500.0 || position[2] > 20000.0) {
                return fail(bad + ": LAT,LON,HEIGHT in degrees and metres");
            }
            options.config.latitude = position[0];
            options.config.longitude = position[1];
            options.config.height = position[2];
        } else if (arg == "--motion") {
            if (value == "static") {
                options.config.motion = Motion::Static;
            } else if (value == "circle") {
                options.config.motion = Motion::Circle;
            } else {
                return fail(bad + ": static or circle");
            }
        } else if (arg == "--geos") {
            if (value != "1" && value != "2" && value != "3") {
                return fail(bad + ": 1, 2 or 3");
            }
            options.geoCount = value[0] - '0';
        } else if (arg == "--arm-version") {
            const auto version = Number(value);
            if (!version || *version < 0.0 || *version > 99.0) {
                return fail(bad + ": a version number");
            }
            options.config.armVersion = *version;
        } else {
            return fail("unknown option '" + std::string(arg) + "'");
        }
    }
    if (options.transport == Transport::None) {
        return fail("choose a transport: --pty, --tcp PORT or --out FILE --seconds N");
    }
    if (options.transport == Transport::File && options.seconds <= 0.0) {
        return fail("--out needs --seconds: how much receiver time to write");
    }
    return options;
}

}  // namespace zarnmon::sim
