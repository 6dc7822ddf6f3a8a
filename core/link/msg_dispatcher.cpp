#include "core/link/msg_dispatcher.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <utility>

#include "core/link/bin_catalogue.h"
#include "core/link/scan.h"

namespace zarnmon {

namespace {

constexpr std::uint32_t kNotSent = 0xFFFFFFFF;

struct SlotCommands {
    int slot;
    std::string_view enable;
    std::string_view disable;
};

// Message 93 (WAAS ephemeris) comes with message 95, so slot 11 uses its commands.
constexpr std::array<SlotCommands, Slots::Count> kCommands = {{
    {Slots::NmeaHandler, "$JASC,GPGGA,1\r", "$JASC,GPGGA,0\r"},
    {Slots::RtcmHandler, "$JASC,RTCM,1\r", "$JASC,RTCM,0\r"},
    {Slots::ReplyHandler, "", ""},
    {Slots::Msg1, "$JBIN,1,1\r", "$JBIN,1,0\r"},
    {Slots::Msg2, "$JBIN,2,1\r", "$JBIN,2,0\r"},
    {Slots::Msg99, "$JBIN,99,1\r", "$JBIN,99,0\r"},
    {Slots::Msg98, "$JBIN,98,1\r", "$JBIN,98,0\r"},
    {Slots::Msg97, "$JBIN,97,1\r", "$JBIN,97,0\r"},
    {Slots::Msg96, "$JBIN,96,1\r", "$JBIN,96,0\r"},
    {Slots::Msg95, "$JBIN,95,1\r", "$JBIN,95,0\r"},
    {Slots::Msg94, "$JBIN,94,1\r", "$JBIN,94,0\r"},
    {Slots::Msg93, "$JBIN,95,1\r", "$JBIN,95,0\r"},
    {Slots::Msg80, "$JBIN,80,1\r", "$JBIN,80,0\r"},
    {Slots::Msg91, "$JBIN,91,1\r", "$JBIN,91,0\r"},
    {Slots::Msg100, "$JBIN,100,1\r", "$JBIN,100,0\r"},
    {Slots::Msg71, "$JBIN,71,1\r", "$JBIN,71,0\r"},
    {Slots::Msg76, "$JBIN,76,1\r", "$JBIN,76,0\r"},
    {Slots::Msg89, "$JBIN,89,1\r", "$JBIN,89,0\r"},
    {Slots::RxHandler, "$JASC,X,1\r", "$JASC,X,0\r"},
    {Slots::Rd1Handler, "$JASC,D1,1\r", "$JASC,D1,0\r"},
    {Slots::BeaconReplyHandler, "", ""},
}};

std::uint32_t Since(std::uint32_t now, std::uint32_t tick) { return tick == 0 ? kNotSent : now - tick; }

// Slots first..31 of the handler table.
CStartIndex::SlotMask SlotsFrom(int first) {
    return first >= CStartIndex::kMaxSlots ? 0 : ~CStartIndex::SlotMask{0} << first;
}

}  // namespace

CMsgDispatcher::CMsgDispatcher(const ITickClock& clock) : clock_(clock) {
    auto nmea = std::make_unique<CNmeaHandler>(clock);
    nmea_ = nmea.get();
    auto rx = std::make_unique<CRxHandler>(clock);
    rx_ = rx.get();
    auto rd1 = std::make_unique<CRd1Handler>(clock, gpsUtcOffset_);
    rd1_ = rd1.get();
    auto msg98 = std::make_unique<CMsg98Handler>(clock);
    msg98_ = msg98.get();

    const auto install = [this](int slot, std::unique_ptr<CMsgHandler> handler) {
        const auto& commands = kCommands[static_cast<std::size_t>(slot)];
        Install(slot, std::move(handler), commands.enable, commands.disable);
    };
    install(Slots::NmeaHandler, std::move(nmea));
    install(Slots::RtcmHandler, std::make_unique<CTextMsgHandler>("RtcmHandler", "*Y~*fA", "\r\n", clock));
    install(Slots::ReplyHandler, std::make_unique<CTextMsgHandler>("ReplyHandler", "*$>", "\r\n", clock));
    int slot = Slots::Msg1;
    for (const MessageLayout& layout : Catalogue()) {
        if (layout.id == 98) {
            install(slot++, std::move(msg98));
        } else if (layout.id == 2 || layout.id == 99) {
            install(slot++, std::make_unique<CGpsUtcBinHandler>(layout.handlerName, layout.id, layout.length, clock,
                                                                gpsUtcOffset_));
        } else {
            install(slot++, std::make_unique<CBinMsgHandler>(layout.handlerName, layout.id, layout.length,
                                                             layout.hasHistory, clock));
        }
    }
    install(Slots::RxHandler, std::move(rx));
    install(Slots::Rd1Handler, std::move(rd1));
    install(Slots::BeaconReplyHandler, std::make_unique<CTextMsgHandler>("BeaconReplyHandler", "*$C", "\r\n", clock));

    nmea_->SetLinked(table_[Slots::BeaconReplyHandler].get());
}

CMsgDispatcher::~CMsgDispatcher() = default;

void CMsgDispatcher::Install(int slot, std::unique_ptr<CMsgHandler> handler, std::string_view enable,
                             std::string_view disable) {
    const auto index = static_cast<std::size_t>(slot);
    largestMinimum_ = std::max(largestMinimum_, handler->MinimumBytes());
    for (int i = 0; i < handler->PatternCount(); ++i) {
        startIndex_.Add(slot, handler->Pattern(i));
    }
    table_[index] = std::move(handler);
    enable_[index] = enable;
    disable_[index] = disable;
    handlerCount_ = std::max(handlerCount_, slot + 1);
}

void CMsgDispatcher::SetStoreTap(IStoreTap* tap) {
    for (int slot = 0; slot < handlerCount_; ++slot) {
        Handler(slot).SetStoreTap(tap);
    }
}

void CMsgDispatcher::Feed(std::span<const std::uint8_t> bytes) {
    received_ += bytes.size();
    // A pass leaves at most a few bytes in the stream, so a chunk larger than
    // the free space is taken in pieces rather than cut.
    do {
        const auto n = std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(std::max(stream_.Free(), 1)));
        FeedOnce(bytes.first(n));
        bytes = bytes.subspan(n);
    } while (!bytes.empty());
}

