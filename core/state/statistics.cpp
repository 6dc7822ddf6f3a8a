#include "core/state/statistics.h"

#include "core/link/bin_catalogue.h"
#include "core/link/text_msg_handler.h"

namespace zarnmon {

namespace {

// The spare-CPU count runs at this many percent per unit.
constexpr double kSparePercentPerCount = 0.00045;
// The debug log writes this debug message first.
constexpr int kFirstDebugMessage = 1;

}  // namespace

ReceiverStatistics LoadReceiverStatistics(const CMsgDispatcher& dispatcher) {
    const Msg97View msg97(dispatcher.Handler(Slots::Msg97).LastMessage());
    return {static_cast<double>(msg97.SpareCount()) * kSparePercentPerCount,
            msg97.MissedSubframes(),
            msg97.MaxSubframesPending(),
            msg97.MissedAccumulations(),
            msg97.MissedMeasurements(),
            dispatcher.DroppedBytes(),
            dispatcher.Rx().RxCount(kFirstDebugMessage)};
}

}  // namespace zarnmon
