#pragma once

// The debug log: the receiver's numbered debug lines ("$RX,n,..."), one
// "Msg-n<TAB>text" line for each new message numbered 1 to 16 whose bit is
// set in the mask. Whether a number has a new message is judged by the
// handler's per-number update counter against the counter last seen here;
// the counters are taken when the log object is made (with its view) and
// advance only when the log writes, so the first write after opening
// catches up once on every selected number that changed meanwhile.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/app/settings_keys.h"
#include "core/app/settings_store.h"
#include "core/link/text_msg_handler.h"
#include "core/state/log_file.h"

namespace zarnmon {

// The program-wide DebugLogMask, read from the profile at its first use.
class CDebugLogMask {
public:
    [[nodiscard]] std::uint32_t Get(const CSettingsStore& store);
    // The "Configure Debug Log" dialog's OK: bits 16..31 are dropped.
    void Set(std::uint32_t mask, CSettingsStore& store);
    [[nodiscard]] bool Loaded() const noexcept { return loaded_; }

private:
    std::uint32_t mask_ = kDefaultDebugLogMask;
    bool loaded_ = false;
};

class CDebugLog {
public:
    static constexpr int kTrackedMessages = 16;

    explicit CDebugLog(const CRxHandler& rx);

    bool Start(const std::string& path) { return file_.Open(path, false); }
    void Stop() { file_.Close(); }

    // Bit k selects debug message k + 1.
    void SetMask(std::uint32_t mask) noexcept { mask_ = mask; }
    [[nodiscard]] std::uint32_t Mask() const noexcept { return mask_; }

    // Writes the messages that changed since last seen; flushed at once.
    void WriteDebugLog();
    // Calls WriteDebugLog for a notification of the "$RX," handler while open.
    void OnMessage(const CMsgHandler& handler);
    // Takes every message as seen without writing: what a replay goes over
    // again, which the log already has.
    void PassOver();

    [[nodiscard]] bool IsOpen() const noexcept { return file_.IsOpen(); }
    [[nodiscard]] std::uint64_t LinesWritten() const noexcept { return lines_; }
    [[nodiscard]] const CLogFile& File() const noexcept { return file_; }
    [[nodiscard]] std::optional<LogFailure> TakeFailure() { return file_.TakeFailure(); }

private:
    const CRxHandler& rx_;
    CLogFile file_{"log"};
    std::uint32_t mask_ = kDefaultDebugLogMask;
    std::array<std::uint32_t, kTrackedMessages> lastSeen_{};
    std::string line_;
    std::uint64_t lines_ = 0;
};

}  // namespace zarnmon
