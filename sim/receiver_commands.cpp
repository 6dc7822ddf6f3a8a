#include "sim/receiver_commands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "core/link/scan.h"

namespace zarnmon::sim {

namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(),
                           [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return out;
}

std::vector<std::string_view> Split(std::string_view text) {
    std::vector<std::string_view> pieces;
    while (true) {
        const auto comma = text.find(',');
        pieces.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) {
            return pieces;
        }
        text.remove_prefix(comma + 1);
    }
}

bool IsNumber(std::string_view text) {
    const auto value = ScanDouble(text);
    return value.has_value() && text.find_first_not_of("+-.0123456789eE ") == std::string_view::npos;
}

// A rate in Hz, or -1 when the text is not a number.
double RateOf(std::string_view text) { return IsNumber(text) ? ScanDouble(text).value_or(-1.0) : -1.0; }

std::string Line(std::string_view text) { return std::string(text) + "\r\n"; }

std::string Format(const char* format, auto... values) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

}  // namespace

CReceiverCommands::CReceiverCommands(COutputSchedule& schedule, const SimConfig& config, std::vector<int> geoPrns)
    : schedule_(schedule),
      config_(config),
      geoPrns_(std::move(geoPrns)),
      latitude_(config.latitude),
      longitude_(config.longitude) {}

void CReceiverCommands::Execute(std::string_view line, std::vector<std::string>& replies) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' ')) {
        line.remove_suffix(1);
    }
    const auto start = line.find_first_not_of(" \r\n");
    if (start == std::string_view::npos) {
        return;
    }
    const std::string upper = Upper(line.substr(start));
    const Args pieces = Split(upper);
    const std::string_view name = pieces.front();
    const Args args(pieces.begin() + 1, pieces.end());

    if (Query(name, args, replies)) {
        ++accepted_;
        return;
    }
    if (Configure(name, args, replies)) {
        ++accepted_;
        // Message switches only get the acknowledgement; other settings are
        // echoed on the reply channel too, as the command page shows them.
        if (name != "$JBIN" && name != "$JASC") {
            replies.push_back(
                Line(name == "$JSAVE" ? "$>SAVING CONFIGURATION. PLEASE WAIT..." : "$>" + upper.substr(1)));
        }
        replies.push_back(Line("$PCSI,ACK," + upper.substr(1)));
        return;
    }
    ++rejected_;
    replies.push_back(Line(name.starts_with("$J") ? "$>ERR,INVALID COMMAND OR ARGUMENT," + upper.substr(1)
                                                  : "$>ERR,UNKNOWN COMMAND," + upper));
}

bool CReceiverCommands::Query(std::string_view name, const Args& args, std::vector<std::string>& replies) const {
    if (name == "$JI" && args.empty()) {
        replies.push_back(Line(Format("$>JI,%u,1,7,02052026,01/15/2026,01/01/2099,%.1f,3.4",
                                      310000 + config_.seed % 90000, config_.armVersion)));
    } else if (name == "$JPOS" && args.empty()) {
        // The start-up position it holds: what a monitor without a fix asks for.
        replies.push_back(Line(Format("$>JPOS,%.6f,%.6f", latitude_, longitude_)));
    } else if (name == "$JT" && args.empty()) {
        replies.push_back(Line("$>JT,SIM2,ZARNSIM"));
    } else if (name == "$JSHOW" && args.size() <= 1) {
        const std::string_view subset = args.empty() ? "" : args[0];
        if (subset.empty() || subset == "CONF") {
            replies.push_back(Line("$>JSHOW,CONF,N,0.0,10.0,5,A,0,60,W"));
        }
        if (subset.empty() || subset == "GP") {
            replies.push_back(Line("$>JSHOW,GP"));
        }
        if (subset.empty()) {
            replies.push_back(Line(Format("$>JSHOW,POS,%.6f,%.6f", latitude_, longitude_)));
        }
        return subset.empty() || subset == "CONF" || subset == "GP";
    } else if (name == "$JGEO" && (args.empty() || (args.size() == 1 && args[0] == "ALL"))) {
        for (const int prn : geoPrns_) {
            replies.push_back(Line(Format("$>JGEO,Sent=1551489,PRN=%d,Lon=%.1f,Lat=0.0,Elev=%.1f,Azimuth=%.1f", prn,
                                          -98.0 - (prn - 133) * 9.0, 30.0 + (prn % 7), 190.0 + (prn % 11))));
        }
    } else if (name == "$JWAASPRN" && args.empty()) {
        std::string reply = "$>JWAASPRN";
        for (const int prn : geoPrns_) {
            reply += "," + std::to_string(prn);
        }
        replies.push_back(Line(reply));
    } else if (name == "$JDIFF" && args.empty()) {
        replies.push_back(Line("$>JDIFF," + diffSource_));
    } else if (name == "$JAPP" && args.empty()) {
        replies.push_back(Line("$>JAPP,WAAS,LBAND"));
    } else if ((name == "$JLBEAM" || name == "$JFREQ") && args.empty()) {
        replies.push_back(Line("$>JLBEAM,Sent 1551489,Used 1551489,Baud 1200,Geo -101"));
        if (name == "$JLBEAM") {
            replies.push_back(Line("$>JLBEAM,AMSC,1551489,1200,-101.0"));
        }
    } else if (name == "$JLXBEAM" && args.empty()) {
        replies.push_back(Line("$>JLXBEAM,0,0,0"));
    } else if (name == "$JOMS" && args.empty()) {
        replies.push_back(Line("$>JOMS,DRY,ALL,VBS,0,01/01/2026,01/01/2027,0,0,1,1.0"));
    } else if (name == "$JOMR" && args.empty()) {
        replies.push_back(Line(Format("$>JOMR,%.2f,%.2f,2000", latitude_, longitude_)));
    } else {
        return false;
    }
    return true;
}

