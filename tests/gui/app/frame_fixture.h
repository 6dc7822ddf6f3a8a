#pragma once

// What the main-frame tests share: a frame on its own settings and on a
// clock that moves only when the test says so, the built-in simulator on
// that clock, and ways to run the program until something has happened.
// Nothing here waits for time to pass: a deadline only bounds a test that
// fails.

#include <QCoreApplication>
#include <functional>
#include <memory>
#include <vector>

#include "core/link/tick_clock.h"
#include "gui/app/main_frame.h"
#include "gui/app/view_registry.h"
#include "gui/link/simulator_link.h"
#include "tests/gui/link/link_test_support.h"

namespace zarnmon::test {

class FrameFixture {
protected:
    explicit FrameFixture(std::vector<CMultiDocTempSpecial> templates = MakeTemplates())
        : templates_(std::move(templates)), frame(std::make_unique<CMainFrame>(context, templates_)) {}
    ~FrameFixture() {
        // Message boxes the frame opened are its children: they go with it.
        frame.reset();
    }
    FrameFixture(const FrameFixture&) = delete;
    FrameFixture& operator=(const FrameFixture&) = delete;

    // Connects the built-in simulator on the test's clock: its receiver
    // moves only as far as the test moves the clock.
    CSimulatorLink& ConnectSimulator() {
        auto link = std::make_unique<CSimulatorLink>();
        link->setClock(clock);
        CSimulatorLink& simulator = *link;
        EXPECT_TRUE(frame->ConnectLink(std::move(link), simulator.displayName()));
        simulator_ = &simulator;
        return simulator;
    }

    // One second of the program: the clock moves on, the simulator (when
    // connected) sends what it sent in that second, the timer ticks, and
    // what that posted is handled.
    void TickSecond() {
        clock.Advance(1000);
        if (simulator_ != nullptr && frame->Link() == simulator_) {
            simulator_->deliverDue();
        }
        frame->OnTimerTick();
        QCoreApplication::processEvents();
    }

    // Runs seconds of the program until done() or the limit; the final value of done().
    bool RunSecondsUntil(const std::function<bool()>& done, int limitSeconds = 120) {
        for (int second = 0; second < limitSeconds && !done(); ++second) {
            TickSecond();
        }
        return done();
    }

    // Runs the event loop until done() or the deadline; the final value of done().
    static bool RunUntil(const std::function<bool()>& done, int deadlineMs = 20000) {
        return WaitFor(done, deadlineMs);
    }

    CManualTickClock clock;
    CSettingsStore settings;
    CAppContext context{settings, clock};

private:
    std::vector<CMultiDocTempSpecial> templates_;
    CSimulatorLink* simulator_ = nullptr;

protected:
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace zarnmon::test
