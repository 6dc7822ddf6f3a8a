#pragma once

// The receiver's identification, taken from its "$>JI," reply to "$JI".
//
// The reply is read from the reply handler's history, so a reply that arrives
// between two polls among other "$>" lines is not missed. After a reset the
// first poll only catches up with the history: replies that were already
// there belong to an earlier connection.

#include <cstdint>
#include <string>

#include "core/link/msg_handler.h"

namespace zarnmon {

class CReceiverInfo {
public:
    CReceiverInfo() { infoLine_.reserve(CMsgHandler::kHistorySize * 64); }

    // Reads the reply handler's history entries that are new since the last poll.
    void Poll(const CMsgHandler& replyHandler);
    // On connect, and when the receiver has been silent too long.
    void Reset();

    [[nodiscard]] const std::string& InfoLine() const { return infoLine_; }
    [[nodiscard]] const std::string& ReceiverId() const { return receiverId_; }
    [[nodiscard]] double ArmVersion() const { return armVersion_; }
    [[nodiscard]] bool Known() const { return !infoLine_.empty(); }
    // The "$JI" request's own bookkeeping (how long since a reply was asked for).
    [[nodiscard]] int Staleness() const { return staleness_; }
    void SetStaleness(int staleness) { staleness_ = staleness; }

    // Takes one "$>JI," line: the 2nd piece is the receiver id and the 8th the
    // ARM software version; runs of commas count as one separator.
    void TakeReply(std::string_view line);

private:
    std::string infoLine_;
    std::string receiverId_;
    double armVersion_ = 0.0;
    int index_ = 0;
    int staleness_ = 1;
};

}  // namespace zarnmon
