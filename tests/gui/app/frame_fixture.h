#pragma once

// What the main-frame tests share: a frame on its own settings and on a
// clock that moves only when the test says so, and a way to run the event
// loop until something has happened. Nothing here waits for time to pass:
// a deadline only bounds a test that fails.

#include <QCoreApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "core/link/tick_clock.h"
#include "gui/app/main_frame.h"
#include "gui/app/view_registry.h"

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

    // One second of the program: the clock moves on, the timer ticks, and
    // what that posted is handled.
    void TickSecond() {
        clock.Advance(1000);
        frame->OnTimerTick();
        QCoreApplication::processEvents();
    }

    // Runs the event loop until done() or the deadline; the final value of done().
    static bool RunUntil(const std::function<bool()>& done, int deadlineMs = 20000) {
        return QTest::qWaitFor(done, deadlineMs);
    }

    CManualTickClock clock;
    CSettingsStore settings;
    CAppContext context{settings, clock};

private:
    std::vector<CMultiDocTempSpecial> templates_;

protected:
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace zarnmon::test
