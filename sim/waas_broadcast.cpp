#include "sim/waas_broadcast.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/link/bin_catalogue.h"
#include "core/link/frame_builder.h"
#include "sim/iono_model.h"

namespace zarnmon::sim {

namespace {

constexpr std::int64_t kSecondsPerWeek = 604800;
constexpr int kSecondsPerDay = 86400;
constexpr int kBaseCycle = 120;
constexpr int kPrnMaskPeriod = 60;
constexpr std::array<int, 2> kWaasPrns = {135, 138};
constexpr int kFirstSbasPrn = 120;
constexpr int kLastSbasPrn = 138;
constexpr int kLastGpsMaskBit = 37;
constexpr int kGlonassSlots = 8;
constexpr int kFirstGlonassMaskBit = 38;  // GLONASS slot 1
constexpr std::array<std::uint32_t, 3> kPreambles = {0x53, 0x9A, 0xC6};

// Message layouts (first bit of each field).
constexpr int kPrnMaskBits = 210;
constexpr int kIodpBitOfType1 = 224;
constexpr int kIgpMaskBit = 24;
constexpr int kIgpsPerBlock = 15;
constexpr int kIgpFieldBits = 13;
constexpr int kIodiBitOfType26 = 217;
constexpr int kFastPerMessage = 13;
constexpr int kFastPerType24 = 6;
constexpr int kLongTermHalfBits = 106;

constexpr double kDelayUnit = 0.125;  // metres, IGP delays and fast corrections
constexpr std::uint32_t kDelayDoNotUse = 0x1FF;
constexpr std::uint32_t kGiveiNotMonitored = 15;
constexpr int kUdreiNotMonitored = 14;
constexpr int kUdreiDoNotUse = 15;

// Message types.
constexpr int kTestMode = 0;
constexpr int kPrnMask = 1;
constexpr int kFirstFast = 2;
constexpr int kGeoNavigation = 9;
constexpr int kIgpMask = 18;
constexpr int kMixedCorrections = 24;
constexpr int kLongTerm = 25;
constexpr int kIonoDelays = 26;

[[nodiscard]] constexpr std::uint64_t Mix(std::uint64_t x) noexcept {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// A fixed pseudo-random number for (seed, what, which): every choice of a run
// is one of these, so nothing depends on call order.
[[nodiscard]] constexpr std::uint64_t Pick(std::uint32_t seed, std::uint64_t what, std::uint64_t which = 0) noexcept {
    return Mix(Mix(Mix(seed) ^ what) ^ which);
}

[[nodiscard]] constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) noexcept {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

[[nodiscard]] constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) noexcept {
    return a - FloorDiv(a, b) * b;
}

[[nodiscard]] constexpr int CeilDiv(int a, int b) noexcept { return (a + b - 1) / b; }

[[nodiscard]] int ToInt(double value) noexcept { return static_cast<int>(std::lround(value)); }

[[nodiscard]] double WrapLongitude(double longitude) noexcept {
    const double wrapped = std::fmod(longitude + 180.0, 360.0);
    return (wrapped < 0.0 ? wrapped + 360.0 : wrapped) - 180.0;
}

// The delay field of a type 26 IGP; 510 and 511 are left to "do not use".
[[nodiscard]] std::uint32_t DelayUnits(double metres) noexcept {
    return static_cast<std::uint32_t>(std::clamp(ToInt(metres / kDelayUnit), 0, 509));
}

// Larger delays come with a larger error bound, as a real grid has them.
[[nodiscard]] std::uint32_t Givei(double metres) noexcept {
    return static_cast<std::uint32_t>(std::clamp(5 + static_cast<int>(metres / 2.0), 5, 11));
}

// Fast and long-term corrections: smooth, small and fixed per satellite, so
// consecutive messages look like a real broadcast without meaning anything.
class CCorrections {
public:
    CCorrections(std::uint32_t seed, std::span<const int> maskPrns) : seed_(seed), prns_(maskPrns) {}

    // Fast correction of mask entry index (0-based), in 0.125 m.
    [[nodiscard]] std::int32_t FastUnits(int index, std::int64_t gpsSecond) const {
        const int prn = PrnAt(index);
        if (prn == 0 || IsGlonass(prn)) {
            return 0;
        }
        const double period = 600.0 + 17.0 * prn;
        const double phase = static_cast<double>(Pick(seed_, 0xFC, static_cast<std::uint64_t>(prn)) % 6283) / 1000.0;
        const double t = static_cast<double>(FloorMod(gpsSecond, kSecondsPerDay));
        const double amplitude = prn >= kFirstSbasPrn ? 1.5 : 6.0;
        return ToInt(amplitude * std::sin(2.0 * std::numbers::pi * t / period + phase) / kDelayUnit);
    }

