#pragma once

// The phase log: the raw measurement and ephemeris frames (messages 95, 76,
// 96, 93 and 94), each exactly as received and checksum-verified.
//
// Frames are read from the five handlers' 16-entry histories, not from the
// last message, so none is missed when several arrive between two
// notifications; a reader overtaken by more than 16 frames writes the 16 it
// still finds. A history slot that does not verify is skipped. Opening the
// log switches on messages 94, 95 and 76 when they are not flowing, and
// closing it switches off only those it switched on itself. Frames are
// flushed after each notification; a failed write closes the log and leaves
// one failure to report.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/link/msg_dispatcher.h"
#include "core/state/log_file.h"

namespace zarnmon {

class CPhaseLog {
public:
    explicit CPhaseLog(CMsgDispatcher& dispatcher);

    // Opens path (truncated), then switches on what is not flowing and
    // starts each reader at its handler's next history slot, so only frames
    // from now on are written. False when the file cannot be opened.
    bool Start(const std::string& path);
    // Closes the file and switches off what Start switched on.
    void Stop();

    // The reaction to one message notification.
    void OnMessage(const CMsgHandler& handler);
    // A message the log already has (a replay going over it again): the
    // reader moves past it and nothing is written.
    void PassOver(const CMsgHandler& handler);

    [[nodiscard]] bool IsOpen() const noexcept { return file_.IsOpen(); }
    // Message 94 stops being asked for once one was logged.
    [[nodiscard]] bool Msg94Seen() const noexcept { return msg94Seen_; }
    [[nodiscard]] bool EnabledByUs(int slot) const noexcept;
    [[nodiscard]] std::uint64_t FramesWritten() const noexcept { return frames_; }
    [[nodiscard]] const CLogFile& File() const noexcept { return file_; }
    [[nodiscard]] std::optional<LogFailure> TakeFailure() { return file_.TakeFailure(); }

private:
    // The slots the log switches on, in the order it does so.
    static constexpr std::array<int, 3> kEnabledSlots{Slots::Msg94, Slots::Msg95, Slots::Msg76};
    // The slots it reads, each with a reader index.
    static constexpr std::array<int, 5> kReadSlots{Slots::Msg96, Slots::Msg95, Slots::Msg94, Slots::Msg93,
                                                   Slots::Msg76};

    // The reader index of a handler the log reads, else null.
    [[nodiscard]] int* ReaderOf(const CMsgHandler& handler);

    CMsgDispatcher& dispatcher_;
    CLogFile file_{"bin"};
    std::array<bool, kEnabledSlots.size()> enabledByUs_{};
    std::array<int, kReadSlots.size()> readers_{};
    bool msg94Seen_ = false;
    std::uint64_t frames_ = 0;
};

}  // namespace zarnmon
