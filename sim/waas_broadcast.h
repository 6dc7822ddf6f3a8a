#pragma once

// The SBAS broadcast the simulated receiver forwards in binary message 80.
//
// One to three GEOs (PRN 135 and 138 first, as WAAS uses them; a third PRN
// from 120..138 chosen by the seed) each send one RTCA DO-229 message per
// second, with the preamble rotating 0x53, 0x9A, 0xC6 and a valid CRC-24Q:
//   - type 1, the PRN mask: GPS 1-32, GLONASS slots 1-8 and the GEOs, every
//     60 s;
//   - type 18, one per band, masking the IGPs in a box around the receiver
//     (25 degrees of latitude and 40 of longitude either side), once a cycle;
//   - type 26, every block of every masked band, delays from the iono model
//     at the IGP at that second, once a cycle;
//   - types 2-5 (fast corrections), 0 (test mode, type 2's content), 9 (GEO
//     navigation), 24 and 25 (long-term corrections): well-formed and
//     consistent (IODP as in type 1), not meant to be used for a position.
// A cycle is 120 s (longer only when a very large region needs it); each GEO
// runs the same cycle at its own phase, with its own IODP and IODI, which do
// not change during a run.
//
// The messages are a pure function of the GEO and the GPS second, so a
// receiver may start, pause or skip at any time and still see a consistent
// broadcast.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/igp_grid.h"
#include "sim/sim_config.h"
#include "sim/waas_bits.h"

namespace zarnmon::sim {

struct WaasOptions {
    int geoCount = 2;  // 1..3; others are brought into that range
    double latHalfSpan = 25.0;
    double lonHalfSpan = 40.0;
    // Points beyond 55 degrees from bands 9 and 10 rather than from bands 0-8.
    bool polarBands = true;
};

class CWaasBroadcaster {
public:
    static constexpr int kMaxGeos = 3;

    explicit CWaasBroadcaster(const SimConfig& config, int geoCount = 2);
    CWaasBroadcaster(const SimConfig& config, const WaasOptions& options);

    // Appends one message-80 frame per GEO, received at the whole second of
    // secondsOfWeek in week.
    void AppendSecond(double secondsOfWeek, std::int32_t week, std::vector<std::uint8_t>& out) const;

    // The message GEO geo (0-based) completes at gpsSecond (whole seconds
    // since the GPS epoch, i.e. week x 604800 + seconds of week). Throws
    // std::out_of_range for a GEO that does not exist.
    [[nodiscard]] CWaasMessage MessageAt(int geo, std::int64_t gpsSecond) const;

    [[nodiscard]] int GeoCount() const noexcept { return geoCount_; }
    [[nodiscard]] int GeoPrn(int geo) const { return geos_.at(CheckedGeo(geo)).prn; }
    // The PRNs of the GEOs, GEO 0 first.
    [[nodiscard]] std::vector<int> GeoPrns() const;
    [[nodiscard]] int Iodp(int geo) const { return geos_.at(CheckedGeo(geo)).iodp; }
    [[nodiscard]] int Iodi(int geo) const { return geos_.at(CheckedGeo(geo)).iodi; }
    [[nodiscard]] int CycleSeconds() const noexcept { return static_cast<int>(cycle_.size()); }

    // The PRNs of the type 1 mask, ascending.
    [[nodiscard]] std::span<const int> MaskPrns() const noexcept { return maskPrns_; }
    // The bands of the type 18 masks with their IGPs in mask order.
    [[nodiscard]] std::span<const BandMask> Masks() const noexcept { return masks_; }

    // The model's delay in metres at a masked IGP at gpsSeconds (of the week
    // or since the epoch), before quantising; none for an IGP not masked.
    [[nodiscard]] std::optional<double> ModelDelayAt(int band, int position, double gpsSeconds) const;

private:
    struct Geo {
        int prn;
        int iodp;
        int iodi;
        int phase;         // seconds added to GPS time before the cycle is looked up
        double longitude;  // degrees, for its navigation message
    };

    // One second of the cycle. occurrence counts the earlier slots of the same
    // type (of any fast-correction type for a fast slot) in the cycle, so that
    // issue-of-data counters and the turns of the fast types run on from
    // cycle to cycle.
    struct Slot {
        int type;
        int maskIndex = 0;  // types 18, 26
        int block = 0;      // type 26
        bool fast = false;  // one of types 2-5, chosen when sent
        int occurrence = 0;
    };

    [[nodiscard]] int CheckedGeo(int geo) const;
    void BuildCycle();

    std::uint32_t seed_;
    int geoCount_;
    std::array<Geo, kMaxGeos> geos_{};
    std::vector<int> maskPrns_;
    std::vector<BandMask> masks_;
    std::vector<Slot> cycle_;
    std::array<int, 64> perCycle_{};  // slots of each message type in one cycle
    int fastPerCycle_ = 0;
};

}  // namespace zarnmon::sim
