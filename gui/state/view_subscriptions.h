#pragma once

// What every view does with the handlers: subscribe to the ones it shows
// (their notifications arrive as posted events), recognise its own
// notifications among the events it gets, and count its refresh ticks down
// so that every fourth one switches its messages on again. Unsubscribes when
// the view goes. Views show what the handlers hold, so their notifications
// come as "latest" (see CRxEventPoster) unless a view asks for every one.

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
    // subscribed handler) or onTick (the refresh tick); true when the event
    // was one of these, whether or not it concerned the view.
    template <typename OnMessage, typename OnTick>
    bool Dispatch(const QEvent& event, OnMessage&& onMessage, OnTick&& onTick) {
        if (event.type() == CRxMessageEvent::Type()) {
            static_cast<const CRxMessageEvent&>(event).Taken();
            if (const int slot = SlotOf(event); slot >= 0) {
                onMessage(slot);
            }
            return true;
        }
        if (event.type() == CRefreshTickEvent::Type()) {
            onTick();
            return true;
        }
        return false;
    }
    // On the keep-alive tick, with auto-configure on: each slot switched on
    // again unless it flows.
    void KeepOn(const std::vector<int>& kept, bool autoConfigure);

private:
    CMsgDispatcher& dispatcher_;
    CRxEventPoster poster_;
    std::vector<std::pair<CMsgHandler*, std::uint32_t>> subscriptions_;
    int countdown_ = 3;
};

}  // namespace zarnmon
