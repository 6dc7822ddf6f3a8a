#include "core/link/frame_builder.h"

#include <stdexcept>

namespace zarnmon {

namespace {

std::uint16_t CatalogueLength(std::uint16_t id) {
    const MessageLayout* layout = FindLayout(id);
    if (layout == nullptr) {
        throw std::invalid_argument("no binary message with id " + std::to_string(id));
    }
    return layout->length;
}

void AppendLe16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFFU));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

CBinFrameBuilder::CBinFrameBuilder(std::uint16_t id) : CBinFrameBuilder(id, CatalogueLength(id)) {}

CBinFrameBuilder::CBinFrameBuilder(std::uint16_t id, std::uint16_t length) : id_(id), data_(length, 0) {}

std::vector<std::uint8_t> CBinFrameBuilder::Build() const {
    std::vector<std::uint8_t> frame;
    frame.reserve(data_.size() + kBinFrameOverhead);
    AppendTo(frame);
    return frame;
}

void CBinFrameBuilder::AppendTo(std::vector<std::uint8_t>& out) const {
    constexpr std::string_view kMagic = "$BIN";
    out.insert(out.end(), kMagic.begin(), kMagic.end());
    AppendLe16(out, id_);
    AppendLe16(out, static_cast<std::uint16_t>(data_.size()));
    out.insert(out.end(), data_.begin(), data_.end());
    AppendLe16(out, DataChecksum(data_));
    out.push_back(0x0D);
    out.push_back(0x0A);
}

std::string NmeaSentence(std::string_view body) {
    std::uint8_t sum = 0;
    for (const char c : body) {
        sum = static_cast<std::uint8_t>(sum ^ static_cast<std::uint8_t>(c));
    }
    constexpr std::string_view kHex = "0123456789ABCDEF";
    std::string sentence;
    sentence.reserve(body.size() + 6);
    sentence += '$';
    sentence += body;
    sentence += '*';
    sentence += kHex[sum >> 4];
    sentence += kHex[sum & 0x0FU];
    sentence += "\r\n";
    return sentence;
}

std::string TextLine(std::string_view text) {
    std::string line(text);
    line += "\r\n";
    return line;
}

}  // namespace zarnmon
