#pragma once

// What the simulated receiver sends and how often, as its "$JBIN" and "$JASC"
// commands set it. Time runs in 50 ms ticks, the finest period a message can
// have (20 Hz); a message at rate r is due every 20 / r ticks, aligned to
// whole seconds of receiver time.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zarnmon::sim {

enum class OutputKind : std::uint8_t { Binary, Nmea, Rtcm, Rd1, Rx };

struct OutputInfo {
    std::string_view name;  // "1", "99", "GPGGA", "RTCM", "D1", "X"
    OutputKind kind;
    std::uint16_t id;          // binary id; 0 for text
    bool fastRates;            // 5, 10 and 20 Hz allowed besides 0.2 and 1
    std::string_view handler;  // the monitor's handler that stores it
};

class COutputSchedule {
public:
    static constexpr int kTicksPerSecond = 20;
    static constexpr std::size_t kOutputCount = 28;

    COutputSchedule();

    // The outputs in the order one tick sends them.
    [[nodiscard]] static const std::array<OutputInfo, kOutputCount>& Outputs();
    [[nodiscard]] static std::optional<std::size_t> FindBinary(std::uint16_t id);
    [[nodiscard]] static std::optional<std::size_t> FindText(std::string_view name);

    // Rate in Hz; 0 switches off. False (and nothing changes) for a rate the
    // output does not offer.
    bool SetRate(std::size_t output, double hz);
    void AllOff();
    // Every binary message at 1 Hz and the text messages the views use.
    void AllOn();
    // "1,2,99,GPGGA,D1" or "all"; false with the offending item in bad.
    bool Enable(std::string_view list, std::string& bad);

    [[nodiscard]] bool Due(std::size_t output, std::int64_t tick) const;
    [[nodiscard]] bool IsOn(std::size_t output) const { return period_[output] > 0; }
    [[nodiscard]] int PeriodTicks(std::size_t output) const { return period_[output]; }

private:
    std::array<int, kOutputCount> period_{};
};

}  // namespace zarnmon::sim
