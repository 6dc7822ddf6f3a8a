#pragma once

// The data log: one tab-separated row per position solution, written as the
// main frame is told of new messages.
//
// Rows follow message 1 and fall back to message 99 while message 1 has been
// silent for 6 s; they are paced by a minimum interval (less a 150 ms
// allowance, so a 1 s interval keeps every 1 Hz solution despite jitter).
// In the automatic mode the log waits ("pending") for the first row with a
// valid time and then writes to a file named after the UTC date, starting
// the next day's file at UTC midnight; day files are appended to, so a
// restart continues the day. A header line starts each file and is written
// again when the detailed form is switched on or off.
//
// Every row is flushed at once, so a crash or power cut loses nothing that
// was logged. A write that fails closes the log and leaves one failure to
// report; the log never looks open while nothing is saved.
//
// Whoever owns the log (the main frame, or the headless converter) calls
// OnMessage for every notification it receives, whether the log is open or
// not, and gives it the clock it stamps rows with.

#include <cstdint>
#include <optional>
#include <string>

#include "core/app/settings_keys.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/tick_clock.h"
#include "core/state/log_file.h"
#include "core/state/reference_position.h"

namespace zarnmon {

class CDataLog {
public:
    static constexpr std::uint32_t kIntervalAllowanceMs = 150;
    static constexpr std::int32_t kUnknownDaySecond = 86400;

    CDataLog(const CMsgDispatcher& dispatcher, const ITickClock& clock, const CReferencePosition& reference);

    [[nodiscard]] const LogSettings& Options() const noexcept { return options_; }
    // Takes effect with the next row (a changed FullLog writes a new header).
    void SetOptions(const LogSettings& options) noexcept { options_ = options; }

    // Starts logging to path: in the automatic mode the log becomes pending
    // and true is returned; otherwise the file is opened now and false means
    // it could not be (the menu then tells the user, the command line not).
    bool Start(const std::string& path, bool append);
    // Closes the file and ends a pending wait.
    void Stop();

    // The reaction to one message notification.
    void OnMessage(const CMsgHandler& handler);

    [[nodiscard]] bool IsOpen() const noexcept { return file_.IsOpen(); }
    [[nodiscard]] bool IsPending() const noexcept { return pending_; }
    // Open or pending: the menu shows the log checked and its messages are kept flowing.
    [[nodiscard]] bool IsRecording() const noexcept { return IsOpen() || pending_; }
    [[nodiscard]] const std::string& ChosenPath() const noexcept { return chosenPath_; }
    // The file rows go to, or last went to; empty before the first file.
    [[nodiscard]] const std::string& FilePath() const noexcept { return file_.Path(); }
    // Why the last Start could not open its file.
    [[nodiscard]] const std::string& OpenError() const noexcept { return file_.OpenError(); }
    // Rows written since Start.
    [[nodiscard]] std::uint64_t RowsWritten() const noexcept { return rows_; }
    // Why the log stopped by itself (a failed write, or a day file that could
    // not be opened), once.
    [[nodiscard]] std::optional<LogFailure> TakeFailure();

private:
    void WriteRow(std::uint32_t now);
    void CheckDayFile(std::uint32_t now);
    [[nodiscard]] bool Msg1Flowing(std::uint32_t now) const noexcept;
    [[nodiscard]] std::string DayFilePath(std::uint32_t now) const;

    const CMsgDispatcher& dispatcher_;
    const ITickClock& clock_;
    const CReferencePosition& reference_;
    LogSettings options_;
    CLogFile file_{"log"};
    std::string chosenPath_;
    std::string row_;  // reused, so rows do not allocate once warmed up
    // Ticks follow the convention that 0 means never.
    std::uint32_t lastRowTick_ = 0;
    // When message 1 was last announced: the log's own view of "message 1 is
    // flowing", stamped on the same clock as the rows, so a replay judges it
    // by the recording's time.
    std::uint32_t lastMsg1Tick_ = 0;
    int headerState_ = -1;  // FullLog of the last header written to this file, -1 none
    bool pending_ = false;
    std::int32_t lastDaySecond_ = kUnknownDaySecond;
    std::uint64_t rows_ = 0;
    std::optional<LogFailure> openFailure_;
};

}  // namespace zarnmon
