#pragma once

// The handlers' notifications as posted Qt events: a handler that stores a
// message posts a CRxMessageEvent carrying its identity to each subscribed
// window, which handles it after the dispatcher has finished the chunk. The
// once-a-second refresh tick is a posted event of its own type, so it can
// never be taken for one of Qt's own timers.
//
// A window that only shows what the handlers hold can take its
// notifications as "latest": while one of a handler's notifications waits in
// the queue, the handler's next messages post no more, since the waiting one
// will read the newest message anyway. Live, at a message or a few a second,
// nothing ever waits that long; a fast replay or a burst of held-back output
// stores hundreds of messages of a kind between two turns of the event loop,
// and each window then works once per kind instead of once per message.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "core/link/msg_handler.h"
#include "core/link/notify_list.h"

namespace zarnmon {

// The handlers whose "latest" notification waits in a window's queue. The
// notifications share it with their poster: one still queued when its window
// and poster go is deleted after them.
using CRxWaiting = std::vector<const CMsgHandler*>;

class CRxMessageEvent final : public QEvent {
public:
    explicit CRxMessageEvent(const CMsgHandler* handler, std::shared_ptr<CRxWaiting> waiting = {})
        : QEvent(Type()), handler_(handler), waiting_(std::move(waiting)) {}
    // Handled or thrown away, it no longer waits.
    ~CRxMessageEvent() override { Taken(); }
    CRxMessageEvent(const CRxMessageEvent&) = delete;
    CRxMessageEvent& operator=(const CRxMessageEvent&) = delete;

    [[nodiscard]] static QEvent::Type Type();
    [[nodiscard]] const CMsgHandler* Handler() const { return handler_; }
    // The window is handling it: a message the handler stores from now on
    // notifies again. The window calls it before it reads the message.
    void Taken() const;

private:
    const CMsgHandler* handler_;
    // Null for a notification of every message, and once taken.
    mutable std::shared_ptr<CRxWaiting> waiting_;
};

class CRefreshTickEvent final : public QEvent {
public:
    CRefreshTickEvent() : QEvent(Type()) {}
    [[nodiscard]] static QEvent::Type Type();
};

enum class RxDelivery : std::uint8_t {
    EveryMessage,  // one notification per message stored
    Latest,        // at most one notification of a handler waits at a time
};

// Lets a QObject subscribe to handlers: notifications become posted events.
class CRxEventPoster final : public IRxWindow {
public:
    explicit CRxEventPoster(QObject* target, RxDelivery delivery = RxDelivery::EveryMessage)
        : target_(target), delivery_(delivery) {}
    void PostRxMessage(std::uint32_t message, std::uint32_t wParam, const CMsgHandler* handler) override;

    void SetDelivery(RxDelivery delivery) { delivery_ = delivery; }

private:
    QPointer<QObject> target_;
    RxDelivery delivery_;
    std::shared_ptr<CRxWaiting> waiting_ = std::make_shared<CRxWaiting>();
};

// Posts the refresh tick to a window.
void PostRefreshTick(QObject* target);

}  // namespace zarnmon
