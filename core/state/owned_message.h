#pragma once

// A message that a view switches on while it is open and off again when it
// closes, if the view was the one that turned it on: a message that was
// already flowing when the view first asked (for the data log, another
// view, or sent by hand) keeps flowing after the view closes. Nor does a
// closing view switch off a message that another window still listens to;
// that window keeps it on by itself.

#include "core/link/msg_dispatcher.h"

namespace zarnmon {

class COwnedMessage {
public:
    COwnedMessage(CMsgDispatcher& dispatcher, int slot) : dispatcher_(dispatcher), slot_(slot) {}

    // The keep-alive tick with auto-configure on: notes whether the message
    // had stopped, then asks for it.
    void KeepOn();
    // The view closes while still subscribed to the message's handler.
    void Release(bool autoConfigure);
    [[nodiscard]] bool TurnedOnHere() const { return turnedOnHere_; }

private:
    CMsgDispatcher& dispatcher_;
    int slot_;
    bool turnedOnHere_ = false;
};

}  // namespace zarnmon
