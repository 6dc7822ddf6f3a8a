#pragma once

// The circular byte store between the link and the message handlers.
//
// Bytes arrive in chunks of any size and at any boundary; handlers look at the
// front of the stream without moving data. The store never shifts: reads and
// comparisons wrap around its end, and a 128-byte mirror area after the store
// receives a copy of its first bytes whenever a comparison would run past the
// end, so every pattern is compared in one straight run.

#include <array>
#include <cstddef>
#include <cstdint>

namespace zarnmon {

class CMsgStream {
public:
    static constexpr std::int32_t kSize = 4096;
    static constexpr std::int32_t kMirror = 128;

    // Takes min(n, free space) bytes; the rest is not taken.
    std::int32_t Append(const std::uint8_t* bytes, std::int32_t n);
    // Takes min(n, count) bytes from the front into dst.
    std::int32_t Read(std::uint8_t* dst, std::int32_t n);
    bool DropOne();
    // Drops up to n bytes from the front; returns how many.
    std::int32_t Drop(std::int32_t n);
    // True when the len (at most kMirror) bytes at the front equal pattern.
    bool PeekEquals(const std::uint8_t* pattern, std::int32_t len);
    // Reads up to and including delimiter, or as much as can be ruled out.
    std::int32_t ReadUntil(std::uint8_t* dst, std::int32_t max, const std::uint8_t* delimiter, std::int32_t dlen,
                           bool& found);

    [[nodiscard]] std::int32_t Count() const { return count_; }
    [[nodiscard]] std::int32_t Free() const { return kSize - count_; }
    [[nodiscard]] std::uint8_t Front() const { return store_[static_cast<std::size_t>(readIndex_)]; }
    // The byte k places behind the front (k < Count()).
    [[nodiscard]] std::uint8_t PeekAt(std::int32_t k) const {
        return store_[static_cast<std::size_t>((readIndex_ + k) & kMask)];
    }
    // Number of leading bytes (at most limit) for which isSkippable is true.
    template <typename Pred>
    [[nodiscard]] std::int32_t CountLeading(std::int32_t limit, Pred isSkippable) const {
        std::int32_t n = 0;
        std::int32_t i = readIndex_;
        while (n < limit && isSkippable(store_[static_cast<std::size_t>(i)])) {
            ++n;
            i = (i + 1) & kMask;
        }
        return n;
    }

    // Forgets the held bytes. The read index moves to the write index so the
    // next bytes appended are the next bytes read.
    void Empty() {
        count_ = 0;
        readIndex_ = writeIndex_;
    }

private:
    static constexpr std::int32_t kMask = kSize - 1;

    // Makes the len bytes at the read index contiguous via the mirror area.
    const std::uint8_t* FrontRun(std::int32_t len);
    // Finds the delimiter's first position among the first `positions`
    // start positions; returns positions when there is none.
    std::int32_t FindDelimiter(std::int32_t positions, const std::uint8_t* delimiter, std::int32_t dlen);

    std::array<std::uint8_t, kSize + kMirror> store_{};
    std::int32_t count_ = 0;
    std::int32_t writeIndex_ = 0;
    std::int32_t readIndex_ = 0;
};

}  // namespace zarnmon
