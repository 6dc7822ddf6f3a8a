#pragma once

// The whole program for the benchmarks: the main window on its own settings
// and on a clock that moves only when told, shown at a size where every view
// has room, with a reference position as a configured user has (the NEU
// plot asks for one otherwise).

#include <vector>

#include "core/app/settings_store.h"
#include "core/link/tick_clock.h"
#include "gui/app/main_frame.h"
#include "gui/app/view_registry.h"
#include "gui/state/app_context.h"

namespace zarnmon::bench {

struct ProgramRig {
    ProgramRig() {
        context.reference.SetPosition({51.0, -114.0, 1000.0});
        context.reference.ComputeDegreeFactors(51.0, 1000.0);
        context.reference.MarkValid();
        frame.resize(1600, 1000);
        frame.show();
    }

    void OpenEveryView() {
        for (const ViewDescriptor& descriptor : ViewDescriptors()) {
            if (descriptor.factory) {
                frame.OpenView(descriptor.templateId);
            }
        }
    }

    CManualTickClock clock;
    CSettingsStore settings;
    CAppContext context{settings, clock};
    std::vector<CMultiDocTempSpecial> templates = MakeTemplates();
    CMainFrame frame{context, templates};
};

}  // namespace zarnmon::bench
