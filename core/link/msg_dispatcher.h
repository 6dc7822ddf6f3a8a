#pragma once

// Divides the receiver's byte stream into messages.
//
// Chunks of any size arrive through Feed. The handler that is assembling a
// message gets the new bytes first; otherwise the front of the stream is
// offered to the handlers in slot order, so earlier slots win when two could
// claim the same bytes. Bytes no handler claims are dropped one at a time and
// counted. Besides framing, the dispatcher keeps per slot the receiver
// commands that switch the message on and off and the bookkeeping that
// decides whether a message is flowing (arrived, or switched on by hand,
// within the last 6 s) and rate-limits automatic requests to one per 5 s.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "core/link/bin_msg_handler.h"
#include "core/link/command_sender.h"
#include "core/link/gps_time.h"
#include "core/link/msg_stream.h"
#include "core/link/start_index.h"
#include "core/link/text_msg_handler.h"
#include "core/link/tick_clock.h"

namespace zarnmon {

// The handler slots of the dispatcher's table.
namespace Slots {
enum : int {
    NmeaHandler = 0,
    RtcmHandler = 1,
    ReplyHandler = 2,
    Msg1 = 3,
    Msg2 = 4,
    Msg99 = 5,
    Msg98 = 6,
    Msg97 = 7,
    Msg96 = 8,
    Msg95 = 9,
    Msg94 = 10,
    Msg93 = 11,
    Msg80 = 12,
    Msg91 = 13,
    Msg100 = 14,
    Msg71 = 15,
    Msg76 = 16,
    Msg89 = 17,
    RxHandler = 18,
    Rd1Handler = 19,
    BeaconReplyHandler = 20,
    Count = 21,
};
}  // namespace Slots

class CMsgDispatcher {
public:
    static constexpr int kMaxSlots = 32;
    static constexpr std::uint32_t kActiveMs = 6000;
    static constexpr std::uint32_t kCheckIntervalMs = 5000;

    // Builds the handler table and its commands.
    explicit CMsgDispatcher(const ITickClock& clock);
    ~CMsgDispatcher();
    CMsgDispatcher(const CMsgDispatcher&) = delete;
    CMsgDispatcher& operator=(const CMsgDispatcher&) = delete;

    // Where enable and disable commands go; null until a main frame exists.
    void SetSender(ICommandSender* sender) { sender_ = sender; }
    [[nodiscard]] ICommandSender* Sender() const { return sender_; }
    // Sees every stored message as it is stored (headless recorders).
    void SetStoreTap(IStoreTap* tap);

    void Feed(std::span<const std::uint8_t> bytes);
    void Feed(const std::uint8_t* bytes, std::int32_t n) { Feed({bytes, static_cast<std::size_t>(std::max(n, 0))}); }
    // Forgets held bytes, the byte and message counts and any half-assembled message.
    void Reset();
    // The link came back after a loss. A message the loss cut short can never
    // be completed: its bytes are dropped and counted. The receiver may have
    // restarted with its messages off (one powered by its USB cable does), so
    // every message that is kept on is asked for again at its next check,
    // even while it still counts as flowing.
    void Resume();
    // Clears every handler's stored messages (which notifies subscribers).
    void ClearAll();
    // Every handler keeps its subscribers waiting, or tells them again.
    void SetQuiet(bool quiet);
    // Every handler tells its subscribers once.
    void AnnounceAll() const;

    [[nodiscard]] bool IsActive(int slot, bool strict) const;
    void SendEnable(int slot, bool on, bool interactive);
    void SendDisable(int slot, bool interactive);
    void EnsureState(int slot, bool on, bool interactive);
    // A rate the user chooses by hand becomes the rate that is kept up.
    void AdoptUserCommand(std::string_view command);

    [[nodiscard]] int HandlerCount() const { return handlerCount_; }
    [[nodiscard]] CMsgHandler& Handler(int slot) const { return *table_.at(static_cast<std::size_t>(slot)); }
    // The slot of a handler of this table, or -1.
    [[nodiscard]] int SlotOf(const CMsgHandler* handler) const;
    [[nodiscard]] CNmeaHandler& Nmea() const { return *nmea_; }
    [[nodiscard]] CRxHandler& Rx() const { return *rx_; }
    [[nodiscard]] CRd1Handler& Rd1() const { return *rd1_; }
    [[nodiscard]] CMsg98Handler& AlmanacHandler() const { return *msg98_; }
    [[nodiscard]] const std::string& EnableCommand(int slot) const {
        return enable_.at(static_cast<std::size_t>(slot));
    }
    [[nodiscard]] const std::string& DisableCommand(int slot) const {
        return disable_.at(static_cast<std::size_t>(slot));
    }

    [[nodiscard]] std::uint32_t DroppedBytes() const { return dropped_; }
    // Bytes fed since the last Reset, whatever became of them.
    [[nodiscard]] std::uint64_t ReceivedBytes() const { return received_; }
    // When EnsureState last asked for the slot's message to be on (0: never,
    // or asked or sent off since): a message someone keeps on should keep arriving.
    [[nodiscard]] std::uint32_t LastKeepOnTick(int slot) const {
        return ValidSlot(slot) ? lastKeepOn_[static_cast<std::size_t>(slot)] : 0;
    }
    [[nodiscard]] const CMsgHandler* Owner() const { return owner_; }
    [[nodiscard]] std::int32_t LargestMinimumBytes() const { return largestMinimum_; }
    [[nodiscard]] CGpsUtcOffset& GpsUtcOffset() { return gpsUtcOffset_; }
    [[nodiscard]] const CGpsUtcOffset& GpsUtcOffset() const { return gpsUtcOffset_; }
    [[nodiscard]] const CMsgStream& Stream() const { return stream_; }

private:
    void Install(int slot, std::unique_ptr<CMsgHandler> handler, std::string_view enable, std::string_view disable);
    // Feeds bytes that fit into the stream's free space.
    void FeedOnce(std::span<const std::uint8_t> bytes);
    // Offers the front of the stream to every handler once; true if one claimed it.
    bool OfferToHandlers();
    bool SendCommand(int slot, const std::string& command, bool interactive, std::uint32_t& lastTick);
    [[nodiscard]] bool ValidSlot(int slot) const { return slot >= 0 && slot < handlerCount_; }

    const ITickClock& clock_;
    ICommandSender* sender_ = nullptr;
    CGpsUtcOffset gpsUtcOffset_;
    CMsgStream stream_;
    std::array<std::unique_ptr<CMsgHandler>, kMaxSlots> table_{};
    std::array<std::string, kMaxSlots> enable_{};
    std::array<std::string, kMaxSlots> disable_{};
    std::array<std::uint32_t, kMaxSlots> lastEnable_{};
    std::array<std::uint32_t, kMaxSlots> lastDisable_{};
    std::array<std::uint32_t, kMaxSlots> lastCheck_{};
    std::array<bool, kMaxSlots> askAgain_{};
    std::array<std::uint32_t, kMaxSlots> lastKeepOn_{};
    CStartIndex startIndex_;
    int handlerCount_ = 0;
    std::int32_t largestMinimum_ = 0;
    std::uint32_t dropped_ = 0;
    std::uint64_t received_ = 0;
    CMsgHandler* owner_ = nullptr;
    CNmeaHandler* nmea_ = nullptr;
    CRxHandler* rx_ = nullptr;
    CRd1Handler* rd1_ = nullptr;
    CMsg98Handler* msg98_ = nullptr;
};

}  // namespace zarnmon
