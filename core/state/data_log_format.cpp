#include "core/state/data_log_format.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "core/link/gps_time.h"
#include "core/state/fixed_format.h"

namespace zarnmon {

namespace {

constexpr std::string_view kIdleLetters = "    ";

void Tab(std::string& out) { out.push_back('\t'); }

void TabFixed(std::string& out, double value, int precision) {
    Tab(out);
    AppendFixed(out, value, precision);
}

void TabInt(std::string& out, long long value) {
    Tab(out);
    AppendInt(out, value);
}

// "\t" + field n of the "$RD1," line; a missing field is empty.
void TabField(std::string& out, const CTextMsgHandler* rd1, int n, bool berTilde = false) {
    Tab(out);
    if (rd1 == nullptr) {
        return;
    }
    std::array<char, CTextMsgHandler::kCapacity + 1> field{};
    if (rd1->GetField(n, field.data(), field.size()) == nullptr) {
        return;
    }
    const std::size_t start = out.size();
    out.append(field.data());
    // A dual bit error rate "a-b" would read as a subtraction in a spreadsheet.
    if (berTilde) {
        const auto dash = out.find('-', start);
        if (dash != std::string::npos && dash > start) {
            out[dash] = '~';
        }
    }
}

void AppendLabel(std::string& out, const char* format, int n) {
    std::array<char, 48> label{};
    std::snprintf(label.data(), label.size(), format, n);
    out.append(label.data());
}

double L1Cno(const ChannelRecord& record) { return record.Prn() == 0 ? 0.0 : L1CnoDbHz(record.CnoRaw()); }

void AppendChannel(std::string& out, const ChannelRecord& record, bool fineResolution) {
    const bool idle = record.Prn() == 0;
    TabInt(out, record.Prn());
    out.push_back('~');
    out.append(idle ? kIdleLetters : AsView(record.Letters()));
    TabInt(out, record.Elevation());
    TabFixed(out, L1Cno(record), 1);
    TabFixed(out, idle ? 0.0 : record.PosResid() * (fineResolution ? 0.001 : 0.1), 3);
    TabFixed(out, idle ? 0.0 : record.VelResid() * 0.1, 2);
    TabFixed(out, idle ? 0.0 : record.DiffCorr() * 0.01, 2);
}

void AppendL2Channel(std::string& out, const L2ChannelRecord& record, bool fineResolution) {
    const bool idle = record.Prn() == 0;
    Tab(out);
    out.append(idle ? kIdleLetters : AsView(LockLetters(record.L2Flags())));
    TabFixed(out, idle ? 0.0 : record.L2CnoDbHz(), 1);
    Tab(out);
    out.append(idle ? kIdleLetters : AsView(LockLetters(record.L1PFlags())));
    TabFixed(out, idle ? 0.0 : record.L1PCnoDbHz(), 1);
    TabFixed(out, idle ? 0.0 : record.P2mC1() * 0.01, 2);
    TabFixed(out, idle ? 0.0 : record.P2mL1() * 0.01, 3);
    TabFixed(out, idle ? 0.0 : record.C1mL1() * (fineResolution ? 0.001 : 0.01), 3);
    TabFixed(out, idle ? 0.0 : record.P2mP1() * 0.01, 3);
    TabFixed(out, idle ? 0.0 : record.L2mL1() * 0.1, 3);
}

}  // namespace

std::string DataLogHeader(bool fullLog, bool msg100Resolution) {
    std::string out =
        "UTCDay\tUTCtime"
        "\tLat(N)\tLon(E)\tHeight(H)"
        "\tSpeed\tHeading\tROC"
        "\tHDOP\tVDOP\tStdDev"
        "\tAgeDiff\tNumSats"
        "\tNavCond\tBER\tAGC\tDSPStat\tARMStat"
        "\tClockErrHz\tDDSHz\tDopplerHz";
    if (fullLog) {
        for (int n = 1; n <= kDataLogChannels; ++n) {
            AppendLabel(out, "\tPRN~Lock_Ch%02d", n);
            AppendLabel(out, "\tElev_Ch%02d", n);
            AppendLabel(out, "\tSNR_Ch%02d", n);
            AppendLabel(out, "\tPosResid_Ch%02d", n);
            AppendLabel(out, "\tVelResid_Ch%02d", n);
            AppendLabel(out, "\tDiffCor_Ch%02d", n);
            if (n > kDataLogL2Channels) {
                continue;
            }
            AppendLabel(out, "\tLock_L2_Ch%02d", n);
            AppendLabel(out, "\tSNR_L2_Ch%02d", n);
            AppendLabel(out, "\tLock_L1P_Ch%02d", n);
            AppendLabel(out, "\tSNR_L1P_Ch%02d", n);
            AppendLabel(out, "\tP2mC1_CH%02d", n);
            if (msg100Resolution) {
                AppendLabel(out, "\tDiff2_CH%02d", n);
                AppendLabel(out, "\tPosRes2_Ch%02d", n);
            } else {
                AppendLabel(out, "\tP2mL1_CH%02d", n);
                AppendLabel(out, "\tC1mL1_CH%02d", n);
            }
            AppendLabel(out, "\tP2mP1_CH%02d", n);
            AppendLabel(out, "\tL2mL1_CH%02d", n);
        }
    }
    out.append("\r\n");
    return out;
}

void AppendDataLogRow(std::string& out, const DataLogSources& sources, const CReferencePosition& reference,
                      const DataLogRowOptions& options) {
    const Msg1View& msg1 = sources.msg1;

    // "MM/DD/YY  hh:mm:ss": the date, then the time without its blanks.
    const DateTimeText when = UtcDateTimeText(msg1.GpsWeek(), msg1.GpsTimeOfWeek(), sources.gpsUtcOffset);
    const std::string_view text = when.View();
    const auto space = text.find(' ');
    out.append(text.substr(0, space));
    Tab(out);
    if (space != std::string_view::npos) {
        const auto time = text.find_first_not_of(' ', space);
        if (time != std::string_view::npos) {
            out.append(text.substr(time));
        }
    }

    const double height = msg1.Height();
    if (options.logErrors && reference.IsValid()) {
        const NeuOffset error = reference.NeuError(msg1.Latitude(), msg1.Longitude(), height);
        TabFixed(out, error.north, 3);
        TabFixed(out, error.east, 3);
        TabFixed(out, error.up, 3);
    } else {
        TabFixed(out, msg1.Latitude(), 7);
        TabFixed(out, msg1.Longitude(), 7);
        TabFixed(out, height, 3);
    }

    TabFixed(out, msg1.Speed(), 2);
    TabFixed(out, msg1.Course(), 2);
    TabFixed(out, msg1.VelUp(), 2);

    TabFixed(out, sources.msg2.Hdop() * 0.1, 1);
    TabFixed(out, sources.msg2.Vdop() * 0.1, 1);
    TabFixed(out, msg1.StdDevResid(), 3);

    // Seconds of age with the navigation mode in the thousandths.
    const int age = msg1.ExtAgeOfDiff() != 0 ? msg1.ExtAgeOfDiff() : msg1.AgeOfDiff();
    TabFixed(out, (age * 1000 + (msg1.NavMode() & 7)) * 0.001, 3);
    TabInt(out, msg1.NumSats());

    TabField(out, sources.rd1, 12);
    TabField(out, sources.rd1, 5, true);
    TabField(out, sources.rd1, 6);
    TabField(out, sources.rd1, 9);
    TabField(out, sources.rd1, 10);
    TabInt(out, sources.msg99.ClockErr());
    TabField(out, sources.rd1, 7);
    TabField(out, sources.rd1, 8);

    if (options.fullLog) {
        const bool fine99 = sources.msg99.ResolutionFlag();
        const bool fine89 = sources.msg89.ResolutionFlag();
        const bool fine100 = sources.msg100.ResolutionFlag();
        for (int k = 0; k < kDataLogChannels; ++k) {
            if (k < msg99::kChannelCount) {
                AppendChannel(out, sources.msg99.Channel(k), fine99);
                AppendL2Channel(out, sources.msg100.L2Channel(k), fine100);
            } else {
                AppendChannel(out, sources.msg89.Channel(k - msg99::kChannelCount), fine89);
            }
        }
    }
    out.append("\r\n");
}

std::string DayFileDateText(std::string_view dateTimeText) {
    const auto first = dateTimeText.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    dateTimeText.remove_prefix(first);
    std::string date(dateTimeText.substr(0, dateTimeText.find(' ')));
    for (char& c : date) {
        if (c == '/') {
            c = '-';
        }
    }
    return date;
}

std::string DayFileName(std::string_view chosenPath, std::string_view dateText) {
    std::string_view base = chosenPath;
    std::string_view extension;
    const auto dot = chosenPath.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        base = chosenPath.substr(0, dot);
        extension = chosenPath.substr(dot);
    }
    // A lone dot is no extension.
    if (extension.size() < 2) {
        extension = ".LOG";
    }
    std::string name(base);
    name.push_back('-');
    name.append(dateText);
    name.append(extension);
    return name;
}

}  // namespace zarnmon
