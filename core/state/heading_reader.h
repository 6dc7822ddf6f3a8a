#pragma once

// Where the heading view gets its heading: the NMEA sentences of the NMEA
// handler's history, read in order from where the history stood when the
// view opened, so none of a burst of sentences is missed however late the
// notification is handled.
//
// Heading sentences ("HEHDT", "GPHDT") win: each one holds course-over-ground
// sentences ("GPVTG") off for the next 20 of them, because a course is only a
// stand-in for a heading (it says nothing while the vehicle stands still).
// A sentence whose first field is empty still counts as heard but leaves the
// heading as it was; a number that is not finite is no heading either.
//
// While nothing usable arrives, every sixth refresh tick asks the receiver
// for both sentences; closing switches them off again if they were asked for.

#include <cstdint>
#include <string_view>

#include "core/link/command_sender.h"
#include "core/link/msg_handler.h"

namespace zarnmon {

class CHeadingReader {
public:
    static constexpr int kHoldOff = 20;
    static constexpr int kFirstCountdown = 3;
    static constexpr int kCountdown = 5;

    // Reads only what arrives from now on.
    void Start(const CMsgHandler& nmea) { readIndex_ = nmea.HistoryWriteIndex(); }
    // Reads the sentences that arrived since the last call; true when one of
    // them was used.
    bool ReadNew(const CMsgHandler& nmea);
    // Takes one sentence; true when it was used.
    bool Take(std::string_view sentence);

    // The refresh tick: counts down and asks for the sentences at 0. The
    // sender is null while there is no main frame.
    void OnRefreshTick(bool autoConfigure, ICommandSender* sender);
    // The view closes: what was asked for goes off again.
    void OnClose(bool autoConfigure, ICommandSender* sender);

    [[nodiscard]] double Heading() const { return heading_; }
    [[nodiscard]] int HoldOff() const { return holdOff_; }
    [[nodiscard]] int Countdown() const { return countdown_; }
    [[nodiscard]] bool CommandsSent() const { return commandsSent_; }
    [[nodiscard]] int ReadIndex() const { return readIndex_; }

private:
    double heading_ = 0.0;
    int holdOff_ = 0;
    int countdown_ = kFirstCountdown;
    int readIndex_ = 0;
    bool commandsSent_ = false;
};

}  // namespace zarnmon
