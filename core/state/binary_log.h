#pragma once

// The binary log: every byte received from the receiver, unchanged and in
// order, noise included, so a session can be replayed exactly. Each chunk is
// flushed as it is written (chunks come a few times a second), so nothing
// received is lost in a crash; a failed write closes the log and leaves one
// failure to report.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/state/log_file.h"

namespace zarnmon {

class CBinaryLog {
public:
    // Opens path, truncating it; false when it cannot be opened.
    bool Start(const std::string& path) { return file_.Open(path, false); }
    void Stop() { file_.Close(); }

    // Every chunk, after it was given to the dispatcher; nothing while closed.
    void WriteReceivedBytes(std::span<const std::uint8_t> bytes) {
        if (file_.WriteBytes(bytes)) {
            file_.Flush();
        }
    }

    [[nodiscard]] bool IsOpen() const noexcept { return file_.IsOpen(); }
    [[nodiscard]] const std::string& Path() const noexcept { return file_.Path(); }
    [[nodiscard]] std::uint64_t BytesWritten() const noexcept { return file_.BytesWritten(); }
    [[nodiscard]] const CLogFile& File() const noexcept { return file_; }
    [[nodiscard]] std::optional<LogFailure> TakeFailure() { return file_.TakeFailure(); }

private:
    CLogFile file_{"bin"};
};

}  // namespace zarnmon