bool CReceiverCommands::Configure(std::string_view name, const Args& args, std::vector<std::string>& replies) {
    const bool other = !args.empty() && args.back() == "OTHER";
    if (name == "$JBIN") {
        return SetBinary(args);
    }
    if (name == "$JASC") {
        return SetText(args);
    }
    if (name == "$JOFF") {
        if (args.size() > 1 || (args.size() == 1 && !other)) {
            return false;
        }
        if (!other) {
            schedule_.AllOff();
        }
        return true;
    }
    if (name == "$J4STRING") {
        if (args.size() > 2) {
            return false;
        }
        if (!other) {
            schedule_.AllOff();
            for (const char* sentence : {"GPGGA", "GPVTG", "GPGSA", "GPZDA"}) {
                schedule_.SetRate(*COutputSchedule::FindText(sentence), 1.0);
            }
        }
        return true;
    }
    if (name == "$JPOS") {
        if (args.size() != 2 || !IsNumber(args[0]) || !IsNumber(args[1])) {
            return false;
        }
        const double lat = ScanDouble(args[0]).value_or(0.0);
        const double lon = ScanDouble(args[1]).value_or(0.0);
        if (std::abs(lat) > 90.0 || std::abs(lon) > 180.0) {
            return false;
        }
        latitude_ = lat;
        longitude_ = lon;
        return true;
    }
    if (name == "$JRESET") {
        schedule_.AllOff();
        return args.empty() || (args.size() == 1 && args[0] == "ALL");
    }
    if (name == "$JDIFF") {
        constexpr std::array<std::string_view, 6> kSources = {"THIS", "OTHER", "BEACON", "LBAND", "WAAS", "NONE"};
        if (args.empty() || std::ranges::find(kSources, args.back()) == kSources.end()) {
            return false;
        }
        diffSource_ = args.back();
        return true;
    }
    if (name == "$JWAASPRN") {
        if (args.size() > 2) {
            return false;
        }
        for (std::size_t i = 0; i < args.size(); ++i) {
            const int prn = ScanInt(args[i]).value_or(0);
            if (prn < 120 || prn > 138) {
                return false;
            }
            if (i < geoPrns_.size()) {
                geoPrns_[i] = prn;
            }
        }
        return true;
    }
    // Settings the simulation does not model: accepted when their arguments are sane.
    if (name == "$JSAVE" || name == "$JAPP") {
        return args.size() <= 1;
    }
    if (name == "$JBAUD") {
        const int baud = args.empty() ? 0 : ScanInt(args[0]).value_or(0);
        return baud == 4800 || baud == 9600 || baud == 19200 || baud == 38400 || baud == 57600 || baud == 115200;
    }
    if (name == "$JAGE" || name == "$JDCO" || name == "$JLIMIT" || name == "$JMASK" || name == "$JAIR") {
        (void)replies;
        return args.size() == 1 && IsNumber(args[0]);
    }
    if (name == "$JALT") {
        return !args.empty() && (args[0] == "NEVER" || args[0] == "ALWAYS" || args[0] == "SOMETIMES");
    }
    if (name == "$JCONN") {
        return args.size() == 1 && (args[0] == "C" || args[0] == "AB" || args[0] == "X");
    }
    if (name == "$JFREQ") {
        return args.size() == 2 && IsNumber(args[0]) && (args[1] == "1200" || args[1] == "2400");
    }
    return false;
}

bool CReceiverCommands::SetBinary(const Args& args) {
    const bool other = args.size() == 3 && args[2] == "OTHER";
    if (args.size() != 2 && !other) {
        return false;
    }
    const auto id = ScanInt(args[0]);
    const double rate = RateOf(args[1]);
    if (!id || *id < 0 || *id > 0xFFFF || rate < 0.0) {
        return false;
    }
    const auto output = COutputSchedule::FindBinary(static_cast<std::uint16_t>(*id));
    if (!output) {
        return false;
    }
    if (other) {
        return true;
    }
    // A WAAS receiver sends its WAAS ephemeris (93) together with 95.
    if (*id == 95 && !schedule_.SetRate(*COutputSchedule::FindBinary(93), rate)) {
        return false;
    }
    return schedule_.SetRate(*output, rate);
}

bool CReceiverCommands::SetText(const Args& args) {
    const bool other = args.size() == 3 && args[2] == "OTHER";
    if (args.size() != 2 && !other) {
        return false;
    }
    const double rate = RateOf(args[1]);
    if (rate < 0.0) {
        return false;
    }
    // Outputs of a second port or a beacon receiver that is not simulated.
    if (args[0] == "BEAC" || args[0] == "VIRTUAL") {
        return rate == 0.0 || rate == 1.0;
    }
    const auto output = COutputSchedule::FindText(args[0]);
    if (!output) {
        return false;
    }
    if (other) {
        return true;
    }
    return schedule_.SetRate(*output, rate);
}

}  // namespace zarnmon::sim