void CMsgDispatcher::FeedOnce(std::span<const std::uint8_t> bytes) {
    stream_.Append(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    if (owner_ != nullptr && !owner_->Continue(stream_)) {
        owner_ = nullptr;
    }
    if (owner_ != nullptr) {
        return;
    }
    for (;;) {
        if (stream_.Count() < 2) {
            return;
        }
        // Bytes that start no message are dropped in a run: no handler would
        // claim them, so this is the byte-at-a-time rule without the passes.
        if (!startIndex_.CanStart(stream_.Front())) {
            const std::int32_t droppable = stream_.Count() - largestMinimum_ + 1;
            if (droppable <= 0) {
                return;
            }
            const auto run =
                stream_.CountLeading(droppable, [this](std::uint8_t b) { return !startIndex_.CanStart(b); });
            dropped_ += static_cast<std::uint32_t>(stream_.Drop(run));
            continue;
        }
        bool claimed = false;
        do {
            claimed = OfferToHandlers();
            if (owner_ != nullptr) {
                return;
            }
        } while (claimed);
        if (stream_.Count() < largestMinimum_) {
            return;
        }
        stream_.DropOne();
        ++dropped_;
    }
}

bool CMsgDispatcher::OfferToHandlers() {
    // One pass in slot order. Handlers that cannot claim the front bytes are
    // skipped: they would refuse them. After a claim the front has changed,
    // so the remaining slots are looked up again.
    bool claimed = false;
    CStartIndex::SlotMask pending = startIndex_.Candidates(stream_) & SlotsFrom(0);
    while (pending != 0) {
        const int slot = std::countr_zero(pending);
        pending &= pending - 1;
        if (!table_[static_cast<std::size_t>(slot)]->TryStart(stream_, owner_)) {
            continue;
        }
        claimed = true;
        if (owner_ != nullptr) {
            return true;
        }
        pending = startIndex_.Candidates(stream_) & SlotsFrom(slot + 1);
    }
    return claimed;
}

void CMsgDispatcher::Reset() {
    stream_.Empty();
    dropped_ = 0;
    received_ = 0;
    owner_ = nullptr;
    for (int slot = 0; slot < handlerCount_; ++slot) {
        Handler(slot).ResetAssembly();
        Handler(slot).ResetCounts();
    }
    askAgain_.fill(false);
}

void CMsgDispatcher::Resume() {
    std::uint32_t cut = static_cast<std::uint32_t>(stream_.Count());
    if (owner_ != nullptr) {
        cut += owner_->AssembledLength();
    }
    const std::uint32_t dropped = dropped_ + cut;
    Reset();
    dropped_ = dropped;
    lastCheck_.fill(0);
    askAgain_.fill(true);
}

void CMsgDispatcher::ClearAll() {
    for (int slot = 0; slot < handlerCount_; ++slot) {
        Handler(slot).Clear();
    }
}

void CMsgDispatcher::SetQuiet(bool quiet) {
    for (int slot = 0; slot < handlerCount_; ++slot) {
        Handler(slot).SetQuiet(quiet);
    }
}

void CMsgDispatcher::AnnounceAll() const {
    for (int slot = 0; slot < handlerCount_; ++slot) {
        Handler(slot).Announce();
    }
}

int CMsgDispatcher::SlotOf(const CMsgHandler* handler) const {
    for (int slot = 0; slot < handlerCount_; ++slot) {
        if (table_[static_cast<std::size_t>(slot)].get() == handler) {
            return slot;
        }
    }
    return -1;
}

bool CMsgDispatcher::IsActive(int slot, bool strict) const {
    if (!ValidSlot(slot)) {
        return false;
    }
    const auto index = static_cast<std::size_t>(slot);
    const bool arriving = Handler(slot).AgeMs() < kActiveMs;
    if (strict) {
        return arriving;
    }
    const std::uint32_t now = clock_.Now();
    const std::uint32_t sinceEnable = Since(now, lastEnable_[index]);
    const std::uint32_t sinceDisable = Since(now, lastDisable_[index]);
    if (sinceEnable < kActiveMs && sinceEnable < sinceDisable) {
        return true;
    }
    if (sinceDisable < kActiveMs && sinceDisable < sinceEnable) {
        return false;
    }
    return arriving;
}

bool CMsgDispatcher::SendCommand(int slot, const std::string& command, bool interactive, std::uint32_t& lastTick) {
    // Slots without an enable command (the reply handlers) are never switched.
    if (sender_ == nullptr || enable_[static_cast<std::size_t>(slot)].empty()) {
        return false;
    }
    const bool sent = sender_->Send(command, interactive);
    // Only a command the user asked for counts as recent: an automatic
    // request that goes unanswered is repeated at the next check.
    if (sent && interactive) {
        lastTick = StampOf(clock_.Now());
    }
    return sent;
}

void CMsgDispatcher::SendEnable(int slot, bool on, bool interactive) {
    if (!on) {
        SendDisable(slot, interactive);
        return;
    }
    if (ValidSlot(slot)) {
        const auto index = static_cast<std::size_t>(slot);
        SendCommand(slot, enable_[index], interactive, lastEnable_[index]);
    }
}

void CMsgDispatcher::SendDisable(int slot, bool interactive) {
    if (ValidSlot(slot)) {
        const auto index = static_cast<std::size_t>(slot);
        // Whoever still needs it asks again on its next round.
        lastKeepOn_[index] = 0;
        SendCommand(slot, disable_[index], interactive, lastDisable_[index]);
    }
}

void CMsgDispatcher::EnsureState(int slot, bool on, bool interactive) {
    if (!ValidSlot(slot)) {
        return;
    }
    // Every caller that needs the message asks for it again and again, so the
    // wish is recorded before the rate limit.
    lastKeepOn_[static_cast<std::size_t>(slot)] = on ? StampOf(clock_.Now()) : 0;
    if (!interactive) {
        auto& lastCheck = lastCheck_[static_cast<std::size_t>(slot)];
        const std::uint32_t now = clock_.Now();
        if (lastCheck != 0 && now - lastCheck < kCheckIntervalMs) {
            return;
        }
        lastCheck = StampOf(now);
    }
    const bool active = IsActive(slot, false);
    const bool askAgain = std::exchange(askAgain_[static_cast<std::size_t>(slot)], false);
    if (on && (!active || askAgain)) {
        SendEnable(slot, true, interactive);
    } else if (!on && active) {
        SendDisable(slot, interactive);
    }
}

void CMsgDispatcher::AdoptUserCommand(std::string_view command) {
    const auto start = command.find_first_not_of(" \t\r\n\v\f");
    if (start == std::string_view::npos) {
        return;
    }
    command.remove_prefix(start);
    std::string copy(command.substr(0, command.find_first_of("\r\n")));
    std::ranges::transform(copy, copy.begin(),
                           [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });

    // Commands for the receiver's other port leave the table alone.
    if (copy.find("OTHER") != std::string::npos || copy.find("PORT") != std::string::npos) {
        return;
    }
    const auto lastComma = copy.rfind(',');
    if (lastComma != std::string::npos && lastComma > 0 && lastComma + 1 < copy.size() && copy[lastComma + 1] == 'O') {
        return;
    }
    for (int slot = 0; slot < handlerCount_; ++slot) {
        auto& enable = enable_[static_cast<std::size_t>(slot)];
        const auto p = enable.rfind(',');
        if (p == std::string::npos || p == 0) {
            continue;
        }
        // The copy must name the same message up to and including that comma:
        // "$JBIN,123,5" is not a rate for "$JBIN,1".
        if (copy.size() <= p || copy.compare(0, p, enable, 0, p) != 0 || copy[p] != ',') {
            continue;
        }
        const double rate = ScanDouble(std::string_view(copy).substr(p + 1)).value_or(0.0);
        if (rate != 0.0) {
            enable = copy + '\r';
        }
    }
}

}  // namespace zarnmon
