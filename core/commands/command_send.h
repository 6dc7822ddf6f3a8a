#pragma once

// Sending a command the user typed, as the command page does it, and the
// bookkeeping around it: the run's history of sent commands, the window in
// which replies still belong to the send, and whether a reply line answers it.
//
// A typed command goes out cut at its first line end with one carriage return
// appended; a "$J4STRING" (which also saves the configuration) always goes out
// behind a "$JOFF" that silences the port first. Every command is first shown
// to the dispatcher, so a rate chosen by hand becomes the rate kept up.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/command_sender.h"

namespace zarnmon {

class CMsgDispatcher;

inline constexpr std::string_view kInvalidEntry = "Invalid Entry";
inline constexpr std::string_view kMessageSent = "Message Sent";
// How long after a send the reply box shows the replies, in milliseconds.
inline constexpr std::uint32_t kReplyWindowMs = 6000;

// The typed command cut before its first carriage return or line feed.
[[nodiscard]] std::string_view CutAtLineEnd(std::string_view typed);

// The bytes that go to the receiver for a cut command: "$JOFF\r" in front when its upper-case form
// contains "$J4S", and a carriage return appended.
[[nodiscard]] std::string WireBytes(std::string_view cut);

// Whether a reply arriving at now still belongs to the send at sendTick (32-bit millisecond ticks, wrap-safe):
// now - sendTick < kReplyWindowMs.
[[nodiscard]] bool WithinReplyWindow(std::uint32_t sendTick, std::uint32_t now);

enum class SendOutcome { InvalidEntry, Sent, NotSent };

// Sends a typed command as the command page does: empty -> InvalidEntry and nothing happens; otherwise
// cut at the first line end, handed to dispatcher.AdoptUserCommand, guarded, CR appended and passed to
// sender.Send(bytes, true); Sent when the sender took it, NotSent when it reported a failure.
SendOutcome SendTypedCommand(std::string_view typed, CMsgDispatcher& dispatcher, ICommandSender& sender);

// The sent commands of a run, most recent first, no repeat of the top entry.
class CCommandHistory {
public:
    // Puts typed at the top unless it equals the top entry (exact, case-sensitive); true when it did.
    bool Record(std::string_view typed);
    [[nodiscard]] const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
};

// Whether a reply line acknowledges the command sent: a "$>" reply whose first field is the command's name
// without its '$' (e.g. "$>JSHOW,CONF,..." for "$JSHOW,CONF"), or an acknowledgement line holding ",ACK,"
// followed by that name (e.g. "$PCSI,ACK,JBIN,99,1" for "$JBIN,99,1"); case-insensitive; never an "$>ERR" line.
[[nodiscard]] bool AcknowledgesCommand(std::string_view replyLine, std::string_view sentCommand);

}  // namespace zarnmon
