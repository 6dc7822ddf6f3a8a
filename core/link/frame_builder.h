#pragma once

// Builds receiver output byte for byte: binary frames field by field through
// the same layouts the views read, NMEA sentences with their checksum and
// plain text lines. Tests and the simulator use it, so what they send is
// what the decoders expect by construction, and a deliberately wrong frame
// (another length than the catalogue's, a spoiled checksum) is easy to make.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/link/bin_catalogue.h"
#include "core/link/wire_field.h"

namespace zarnmon {

class CBinFrameBuilder {
public:
    // A message of the catalogue with its own length; data all zero. Throws
    // std::invalid_argument for an id the catalogue does not know.
    explicit CBinFrameBuilder(std::uint16_t id);
    // Any id with any length, for frames no handler should accept.
    CBinFrameBuilder(std::uint16_t id, std::uint16_t length);

    // Writes field f of the record that starts at data byte base.
    template <WireValue T>
    CBinFrameBuilder& Set(Field<T> f, std::type_identity_t<T> value, std::size_t base = 0) {
        zarnmon::Set(std::span<std::uint8_t>(data_), f, value, base);
        return *this;
    }

    [[nodiscard]] std::span<std::uint8_t> Data() { return data_; }
    [[nodiscard]] std::span<const std::uint8_t> Data() const { return data_; }
    [[nodiscard]] std::uint16_t Id() const { return id_; }

    // "$BIN", id, N, data, data sum, CR LF.
    [[nodiscard]] std::vector<std::uint8_t> Build() const;
    void AppendTo(std::vector<std::uint8_t>& out) const;

private:
    std::uint16_t id_;
    std::vector<std::uint8_t> data_;
};

// "$" body "*" XOR of the body in two upper-case hex digits, CR LF. The body
// is given without the "$".
[[nodiscard]] std::string NmeaSentence(std::string_view body);

// text followed by CR LF.
[[nodiscard]] std::string TextLine(std::string_view text);

}  // namespace zarnmon
