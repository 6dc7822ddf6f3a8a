#include "core/link/receiver_info.h"

#include <array>
#include <cstring>

#include "core/link/scan.h"

namespace zarnmon {

namespace {

constexpr std::string_view kReplyPrefix = "$>JI,";
constexpr std::size_t kEntryBuffer = 4096;

}  // namespace

void CReceiverInfo::Poll(const CMsgHandler& replyHandler) {
    if (index_ == 0) {
        // Catch up without looking at what the history already holds.
        while (index_ != replyHandler.HistoryWriteIndex()) {
            index_ = (index_ + 1) & 15;
        }
        return;
    }
    std::array<char, kEntryBuffer> entry{};
    while (replyHandler.GetHistory(index_, entry.data(), entry.size())) {
        index_ = (index_ + 1) & 15;
        const std::string_view line(entry.data(), ::strnlen(entry.data(), entry.size()));
        if (line.starts_with(kReplyPrefix)) {
            TakeReply(line);
        }
    }
}

void CReceiverInfo::TakeReply(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    infoLine_.assign(line);
    int piece = 0;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const auto start = line.find_first_not_of(',', pos);
        if (start == std::string_view::npos) {
            break;
        }
        auto end = line.find(',', start);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        ++piece;
        const auto text = line.substr(start, end - start);
        if (piece == 2) {
            receiverId_.assign(text);
        } else if (piece == 8) {
            armVersion_ = ScanDouble(text).value_or(0.0);
        }
        pos = end;
    }
}

void CReceiverInfo::Reset() {
    index_ = 0;
    infoLine_.clear();
    receiverId_.clear();
    armVersion_ = 0.0;
    staleness_ = 1;
}

}  // namespace zarnmon
