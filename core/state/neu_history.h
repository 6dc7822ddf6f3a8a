#pragma once

// The program-wide history of north, east and up position errors behind the
// NEU error plot, and its "PlotSettings".
//
// Every message 1 is offered; at most one sample per sampling interval is kept
// (a 5 Hz receiver still gives one sample per decimation period). The time of
// the last offer moves even while the reference is invalid, so the first
// sample after a reference appears waits a full interval like any other.
// Samples are kept in a ring of at most 1000 entries as integers in 1/160 m,
// clamped so a wild position cannot overflow them; reconfiguring resizes the
// ring and keeps the newest samples oldest-first. Beside the ring, the
// unclamped errors of every stored sample since start-up are kept as a track
// for the scatter view and the export, which are not limited to the ring.
// Before the first configuration there is no ring and nothing is stored.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/app/settings_store.h"
#include "core/state/reference_position.h"

namespace zarnmon {

class Msg1View;

// One stored sample, each value error × sample scale × 10.
struct NeuSample {
    std::int32_t north = 0;
    std::int32_t east = 0;
    std::int32_t up = 0;
};

// The "PlotSettings" section: minutes along the x axis and the vertical range
// in tenths of a metre.
struct PlotSettings {
    int minutes = 30;
    int rangeTenths = 50;
};

// What the configuration dialog (and the command line) accepts.
inline constexpr int kMinPlotMinutes = 1;
inline constexpr int kMaxPlotMinutes = 1440;
inline constexpr double kMinPlotMeters = 0.1;
inline constexpr double kMaxPlotMeters = 2000.0;

// Metres to the kept tenths of a metre (rounded).
[[nodiscard]] int RangeTenthsFromMeters(double metres);

// "Minutes" as stored; "MaxMeters" clamped to 0.1..2000 and kept as tenths.
[[nodiscard]] PlotSettings LoadPlotSettings(const CSettingsStore& store);
// "Minutes" as an integer, "MaxMeters" with "%.1lf".
void SavePlotSettings(CSettingsStore& store, const PlotSettings& settings);

inline constexpr int kNeuSampleScale = 16;
inline constexpr int kMaxNeuCapacity = 1000;

class CNeuHistory {
public:
    // Decimation, capacity, fine scale and vertical range from the time span
    // and range; the ring is resized keeping the newest samples.
    void Configure(int sampleScale, int minutes, int rangeTenths);

    // Offers one message 1: the ring index written, or nullopt when nothing
    // was stored (too soon after the last offer, no ring, reference invalid).
    std::optional<int> AddNeuSample(const Msg1View& msg1, const CReferencePosition& reference);
    // The same for a time of week and position already read from a message 1.
    std::optional<int> AddNeuSample(double timeOfWeek, const GeoPosition& position,
                                    const CReferencePosition& reference);

    // The sample at a ring index as stored (unscaled); zeros outside the ring.
    [[nodiscard]] NeuSample SampleAt(int index) const noexcept;

    // Read index to the oldest sample.
    void Rewind();
    // The next sample up to the newest, as stored on the fine scale, else
    // divided by 10 (truncated toward zero); nullopt when all have been read.
    [[nodiscard]] std::optional<NeuSample> NextNeuSample();

    [[nodiscard]] int Capacity() const noexcept { return capacity_; }
    // Seconds per sample, a power of 2.
    [[nodiscard]] int Decimation() const noexcept { return decimation_; }
    // The vertical range is below 1 m and counted in tenths of a metre.
    [[nodiscard]] bool FineScale() const noexcept { return fineScale_; }
    // Tenths of a metre on the fine scale, else whole metres (at least 1).
    [[nodiscard]] int VerticalRange() const noexcept { return verticalRange_; }
    [[nodiscard]] int SampleScale() const noexcept { return sampleScale_; }
    [[nodiscard]] double SamplingInterval() const noexcept { return samplingInterval_; }
    // Of the last stored sample, metres, unclamped.
    [[nodiscard]] const NeuOffset& CurrentErrors() const noexcept { return current_; }
    // Every stored sample since start-up; never cleared by Configure.
    [[nodiscard]] const std::vector<NeuOffset>& Track() const noexcept { return track_; }
    // Samples stored so far; a view polls it to see new ones.
    [[nodiscard]] std::uint64_t Stored() const noexcept { return stored_; }

private:
    [[nodiscard]] int OldestIndex() const noexcept;
    // Writes at the write index and advances it; the index written.
    int Store(const NeuSample& sample);

    std::vector<NeuSample> ring_;  // empty until configured
    int writeIndex_ = 0;
    int readIndex_ = 0;
    bool wrapped_ = false;
    double lastSampleTime_ = 0.0;
    NeuOffset current_;
    int capacity_ = kMaxNeuCapacity;
    int sampleScale_ = kNeuSampleScale;
    bool fineScale_ = false;
    int verticalRange_ = 5;
    int decimation_ = 1;
    double samplingInterval_ = 0.9;
    std::vector<NeuOffset> track_;
    std::uint64_t stored_ = 0;
};

}  // namespace zarnmon
