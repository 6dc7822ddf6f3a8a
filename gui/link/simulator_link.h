#pragma once

// The built-in simulator: a simulated receiver inside the program, for
// trying the monitor, demonstrations and tests without a receiver.
//
// Every open powers up a fresh receiver (like one after "$JOFF": nothing on,
// unless allOutputsOn asks for what zarnmon-sim --enable all sends). A timer
// lets the receiver's clock follow the steady clock every kTickMs; what it
// sent meanwhile goes out as received chunks. Commands written to the link
// reach the receiver at once; its replies come with the next tick, never
// from inside write(), so a command sent while a message is being handled
// cannot feed the dispatcher reentrantly. An event loop that stalls (a
// debugger, a suspended machine) does not release a flood afterwards: at
// most kMaxCatchUpMs of receiver time pass per tick; the rest is skipped.
// The steady clock is the one followed unless another is set, so a test can
// move time itself and call deliverDue().

#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/link/tick_clock.h"
#include "gui/link/link.h"
#include "sim/faults.h"
#include "sim/sim_config.h"

namespace zarnmon {

namespace sim {
class CSimReceiver;
}

struct SimulatorOptions {
    sim::SimConfig config;
    sim::FaultRates faults;
    int geoCount = 2;
    // Every binary message at 1 Hz and the text the views use, from the start.
    bool allOutputsOn = false;
};

class CSimulatorLink final : public CLink {
    Q_OBJECT

public:
    static constexpr int kTickMs = 50;
    static constexpr qint64 kMaxCatchUpMs = 2000;

    explicit CSimulatorLink(SimulatorOptions options = {}, QObject* parent = nullptr);
    ~CSimulatorLink() override;

    bool open() override;
    void close() override;
    bool write(const QByteArray& bytes) override;
    // "Built-in simulator".
    [[nodiscard]] QString displayName() const override;

    // Takes effect at the next open.
    void setOptions(const SimulatorOptions& options) { options_ = options; }
    [[nodiscard]] const SimulatorOptions& options() const { return options_; }
    // The receiver of the current (or last) session; null before the first open.
    [[nodiscard]] const sim::CSimReceiver* receiver() const { return receiver_.get(); }

    // The clock the receiver follows from now on; it must outlive the link.
    void setClock(const ITickClock& clock) {
        clock_ = &clock;
        caughtUpAt_ = clock.Now();
    }
    // Lets the receiver catch up with the clock and delivers what it sent:
    // what the timer does every tick.
    void deliverDue();

private:
    SimulatorOptions options_;
    std::unique_ptr<sim::CSimReceiver> receiver_;
    QTimer timer_;
    CSteadyTickClock steadyClock_;
    const ITickClock* clock_ = &steadyClock_;
    // The clock's reading the receiver has caught up with.
    std::uint32_t caughtUpAt_ = 0;
    std::vector<std::uint8_t> output_;
};

}  // namespace zarnmon
