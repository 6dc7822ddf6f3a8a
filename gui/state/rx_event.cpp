#include "gui/state/rx_event.h"

#include <algorithm>

namespace zarnmon {

QEvent::Type CRxMessageEvent::Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void CRxMessageEvent::Taken() const {
    if (waiting_) {
        std::erase(*waiting_, handler_);
        waiting_.reset();
    }
}

QEvent::Type CRefreshTickEvent::Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void CRxEventPoster::PostRxMessage(std::uint32_t message, std::uint32_t /*wParam*/, const CMsgHandler* handler) {
    // A window that is already gone has nothing to update.
    if (message != WM_RX_MESSAGE || target_.isNull()) {
        return;
    }
    if (delivery_ == RxDelivery::EveryMessage) {
        QCoreApplication::postEvent(target_.data(), new CRxMessageEvent(handler));
        return;
    }
    if (std::ranges::find(*waiting_, handler) == waiting_->end()) {
        waiting_->push_back(handler);
        QCoreApplication::postEvent(target_.data(), new CRxMessageEvent(handler, waiting_));
    }
}

void PostRefreshTick(QObject* target) {
    if (target != nullptr) {
        QCoreApplication::postEvent(target, new CRefreshTickEvent);
    }
}

}  // namespace zarnmon
