#include "gui/app/replay_control.h"

#include <utility>

namespace zarnmon {

CReplayControl::CReplayControl(CReplayLink& link, CAppContext& context, std::function<void()> forgetReceived)
    : QObject(&link),
      context_(context),
      forgetReceived_(std::move(forgetReceived)),
      gpsUtcOffsetAtStart_(context.dispatcher.GpsUtcOffset().Get()),
      neuAtStart_(context.neuHistory),
      waasAtStart_(context.waas) {
    connect(&link, &CReplayLink::rewound, this, &CReplayControl::OnRewound);
    connect(&link, &CReplayLink::catchingUp, this, &CReplayControl::OnCatchingUp);
}

void CReplayControl::OnRewound() {
    forgetReceived_();
    context_.dispatcher.GpsUtcOffset().Set(gpsUtcOffsetAtStart_);
    context_.neuHistory = neuAtStart_;
    // The plot's span and range may have been changed since; they stand.
    const PlotSettings plot = LoadPlotSettings(context_.settings);
    context_.neuHistory.Configure(kNeuSampleScale, plot.minutes, plot.rangeTenths);
    context_.waas = waasAtStart_;
}

void CReplayControl::OnCatchingUp(bool on) {
    context_.dispatcher.SetQuiet(on);
    if (!on) {
        context_.dispatcher.AnnounceAll();
    }
}

}  // namespace zarnmon
