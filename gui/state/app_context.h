#pragma once

// The objects that live for the whole run and that the main frame, the
// documents and the views share: the program's clock, the one message dispatcher,
// the receiver's identification, the settings store, the link settings and
// the few program-wide values that are not messages.
// One instance, owned by the application object; views get a reference.

#include <cstdint>
#include <optional>
#include <string>

#include "core/app/settings_keys.h"
#include "core/app/settings_store.h"
#include "core/commands/command_send.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/receiver_info.h"
#include "core/link/tick_clock.h"
#include "core/state/debug_log.h"
#include "core/state/monitor_test.h"
#include "core/state/neu_history.h"
#include "core/state/program_clock.h"
#include "core/state/reference_position.h"
#include "core/state/residual_adjust.h"
#include "core/waas/iono_map.h"
#include "core/waas/waas_decoder.h"

namespace zarnmon {

struct LinkSettings {
    int port = kDefaultPort;  // COM port number; 999 and up the USB port
    std::string device;       // serial device path
    std::uint32_t baud = kDefaultBaud;
};

// What the profile keeps of the link in use.
[[nodiscard]] inline CommSettings CommSettingsOf(const LinkSettings& link) {
    return {link.port, static_cast<int>(link.baud), link.device};
}

struct CAppContext {
    // live is the host's clock (a steady clock; tests bring their own).
    CAppContext(CSettingsStore& store, const ITickClock& live) : clock(live), settings(store) {}

    CProgramClock clock;
    CMsgDispatcher dispatcher{clock};
    CReceiverInfo receiverInfo;
    CSettingsStore& settings;
    // The ionospheric grid built from the WAAS messages; its masks persist.
    CWaasDecoder waas{&settings};
    LinkSettings link;
    // The reference position that errors are measured against, and the
    // channel view's recomputation of residuals against it.
    CReferencePosition reference;
    CResidualAdjust residualAdjust;
    // The north/east/up errors of every message 1 since start-up, fed by the
    // main frame; the NEU plot and the scatter view read it.
    CNeuHistory neuHistory;
    // The solution views show north/east/up errors instead of the position.
    bool showNeuErrors = false;
    // The main window shows its "Link Health" dock.
    bool showLinkHealth = false;
    // The iono map's region and ExtendMap, read from the profile the first
    // time they are needed, and the size at which its squares touch.
    std::optional<IonoCoverage> ionoCoverage;
    int ionoScale = kIonoStartScale;
    // The display choices the profile keeps.
    [[nodiscard]] ViewPreferences ViewChoices() const { return {ionoScale, showNeuErrors, showLinkHealth}; }
    // The monitor's thresholds, read from the profile the first time a view needs them.
    std::optional<MonitorThresholds> monitorThresholds;
    [[nodiscard]] const MonitorThresholds& Thresholds() {
        if (!monitorThresholds) {
            monitorThresholds = LoadMonitorThresholds(settings);
        }
        return *monitorThresholds;
    }
    // Which debug messages the debug log writes, read from the profile at its first use.
    CDebugLogMask debugLogMask;
    // Lets the main frame and the views switch messages on by themselves.
    bool autoConfigure = true;
    // The command page's sent commands and its "Show Beacon Reply" box
    // outlive the page, for the run only.
    CCommandHistory commandHistory;
    bool showBeaconReply = true;
};

}  // namespace zarnmon
