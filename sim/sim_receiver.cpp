#include "sim/sim_receiver.h"

#include <numeric>

#include "core/link/bin_catalogue.h"
#include "sim/message_writer.h"
#include "sim/sky_model.h"
#include "sim/waas_broadcast.h"

namespace zarnmon::sim {

namespace {

// "$RX," lines numbered 0..31 go out eight a second, all of them every 4 s.
constexpr int kRxLinesPerSecond = 8;
constexpr int kRxLines = 32;

bool IsFrame(std::span<const std::uint8_t> message) {
    return message.size() >= 4 && message[0] == '$' && message[1] == 'B' && message[2] == 'I' && message[3] == 'N';
}

}  // namespace

std::string_view HandlerFor(std::span<const std::uint8_t> message) {
    if (IsFrame(message)) {
        const MessageLayout* layout = message.size() >= 8 ? FindLayout(ReadLe<std::uint16_t>(message, 4)) : nullptr;
        return layout != nullptr ? layout->handlerName : std::string_view{};
    }
    const std::string_view line(reinterpret_cast<const char*>(message.data()), message.size());
    if (line.starts_with("$RX,")) return "RxHandler";
    if (line.starts_with("$RD1,")) return "Rd1Handler";
    if (line.starts_with("$>")) return "ReplyHandler";
    if (line.starts_with("$C")) return "BeaconReplyHandler";
    if (line.starts_with("$PC") && line.size() >= 8 && line.find(",ACK") != std::string_view::npos) {
        return "BeaconReplyHandler";
    }
    if (line.starts_with("$G") || line.starts_with("$H") || line.starts_with("$P")) return "NmeaHandler";
    if (line.starts_with("Y~") || line.starts_with("fA")) return "RtcmHandler";
    return {};
}

CSimReceiver::CSimReceiver(const SimConfig& config, const FaultRates& faults, int geoCount)
    : config_(config),
      waas_(std::make_unique<CWaasBroadcaster>(config_, geoCount)),
      sky_(std::make_unique<CSkyModel>(config_, waas_->GeoPrns())),
      writer_(std::make_unique<CMessageWriter>(*sky_)),
      commands_(schedule_, config_, waas_->GeoPrns()),
      faults_(faults, config.seed) {
    scratch_.reserve(8192);
    output_.reserve(65536);
}

CSimReceiver::~CSimReceiver() = default;

std::uint64_t CSimReceiver::SentTotal() const {
    return std::accumulate(sent_.begin(), sent_.end(), std::uint64_t{0},
                           [](std::uint64_t sum, const auto& entry) { return sum + entry.second; });
}

void CSimReceiver::Receive(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t b : bytes) {
        if (b != '\r' && b != '\n') {
            // A line longer than any command is noise on the line: forget it.
            if (pendingCommand_.size() < kMaxCommandLength) {
                pendingCommand_.push_back(static_cast<char>(b));
            }
            continue;
        }
        if (pendingCommand_.empty()) {
            continue;
        }
        replies_.clear();
        if (pendingCommand_.size() < kMaxCommandLength) {
            commands_.Execute(pendingCommand_, replies_);
        }
        pendingCommand_.clear();
        for (const std::string& reply : replies_) {
            Emit({reply.begin(), reply.end()});
        }
    }
}

void CSimReceiver::Advance(std::uint32_t ms) {
    const std::uint64_t until = elapsedMs_ + ms;
    while (static_cast<std::uint64_t>(tick_) * kTickMs < until) {
        RunTick();
        ++tick_;
    }
    elapsedMs_ = until;
}

void CSimReceiver::TakeOutput(std::vector<std::uint8_t>& out, bool evenIfHeld) {
    if (burstHold_ > 0 && !evenIfHeld) {
        return;
    }
    out.insert(out.end(), output_.begin(), output_.end());
    output_.clear();
}

void CSimReceiver::Emit(const std::vector<std::uint8_t>& bytes) {
    ForEachMessage(bytes, [this](std::span<const std::uint8_t> message) {
        if (silent_) {
            faults_.CountLostInSilence(1);
            return;
        }
        if (faults_.Emit(message, IsFrame(message), output_)) {
            ++sent_[std::string(HandlerFor(message))];
        }
    });
}

void CSimReceiver::EmitOutput(std::size_t output) {
    const OutputInfo& info = COutputSchedule::Outputs()[output];
    scratch_.clear();
    switch (info.kind) {
        case OutputKind::Binary:
            if (info.id == 80) {
                waas_->AppendSecond(sky_->SecondsOfWeek(), sky_->Week(), scratch_);
            } else {
                writer_->AppendBinary(info.id, scratch_);
            }
            break;
        case OutputKind::Nmea:
            writer_->AppendNmea(info.name, scratch_);
            break;
        case OutputKind::Rtcm:
            writer_->AppendRtcm(scratch_);
            break;
        case OutputKind::Rd1:
            writer_->AppendRd1(scratch_);
            break;
        case OutputKind::Rx:
            for (int i = 0; i < kRxLinesPerSecond; ++i) {
                writer_->AppendRx(nextRx_, scratch_);
                nextRx_ = (nextRx_ + 1) % kRxLines;
            }
            break;
    }
    Emit(scratch_);
}

void CSimReceiver::RunTick() {
    if (tick_ % COutputSchedule::kTicksPerSecond == 0) {
        silent_ = faults_.SilentSecond();
        burstHold_ = faults_.BurstHold();
        sky_->SetLBandFade(faults_.FadedSecond());
    }
    // The sky only needs to move when something is sent from it.
    bool skyMoved = false;
    for (std::size_t output = 0; output < COutputSchedule::kOutputCount; ++output) {
        if (!schedule_.Due(output, tick_)) {
            continue;
        }
        if (!skyMoved) {
            sky_->AdvanceTo(static_cast<double>(tick_) * kTickMs / 1000.0);
            skyMoved = true;
        }
        EmitOutput(output);
    }
}

}  // namespace zarnmon::sim
