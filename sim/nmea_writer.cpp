#include "sim/nmea_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/link/frame_builder.h"
#include "core/link/gps_time.h"
#include "sim/sky_model.h"

namespace zarnmon::sim {

namespace {

constexpr double kKnotsPerMps = 1.943844;
constexpr double kKmhPerMps = 3.6;
constexpr int kSatellitesPerGsv = 4;
// NMEA numbers SBAS satellites from 33: PRN 120 is 33.
constexpr int kNmeaSbasOffset = 87;

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char buffer[160];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    return std::string(buffer, static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(sizeof buffer) - 1)));
}

struct UtcTime {
    CalendarTime calendar;
    int centiseconds;
};

UtcTime Utc(const CSkyModel& model) {
    // Whole centiseconds first, so rounding never shows 60 seconds.
    const std::int64_t centi = std::llround((model.SecondsOfWeek() - CSkyModel::kGpsUtcOffset) * 100.0);
    const std::int64_t whole = centi >= 0 ? centi / 100 : -((-centi + 99) / 100);
    return {GpsToCalendar(model.Week(), static_cast<double>(whole)), static_cast<int>(centi - whole * 100)};
}

std::string TimeField(const UtcTime& t) {
    return Format("%02d%02d%02d.%02d", t.calendar.hour, t.calendar.minute, t.calendar.second, t.centiseconds);
}

// "ddmm.mmmmm,N" or "dddmm.mmmmm,E"; empty fields without a fix.
std::string Angle(double degrees, bool valid, int degreeDigits, char positive, char negative) {
    if (!valid) {
        return ",";
    }
    const std::int64_t units = std::llround(std::abs(degrees) * 60.0 * 100000.0);  // 1e-5 minutes
    const std::int64_t whole = units / 6000000;
    const std::int64_t minutes = units % 6000000;
    return Format("%0*lld%02lld.%05lld,%c", degreeDigits, static_cast<long long>(whole),
                  static_cast<long long>(minutes / 100000), static_cast<long long>(minutes % 100000),
                  degrees < 0.0 ? negative : positive);
}

std::string LatLon(const Solution& s) {
    const bool valid = s.fix != FixType::None;
    return Angle(s.position.latitude, valid, 2, 'N', 'S') + "," + Angle(s.position.longitude, valid, 3, 'E', 'W');
}

char ModeIndicator(const Solution& s) {
    if (s.fix == FixType::None) {
        return 'N';
    }
    return s.differential ? 'D' : 'A';
}

double Speed(const Solution& s) { return std::hypot(s.velocity.east, s.velocity.north); }

// Below walking pace the velocity's direction is mostly noise.
constexpr double kMovingMps = 0.5;

// The course over ground; standing still, where the receiver points, so the
// course and heading sentences agree as a receiver with a heading sensor's do.
double Course(const CSkyModel& model) {
    const Solution& s = model.CurrentSolution();
    if (Speed(s) < kMovingMps) {
        return WrapDegrees(model.Heading());
    }
    return WrapDegrees(std::atan2(s.velocity.east, s.velocity.north) / kDeg);
}

void Emit(std::string_view body, std::vector<std::uint8_t>& out) {
    const std::string sentence = NmeaSentence(body);
    out.insert(out.end(), sentence.begin(), sentence.end());
}

std::string Gga(const CSkyModel& model) {
    const Solution& s = model.CurrentSolution();
    const bool fix = s.fix != FixType::None;
    const int quality = fix ? (s.differential ? 2 : 1) : 0;
    const double separation = GeoidSeparation(s.position.latitude, s.position.longitude);
    int station = 0;
    for (const ChannelState& c : model.SbasChannels()) {
        if (c.used) {
            station = c.prn;
            break;
        }
    }
    std::string body = "GPGGA," + TimeField(Utc(model)) + "," + LatLon(s) + Format(",%d,%02d,", quality, s.numUsed);
    body += fix ? Format("%.1f,%.2f,M,%.2f,M,", s.hdop, s.position.height - separation, separation) : ",,M,,M,";
    body += fix && s.differential ? Format("%.1f,%04d", s.ageOfDiff, station) : ",";
    return body;
}

std::string Gll(const CSkyModel& model) {
    const Solution& s = model.CurrentSolution();
    return "GPGLL," + LatLon(s) + "," + TimeField(Utc(model)) +
           Format(",%c,%c", s.fix != FixType::None ? 'A' : 'V', ModeIndicator(s));
}

std::string Vtg(const CSkyModel& model) {
    const Solution& s = model.CurrentSolution();
    const double course = Course(model);
    const double magnetic = WrapDegrees(course - MagneticDeclination(s.position.latitude, s.position.longitude));
    return Format("GPVTG,%.1f,T,%.1f,M,%.2f,N,%.2f,K,%c", course, magnetic, Speed(s) * kKnotsPerMps,
                  Speed(s) * kKmhPerMps, ModeIndicator(s));
}

