#pragma once

// The whole program as the application object builds it (context, main frame,
// templates), with every view it has open and their paints counted, on the
// offscreen platform. Time is the benchmark's: the program's host clock is a
// manual one.

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <memory>
#include <utility>
#include <vector>

#include "bench/paint_counter.h"
#include "core/app/settings_store.h"
#include "core/link/tick_clock.h"
#include "gui/app/main_frame.h"
#include "gui/app/view_registry.h"
#include "gui/link/link.h"
#include "gui/state/app_context.h"

namespace zarnmon::bench {

class CEveryViewProgram {
public:
    CEveryViewProgram() {
        // A reference position, as a configured user has: the NEU plot asks for one otherwise.
        context_.reference.SetPosition({51.0, -114.0, 1000.0});
        context_.reference.ComputeDegreeFactors(51.0, 1000.0);
        context_.reference.MarkValid();
        frame_.resize(1600, 1000);
        frame_.show();
    }

    // Connects link, starts the frame's timer and opens every view.
    void Start(std::unique_ptr<CLink> link) {
        const QString name = link->displayName();
        frame_.ConnectLink(std::move(link), name);
        frame_.StartTimer();
        for (const ViewDescriptor& descriptor : ViewDescriptors()) {
            if (descriptor.factory) {
                frame_.OpenView(descriptor.templateId);
            }
        }
        for (QMdiSubWindow* window : frame_.MdiArea().subWindowList()) {
            paints_.Watch(*window);
        }
    }

    // Handles what is posted, and what that posts in turn, paints included.
    static void Drain() {
        for (int pass = 0; pass < 3; ++pass) {
            QCoreApplication::processEvents();
        }
    }

    [[nodiscard]] CManualTickClock& Clock() { return clock_; }
    [[nodiscard]] CAppContext& Context() { return context_; }
    [[nodiscard]] CMainFrame& Frame() { return frame_; }
    [[nodiscard]] CPaintCounter& Paints() { return paints_; }
    [[nodiscard]] qsizetype ViewCount() { return frame_.MdiArea().subWindowList().size(); }

private:
    CManualTickClock clock_;
    CSettingsStore settings_;
    CAppContext context_{settings_, clock_};
    std::vector<CMultiDocTempSpecial> templates_ = MakeTemplates();
    CMainFrame frame_{context_, templates_};
    CPaintCounter paints_;
};

}  // namespace zarnmon::bench
