#pragma once

// What a replay that moves needs of the program's received state.
//
// Going back starts again from nothing: the main frame forgets what it
// received, as at a connect (the logs stay open), and the program-wide
// values built from the messages, the GPS-UTC offset, the NEU history and
// the WAAS grid, return to what they were when the replay began; playing the
// log again then rebuilds them exactly as a straight replay would. While a move catches up,
// the handlers keep their subscribers waiting and tell each of them once at
// the end, so the views redraw once instead of once for every message of an
// hour of log.
//
// It lives as long as its replay: a child of the link.

#include <QObject>
#include <cstdint>
#include <functional>

#include "core/state/neu_history.h"
#include "core/waas/waas_decoder.h"
#include "gui/link/replay_link.h"
#include "gui/state/app_context.h"

namespace zarnmon {

class CReplayControl final : public QObject {
    Q_OBJECT

public:
    // forgetReceived clears what the frame received, as a connect does.
    CReplayControl(CReplayLink& link, CAppContext& context, std::function<void()> forgetReceived);

private:
    void OnRewound();
    void OnCatchingUp(bool on);

    CAppContext& context_;
    std::function<void()> forgetReceived_;
    std::int32_t gpsUtcOffsetAtStart_;
    CNeuHistory neuAtStart_;
    CWaasDecoder waasAtStart_;
};

}  // namespace zarnmon