std::string Rmc(const CSkyModel& model) {
    const Solution& s = model.CurrentSolution();
    const UtcTime t = Utc(model);
    const double variation = MagneticDeclination(s.position.latitude, s.position.longitude);
    return "GPRMC," + TimeField(t) + Format(",%c,", s.fix != FixType::None ? 'A' : 'V') + LatLon(s) +
           Format(",%.2f,%.1f,%02d%02d%02d,%.1f,%c,%c", Speed(s) * kKnotsPerMps, Course(model), t.calendar.day,
                  t.calendar.month, t.calendar.year % 100, std::abs(variation), variation < 0.0 ? 'W' : 'E',
                  ModeIndicator(s));
}

std::string Gsa(const CSkyModel& model) {
    const Solution& s = model.CurrentSolution();
    const int mode = s.fix == FixType::ThreeD ? 3 : (s.fix == FixType::TwoD ? 2 : 1);
    std::string body = Format("GPGSA,A,%d", mode);
    int listed = 0;
    for (const ChannelState& c : model.Channels()) {
        if (c.prn != 0 && c.used && listed < kGpsChannels) {
            body += Format(",%02d", c.prn);
            ++listed;
        }
    }
    for (; listed < kGpsChannels; ++listed) {
        body += ",";
    }
    const double pdop = std::hypot(s.hdop, s.vdop);
    return body + Format(",%.1f,%.1f,%.1f", std::min(pdop, 99.9), s.hdop, s.vdop);
}

void AppendGsv(const CSkyModel& model, std::vector<std::uint8_t>& out) {
    std::vector<const ChannelState*> inView;
    for (const ChannelState& c : model.Channels()) {
        if (c.prn != 0) {
            inView.push_back(&c);
        }
    }
    for (const ChannelState& c : model.SbasChannels()) {
        if (c.prn != 0) {
            inView.push_back(&c);
        }
    }
    const int count = static_cast<int>(inView.size());
    const int sentences = std::max(1, (count + kSatellitesPerGsv - 1) / kSatellitesPerGsv);
    for (int n = 0; n < sentences; ++n) {
        std::string body = Format("GPGSV,%d,%d,%02d", sentences, n + 1, count);
        for (int i = n * kSatellitesPerGsv; i < std::min(count, (n + 1) * kSatellitesPerGsv); ++i) {
            const ChannelState& c = *inView[static_cast<std::size_t>(i)];
            const int id = c.prn > kGpsPrns ? c.prn - kNmeaSbasOffset : c.prn;
            body += Format(",%02d,%02d,%03d,%02d", id, static_cast<int>(std::lround(std::max(c.sight.elevation, 0.0))),
                           static_cast<int>(std::lround(c.sight.azimuth)) % 360,
                           static_cast<int>(std::clamp(std::lround(c.cno), 0L, 99L)));
        }
        Emit(body, out);
    }
}

std::string Zda(const CSkyModel& model) {
    const UtcTime t = Utc(model);
    return "GPZDA," + TimeField(t) + Format(",%02d,%02d,%04d,00,00", t.calendar.day, t.calendar.month, t.calendar.year);
}

std::string Gst(const CSkyModel& model) {
    const Solution& s = model.CurrentSolution();
    const Enu sigma = model.PositionSigma();
    const double major = std::max(sigma.east, sigma.north);
    const double minor = std::min(sigma.east, sigma.north);
    return "GPGST," + TimeField(Utc(model)) +
           Format(",%.2f,%.2f,%.2f,%.1f,%.2f,%.2f,%.2f", s.stdDevResid, major * s.hdop, minor * s.hdop,
                  sigma.north >= sigma.east ? 0.0 : 90.0, sigma.north * s.hdop, sigma.east * s.hdop, sigma.up * s.vdop);
}

std::string Hdt(const CSkyModel& model, std::string_view talker) {
    return std::string(talker) + Format("HDT,%.1f,T", model.Heading());
}

}  // namespace

bool AppendNmeaSentences(const CSkyModel& model, std::string_view name, std::vector<std::uint8_t>& out) {
    if (name == "GPGSV") {
        AppendGsv(model, out);
        return true;
    }
    std::string body;
    if (name == "GPGGA") {
        body = Gga(model);
    } else if (name == "GPGLL") {
        body = Gll(model);
    } else if (name == "GPVTG") {
        body = Vtg(model);
    } else if (name == "GPRMC") {
        body = Rmc(model);
    } else if (name == "GPGSA") {
        body = Gsa(model);
    } else if (name == "GPZDA") {
        body = Zda(model);
    } else if (name == "GPGST") {
        body = Gst(model);
    } else if (name == "GPHDT" || name == "HEHDT") {
        body = Hdt(model, name.substr(0, 2));
    } else {
        return false;
    }
    Emit(body, out);
    return true;
}

}  // namespace zarnmon::sim
