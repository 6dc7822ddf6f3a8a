#pragma once

// Recognisers of the receiver's text lines: NMEA sentences, RTCM in printable
// form, command replies, debug ("$RX,") and L-band diagnostic ("$RD1,") lines
// and beacon replies.
//
// A line starts with one of the handler's prefixes and ends with CR LF. Text
// and binary messages both start with "$", so prefixes are compared over
// their full length before a line is claimed. A line that does not end within
// the 1024-byte capacity is delivered cut there; the dispatcher then drops the
// remainder byte by byte unless it happens to start another message.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/link/gps_time.h"
#include "core/link/msg_handler.h"

namespace zarnmon {

class CTextMsgHandler : public CMsgHandler {
public:
    static constexpr std::uint32_t kCapacity = 1024;
    static constexpr int kMaxPrefixes = 8;
    static constexpr std::size_t kPrefixSlot = 24;

    // prefixList: the first character separates the prefixes that follow it, e.g.
    // "*$G*$H*$P"; empty pieces are skipped. All prefixes are compared over
    // the length of the first.
    CTextMsgHandler(std::string_view name, std::string_view prefixList, std::string_view terminator,
                    const ITickClock& clock);

    bool TryStart(CMsgStream& stream, CMsgHandler*& owner) override;
    bool Continue(CMsgStream& stream) override;
    [[nodiscard]] std::int32_t MinimumBytes() const override { return prefixLength_; }
    [[nodiscard]] int PatternCount() const override { return prefixCount_; }
    [[nodiscard]] std::span<const std::uint8_t> Pattern(int i) const override;

    // Field n of the last line (field 0 runs up to the first comma). Null
    // when the line has fewer than n commas; an empty field gives "".
    const char* GetField(int n, char* dst, std::size_t max) const;

    [[nodiscard]] std::uint32_t FinalLength() const { return finalLength_; }
    [[nodiscard]] int PrefixCount() const { return prefixCount_; }
    [[nodiscard]] std::string_view Prefix(int i) const;

protected:
    // Drops a trailing CR LF from the stored last line (the history keeps it).
    void StripLineEnd();
    // The stored last line as text, up to its terminating 0.
    [[nodiscard]] std::string_view LastLine() const;

private:
    std::array<std::array<char, kPrefixSlot>, kMaxPrefixes> prefixes_{};
    int prefixCount_ = 0;
    std::int32_t prefixLength_ = 0;
    int current_ = 0;
    std::array<std::uint8_t, 8> terminator_{};
    std::int32_t terminatorLength_ = 0;
    std::uint32_t finalLength_ = 0;
};

// NMEA sentences. A proprietary "$PC…" line holding ",ACK" acknowledges a
// command: it goes to the linked beacon-reply handler instead. Further "$PC…"
// lines within 10 s of an acknowledgement go there as well as being kept here.
class CNmeaHandler final : public CTextMsgHandler {
public:
    static constexpr std::uint32_t kAckWindowMs = 10000;

    explicit CNmeaHandler(const ITickClock& clock);
    bool Validate(std::span<const std::uint8_t> assembled) override;
    [[nodiscard]] std::uint32_t LastAckTick() const { return lastAck_; }

private:
    std::uint32_t lastAck_ = 0;
};

// "$RX,k,…" debug lines, filed by their number k (0..31) into slots that
// survive a reconnect; their counters do not.
class CRxHandler final : public CTextMsgHandler {
public:
    static constexpr int kSlots = 33;
    static constexpr int kFiledSlots = 32;

    explicit CRxHandler(const ITickClock& clock);
    void Publish() override;
    void Clear() override;

    [[nodiscard]] std::string_view RxSlot(int k) const;
    [[nodiscard]] std::uint32_t RxCount(int k) const;

private:
    std::array<std::string, kSlots> slots_{};
    std::array<std::uint32_t, kSlots> counts_{};
};

// "$RD1," L-band receiver diagnostics.
class CRd1Handler final : public CTextMsgHandler {
public:
    CRd1Handler(const ITickClock& clock, const CGpsUtcOffset& offset);
    void Publish() override;

    // UTC date-time text of the line's week (field 2) and time of week (field 1).
    [[nodiscard]] std::string Rd1Time() const;
    // Bit error rate, field 5: of a dual "a-b" value the smaller.
    [[nodiscard]] std::int32_t Rd1Ber() const;
    [[nodiscard]] bool Rd1HasDualBer() const;

private:
    const CGpsUtcOffset& offset_;
};

}  // namespace zarnmon
