#include "core/state/debug_log.h"

#include "core/state/fixed_format.h"

namespace zarnmon {

std::uint32_t CDebugLogMask::Get(const CSettingsStore& store) {
    if (!loaded_) {
        mask_ = LoadDebugLogMask(store, mask_);
        loaded_ = true;
    }
    return mask_;
}

void CDebugLogMask::Set(std::uint32_t mask, CSettingsStore& store) {
    mask_ = mask & 0xFFFFU;
    loaded_ = true;
    SaveDebugLogMask(store, mask_);
}

CDebugLog::CDebugLog(const CRxHandler& rx) : rx_(rx) { PassOver(); }

void CDebugLog::PassOver() {
    for (int k = 0; k < kTrackedMessages; ++k) {
        lastSeen_[static_cast<std::size_t>(k)] = rx_.RxCount(k + 1);
    }
}

void CDebugLog::WriteDebugLog() {
    line_.clear();
    int count = 0;
    for (int k = 0; k < kTrackedMessages; ++k) {
        const int n = k + 1;
        const std::uint32_t updates = rx_.RxCount(n);
        std::uint32_t& seen = lastSeen_[static_cast<std::size_t>(k)];
        if (updates == seen) {
            continue;
        }
        seen = updates;
        if ((mask_ >> k & 1U) == 0) {
            continue;
        }
        line_.append("Msg-");
        AppendInt(line_, n);
        line_.push_back('\t');
        line_.append(rx_.RxSlot(n));
        line_.append("\r\n");
        ++count;
    }
    if (count > 0 && file_.WriteText(line_) && file_.Flush()) {
        lines_ += static_cast<std::uint64_t>(count);
    }
}

void CDebugLog::OnMessage(const CMsgHandler& handler) {
    if (&handler == &rx_ && file_.IsOpen()) {
        WriteDebugLog();
    }
}

}  // namespace zarnmon
