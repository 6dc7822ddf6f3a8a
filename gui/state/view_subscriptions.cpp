#include "gui/state/view_subscriptions.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace zarnmon {

namespace {

constexpr int kTicksPerRequest = 3;

}  // namespace

CViewSubscriptions::~CViewSubscriptions() {
    for (const auto& [handler, id] : subscriptions_) {
        handler->Unsubscribe(id);
    }
}

void CViewSubscriptions::Subscribe(int slot) {
    CMsgHandler& handler = dispatcher_.Handler(slot);
    subscriptions_.emplace_back(&handler, handler.Subscribe(&poster_));
}

int CViewSubscriptions::SlotOf(const QEvent& event) const {
    if (event.type() != CRxMessageEvent::Type()) {
        return -1;
    }
    const CMsgHandler* handler = static_cast<const CRxMessageEvent&>(event).Handler();
    const bool subscribed = std::ranges::any_of(
        subscriptions_, [handler](const auto& subscription) { return subscription.first == handler; });
    return subscribed ? dispatcher_.SlotOf(handler) : -1;
}

bool CViewSubscriptions::CountDown() {
    if (countdown_ > 0) {
        --countdown_;
        return false;
    }
    countdown_ = kTicksPerRequest;
    return true;
}

bool CViewSubscriptions::ValuesStale() const {
    bool held = false;
    std::uint32_t newest = std::numeric_limits<std::uint32_t>::max();
    for (const auto& [handler, id] : subscriptions_) {
        if (handler->LastLength() > 0) {
            held = true;
            newest = std::min(newest, handler->AgeMs());
        }
    }
    return held && newest >= CMsgDispatcher::kActiveMs;
}

bool CViewSubscriptions::TakeStaleness() {
    const bool stale = ValuesStale();
    return std::exchange(stale_, stale) != stale;
}

void CViewSubscriptions::KeepOn(const std::vector<int>& kept, bool autoConfigure) {
    if (!CountDown() || !autoConfigure) {
        return;
    }
    for (const int slot : kept) {
        dispatcher_.EnsureState(slot, true, false);
    }
}

}  // namespace zarnmon
