#include "core/link/msg_handler.h"

#include <algorithm>
#include <cstring>

namespace zarnmon {

namespace {

constexpr std::uint32_t kNeverAge = 0x7FFFFFFF;

}  // namespace

CMsgHandler::CMsgHandler(std::string_view name, std::uint32_t capacity, bool hasHistory, const ITickClock& clock)
    : name_(name),
      capacity_(capacity),
      clock_(clock),
      last_(capacity + kSlack, 0),
      assembly_(capacity + kSlack, 0),
      history_(hasHistory ? kHistorySize * (capacity + kSlack) : 0, 0) {}

void CMsgHandler::Publish() {
    if (!quiet_) {
        Announce();
    }
}

bool CMsgHandler::Validate(std::span<const std::uint8_t> /*assembled*/) { return true; }

void CMsgHandler::Clear() {
    std::ranges::fill(last_, std::uint8_t{0});
    std::ranges::fill(history_, std::uint8_t{0});
    lastLength_ = 0;
    Publish();
}

std::uint32_t CMsgHandler::AgeMs() const { return lastCompletion_ == 0 ? kNeverAge : clock_.Now() - lastCompletion_; }

std::span<const std::uint8_t> CMsgHandler::HistorySlot(int i) const {
    if (history_.empty()) {
        return {};
    }
    const std::size_t slotSize = capacity_ + kSlack;
    return std::span<const std::uint8_t>(history_).subspan(static_cast<std::size_t>(i & 15) * slotSize, slotSize);
}

bool CMsgHandler::GetHistory(int i, char* dst, std::size_t max) const {
    if (max > 0) {
        dst[0] = 0;
    }
    if ((i & 15) == historyWrite_ || history_.empty() || max == 0) {
        return false;
    }
    const auto slot = HistorySlot(i);
    const auto end = std::find(slot.begin(), slot.end(), std::uint8_t{0});
    const auto n = std::min(static_cast<std::size_t>(end - slot.begin()), max - 1);
    std::memcpy(dst, slot.data(), n);
    dst[n] = 0;
    return true;
}

void CMsgHandler::Store(std::span<const std::uint8_t> bytes, bool resetAssembly) {
    const std::size_t len = std::min<std::size_t>(bytes.size(), capacity_);
    std::memcpy(last_.data(), bytes.data(), len);
    last_[len] = 0;
    lastLength_ = static_cast<std::uint32_t>(len);
    // Publish may rewrite the last message (text handlers strip the line
    // end); the history copy stays exactly as received.
    const std::uint8_t* received = last_.data();
    if (!history_.empty()) {
        const std::size_t slotSize = capacity_ + kSlack;
        std::uint8_t* slot = &history_[static_cast<std::size_t>(historyWrite_) * slotSize];
        std::memcpy(slot, last_.data(), len + 1);
        historyWrite_ = (historyWrite_ + 1) & 15;
        received = slot;
    }
    Stamp();
    ++stored_;
    if (resetAssembly) {
        ResetAssembly();
    }
    Publish();
    if (tap_ != nullptr) {
        tap_->OnStored(*this, {received, len});
    }
}

void CMsgHandler::Complete() {
    if (!Validate(Assembly())) {
        Stamp();
        ResetAssembly();
        return;
    }
    Store(Assembly(), true);
}

std::int32_t CMsgHandler::Take(CMsgStream& stream, std::uint32_t n) {
    const auto room = capacity_ - std::min(assembled_, capacity_);
    const auto taken = stream.Read(AssemblyEnd(), static_cast<std::int32_t>(std::min(n, room)));
    AddAssembled(taken);
    return taken;
}

}  // namespace zarnmon
