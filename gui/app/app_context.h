#pragma once

// The objects that live for the whole run and that the main frame, the
// documents and the views share: the tick clock, the one message dispatcher,
// the receiver's identification, the settings store and the link settings.
// One instance, owned by the application object; views get a reference.

#include <cstdint>
#include <string>

#include "core/app/settings_store.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/receiver_info.h"
#include "core/link/tick_clock.h"
#include "core/waas/waas_decoder.h"

namespace zarnmon {

struct LinkSettings {
    int port = 2;        // COM port number; 999 and up the USB port
    std::string device;  // serial device path
    std::uint32_t baud = 19200;
};

struct CAppContext {
    explicit CAppContext(CSettingsStore& store) : settings(store) {}

    CSteadyTickClock clock;
    CMsgDispatcher dispatcher{clock};
    CReceiverInfo receiverInfo;
    CSettingsStore& settings;
    // The ionospheric grid built from the WAAS messages; its masks persist.
    CWaasDecoder waas{&settings};
    LinkSettings link;
    // Lets the main frame and the views switch messages on by themselves.
    bool autoConfigure = true;
};

}  // namespace zarnmon
