#pragma once

// JSON text written straight into one growing buffer, for output that runs to
// millions of lines: no document tree, no allocation per value once the
// buffer has grown. The text is exactly what nlohmann's dump() gives for the
// same values (compact, keys in the order written), so the two can be mixed
// and compared: numbers through nlohmann's own double formatting, strings
// with its escapes.
//
// Commas are placed by the writer; the caller only keeps keys and values
// balanced inside the objects and arrays it opens.

#include <array>
#include <charconv>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zarnmon::cli {

// The UTF-8 encoding of the ISO 8859-1 character of code b: one byte below
// 0x80, two from there on.
struct Utf8OfLatin1 {
    std::array<char, 2> bytes;
    std::size_t size;
};
[[nodiscard]] constexpr Utf8OfLatin1 EncodeLatin1(std::uint8_t b) {
    if (b < 0x80) {
        return {{static_cast<char>(b), 0}, 1};
    }
    return {{static_cast<char>(0xC0 | (b >> 6)), static_cast<char>(0x80 | (b & 0x3F))}, 2};
}

class JsonWriter {
public:
    JsonWriter() : buffer_(kInitialBytes) {}

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    // The next value belongs to this key of the open object.
    void Key(std::string_view name) {
        String(name);
        Put(':');
        afterValue_ = false;
    }

    template <std::integral T>
    void Integer(T value) {
        Separate();
        constexpr std::size_t kDigits = 24;  // a sign and the 20 digits of a 64-bit value fit
        char* at = Reserve(kDigits);
        size_ += static_cast<std::size_t>(std::to_chars(at, at + kDigits, value).ptr - at);
    }
    // Finite values as nlohmann writes them; NaN and infinities as null.
    void Number(double value);
    // text is UTF-8.
    void String(std::string_view text) {
        Quoted({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, false);
    }
    // Each byte is the character of the same code (ISO 8859-1).
    void Latin1String(std::span<const std::uint8_t> bytes) { Quoted(bytes, true); }

    // A line end after a complete value; the next value starts a new line.
    void EndLine() {
        Put('\n');
        afterValue_ = false;
    }

    [[nodiscard]] std::string_view Text() const { return {buffer_.data(), size_}; }
    // Forgets the text written, keeping the buffer.
    void Clear() {
        size_ = 0;
        afterValue_ = false;
    }

private:
    static constexpr std::size_t kInitialBytes = std::size_t{1} << 16;

    void Open(char bracket) {
        Separate();
        Put(bracket);
        afterValue_ = false;
    }
    void Close(char bracket) {
        Put(bracket);
        afterValue_ = true;
    }
    void Separate() {
        if (afterValue_) {
            Put(',');
        }
        afterValue_ = true;
    }
    void Quoted(std::span<const std::uint8_t> bytes, bool latin1);

    // Room for n more characters at the end of the text.
    char* Reserve(std::size_t n) {
        if (buffer_.size() - size_ < n) {
            buffer_.resize(2 * (size_ + n));
        }
        return buffer_.data() + size_;
    }
    void Put(char c) {
        *Reserve(1) = c;
        ++size_;
    }
    void Put(std::string_view text) {
        if (!text.empty()) {  // an empty run may have no storage behind it
            std::memcpy(Reserve(text.size()), text.data(), text.size());
            size_ += text.size();
        }
    }

    std::vector<char> buffer_;  // never empty, so its data is never null
    std::size_t size_ = 0;
    bool afterValue_ = false;  // a comma goes before whatever comes next
};

}  // namespace zarnmon::cli
