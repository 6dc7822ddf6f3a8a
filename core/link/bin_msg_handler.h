#pragma once

// Recogniser of one binary message: "$BIN", a 16-bit id and a 16-bit data
// length N, N data bytes, their 16-bit sum and CR LF.
//
// The 8-byte header is the signature: id and length must both match, so a
// known id with another length is left for the dispatcher to drop. Once the
// header is seen the handler owns the stream until N + 12 bytes have arrived,
// whatever they are; the frame check then decides. A frame that fails it is
// consumed, counted and forgotten, but still stamps the arrival time, so a
// stream of damaged frames keeps the message counted as flowing.

#include <array>
#include <cstdint>
#include <string_view>

#include "core/link/bin_catalogue.h"
#include "core/link/gps_time.h"
#include "core/link/msg_handler.h"

namespace zarnmon {

class CBinMsgHandler : public CMsgHandler {
public:
    static constexpr std::uint32_t kHeaderSize = 8;
    static constexpr std::uint32_t kFrameOverhead = 12;

    CBinMsgHandler(std::string_view name, std::uint16_t id, std::uint16_t length, bool hasHistory,
                   const ITickClock& clock);

    bool TryStart(CMsgStream& stream, CMsgHandler*& owner) override;
    bool Continue(CMsgStream& stream) override;
    bool Validate(std::span<const std::uint8_t> assembled) override;
    [[nodiscard]] std::int32_t MinimumBytes() const override { return kHeaderSize; }
    [[nodiscard]] int PatternCount() const override { return 1; }
    [[nodiscard]] std::span<const std::uint8_t> Pattern(int /*i*/) const override { return signature_; }

    [[nodiscard]] std::uint16_t Id() const { return id_; }
    [[nodiscard]] std::uint16_t DataLength() const { return length_; }

private:
    std::uint16_t id_;
    std::uint16_t length_;
    std::array<std::uint8_t, kHeaderSize> signature_{};
};

// Messages 2 and 99 carry the GPS-UTC offset, which every time display uses.
class CGpsUtcBinHandler final : public CBinMsgHandler {
public:
    CGpsUtcBinHandler(std::string_view name, std::uint16_t id, std::uint16_t length, const ITickClock& clock,
                      CGpsUtcOffset& offset);
    void Publish() override;

private:
    CGpsUtcOffset& offset_;
};

// Message 98 carries the almanac of eight satellites at a time; the table
// collects all 32 over the run and is never cleared.
class CMsg98Handler final : public CBinMsgHandler {
public:
    explicit CMsg98Handler(const ITickClock& clock);
    void Publish() override;
    [[nodiscard]] const CAlmanacTable& Almanac() const { return almanac_; }

private:
    CAlmanacTable almanac_;
};

}  // namespace zarnmon
