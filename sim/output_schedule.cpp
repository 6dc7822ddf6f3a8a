#include "sim/output_schedule.h"

#include <cmath>

namespace zarnmon::sim {

namespace {

constexpr std::array<OutputInfo, COutputSchedule::kOutputCount> kTable = {{
    {"1", OutputKind::Binary, 1, true, "Msg1"},           {"2", OutputKind::Binary, 2, false, "Msg2"},
    {"99", OutputKind::Binary, 99, false, "Msg99"},       {"98", OutputKind::Binary, 98, false, "Msg98"},
    {"97", OutputKind::Binary, 97, false, "Msg97"},       {"96", OutputKind::Binary, 96, true, "Msg96"},
    {"95", OutputKind::Binary, 95, false, "Msg95"},       {"94", OutputKind::Binary, 94, false, "Msg94"},
    {"93", OutputKind::Binary, 93, false, "Msg93"},       {"80", OutputKind::Binary, 80, false, "Msg80"},
    {"91", OutputKind::Binary, 91, false, "Msg91"},       {"100", OutputKind::Binary, 100, false, "Msg100"},
    {"71", OutputKind::Binary, 71, false, "Msg71"},       {"76", OutputKind::Binary, 76, false, "Msg76"},
    {"89", OutputKind::Binary, 89, false, "Msg89"},       {"GPGGA", OutputKind::Nmea, 0, true, "NmeaHandler"},
    {"GPGLL", OutputKind::Nmea, 0, true, "NmeaHandler"},  {"GPVTG", OutputKind::Nmea, 0, true, "NmeaHandler"},
    {"GPGSV", OutputKind::Nmea, 0, false, "NmeaHandler"}, {"GPRMC", OutputKind::Nmea, 0, true, "NmeaHandler"},
    {"GPGSA", OutputKind::Nmea, 0, false, "NmeaHandler"}, {"GPZDA", OutputKind::Nmea, 0, true, "NmeaHandler"},
    {"GPGST", OutputKind::Nmea, 0, false, "NmeaHandler"}, {"GPHDT", OutputKind::Nmea, 0, true, "NmeaHandler"},
    {"HEHDT", OutputKind::Nmea, 0, true, "NmeaHandler"},  {"RTCM", OutputKind::Rtcm, 0, false, "RtcmHandler"},
    {"D1", OutputKind::Rd1, 0, false, "Rd1Handler"},      {"X", OutputKind::Rx, 0, false, "RxHandler"},
}};

// Rate in Hz to period in ticks; 0 for a rate that is not offered.
int PeriodOf(double hz, bool fastRates) {
    constexpr std::array<std::pair<double, int>, 5> kRates = {{{0.2, 100}, {1, 20}, {5, 4}, {10, 2}, {20, 1}}};
    for (const auto& [rate, period] : kRates) {
        if (std::abs(hz - rate) < 1e-9 && (fastRates || rate <= 1.0)) {
            return period;
        }
    }
    return 0;
}

}  // namespace

COutputSchedule::COutputSchedule() = default;

const std::array<OutputInfo, COutputSchedule::kOutputCount>& COutputSchedule::Outputs() { return kTable; }

std::optional<std::size_t> COutputSchedule::FindBinary(std::uint16_t id) {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (kTable[i].kind == OutputKind::Binary && kTable[i].id == id) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> COutputSchedule::FindText(std::string_view name) {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (kTable[i].kind != OutputKind::Binary && kTable[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

bool COutputSchedule::SetRate(std::size_t output, double hz) {
    if (output >= kTable.size() || !(hz >= 0.0)) {
        return false;
    }
    if (hz == 0.0) {
        period_[output] = 0;
        return true;
    }
    const int period = PeriodOf(hz, kTable[output].fastRates);
    if (period == 0) {
        return false;
    }
    period_[output] = period;
    return true;
}

void COutputSchedule::AllOff() { period_.fill(0); }

void COutputSchedule::AllOn() {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        const OutputInfo& info = kTable[i];
        const bool viewsUseIt = info.kind != OutputKind::Nmea || info.name == "GPGGA" || info.name == "GPVTG" ||
                                info.name == "GPGSV" || info.name == "GPRMC" || info.name == "HEHDT";
        period_[i] = viewsUseIt ? kTicksPerSecond : 0;
    }
}

bool COutputSchedule::Enable(std::string_view list, std::string& bad) {
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        if (item.empty()) {
            continue;
        }
        if (item == "all") {
            AllOn();
            continue;
        }
        std::optional<std::size_t> output = FindText(item);
        for (std::size_t i = 0; !output && i < kTable.size(); ++i) {
            if (kTable[i].kind == OutputKind::Binary && kTable[i].name == item) {
                output = i;
            }
        }
        if (!output) {
            bad = item;
            return false;
        }
        period_[*output] = kTicksPerSecond;
    }
    return true;
}

bool COutputSchedule::Due(std::size_t output, std::int64_t tick) const {
    const int period = period_[output];
    return period > 0 && tick % period == 0;
}

}  // namespace zarnmon::sim
