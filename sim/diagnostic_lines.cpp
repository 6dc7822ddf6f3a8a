#include "sim/diagnostic_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/link/frame_builder.h"
#include "sim/sky_model.h"

namespace zarnmon::sim {

namespace {

constexpr int kRxLines = 32;
constexpr int kFirstChannelLine = 1;
constexpr int kFirstSbasLine = kFirstChannelLine + kGpsChannels;
constexpr int kFirstTaskLine = 22;

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    return std::string(buffer, static_cast<std::size_t>(n < 0 ? 0 : std::min(n, static_cast<int>(sizeof buffer) - 1)));
}

// An idle channel searches for a satellite of its kind, another one each second.
std::string ChannelText(const ChannelState& c, int number, bool sbas, double elapsed) {
    if (c.prn == 0) {
        const long long turn = static_cast<long long>(std::floor(elapsed)) + number;
        const long long prn = sbas ? kSbasFirstPrn + turn % (kSbasLastPrn - kSbasFirstPrn + 1) : 1 + turn % kGpsPrns;
        return Format("CH%02d,SRCH,PRN%03lld", number, prn);
    }
    return Format("CH%02d,PRN%03d,%02X,%.1f,%.0f,%d", number, c.prn, c.trackFlags, c.cno, c.lockedFor, c.slips);
}

std::string RxText(const CSkyModel& model, int k) {
    const Solution& s = model.CurrentSolution();
    if (k == 0) {
        return Format("UP,%.0f,SPARE,%.1f", model.Elapsed(), model.Processor().spareCount * 0.00045);
    }
    if (k < kFirstSbasLine) {
        return ChannelText(model.Channels()[static_cast<std::size_t>(k - kFirstChannelLine)], k - kFirstChannelLine,
                           false, model.Elapsed());
    }
    if (k < kFirstSbasLine + kSbasChannels) {
        return ChannelText(model.SbasChannels()[static_cast<std::size_t>(k - kFirstSbasLine)], k - kFirstChannelLine,
                           true, model.Elapsed());
    }
    switch (k) {
        case 16:
            return Format("CLK,%.1f,%.1f", model.ClockBias(), model.ClockErrHz());
        case 17: {
            const Enu sigma = model.PositionSigma();
            return Format("SIG,%.2f,%.2f,%.2f", sigma.north, sigma.east, sigma.up);
        }
        case 18:
            // The solution epoch counts the receiver's seconds.
            return Format("NAV,%d,%d,%08X,EPOCH,%lld", NavModeOf(s), s.numUsed, s.usedMask,
                          static_cast<long long>(std::floor(model.Elapsed())));
        case 19:
            return Format("DOP,%.1f,%.1f,%.2f", s.hdop, s.vdop, s.stdDevResid);
        case 20:
            return Format("LB,%d,%d,%d", model.LBand().locked ? 1 : 0, model.LBand().ber, model.LBand().agc);
        case 21:
            return Format("ALM,%d,IONO,%lld", model.LastAlmanacPrn(),
                          static_cast<long long>(model.IonoUtcParameters().issue));
        default:
            break;
    }
    // Task stack and cycle counts: fixed per task, cycles growing with time.
    const int task = k - kFirstTaskLine;
    return Format("TASK%d,STK,%d,CYC,%lld", task, 256 + 48 * task,
                  static_cast<long long>(model.Elapsed() * (10.0 + task * 7.0)));
}

}  // namespace

std::string Rd1Line(const CSkyModel& model) {
    const LBandStatus& lb = model.LBand();
    const std::string ber = lb.secondBer ? Format("%d-%d", lb.ber, *lb.secondBer) : Format("%d", lb.ber);
    const std::string line =
        Format("$RD1,%d,%d,%d,%d,%s,%d,%d,%d,%02X,%02X,%02X,%X", static_cast<int>(std::floor(model.SecondsOfWeek())),
               model.Week(), lb.frequencyKhz, lb.dataRate, ber.c_str(), lb.agc, lb.ddsHz, lb.dopplerHz, lb.dspStatus,
               lb.armStatus, lb.diffStatus, NavModeOf(model.CurrentSolution()));
    return TextLine(line);
}

std::string RxLine(const CSkyModel& model, int k) {
    if (k < 0 || k >= kRxLines) {
        return {};
    }
    return TextLine(Format("$RX,%d,", k) + RxText(model, k));
}

}  // namespace zarnmon::sim
