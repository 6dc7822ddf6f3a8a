#pragma once

// Link and receiver faults injected on request, so the monitor can be tested
// against the failures it must survive. Each kind is counted; the counts let
// a test predict exactly what the monitor's dispatcher will make of the
// stream:
// - noise: bytes between messages that start no message (all dropped);
// - bad checksum / reversed trailer: a frame that fails the frame check;
// - truncated frame: a frame cut short; the monitor's handler then takes the
//   bytes that follow as the rest of it, so whole messages after it are lost
//   ("swallowed") until the missing length is made up, the last of it with
//   filler bytes rather than half a message;
// - overlong line: a text line past the monitor's 1024-byte line capacity;
// - silence: whole seconds in which the link carries nothing;
// - burst: seconds of output held back and then delivered at once;
// - L-band fade: minutes in which the L-band link stays in sync but its bit
//   error rate is far above a healthy one (the messages themselves intact).

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace zarnmon::sim {

struct FaultRates {
    double noise = 0.0;            // per message: chance of noise bytes after it
    double badChecksum = 0.0;      // per binary frame
    double reversedTrailer = 0.0;  // per binary frame
    double truncatedFrame = 0.0;   // per binary frame
    double overlongLine = 0.0;     // per text line
    double silence = 0.0;          // per second: chance a silent period starts
    double burst = 0.0;            // per second: chance a burst starts
    double lbandFade = 0.0;        // per second: chance an L-band fade starts

    [[nodiscard]] bool Any() const {
        return noise > 0 || badChecksum > 0 || reversedTrailer > 0 || truncatedFrame > 0 || overlongLine > 0 ||
               silence > 0 || burst > 0 || lbandFade > 0;
    }
};

struct FaultCounts {
    std::uint64_t noiseBytes = 0;
    std::uint64_t badChecksums = 0;
    std::uint64_t reversedTrailers = 0;
    std::uint64_t truncatedFrames = 0;
    std::uint64_t swallowedMessages = 0;
    std::uint64_t fillerBytes = 0;
    std::uint64_t overlongLines = 0;
    std::uint64_t overlongExcessBytes = 0;  // bytes past the line capacity, dropped by the monitor
    std::uint64_t silentSeconds = 0;
    std::uint64_t lostInSilence = 0;  // messages not sent while silent
    std::uint64_t bursts = 0;
    std::uint64_t lbandFades = 0;
    std::uint64_t fadedSeconds = 0;

    [[nodiscard]] std::string Summary() const;
};

// Applies faults to messages on their way to the link.
class CFaultInjector {
public:
    static constexpr std::size_t kLineCapacity = 1024;

    CFaultInjector(const FaultRates& rates, std::uint32_t seed);

    // Appends message (one frame or one line) to out, perhaps damaged. False
    // when the message will not reach the monitor intact: damaged, or
    // swallowed by an earlier truncated frame.
    bool Emit(std::span<const std::uint8_t> message, bool binary, std::vector<std::uint8_t>& out);

    // At each whole second: true while the link is silent this second.
    bool SilentSecond();
    // At each whole second: seconds still to hold output back (0: deliver).
    int BurstHold();
    // At each whole second: true while the L-band link fades this second.
    bool FadedSecond();
    void CountLostInSilence(std::uint64_t messages) { counts_.lostInSilence += messages; }

    [[nodiscard]] const FaultCounts& Counts() const { return counts_; }
    [[nodiscard]] const FaultRates& Rates() const { return rates_; }

private:
    bool Chance(double p);
    void AppendNoise(std::vector<std::uint8_t>& out);

    FaultRates rates_;
    std::mt19937 rng_;
    FaultCounts counts_;
    std::size_t debt_ = 0;  // bytes a truncated frame's handler still waits for
    int silentLeft_ = 0;
    int burstLeft_ = 0;
    // Fades draw from their own engine, so turning them on leaves every
    // other fault of a seed where it was.
    std::mt19937 fadeRng_;
    int fadeLeft_ = 0;
};

}  // namespace zarnmon::sim
