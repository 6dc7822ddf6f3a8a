#pragma once

// What every view does with the handlers: subscribe to the ones it shows
// (their notifications arrive as posted events), recognise its own
// notifications among the events it gets, count its refresh ticks down
// so that every fourth one switches its messages on again, and tell when its
// values go stale. Unsubscribes when the view goes. Views show what the
// handlers hold, so their notifications come as "latest" (see CRxEventPoster)
// unless a view asks for every one.
//
// Stale: the handlers the view subscribed to hold messages, and the newest of
// them is as old as the rule that says a message has stopped (6000 ms on the
// program clock). Handlers that hold nothing leave no value to mistake for a
// live one. The state is taken after every notification and refresh tick, so
// a view turns stale within a tick of the rule and fresh with the next message.

#include <QEvent>
#include <QObject>
#include <utility>
#include <vector>

#include "core/link/msg_dispatcher.h"
#include "gui/state/rx_event.h"

namespace zarnmon {

class CViewSubscriptions {
public:
    CViewSubscriptions(CMsgDispatcher& dispatcher, QObject* view)
        : dispatcher_(dispatcher), poster_(view, RxDelivery::Latest) {}
    ~CViewSubscriptions();
    CViewSubscriptions(const CViewSubscriptions&) = delete;
    CViewSubscriptions& operator=(const CViewSubscriptions&) = delete;

    void Subscribe(int slot);
    // For a view that reacts to each message (a filter step, a log line),
    // even when it reads the same stored message again.
    void NotifyEveryMessage() { poster_.SetDelivery(RxDelivery::EveryMessage); }
    // The slot of a notification from a subscribed handler; -1 for any other
    // event or handler.
    [[nodiscard]] int SlotOf(const QEvent& event) const;
    // True on every fourth refresh tick, starting with the fourth.
    bool CountDown();
    // Hands a view's event to onMessage (the slot of a notification from a
    // subscribed handler) or onTick (the refresh tick), then onStale(stale)
    // when that left the view's values stale or fresh again; true when the
    // event was one of these, whether or not it concerned the view.
    template <typename OnMessage, typename OnTick, typename OnStale>
    bool Dispatch(const QEvent& event, OnMessage&& onMessage, OnTick&& onTick, OnStale&& onStale) {
        if (event.type() == CRxMessageEvent::Type()) {
            static_cast<const CRxMessageEvent&>(event).Taken();
            if (const int slot = SlotOf(event); slot >= 0) {
                onMessage(slot);
            }
        } else if (event.type() == CRefreshTickEvent::Type()) {
            onTick();
        } else {
            return false;
        }
        if (TakeStaleness()) {
            onStale(stale_);
        }
        return true;
    }
    // Whether the values are stale now.
    [[nodiscard]] bool ValuesStale() const;
    // The state last taken; a view paints by it.
    [[nodiscard]] bool Stale() const { return stale_; }
    // Takes the state now; true when it changed.
    bool TakeStaleness();
    // On the keep-alive tick, with auto-configure on: each slot switched on
    // again unless it flows.
    void KeepOn(const std::vector<int>& kept, bool autoConfigure);

private:
    CMsgDispatcher& dispatcher_;
    CRxEventPoster poster_;
    std::vector<std::pair<CMsgHandler*, std::uint32_t>> subscriptions_;
    int countdown_ = 3;
    bool stale_ = false;
};

}  // namespace zarnmon
