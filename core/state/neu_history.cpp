#include "core/state/neu_history.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/app/settings_keys.h"
#include "core/link/bin_catalogue.h"

namespace zarnmon {

namespace {

constexpr double kSecondsPerWeek = 604800.0;
constexpr double kHalfWeek = 302400.0;
constexpr double kDefaultPlotMeters = 5.0;

// error × scale × 10, truncated toward zero after adding a half.
std::int32_t ToSampleUnits(double error, int sampleScale) {
    return static_cast<std::int32_t>(error * sampleScale * 10 + 0.5);
}

}  // namespace

int RangeTenthsFromMeters(double metres) { return static_cast<int>(std::lround(metres * 10.0)); }

PlotSettings LoadPlotSettings(const CSettingsStore& store) {
    PlotSettings settings;
    settings.minutes = store.GetInt(kPlotSettings, kMinutesKey, kDefaultPlotMinutes);
    double metres = store.GetDouble(kPlotSettings, kMaxMetersKey, kDefaultPlotMeters);
    // "nan" scans as a number but has no place in the range.
    if (std::isnan(metres)) {
        metres = kDefaultPlotMeters;
    }
    settings.rangeTenths = RangeTenthsFromMeters(std::clamp(metres, kMinPlotMeters, kMaxPlotMeters));
    return settings;
}

void SavePlotSettings(CSettingsStore& store, const PlotSettings& settings) {
    store.SetInt(kPlotSettings, kMinutesKey, settings.minutes);
    char text[32];
    std::snprintf(text, sizeof text, "%.1lf", settings.rangeTenths * 0.1);
    store.SetString(kPlotSettings, kMaxMetersKey, text);
}

void CNeuHistory::Configure(int sampleScale, int minutes, int rangeTenths) {
    // The old samples, oldest first, go into the new ring below.
    std::vector<NeuSample> old;
    old.swap(ring_);
    const int oldWrite = writeIndex_;
    int oldRead = old.empty() ? 0 : (wrapped_ ? (writeIndex_ + 1) % static_cast<int>(old.size()) : 0);

    decimation_ = 1;
    int n = std::max(minutes, 1) * 60;
    while (n > kMaxNeuCapacity) {
        n /= 2;
        decimation_ *= 2;
    }
    capacity_ = n;
    samplingInterval_ = decimation_ - 0.1;
    sampleScale_ = sampleScale;

    if (rangeTenths < 10) {
        fineScale_ = true;
        verticalRange_ = rangeTenths;
    } else {
        fineScale_ = false;
        verticalRange_ = (rangeTenths + 5) / 10;
    }
    verticalRange_ = std::max(verticalRange_, 1);

    ring_.assign(static_cast<std::size_t>(capacity_), NeuSample{});
    writeIndex_ = 0;
    readIndex_ = 0;
    wrapped_ = false;
    // Copying through the ring's own write rule keeps only the newest when it shrinks.
    while (oldRead != oldWrite) {
        Store(old[static_cast<std::size_t>(oldRead)]);
        oldRead = (oldRead + 1) % static_cast<int>(old.size());
    }
}

std::optional<int> CNeuHistory::AddNeuSample(const Msg1View& msg1, const CReferencePosition& reference) {
    return AddNeuSample(msg1.GpsTimeOfWeek(), PositionOf(msg1), reference);
}

std::optional<int> CNeuHistory::AddNeuSample(double timeOfWeek, const GeoPosition& position,
                                             const CReferencePosition& reference) {
    double dt = timeOfWeek - lastSampleTime_;
    if (dt < -kHalfWeek) {
        dt += kSecondsPerWeek;
    }
    if (dt < samplingInterval_) {
        return std::nullopt;
    }
    lastSampleTime_ = timeOfWeek;
    if (ring_.empty() || !reference.IsValid()) {
        return std::nullopt;
    }
    current_ = reference.NeuError(position);
    track_.push_back(current_);

    const double limit = std::max(1000.0, static_cast<double>(verticalRange_));
    const auto clamped = [limit, this](double error) {
        return ToSampleUnits(std::clamp(error, -limit, limit), sampleScale_);
    };
    ++stored_;
    return Store({clamped(current_.north), clamped(current_.east), clamped(current_.up)});
}

int CNeuHistory::Store(const NeuSample& sample) {
    const int written = writeIndex_;
    ring_[static_cast<std::size_t>(written)] = sample;
    writeIndex_ = (writeIndex_ + 1) % capacity_;
    if (writeIndex_ == 0) {
        wrapped_ = true;
    }
    return written;
}

int CNeuHistory::OldestIndex() const noexcept { return wrapped_ && capacity_ > 0 ? (writeIndex_ + 1) % capacity_ : 0; }

NeuSample CNeuHistory::SampleAt(int index) const noexcept {
    if (index < 0 || static_cast<std::size_t>(index) >= ring_.size()) {
        return {};
    }
    return ring_[static_cast<std::size_t>(index)];
}

void CNeuHistory::Rewind() { readIndex_ = OldestIndex(); }

std::optional<NeuSample> CNeuHistory::NextNeuSample() {
    if (ring_.empty() || readIndex_ == writeIndex_) {
        return std::nullopt;
    }
    NeuSample sample = ring_[static_cast<std::size_t>(readIndex_)];
    readIndex_ = (readIndex_ + 1) % capacity_;
    if (!fineScale_) {
        // Integer division truncates toward zero, as the chart expects.
        sample.north /= 10;
        sample.east /= 10;
        sample.up /= 10;
    }
    return sample;
}

}  // namespace zarnmon
