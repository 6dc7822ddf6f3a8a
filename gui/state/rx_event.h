#pragma once

// The handlers' notifications as posted Qt events: a handler that stores a
// message posts a CRxMessageEvent carrying its identity to each subscribed
// window, which handles it after the dispatcher has finished the chunk. The
// refresh tick is a posted timer event with id 1.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>

#include "core/link/msg_handler.h"
#include "core/link/notify_list.h"

namespace zarnmon {

inline constexpr int kRefreshTimerId = 1;

class CRxMessageEvent final : public QEvent {
public:
    explicit CRxMessageEvent(const CMsgHandler* handler) : QEvent(Type()), handler_(handler) {}
    [[nodiscard]] static QEvent::Type Type();
    [[nodiscard]] const CMsgHandler* Handler() const { return handler_; }

private:
    const CMsgHandler* handler_;
};

// Lets a QObject subscribe to handlers: notifications become posted events.
class CRxEventPoster final : public IRxWindow {
public:
    explicit CRxEventPoster(QObject* target) : target_(target) {}
    void PostRxMessage(std::uint32_t message, std::uint32_t wParam, const CMsgHandler* handler) override;

private:
    QPointer<QObject> target_;
};

// Posts the refresh tick (timer id 1) to a window.
void PostRefreshTick(QObject* target);

}  // namespace zarnmon
