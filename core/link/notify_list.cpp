#include "core/link/notify_list.h"

#include <algorithm>

namespace zarnmon {

std::uint32_t CNotifyList::Add(IRxWindow* window) {
    // Ids wrap after four billion subscriptions; skip 0 and any id still held.
    do {
        ++lastId_;
    } while (lastId_ == 0 || InUse(lastId_));
    entries_.push_back({window, lastId_, WM_RX_MESSAGE});
    return lastId_;
}

void CNotifyList::Remove(std::uint32_t id) {
    if (id == 0) {
        return;
    }
    std::erase_if(entries_, [id](const Entry& e) { return e.id == id; });
}

void CNotifyList::PostAll(const CMsgHandler* handler) const {
    for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
        e->window->PostRxMessage(e->message, kRxMessageWParam, handler);
    }
}

bool CNotifyList::InUse(std::uint32_t id) const {
    return std::ranges::any_of(entries_, [id](const Entry& e) { return e.id == id; });
}

}  // namespace zarnmon
