#pragma once

// The millisecond tick counter every age and rate rule runs on: unsigned
// 32-bit and wrapping, so differences (now - then) stay correct across the
// wrap. A stored tick of 0 means "never"; StampOf turns a real 0 into 1.

#include <cstdint>

namespace zarnmon {

class ITickClock {
public:
    virtual ~ITickClock() = default;
    [[nodiscard]] virtual std::uint32_t Now() const = 0;
};

[[nodiscard]] constexpr std::uint32_t StampOf(std::uint32_t now) noexcept { return now == 0 ? 1 : now; }

// Milliseconds of a monotonic clock, truncated to 32 bits.
class CSteadyTickClock final : public ITickClock {
public:
    [[nodiscard]] std::uint32_t Now() const override;
};

// A clock that moves only when told to: tests and offline decoding.
class CManualTickClock final : public ITickClock {
public:
    explicit CManualTickClock(std::uint32_t start = 1000) : now_(start) {}
    [[nodiscard]] std::uint32_t Now() const override { return now_; }
    void Set(std::uint32_t now) { now_ = now; }
    void Advance(std::uint32_t ms) { now_ += ms; }

private:
    std::uint32_t now_;
};

}  // namespace zarnmon
