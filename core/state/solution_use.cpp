#include "core/state/solution_use.h"

namespace zarnmon {

ChannelUse SampleChannelUse(const CMsgDispatcher& dispatcher) {
    return {.msg2Active = dispatcher.IsActive(Slots::Msg2, false),
            .msg89Active = dispatcher.IsActive(Slots::Msg89, false)};
}

bool UsedInSolution(const CMsgDispatcher& dispatcher, const ChannelUse& use, int prn, bool gpsChannel) {
    if (use.msg89Active && Msg89View(dispatcher.Handler(Slots::Msg89).LastMessage()).IsSbasPrnUsed(prn)) {
        return true;
    }
    if (use.msg2Active && gpsChannel) {
        const Msg2View msg2(dispatcher.Handler(Slots::Msg2).LastMessage());
        return msg2.IsGpsPrnUsed(prn) || msg2.IsSbasPrnUsed(prn);
    }
    return false;
}

}  // namespace zarnmon