    // Entries past the mask are "do not use", GLONASS "not monitored".
    [[nodiscard]] std::uint32_t Udrei(int index) const {
        const int prn = PrnAt(index);
        if (prn == 0) {
            return kUdreiDoNotUse;
        }
        if (IsGlonass(prn)) {
            return kUdreiNotMonitored;
        }
        return static_cast<std::uint32_t>(4 + Pick(seed_, 0xED, static_cast<std::uint64_t>(prn)) % 7);
    }

    // Half of a type 24 or 25 (velocity code 0: two satellites, positions
    // only) at bit start, for the k-th half of the run.
    void WriteLongTermHalf(CWaasMessage& message, int start, std::int64_t k, int iodp) const {
        int bit = start;
        const auto put = [&message, &bit](int width, std::uint32_t value) {
            message.SetBits(bit, width, value);
            bit += width;
        };
        const auto putSigned = [&message, &bit](int width, std::int32_t value) {
            message.SetSignedBits(bit, width, value);
            bit += width;
        };
        const int gpsCount = GpsCount();
        put(1, 0);  // velocity code
        for (int s = 0; s < 2; ++s) {
            const int maskNumber = gpsCount == 0 ? 0 : static_cast<int>(FloorMod(2 * k + s, gpsCount)) + 1;
            const std::uint64_t noise = Pick(seed_, 0x25, static_cast<std::uint64_t>(2 * k + s));
            put(6, static_cast<std::uint32_t>(maskNumber));
            put(8, static_cast<std::uint32_t>(noise & 0xFFU));  // IODE
            for (int axis = 0; axis < 3; ++axis) {
                putSigned(9, static_cast<std::int32_t>((noise >> (8 + 6 * axis)) % 33) - 16);
            }
            putSigned(10, static_cast<std::int32_t>((noise >> 32) % 101) - 50);
        }
        put(2, static_cast<std::uint32_t>(iodp));
        put(1, 0);  // spare
    }

private:
    [[nodiscard]] int PrnAt(int index) const {
        return index >= 0 && index < static_cast<int>(prns_.size()) ? prns_[static_cast<std::size_t>(index)] : 0;
    }
    [[nodiscard]] static bool IsGlonass(int prn) { return prn >= kFirstGlonassMaskBit && prn < kFirstSbasPrn; }
    [[nodiscard]] int GpsCount() const {
        return static_cast<int>(
            std::count_if(prns_.begin(), prns_.end(), [](int prn) { return prn <= kLastGpsMaskBit; }));
    }

