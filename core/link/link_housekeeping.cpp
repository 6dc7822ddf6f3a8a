#include "core/link/link_housekeeping.h"

#include "core/link/bin_catalogue.h"
#include "core/link/gps_time.h"

namespace zarnmon {

namespace {

constexpr std::string_view kIdentityRequest = "$JI\r";

bool Msg1HasTime(const CMsgDispatcher& dispatcher) {
    return dispatcher.IsActive(Slots::Msg1, true) &&
           Msg1View(dispatcher.Handler(Slots::Msg1).LastMessage()).GpsWeek() != 0;
}

}  // namespace

CLinkHousekeeping::CLinkHousekeeping(CMsgDispatcher& dispatcher, CReceiverInfo& info, ICommandSender& sender)
    : dispatcher_(dispatcher), info_(info), sender_(sender) {}

bool CLinkHousekeeping::WaasAllowed() const {
    const double version = info_.ArmVersion();
    return version < 3.0 || version >= 5.0;
}

void CLinkHousekeeping::Tick(bool autoConfigure, bool askIdentity, const KeepAliveNeeds& needs) {
    if (countdown_ > 0) {
        --countdown_;
        InformationStep(autoConfigure, askIdentity);
        if (waas_) {
            PassNewWaasFrames();
        }
        return;
    }
    countdown_ = kKeepAliveEvery - 1;
    if (autoConfigure) {
        KeepAlive(needs);
    }
}

void CLinkHousekeeping::LinkResumed() {
    dispatcher_.Resume();
    countdown_ = 0;
}

void CLinkHousekeeping::KeepAlive(const KeepAliveNeeds& needs) {
    const auto ensure = [this](int slot) { dispatcher_.EnsureState(slot, true, false); };
    ensure(Slots::Msg1);
    ensure(Slots::Msg2);
    if (needs.dataLog) {
        for (const int slot : {Slots::Msg99, Slots::Msg100, Slots::Msg89, Slots::Rd1Handler}) {
            ensure(slot);
        }
    }
    if (needs.phaseLog) {
        ensure(Slots::Msg95);
        ensure(Slots::Msg76);
        if (!needs.msg94Logged) {
            ensure(Slots::Msg94);
        }
    }
    if (needs.waasProcessing && WaasAllowed()) {
        ensure(Slots::Msg80);
    }
}

void CLinkHousekeeping::InformationStep(bool autoConfigure, bool askIdentity) {
    if (!askIdentity) {
        return;
    }
    // After about ten silent steps the receiver may have been swapped: forget
    // who it was, once per silence, and ask again when it talks.
    if (!dispatcher_.IsActive(Slots::Msg1, true)) {
        if (info_.Staleness() != 0) {
            info_.SetStaleness(info_.Staleness() + 1);
        }
        if (info_.Staleness() > kSilentStepsBeforeForgetting) {
            info_.Reset();
            info_.SetStaleness(0);
        }
    } else {
        info_.SetStaleness(1);
    }
    if (info_.Known()) {
        return;
    }
    info_.Poll(dispatcher_.Handler(Slots::ReplyHandler));
    if (!info_.Known() && autoConfigure) {
        sender_.Send(kIdentityRequest, false);
    }
}

bool CLinkHousekeeping::ToggleWaas() {
    waas_ = !waas_;
    if (!waas_) {
        if (waasEnabledByUs_) {
            dispatcher_.SendDisable(Slots::Msg80, false);
        }
        waasEnabledByUs_ = false;
        return waas_;
    }
    if (!dispatcher_.IsActive(Slots::Msg80, true)) {
        waasEnabledByUs_ = true;
        dispatcher_.SendEnable(Slots::Msg80, true, false);
    }
    // Only messages from now on: older ones may belong to another receiver.
    waasReader_ = dispatcher_.Handler(Slots::Msg80).HistoryWriteIndex();
    return waas_;
}

void CLinkHousekeeping::PassNewWaasFrames() {
    const CMsgHandler& msg80 = dispatcher_.Handler(Slots::Msg80);
    while ((waasReader_ & 15) != msg80.HistoryWriteIndex()) {
        const auto slot = msg80.HistorySlot(waasReader_);
        waasReader_ = (waasReader_ + 1) & 15;
        const auto frame = slot.first(std::min<std::size_t>(slot.size(), msg80::kLength + kBinFrameOverhead));
        if (IsValidFrame(frame) && waasSink_) {
            waasSink_(frame);
        }
    }
}

std::string FixPaneText(const CMsgDispatcher& dispatcher, bool portOpen) {
    if (Msg1HasTime(dispatcher)) {
        return std::string(Msg1View(dispatcher.Handler(Slots::Msg1).LastMessage()).FixType());
    }
    if (dispatcher.IsActive(Slots::Msg99, true)) {
        const Msg99View msg99(dispatcher.Handler(Slots::Msg99).LastMessage());
        return msg99.GpsWeek() != 0 ? std::string(msg99.TimeStatus()) : "Connected";
    }
    return portOpen ? "No Communication" : "Not Connected";
}

std::string TimePaneText(const CMsgDispatcher& dispatcher) {
    const std::int32_t offset = dispatcher.GpsUtcOffset().Get();
    if (Msg1HasTime(dispatcher)) {
        const Msg1View msg1(dispatcher.Handler(Slots::Msg1).LastMessage());
        return UtcDateTimeString(msg1.GpsWeek(), msg1.GpsTimeOfWeek(), offset);
    }
    const Msg99View msg99(dispatcher.Handler(Slots::Msg99).LastMessage());
    return UtcDateTimeString(msg99.GpsWeek(), msg99.GpsTimeOfWeek(), offset);
}

}  // namespace zarnmon
