#pragma once

// The file behind each of the four logs.
//
// A log is appended to for hours or days, so every write is checked: when
// the disk fills or the drive goes away the file is closed at once and the
// failure is kept, to be reported once (status bar, message box) by whoever
// owns the log, instead of the log looking healthy while nothing is saved.
// Nothing is buffered beyond a call's Flush, so a crash loses at most what
// the owner has not flushed yet. Other programs may read the file while it
// is written (tail -f).

#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zarnmon {

// Why a log stopped.
struct LogFailure {
    std::string path;
    std::string reason;
};

class CLogFile {
public:
    static constexpr std::size_t kMaxExtension = 5;

    // extension: the default file extension, without or with a leading dot,
    // at most 5 characters; empty gives "log".
    explicit CLogFile(std::string_view extension = {});

    [[nodiscard]] const std::string& DefaultExtension() const noexcept { return extension_; }
    // The save dialog's initial file name and filter: "*.bin",
    // "bin Files (*.bin)|*.bin|All Files (*.*)|*.*||".
    [[nodiscard]] std::string InitialFileName() const;
    [[nodiscard]] std::string FileDialogFilter() const;

    // Closes an open file first, then opens path for writing, created when
    // missing; truncated unless append. False when it cannot be opened: that
    // is no failure to report (the caller knows whether to say so), and
    // OpenError tells why.
    bool Open(const std::string& path, bool append);
    // The system's reason the last Open failed ("No such file or directory").
    [[nodiscard]] const std::string& OpenError() const noexcept { return openError_; }
    // Flushes and closes; a flush that fails is recorded as a failure.
    void Close();
    [[nodiscard]] bool IsOpen() const noexcept { return open_; }
    [[nodiscard]] const std::string& Path() const noexcept { return path_; }

    // Each writes only while open and returns false when the write failed,
    // in which case the file has been closed and the failure recorded. No
    // line ends are added.
    bool WriteBytes(std::span<const std::uint8_t> bytes);
    bool WriteText(std::string_view text);
    // Hands what was written to the system.
    bool Flush();

    // Bytes written to the file since it was opened.
    [[nodiscard]] std::uint64_t BytesWritten() const noexcept { return bytes_; }
    // The failure that closed the log, once; later calls give nothing until
    // another failure happens.
    [[nodiscard]] std::optional<LogFailure> TakeFailure();
    [[nodiscard]] bool HasFailure() const noexcept { return failure_.has_value(); }

private:
    void Fail();

    std::string extension_;
    std::string path_;
    std::string openError_;
    std::ofstream file_;
    bool open_ = false;
    std::uint64_t bytes_ = 0;
    std::optional<LogFailure> failure_;
};

}  // namespace zarnmon
