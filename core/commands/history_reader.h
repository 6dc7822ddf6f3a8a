#pragma once

// Reads every line a text handler's history gained since the last read, so
// a reader that is notified once for a burst of lines still sees each of
// them, in order. A reader that falls behind by more than the history holds
// loses the oldest lines, as the history itself does.

#include <cstring>
#include <string_view>
#include <vector>

#include "core/link/msg_handler.h"

namespace zarnmon {

class CHistoryReader {
public:
    // maxBytes bounds an entry as read, its terminating zero included.
    explicit CHistoryReader(std::size_t maxBytes) : entry_(maxBytes) {}

    // Passes over what the history holds now: only later lines are read.
    void CatchUp(const CMsgHandler& handler) { index_ = handler.HistoryWriteIndex(); }

    // Hands each new entry, oldest first, to take.
    template <typename Take>
    void ReadNew(const CMsgHandler& handler, Take&& take) {
        while (handler.GetHistory(index_, entry_.data(), entry_.size())) {
            index_ = (index_ + 1) % CMsgHandler::kHistorySize;
            take(std::string_view(entry_.data(), ::strnlen(entry_.data(), entry_.size())));
        }
    }

private:
    std::vector<char> entry_;
    int index_ = 0;
};

}  // namespace zarnmon
