#include "core/state/owned_message.h"

namespace zarnmon {

void COwnedMessage::KeepOn() {
    if (!dispatcher_.IsActive(slot_, true)) {
        turnedOnHere_ = true;
    }
    dispatcher_.EnsureState(slot_, true, false);
}

void COwnedMessage::Release(bool autoConfigure) {
    // The closing view's own subscription is still counted.
    const bool othersListen = dispatcher_.Handler(slot_).SubscriberCount() > 1;
    if (autoConfigure && turnedOnHere_ && !othersListen) {
        dispatcher_.SendDisable(slot_, false);
    }
    turnedOnHere_ = false;
}

}  // namespace zarnmon
