#include "core/link/text_msg_handler.h"

#include <algorithm>
#include <cstring>

#include "core/link/scan.h"

namespace zarnmon {

namespace {

const std::uint8_t* Bytes(const char* text) { return reinterpret_cast<const std::uint8_t*>(text); }

// Field n of a comma-separated line, or nullopt when it has fewer than n commas.
std::optional<std::string_view> FieldOf(std::string_view line, int n) {
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        const auto comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            return std::nullopt;
        }
        start = comma + 1;
    }
    const auto end = line.find(',', start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace

CTextMsgHandler::CTextMsgHandler(std::string_view name, std::string_view prefixList, std::string_view terminator,
                                 const ITickClock& clock)
    : CMsgHandler(name, kCapacity, true, clock) {
    if (!prefixList.empty()) {
        const char separator = prefixList.front();
        std::string_view rest = prefixList.substr(1);
        while (!rest.empty() && prefixCount_ < kMaxPrefixes) {
            const auto end = rest.find(separator);
            const auto piece = rest.substr(0, end);
            if (!piece.empty()) {
                auto& slot = prefixes_[static_cast<std::size_t>(prefixCount_++)];
                std::ranges::copy(piece.substr(0, kPrefixSlot - 1), slot.begin());
            }
            rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        }
    }
    prefixLength_ = static_cast<std::int32_t>(Prefix(0).size());
    terminatorLength_ = static_cast<std::int32_t>(std::min(terminator.size(), terminator_.size()));
    std::memcpy(terminator_.data(), terminator.data(), static_cast<std::size_t>(terminatorLength_));
}

std::string_view CTextMsgHandler::Prefix(int i) const {
    if (i < 0 || i >= prefixCount_) {
        return {};
    }
    return prefixes_[static_cast<std::size_t>(i)].data();
}

std::span<const std::uint8_t> CTextMsgHandler::Pattern(int i) const {
    if (i < 0 || i >= prefixCount_) {
        return {};
    }
    return {Bytes(prefixes_[static_cast<std::size_t>(i)].data()), static_cast<std::size_t>(prefixLength_)};
}

bool CTextMsgHandler::TryStart(CMsgStream& stream, CMsgHandler*& owner) {
    owner = nullptr;
    bool matched = false;
    for (current_ = 0; current_ < prefixCount_; ++current_) {
        if (stream.PeekEquals(Bytes(prefixes_[static_cast<std::size_t>(current_)].data()), prefixLength_)) {
            matched = true;
            break;
        }
    }
    if (!matched) {
        return false;
    }
    ResetAssembly();
    Take(stream, static_cast<std::uint32_t>(prefixLength_));
    if (Continue(stream)) {
        owner = this;
    }
    return true;
}

bool CTextMsgHandler::Continue(CMsgStream& stream) {
    const auto assembled = Assembly();
    const auto* prefix = Bytes(prefixes_[static_cast<std::size_t>(current_)].data());
    const auto n = std::min<std::size_t>(assembled.size(), static_cast<std::size_t>(prefixLength_));
    if (!std::equal(assembled.begin(), assembled.begin() + static_cast<std::ptrdiff_t>(n), prefix)) {
        ResetAssembly();
        return false;
    }
    const auto room = static_cast<std::int32_t>(Capacity() - AssembledLength());
    bool found = false;
    if (terminatorLength_ > 0) {
        AddAssembled(stream.ReadUntil(AssemblyEnd(), room, terminator_.data(), terminatorLength_, found));
    } else {
        AddAssembled(stream.Read(AssemblyEnd(), room));
    }
    if (AssembledLength() < Capacity() && !found) {
        return true;
    }
    finalLength_ = AssembledLength();
    Complete();
    return false;
}

const char* CTextMsgHandler::GetField(int n, char* dst, std::size_t max) const {
    if (max == 0) {
        return nullptr;
    }
    dst[0] = 0;
    const auto field = FieldOf(LastLine(), n);
    if (!field) {
        return nullptr;
    }
    const auto len = std::min(field->size(), max - 1);
    std::memcpy(dst, field->data(), len);
    dst[len] = 0;
    return dst;
}

std::string_view CTextMsgHandler::LastLine() const {
    const auto buffer = LastBuffer();
    const auto* begin = reinterpret_cast<const char*>(buffer.data());
    return {begin, ::strnlen(begin, buffer.size())};
}

void CTextMsgHandler::StripLineEnd() {
    auto buffer = LastBufferForUpdate();
    const std::uint32_t len = LastLength();
    if (len > 2 && buffer[len - 2] == '\r' && buffer[len - 1] == '\n') {
        buffer[len - 2] = 0;
    }
}

CNmeaHandler::CNmeaHandler(const ITickClock& clock) : CTextMsgHandler("NmeaHandler", "*$G*$H*$P", "\r\n", clock) {}

bool CNmeaHandler::Validate(std::span<const std::uint8_t> assembled) {
    if (assembled.size() < 8 || assembled[1] != 'P' || assembled[2] != 'C') {
        return true;
    }
    const std::uint32_t now = Now();
    const std::string_view line(reinterpret_cast<const char*>(assembled.data()), assembled.size());
    CMsgHandler* beacon = Linked();
    if (beacon != nullptr && line.find(",ACK") != std::string_view::npos) {
        lastAck_ = StampOf(now);
        beacon->Store(assembled, false);
        return false;
    }
    if (beacon != nullptr && lastAck_ != 0 && now - lastAck_ < kAckWindowMs) {
        beacon->Store(assembled, false);
    }
    return true;
}

CRxHandler::CRxHandler(const ITickClock& clock) : CTextMsgHandler("RxHandler", "*$RX,", "\r\n", clock) {
    // Filing a line then copies within capacity and never allocates.
    for (auto& slot : slots_) {
        slot.reserve(kCapacity);
    }
}

void CRxHandler::Publish() {
    // Clear publishes an empty line: subscribers learn the counters were reset.
    if (LastLength() == 0) {
        CTextMsgHandler::Publish();
        return;
    }
    StripLineEnd();
    const std::string_view line = LastLine();
    const auto field = FieldOf(line, 1);
    const auto k = field ? ScanInt(*field) : std::nullopt;
    if (!k || *k < 0 || *k >= kFiledSlots) {
        return;
    }
    const auto first = line.find(',');
    const auto second = first == std::string_view::npos ? first : line.find(',', first + 1);
    if (second == std::string_view::npos) {
        return;
    }
    slots_[static_cast<std::size_t>(*k)].assign(line.substr(second + 1));
    ++counts_[static_cast<std::size_t>(*k)];
    CTextMsgHandler::Publish();
}

void CRxHandler::Clear() {
    counts_.fill(0);
    CTextMsgHandler::Clear();
}

std::string_view CRxHandler::RxSlot(int k) const {
    return k >= 0 && k < kSlots ? std::string_view(slots_[static_cast<std::size_t>(k)]) : std::string_view{};
}

std::uint32_t CRxHandler::RxCount(int k) const {
    return k >= 0 && k < kSlots ? counts_[static_cast<std::size_t>(k)] : 0;
}

CRd1Handler::CRd1Handler(const ITickClock& clock, const CGpsUtcOffset& offset)
    : CTextMsgHandler("Rd1Handler", "*$RD1,", "\r\n", clock), offset_(offset) {}

void CRd1Handler::Publish() {
    StripLineEnd();
    CTextMsgHandler::Publish();
}

std::string CRd1Handler::Rd1Time() const {
    const std::string_view line = LastLine();
    const auto week = ScanInt(FieldOf(line, 2).value_or("")).value_or(0);
    const auto tow = ScanDouble(FieldOf(line, 1).value_or("")).value_or(0.0);
    return UtcDateTimeString(week, tow, offset_.Get());
}

std::int32_t CRd1Handler::Rd1Ber() const {
    const std::string_view field = FieldOf(LastLine(), 5).value_or("");
    const auto dash = field.size() > 1 ? field.find('-', 1) : std::string_view::npos;
    if (dash == std::string_view::npos) {
        return ScanInt(field).value_or(0);
    }
    const auto left = ScanInt(field.substr(0, dash));
    const auto right = ScanInt(field.substr(dash + 1));
    if (left && right) {
        return std::min(*left, *right);
    }
    return left.value_or(0);
}

bool CRd1Handler::Rd1HasDualBer() const {
    const std::string_view field = FieldOf(LastLine(), 5).value_or("");
    return field.size() > 1 && field.find('-', 1) != std::string_view::npos;
}

}  // namespace zarnmon
