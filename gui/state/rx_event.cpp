#include "gui/state/rx_event.h"

namespace zarnmon {

QEvent::Type CRxMessageEvent::Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type CRefreshTickEvent::Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void CRxEventPoster::PostRxMessage(std::uint32_t message, std::uint32_t /*wParam*/, const CMsgHandler* handler) {
    // A window that is already gone has nothing to update.
    if (message == WM_RX_MESSAGE && !target_.isNull()) {
        QCoreApplication::postEvent(target_.data(), new CRxMessageEvent(handler));
    }
}

void PostRefreshTick(QObject* target) {
    if (target != nullptr) {
        QCoreApplication::postEvent(target, new CRefreshTickEvent);
    }
}

}  // namespace zarnmon
