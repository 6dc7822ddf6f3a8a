#include "core/link/bin_msg_handler.h"

#include <algorithm>

#include "core/link/little_endian.h"

namespace zarnmon {

namespace {

constexpr std::array<std::uint8_t, 4> kSync = {'$', 'B', 'I', 'N'};

}  // namespace

CBinMsgHandler::CBinMsgHandler(std::string_view name, std::uint16_t id, std::uint16_t length, bool hasHistory,
                               const ITickClock& clock)
    : CMsgHandler(name, length + kFrameOverhead, hasHistory, clock), id_(id), length_(length) {
    std::ranges::copy(kSync, signature_.begin());
    WriteLe<std::uint16_t>(signature_, 4, id);
    WriteLe<std::uint16_t>(signature_, 6, length);
}

bool CBinMsgHandler::TryStart(CMsgStream& stream, CMsgHandler*& owner) {
    owner = nullptr;
    if (!stream.PeekEquals(signature_.data(), kHeaderSize)) {
        return false;
    }
    ResetAssembly();
    Take(stream, Capacity());
    if (Continue(stream)) {
        owner = this;
    }
    return true;
}

bool CBinMsgHandler::Continue(CMsgStream& stream) {
    const auto assembled = Assembly();
    const auto header = assembled.first(std::min<std::size_t>(assembled.size(), kHeaderSize));
    if (!std::ranges::equal(header, std::span(signature_).first(header.size()))) {
        ResetAssembly();
        return false;
    }
    Take(stream, Capacity() - AssembledLength());
    if (AssembledLength() < Capacity()) {
        return true;
    }
    Complete();
    return false;
}

bool CBinMsgHandler::Validate(std::span<const std::uint8_t> assembled) {
    if (IsValidFrame(assembled)) {
        return true;
    }
    CountFailedCheck();
    return false;
}

CGpsUtcBinHandler::CGpsUtcBinHandler(std::string_view name, std::uint16_t id, std::uint16_t length,
                                     const ITickClock& clock, CGpsUtcOffset& offset)
    : CBinMsgHandler(name, id, length, false, clock), offset_(offset) {}

void CGpsUtcBinHandler::Publish() {
    // Clear publishes too, with nothing stored: that says nothing of the offset.
    if (LastLength() == 0) {
        CBinMsgHandler::Publish();
        return;
    }
    // Message 2 carries the offset unsigned, message 99 signed.
    if (Id() == 2) {
        offset_.Set(Msg2View(LastMessage()).GpsUtcDiff());
    } else {
        offset_.Set(Msg99View(LastMessage()).GpsUtcDiff());
    }
    CBinMsgHandler::Publish();
}

CMsg98Handler::CMsg98Handler(const ITickClock& clock) : CBinMsgHandler("Msg98", 98, 68, false, clock) {}

void CMsg98Handler::Publish() {
    // The table outlives Clear, whose empty message must not overwrite it.
    if (LastLength() > 0) {
        almanac_.Update(Msg98View(LastMessage()));
    }
    CBinMsgHandler::Publish();
}

}  // namespace zarnmon