    std::uint32_t seed_;
    std::span<const int> prns_;
};

void WritePrnMask(CWaasMessage& message, std::span<const int> prns, int iodp) {
    for (const int prn : prns) {
        if (prn >= 1 && prn <= kPrnMaskBits) {
            message.SetBits(CWaasMessage::kDataBit + prn - 1, 1, 1);
        }
    }
    message.SetBits(kIodpBitOfType1, 2, static_cast<std::uint32_t>(iodp));
}

void WriteIgpMask(CWaasMessage& message, int bandCount, const BandMask& mask, int iodi) {
    message.SetBits(14, 4, static_cast<std::uint32_t>(bandCount));
    message.SetBits(18, 4, static_cast<std::uint32_t>(mask.band));
    message.SetBits(22, 2, static_cast<std::uint32_t>(iodi));
    for (const Igp& igp : mask.igps) {
        message.SetBits(kIgpMaskBit + igp.position, 1, 1);
    }
}

void WriteIonoDelays(CWaasMessage& message, const BandMask& mask, int block, int iodi, std::int64_t gpsSecond) {
    message.SetBits(14, 4, static_cast<std::uint32_t>(mask.band));
    message.SetBits(18, 4, static_cast<std::uint32_t>(block));
    const double t = static_cast<double>(FloorMod(gpsSecond, kSecondsPerDay));
    for (int j = 0; j < kIgpsPerBlock; ++j) {
        const auto index = static_cast<std::size_t>(kIgpsPerBlock * block + j);
        std::uint32_t field = (kDelayDoNotUse << 4) | kGiveiNotMonitored;
        if (index < mask.igps.size()) {
            const Igp& igp = mask.igps[index];
            const double metres = VerticalDelayMetres(igp.latitude, igp.longitude, t);
            field = (DelayUnits(metres) << 4) | Givei(metres);
        }
        message.SetBits(22 + kIgpFieldBits * j, kIgpFieldBits, field);
    }
    message.SetBits(kIodiBitOfType26, 2, static_cast<std::uint32_t>(iodi));
}

// Types 2 to 5 (and 0 in test mode): IODF, IODP, 13 corrections, 13 UDREIs,
// for mask entries 13 x block onwards.
void WriteFastCorrections(CWaasMessage& message, const CCorrections& corrections, int block, int iodf, int iodp,
                          std::int64_t gpsSecond) {
    message.SetBits(14, 2, static_cast<std::uint32_t>(iodf));
    message.SetBits(16, 2, static_cast<std::uint32_t>(iodp));
    for (int i = 0; i < kFastPerMessage; ++i) {
        const int index = kFastPerMessage * block + i;
        message.SetSignedBits(18 + 12 * i, 12, corrections.FastUnits(index, gpsSecond));
        message.SetBits(174 + 4 * i, 4, corrections.Udrei(index));
    }
}

void WriteMixedCorrections(CWaasMessage& message, const CCorrections& corrections, int block, int iodf, int iodp,
                           std::int64_t halfNumber, std::int64_t gpsSecond) {
    for (int i = 0; i < kFastPerType24; ++i) {
        const int index = kFastPerMessage * block + i;
        message.SetSignedBits(14 + 12 * i, 12, corrections.FastUnits(index, gpsSecond));
        message.SetBits(86 + 4 * i, 4, corrections.Udrei(index));
    }
    message.SetBits(110, 2, static_cast<std::uint32_t>(iodp));
    message.SetBits(112, 2, static_cast<std::uint32_t>(block));
    message.SetBits(114, 2, static_cast<std::uint32_t>(iodf));
    corrections.WriteLongTermHalf(message, 120, halfNumber, iodp);
}

// A geostationary orbit over longitude, Earth-fixed, as type 9 carries it.
void WriteGeoNavigation(CWaasMessage& message, double longitude, std::uint32_t seed, std::int64_t gpsSecond) {
    constexpr double kGeoRadius = 42164170.0;
    const double lon = longitude * std::numbers::pi / 180.0;
    const std::uint64_t noise = Pick(seed, 0x09, static_cast<std::uint64_t>(FloorDiv(gpsSecond, 600)));
    const double secondOfDay = static_cast<double>(FloorMod(gpsSecond, kSecondsPerDay));

    message.SetBits(14, 8, 0);  // IODN
    message.SetBits(22, 13, static_cast<std::uint32_t>(secondOfDay / 16.0));
    message.SetBits(35, 4, 2);  // URA
    message.SetSignedBits(39, 30, ToInt(kGeoRadius * std::cos(lon) / 0.08));
    message.SetSignedBits(69, 30, ToInt(kGeoRadius * std::sin(lon) / 0.08));
    message.SetSignedBits(99, 25, static_cast<std::int32_t>(noise % 2001) - 1000);         // Z, 0.4 m
    message.SetSignedBits(124, 17, static_cast<std::int32_t>((noise >> 11) % 201) - 100);  // 0.000625 m/s
    message.SetSignedBits(141, 17, static_cast<std::int32_t>((noise >> 19) % 201) - 100);  // 0.000625 m/s
    message.SetSignedBits(158, 18, static_cast<std::int32_t>((noise >> 27) % 101) - 50);   // 0.004 m/s
    message.SetSignedBits(176, 10, static_cast<std::int32_t>((noise >> 35) % 21) - 10);    // 0.0000125 m/s2
    message.SetSignedBits(186, 10, static_cast<std::int32_t>((noise >> 40) % 21) - 10);    // 0.0000125 m/s2
    message.SetSignedBits(196, 10, static_cast<std::int32_t>((noise >> 45) % 21) - 10);    // 0.0000625 m/s2
    message.SetSignedBits(206, 12, static_cast<std::int32_t>((noise >> 50) % 401) - 200);  // 2^-31 s
    message.SetSignedBits(218, 8, static_cast<std::int32_t>((noise >> 58) % 21) - 10);     // 2^-40 s/s
}

[[nodiscard]] int ChooseThirdPrn(std::uint32_t seed) {
    std::vector<int> candidates;
    for (int prn = kFirstSbasPrn; prn <= kLastSbasPrn; ++prn) {
        if (std::find(kWaasPrns.begin(), kWaasPrns.end(), prn) == kWaasPrns.end()) {
            candidates.push_back(prn);
        }
    }
    return candidates[Pick(seed, 0x03) % candidates.size()];
}

}  // namespace

CWaasBroadcaster::CWaasBroadcaster(const SimConfig& config, int geoCount)
    : CWaasBroadcaster(config, WaasOptions{.geoCount = geoCount}) {}

CWaasBroadcaster::CWaasBroadcaster(const SimConfig& config, const WaasOptions& options)
    : seed_(config.seed), geoCount_(std::clamp(options.geoCount, 1, kMaxGeos)) {
    const std::array<int, kMaxGeos> prns = {kWaasPrns[0], kWaasPrns[1], ChooseThirdPrn(seed_)};
    // Either side of the receiver's meridian, well above its horizon.
    constexpr std::array<double, kMaxGeos> kLongitudeOffsets = {-20.0, 20.0, 0.0};

    for (int prn = 1; prn <= 32; ++prn) {
        maskPrns_.push_back(prn);
    }
    for (int slot = 0; slot < kGlonassSlots; ++slot) {
        maskPrns_.push_back(kFirstGlonassMaskBit + slot);
    }
    std::vector<int> geoPrns(prns.begin(), prns.begin() + geoCount_);
    std::sort(geoPrns.begin(), geoPrns.end());
    maskPrns_.insert(maskPrns_.end(), geoPrns.begin(), geoPrns.end());

    masks_ = RegionBandMasks({config.latitude, config.longitude, options.latHalfSpan, options.lonHalfSpan},
                             options.polarBands);
    BuildCycle();

    const int cycle = CycleSeconds();
    const int basePhase = static_cast<int>(Pick(seed_, 0x0F) % static_cast<std::uint64_t>(cycle));
    for (int g = 0; g < geoCount_; ++g) {
        const auto index = static_cast<std::size_t>(g);
        geos_[index] = Geo{
            .prn = prns[index],
            .iodp = static_cast<int>(Pick(seed_, 0x01, index) % 4),
            .iodi = static_cast<int>(Pick(seed_, 0x18, index) % 4),
            .phase = (basePhase + g * cycle / geoCount_) % cycle,
            .longitude = WrapLongitude(config.longitude + kLongitudeOffsets[index]),
        };
    }
}

int CWaasBroadcaster::CheckedGeo(int geo) const {
    if (geo < 0 || geo >= geoCount_) {
        throw std::out_of_range("no simulated GEO " + std::to_string(geo));
    }
    return geo;
}

// Type 1 every minute. The other messages that are not fast corrections take
// the odd seconds, band masks first, then the delay blocks, so the grid is
// complete within a minute of the masks; fast corrections take every other
// second, so each of them returns within ten seconds.
void CWaasBroadcaster::BuildCycle() {
    std::vector<Slot> spread;
    for (std::size_t i = 0; i < masks_.size(); ++i) {
        spread.push_back({.type = kIgpMask, .maskIndex = static_cast<int>(i)});
    }
    for (std::size_t i = 0; i < masks_.size(); ++i) {
        const int blocks = CeilDiv(static_cast<int>(masks_[i].igps.size()), kIgpsPerBlock);
        for (int block = 0; block < blocks; ++block) {
            spread.push_back({.type = kIonoDelays, .maskIndex = static_cast<int>(i), .block = block});
        }
    }
    for (const int type : {kGeoNavigation, kLongTerm, kTestMode, kMixedCorrections, kLongTerm}) {
        spread.push_back({.type = type});
    }

    int length = kBaseCycle;
    while (length / 2 < static_cast<int>(spread.size())) {
        length += kBaseCycle;
    }
    cycle_.assign(static_cast<std::size_t>(length), Slot{.type = kFirstFast, .fast = true});
    for (int s = 0; s < length; s += kPrnMaskPeriod) {
        cycle_[static_cast<std::size_t>(s)] = Slot{.type = kPrnMask};
    }
    for (std::size_t i = 0; i < spread.size(); ++i) {
        cycle_[2 * i + 1] = spread[i];
    }

    perCycle_.fill(0);
    fastPerCycle_ = 0;
    for (Slot& slot : cycle_) {
        slot.occurrence = slot.fast ? fastPerCycle_++ : perCycle_[static_cast<std::size_t>(slot.type)]++;
    }
}

std::vector<int> CWaasBroadcaster::GeoPrns() const {
    std::vector<int> prns;
    for (int geo = 0; geo < geoCount_; ++geo) {
        prns.push_back(geos_[static_cast<std::size_t>(geo)].prn);
    }
    return prns;
}

CWaasMessage CWaasBroadcaster::MessageAt(int geo, std::int64_t gpsSecond) const {
    const Geo& g = geos_[static_cast<std::size_t>(CheckedGeo(geo))];
    const std::int64_t length = CycleSeconds();
    const std::int64_t shifted = gpsSecond + g.phase;
    const std::int64_t cycleNumber = FloorDiv(shifted, length);
    const Slot& slot = cycle_[static_cast<std::size_t>(shifted - cycleNumber * length)];
    const int fastTypes = CeilDiv(static_cast<int>(maskPrns_.size()), kFastPerMessage);
    // The fast-correction types take turns across cycle boundaries too.
    int type = slot.type;
    std::int64_t sent = 0;  // messages of this type the GEO sent before, over all time
    if (slot.fast) {
        const std::int64_t fastSent = cycleNumber * fastPerCycle_ + slot.occurrence;
        type = kFirstFast + static_cast<int>(FloorMod(fastSent, fastTypes));
        sent = FloorDiv(fastSent, fastTypes);
    } else {
        sent = cycleNumber * perCycle_[static_cast<std::size_t>(type)] + slot.occurrence;
    }
    const int iodf = static_cast<int>(FloorMod(sent, 3));
    const CCorrections corrections(seed_, maskPrns_);

    CWaasMessage message;
    // The message completing at second s began at s - 1; the 24-bit preamble
    // starts with 0x53 every third second from the GPS epoch.
    message.SetBits(0, 8, kPreambles[static_cast<std::size_t>(FloorMod(gpsSecond - 1, 3))]);
    message.SetBits(CWaasMessage::kTypeBit, 6, static_cast<std::uint32_t>(type));
    switch (type) {
        case kPrnMask:
            WritePrnMask(message, maskPrns_, g.iodp);
            break;
        case kIgpMask:
            WriteIgpMask(message, static_cast<int>(masks_.size()), masks_[static_cast<std::size_t>(slot.maskIndex)],
                         g.iodi);
            break;
        case kIonoDelays:
            WriteIonoDelays(message, masks_[static_cast<std::size_t>(slot.maskIndex)], slot.block, g.iodi, gpsSecond);
            break;
        case kTestMode:
            WriteFastCorrections(message, corrections, 0, iodf, g.iodp, gpsSecond);
            break;
        case kGeoNavigation:
            WriteGeoNavigation(message, g.longitude, seed_ + static_cast<std::uint32_t>(g.prn), gpsSecond);
            break;
        case kMixedCorrections:
            WriteMixedCorrections(message, corrections, fastTypes - 1, iodf, g.iodp, 3 * sent, gpsSecond);
            break;
        case kLongTerm:
            corrections.WriteLongTermHalf(message, CWaasMessage::kDataBit, 3 * sent + 1, g.iodp);
            corrections.WriteLongTermHalf(message, CWaasMessage::kDataBit + kLongTermHalfBits, 3 * sent + 2, g.iodp);
            break;
        default:  // fast corrections, types 2 to 5
            WriteFastCorrections(message, corrections, type - kFirstFast, iodf, g.iodp, gpsSecond);
            break;
    }
    SealCrc(message);
    return message;
}

void CWaasBroadcaster::AppendSecond(double secondsOfWeek, std::int32_t week, std::vector<std::uint8_t>& out) const {
    const std::int64_t gpsSecond =
        static_cast<std::int64_t>(week) * kSecondsPerWeek + static_cast<std::int64_t>(std::floor(secondsOfWeek));
    const auto secondOfWeek = static_cast<std::uint32_t>(FloorMod(gpsSecond, kSecondsPerWeek));
    for (int geo = 0; geo < geoCount_; ++geo) {
        const CWaasMessage message = MessageAt(geo, gpsSecond);
        CBinFrameBuilder frame(msg80::kId);
        frame.Set(msg80::Prn, static_cast<std::uint16_t>(GeoPrn(geo)))
            .Set(msg80::Spare, 0)
            .Set(msg80::MsgSecOfWeek, secondOfWeek);
        for (std::size_t i = 0; i < message.AsWords().size(); ++i) {
            frame.Set(msg80::WaasMsg, message.AsWords()[i], i * sizeof(std::uint32_t));
        }
        frame.AppendTo(out);
    }
}

std::optional<double> CWaasBroadcaster::ModelDelayAt(int band, int position, double gpsSeconds) const {
    for (const BandMask& mask : masks_) {
        if (mask.band != band) {
            continue;
        }
        const auto found = std::find_if(mask.igps.begin(), mask.igps.end(),
                                        [position](const Igp& igp) { return igp.position == position; });
        if (found != mask.igps.end()) {
            return VerticalDelayMetres(found->latitude, found->longitude, gpsSeconds);
        }
    }
    return std::nullopt;
}

}  // namespace zarnmon::sim
