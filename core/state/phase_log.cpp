#include "core/state/phase_log.h"

#include <algorithm>

#include "core/link/bin_catalogue.h"

namespace zarnmon {

CPhaseLog::CPhaseLog(CMsgDispatcher& dispatcher) : dispatcher_(dispatcher) {}

bool CPhaseLog::Start(const std::string& path) {
    Stop();
    if (!file_.Open(path, false)) {
        return false;
    }
    for (std::size_t i = 0; i < kEnabledSlots.size(); ++i) {
        // A message that already flows is the user's; the log leaves it as it finds it.
        if (!dispatcher_.IsActive(kEnabledSlots[i], true)) {
            dispatcher_.SendEnable(kEnabledSlots[i], true, false);
            enabledByUs_[i] = true;
        }
    }
    for (std::size_t i = 0; i < kReadSlots.size(); ++i) {
        readers_[i] = dispatcher_.Handler(kReadSlots[i]).HistoryWriteIndex();
    }
    msg94Seen_ = false;
    frames_ = 0;
    return true;
}

void CPhaseLog::Stop() {
    file_.Close();
    for (std::size_t i = 0; i < kEnabledSlots.size(); ++i) {
        if (enabledByUs_[i]) {
            dispatcher_.SendDisable(kEnabledSlots[i], false);
        }
        enabledByUs_[i] = false;
    }
}

bool CPhaseLog::EnabledByUs(int slot) const noexcept {
    const auto* it = std::find(kEnabledSlots.begin(), kEnabledSlots.end(), slot);
    return it != kEnabledSlots.end() && enabledByUs_[static_cast<std::size_t>(it - kEnabledSlots.begin())];
}

int* CPhaseLog::ReaderOf(const CMsgHandler& handler) {
    const auto* it = std::find(kReadSlots.begin(), kReadSlots.end(), dispatcher_.SlotOf(&handler));
    return it == kReadSlots.end() ? nullptr : &readers_[static_cast<std::size_t>(it - kReadSlots.begin())];
}

void CPhaseLog::PassOver(const CMsgHandler& handler) {
    if (int* reader = ReaderOf(handler)) {
        *reader = handler.HistoryWriteIndex();
    }
}

void CPhaseLog::OnMessage(const CMsgHandler& handler) {
    if (!file_.IsOpen()) {
        return;
    }
    int* readerOf = ReaderOf(handler);
    const auto* binary = dynamic_cast<const CBinMsgHandler*>(&handler);
    if (readerOf == nullptr || binary == nullptr) {
        return;
    }
    int& reader = *readerOf;
    const std::size_t frameLength = std::size_t{binary->DataLength()} + kBinFrameOverhead;
    int index = reader & 15;
    bool wrote = false;
    while (index != handler.HistoryWriteIndex()) {
        const auto slotBytes = handler.HistorySlot(index);
        const auto frame = slotBytes.first(std::min(frameLength, slotBytes.size()));
        if (frame.size() == frameLength && IsValidFrame(frame)) {
            if (!file_.WriteBytes(frame)) {
                // The file is gone: what the log switched on is no longer needed.
                Stop();
                return;
            }
            ++frames_;
            wrote = true;
        }
        index = (index + 1) & 15;
    }
    reader = index;
    if (wrote && !file_.Flush()) {
        Stop();
        return;
    }
    if (&handler == &dispatcher_.Handler(Slots::Msg94)) {
        msg94Seen_ = true;
    }
}

}  // namespace zarnmon
