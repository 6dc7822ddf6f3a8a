#pragma once

// The handlers' notifications as posted Qt events: a handler that stores a
// message posts a CRxMessageEvent carrying its identity to each subscribed
// window, which handles it after the dispatcher has finished the chunk. The
// once-a-second refresh tick is a posted event of its own type, so it can
// never be taken for one of Qt's own timers.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>

#include "core/link/msg_handler.h"
#include "core/link/notify_list.h"

namespace zarnmon {

class CRxMessageEvent final : public QEvent {
public:
    explicit CRxMessageEvent(const CMsgHandler* handler) : QEvent(Type()), handler_(handler) {}
    [[nodiscard]] static QEvent::Type Type();
    [[nodiscard]] const CMsgHandler* Handler() const { return handler_; }

private:
    const CMsgHandler* handler_;
};

class CRefreshTickEvent final : public QEvent {
public:
    CRefreshTickEvent() : QEvent(Type()) {}
    [[nodiscard]] static QEvent::Type Type();
};

// Lets a QObject subscribe to handlers: notifications become posted events.
class CRxEventPoster final : public IRxWindow {
public:
    explicit CRxEventPoster(QObject* target) : target_(target) {}
    void PostRxMessage(std::uint32_t message, std::uint32_t wParam, const CMsgHandler* handler) override;

private:
    QPointer<QObject> target_;
};

// Posts the refresh tick to a window.
void PostRefreshTick(QObject* target);

}  // namespace zarnmon
