#include "sim/faults.h"

#include <sstream>

namespace zarnmon::sim {

namespace {

// No handler's prefix starts with a lower-case letter from g to x.
constexpr char kInertFirst = 'g';
constexpr char kInertLast = 'x';
// Long enough for a filter over 100 messages to rise well past a limit of 15.
constexpr int kShortestFade = 90;  // s
constexpr int kLongestFade = 300;

}  // namespace

std::string FaultCounts::Summary() const {
    std::ostringstream text;
    text << "faults: noise bytes " << noiseBytes << ", bad checksums " << badChecksums << ", reversed trailers "
         << reversedTrailers << ", truncated frames " << truncatedFrames << " (messages swallowed " << swallowedMessages
         << ", filler bytes " << fillerBytes << "), overlong lines " << overlongLines << ", silent seconds "
         << silentSeconds << " (messages lost " << lostInSilence << "), bursts " << bursts << ", L-band fades "
         << lbandFades << " (seconds " << fadedSeconds << ")";
    return text.str();
}

CFaultInjector::CFaultInjector(const FaultRates& rates, std::uint32_t seed)
    : rates_(rates), rng_(seed ^ 0x5EEDFA17u), fadeRng_(seed ^ 0x1BADFADEu) {}

bool CFaultInjector::Chance(double p) { return p > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p; }

void CFaultInjector::AppendNoise(std::vector<std::uint8_t>& out) {
    const int n = std::uniform_int_distribution<int>(1, 24)(rng_);
    std::uniform_int_distribution<int> byte(kInertFirst, kInertLast);
    for (int i = 0; i < n; ++i) {
        out.push_back(static_cast<std::uint8_t>(byte(rng_)));
    }
    counts_.noiseBytes += static_cast<std::uint64_t>(n);
}

bool CFaultInjector::Emit(std::span<const std::uint8_t> message, bool binary, std::vector<std::uint8_t>& out) {
    // A truncated frame's handler takes whatever comes next: whole messages
    // while they fit the missing length, then filler for the rest.
    if (debt_ > 0) {
        if (message.size() <= debt_) {
            out.insert(out.end(), message.begin(), message.end());
            debt_ -= message.size();
            ++counts_.swallowedMessages;
            return false;
        }
        out.insert(out.end(), debt_, static_cast<std::uint8_t>(kInertFirst));
        counts_.fillerBytes += debt_;
        debt_ = 0;
    }

    bool intact = true;
    const std::size_t start = out.size();
    if (binary && Chance(rates_.truncatedFrame) && message.size() > 9) {
        const std::size_t keep = std::uniform_int_distribution<std::size_t>(8, message.size() - 1)(rng_);
        out.insert(out.end(), message.begin(), message.begin() + static_cast<std::ptrdiff_t>(keep));
        debt_ = message.size() - keep;
        ++counts_.truncatedFrames;
        return false;
    }
    if (!binary && Chance(rates_.overlongLine)) {
        // The same line, padded past the capacity before its line end.
        const std::size_t pad = kLineCapacity + std::uniform_int_distribution<std::size_t>(1, 200)(rng_);
        out.insert(out.end(), message.begin(), message.end() - 2);
        out.insert(out.end(), pad, static_cast<std::uint8_t>('x'));
        out.insert(out.end(), message.end() - 2, message.end());
        ++counts_.overlongLines;
        counts_.overlongExcessBytes += out.size() - start - kLineCapacity;
    } else {
        out.insert(out.end(), message.begin(), message.end());
        if (binary && Chance(rates_.badChecksum)) {
            out[out.size() - 4] ^= 0x5A;
            ++counts_.badChecksums;
            intact = false;
        } else if (binary && Chance(rates_.reversedTrailer)) {
            std::swap(out[out.size() - 2], out[out.size() - 1]);
            ++counts_.reversedTrailers;
            intact = false;
        }
    }
    if (Chance(rates_.noise)) {
        AppendNoise(out);
    }
    return intact;
}

bool CFaultInjector::SilentSecond() {
    if (silentLeft_ == 0 && Chance(rates_.silence)) {
        silentLeft_ = std::uniform_int_distribution<int>(2, 12)(rng_);
    }
    if (silentLeft_ == 0) {
        return false;
    }
    --silentLeft_;
    ++counts_.silentSeconds;
    return true;
}

int CFaultInjector::BurstHold() {
    if (burstLeft_ == 0 && Chance(rates_.burst)) {
        burstLeft_ = std::uniform_int_distribution<int>(2, 6)(rng_);
        ++counts_.bursts;
    }
    if (burstLeft_ > 0) {
        --burstLeft_;
    }
    return burstLeft_;
}

bool CFaultInjector::FadedSecond() {
    if (fadeLeft_ == 0 && rates_.lbandFade > 0.0 &&
        std::uniform_real_distribution<double>(0.0, 1.0)(fadeRng_) < rates_.lbandFade) {
        fadeLeft_ = std::uniform_int_distribution<int>(kShortestFade, kLongestFade)(fadeRng_);
        ++counts_.lbandFades;
    }
    if (fadeLeft_ == 0) {
        return false;
    }
    --fadeLeft_;
    ++counts_.fadedSeconds;
    return true;
}

}  // namespace zarnmon::sim
