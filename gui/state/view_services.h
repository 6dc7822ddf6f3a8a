#pragma once

// What a view may ask of the program beyond the shared state: the few
// receiver controls that belong to the main frame. Views get this narrow
// interface, never the frame itself.

#include <QString>

#include "gui/state/app_context.h"

namespace zarnmon {

class IReceiverControl {
public:
    virtual ~IReceiverControl() = default;
    // Whether the program decodes the WAAS messages itself (it then keeps message 80 on).
    [[nodiscard]] virtual bool WaasProcessing() const = 0;
    virtual void SetWaasProcessing(bool on) = 0;
    // A message in the first pane of the main window's status bar; where
    // there is none (benchmarks, tests) it goes nowhere.
    virtual void ShowStatusMessage(const QString& /*text*/) {}
    // Whether the logs take the messages being received now: not while a
    // replay goes again over what it played before, which they have.
    [[nodiscard]] virtual bool LogsTakeMessages() const { return true; }
};

struct ViewServices {
    CAppContext& context;
    IReceiverControl& receiver;
};

}  // namespace zarnmon
