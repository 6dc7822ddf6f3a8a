#pragma once

// Random numbers for the simulated world.
//
// Every part of the world draws from its own stream, derived from the run's
// seed and a fixed stream number, so adding draws to one part never shifts
// the numbers another part sees. The engine is std::mt19937 (its output is
// fixed by the standard); uniform and normal values are made here rather than
// by the standard distributions, whose algorithms differ between libraries,
// so a seed gives the same world with any compiler.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

namespace zarnmon::sim {

// Stream numbers, one per part of the world that draws.
enum class Stream : std::uint32_t {
    Constellation = 1,
    Motion = 2,
    Channels = 3,
    Clock = 4,
    Processor = 5,
    LBand = 6,
    IonoUtc = 7,
    Ephemeris = 8,
};

class CRandom {
public:
    CRandom(std::uint32_t seed, Stream stream, std::uint32_t substream = 0)
        : engine_(SeedOf(seed, stream, substream)) {}

    // Uniform in (0, 1): never exactly 0, so it can go into a logarithm.
    double Uniform() { return (static_cast<double>(engine_()) + 0.5) / 4294967296.0; }
    double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
    // Uniform in low..high, both included.
    int UniformInt(int low, int high) {
        const auto span = static_cast<double>(high - low + 1);
        const int value = low + static_cast<int>(Uniform() * span);
        return value > high ? high : value;
    }
    bool Chance(double probability) { return Uniform() < probability; }

    // Standard normal (Box-Muller; the second value of each pair is kept).
    double Normal() {
        if (hasSpare_) {
            hasSpare_ = false;
            return spare_;
        }
        const double radius = std::sqrt(-2.0 * std::log(Uniform()));
        const double angle = 2.0 * std::numbers::pi * Uniform();
        spare_ = radius * std::sin(angle);
        hasSpare_ = true;
        return radius * std::cos(angle);
    }
    double Normal(double sigma) { return sigma * Normal(); }

private:
    static std::mt19937 SeedOf(std::uint32_t seed, Stream stream, std::uint32_t substream) {
        std::seed_seq sequence{seed, static_cast<std::uint32_t>(stream), substream};
        return std::mt19937(sequence);
    }

    std::mt19937 engine_;
    double spare_ = 0.0;
    bool hasSpare_ = false;
};

// A first-order Gauss-Markov process: noise that is correlated over about tau
// seconds and wanders with standard deviation sigma around zero. Stepping by
// any dt keeps those statistics, so the world may be advanced at any rate.
class CGaussMarkov {
public:
    constexpr CGaussMarkov() = default;
    CGaussMarkov(double sigma, double tau, CRandom& random) : sigma_(sigma), tau_(tau), value_(random.Normal(sigma)) {}

    double Step(double dt, CRandom& random) {
        if (dt <= 0.0) {
            return value_;
        }
        const double keep = std::exp(-dt / tau_);
        value_ = keep * value_ + sigma_ * std::sqrt(1.0 - keep * keep) * random.Normal();
        return value_;
    }
    // A new level of noise (a differential fix gained or lost); the value
    // moves there at the process's own pace.
    void SetSigma(double sigma) { sigma_ = sigma; }

    [[nodiscard]] double Value() const { return value_; }
    [[nodiscard]] double Sigma() const { return sigma_; }

private:
    double sigma_ = 0.0;
    double tau_ = 1.0;
    double value_ = 0.0;
};

}  // namespace zarnmon::sim
