#include "core/link/msg_stream.h"

#include <algorithm>
#include <cstring>

namespace zarnmon {

namespace {

std::size_t At(std::int32_t index) { return static_cast<std::size_t>(index); }

}  // namespace

std::int32_t CMsgStream::Append(const std::uint8_t* bytes, std::int32_t n) {
    const std::int32_t take = std::clamp(n, 0, kSize - count_);
    if (take == 0) {
        return 0;
    }
    const std::int32_t first = std::min(take, kSize - writeIndex_);
    std::memcpy(&store_[At(writeIndex_)], bytes, At(first));
    std::memcpy(&store_[0], bytes + first, At(take - first));
    writeIndex_ = (writeIndex_ + take) & kMask;
    count_ += take;
    return take;
}

std::int32_t CMsgStream::Read(std::uint8_t* dst, std::int32_t n) {
    const std::int32_t take = std::clamp(n, 0, count_);
    if (take == 0) {
        return 0;
    }
    const std::int32_t first = std::min(take, kSize - readIndex_);
    std::memcpy(dst, &store_[At(readIndex_)], At(first));
    std::memcpy(dst + first, &store_[0], At(take - first));
    readIndex_ = (readIndex_ + take) & kMask;
    count_ -= take;
    return take;
}

bool CMsgStream::DropOne() { return Drop(1) == 1; }

std::int32_t CMsgStream::Drop(std::int32_t n) {
    const std::int32_t take = std::clamp(n, 0, count_);
    readIndex_ = (readIndex_ + take) & kMask;
    count_ -= take;
    return take;
}

const std::uint8_t* CMsgStream::FrontRun(std::int32_t len) {
    if (kSize - readIndex_ < len) {
        std::memcpy(&store_[kSize], &store_[0], At(len));
    }
    return &store_[At(readIndex_)];
}

bool CMsgStream::PeekEquals(const std::uint8_t* pattern, std::int32_t len) {
    if (len <= 0 || len > count_ || len > kMirror || store_[At(readIndex_)] != pattern[0]) {
        return false;
    }
    return std::memcmp(FrontRun(len), pattern, At(len)) == 0;
}

std::int32_t CMsgStream::FindDelimiter(std::int32_t positions, const std::uint8_t* delimiter, std::int32_t dlen) {
    // Look for the delimiter's first byte with memchr over the (at most two)
    // contiguous runs of candidate positions, then compare the rest.
    std::int32_t p = 0;
    while (p < positions) {
        const std::int32_t index = (readIndex_ + p) & kMask;
        const std::int32_t run = std::min(positions - p, kSize - index);
        const auto* hit = static_cast<const std::uint8_t*>(std::memchr(&store_[At(index)], delimiter[0], At(run)));
        if (hit == nullptr) {
            p += run;
            continue;
        }
        p += static_cast<std::int32_t>(hit - &store_[At(index)]);
        bool match = true;
        for (std::int32_t k = 1; k < dlen && match; ++k) {
            match = store_[At((readIndex_ + p + k) & kMask)] == delimiter[k];
        }
        if (match) {
            return p;
        }
        ++p;
    }
    return positions;
}

std::int32_t CMsgStream::ReadUntil(std::uint8_t* dst, std::int32_t max, const std::uint8_t* delimiter,
                                   std::int32_t dlen, bool& found) {
    found = false;
    if (dlen <= 0 || count_ < dlen) {
        return 0;
    }
    // Positions past max cannot change the outcome: max bytes are read then.
    const std::int32_t positions = std::min(count_ - dlen + 1, std::max(max, 0));
    const std::int32_t p = FindDelimiter(positions, delimiter, dlen);
    std::int32_t amount = positions;
    if (p < positions) {
        found = true;
        amount = p + dlen;
    }
    if (amount > max) {
        found = false;
        amount = max;
    }
    return Read(dst, amount);
}

}  // namespace zarnmon
