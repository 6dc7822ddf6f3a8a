#include "core/commands/command_send.h"

#include "core/commands/ascii_case.h"
#include "core/commands/command_catalogue.h"
#include "core/link/msg_dispatcher.h"

namespace zarnmon {

namespace {

constexpr std::string_view kQuietPort = "$JOFF\r";
constexpr std::string_view kReplyPrefix = "$>";
constexpr std::string_view kAckMarker = ",ACK,";
constexpr std::string_view kErrorReply = "ERR";

// The field at the front of text, up to a comma, a checksum star or the line end.
std::string_view LeadingField(std::string_view text) { return text.substr(0, text.find_first_of(",*\r\n")); }

// The command's name as the receiver echoes it: without the '$'.
std::string_view EchoedName(std::string_view sentCommand) {
    const auto start = sentCommand.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return {};
    }
    std::string_view name = CommandName(CutAtLineEnd(sentCommand.substr(start)));
    if (name.starts_with('$')) {
        name.remove_prefix(1);
    }
    return name;
}

}  // namespace

std::string_view CutAtLineEnd(std::string_view typed) { return typed.substr(0, typed.find_first_of("\r\n")); }

std::string WireBytes(std::string_view cut) {
    std::string bytes;
    if (UpperAscii(cut).find("$J4S") != std::string::npos) {
        bytes = kQuietPort;
    }
    bytes.append(cut);
    bytes.push_back('\r');
    return bytes;
}

bool WithinReplyWindow(std::uint32_t sendTick, std::uint32_t now) {
    // Unsigned subtraction keeps the age right across the 32-bit wrap.
    return now - sendTick < kReplyWindowMs;
}

SendOutcome SendTypedCommand(std::string_view typed, CMsgDispatcher& dispatcher, ICommandSender& sender) {
    if (typed.empty()) {
        return SendOutcome::InvalidEntry;
    }
    const std::string_view cut = CutAtLineEnd(typed);
    dispatcher.AdoptUserCommand(cut);
    return sender.Send(WireBytes(cut), true) ? SendOutcome::Sent : SendOutcome::NotSent;
}

bool CCommandHistory::Record(std::string_view typed) {
    if (!entries_.empty() && entries_.front() == typed) {
        return false;
    }
    entries_.emplace(entries_.begin(), typed);
    return true;
}

bool AcknowledgesCommand(std::string_view replyLine, std::string_view sentCommand) {
    const std::string_view name = EchoedName(sentCommand);
    if (name.empty()) {
        return false;
    }
    if (replyLine.starts_with(kReplyPrefix)) {
        const std::string_view field = LeadingField(replyLine.substr(kReplyPrefix.size()));
        return !EqualsNoCase(field, kErrorReply) && EqualsNoCase(field, name);
    }
    const auto ack = UpperAscii(replyLine).find(kAckMarker);
    return ack != std::string::npos && EqualsNoCase(LeadingField(replyLine.substr(ack + kAckMarker.size())), name);
}

}  // namespace zarnmon
