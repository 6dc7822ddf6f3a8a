#pragma once

// The main frame's once-a-second care of the link, without the frame.
//
// One tick in four (the first included) keeps the messages the open features
// need switched on; the three ticks between ask the receiver who it is until
// it has said so, and hand new WAAS messages to the decoder while WAAS
// processing is on. Requests are rate-limited by the dispatcher, and a
// message that keeps arriving is never asked for again. Also here: the texts
// of the fix and time panes, which only read what the handlers hold.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/link/command_sender.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/receiver_info.h"

namespace zarnmon {

// What the open features need from the receiver on a keep-alive tick.
struct KeepAliveNeeds {
    bool dataLog = false;   // messages 99, 100, 89 and the L-band diagnostics
    bool phaseLog = false;  // messages 95 and 76, and 94 until one was logged
    bool msg94Logged = false;
    bool waasProcessing = false;  // message 80, unless the receiver cannot take it
};

class CLinkHousekeeping {
public:
    static constexpr int kKeepAliveEvery = 4;
    static constexpr int kSilentStepsBeforeForgetting = 10;

    CLinkHousekeeping(CMsgDispatcher& dispatcher, CReceiverInfo& info, ICommandSender& sender);

    // One timer tick. askIdentity: a link that answers "$JI" is open (not
    // the USB port, not a replay).
    void Tick(bool autoConfigure, bool askIdentity, const KeepAliveNeeds& needs);
    // The link came back after a loss: the dispatcher drops what the loss cut
    // short, and the next tick asks again for every message kept on, so a
    // receiver that restarted is set up as before.
    void LinkResumed();
    // Whether the next tick keeps messages alive (countdown at 0).
    [[nodiscard]] bool NextTickKeepsAlive() const { return countdown_ == 0; }

    // The WAAS processing toggle. Returns the new state.
    bool ToggleWaas();
    [[nodiscard]] bool WaasProcessing() const { return waas_; }
    // Receivers with ARM software 3.x and 4.x cannot have their WAAS messages
    // processed: the toggle is disabled and message 80 is not requested.
    [[nodiscard]] bool WaasAllowed() const;
    // Receives every new, intact message-80 frame on information ticks.
    void SetWaasSink(std::function<void(std::span<const std::uint8_t>)> sink) { waasSink_ = std::move(sink); }

private:
    void KeepAlive(const KeepAliveNeeds& needs);
    void InformationStep(bool autoConfigure, bool askIdentity);
    void PassNewWaasFrames();

    CMsgDispatcher& dispatcher_;
    CReceiverInfo& info_;
    ICommandSender& sender_;
    int countdown_ = 0;
    bool waas_ = false;
    bool waasEnabledByUs_ = false;
    int waasReader_ = 0;
    std::function<void(std::span<const std::uint8_t>)> waasSink_;
};

// The fix pane: the fix type while message 1 flows with a time, else the time
// status of message 99 ("Connected" before it has a time), else whether a
// port is open at all.
[[nodiscard]] std::string FixPaneText(const CMsgDispatcher& dispatcher, bool portOpen);
// The time pane: UTC date and time of message 1 while it flows with a time,
// else of message 99.
[[nodiscard]] std::string TimePaneText(const CMsgDispatcher& dispatcher);

}  // namespace zarnmon
