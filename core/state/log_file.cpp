#include "core/state/log_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zarnmon {

CLogFile::CLogFile(std::string_view extension) {
    if (extension.starts_with('.')) {
        extension.remove_prefix(1);
    }
    extension_ = std::string(extension.substr(0, kMaxExtension));
    if (extension_.empty()) {
        extension_ = "log";
    }
}

std::string CLogFile::InitialFileName() const { return "*." + extension_; }

std::string CLogFile::FileDialogFilter() const {
    return extension_ + " Files (*." + extension_ + ")|*." + extension_ + "|All Files (*.*)|*.*||";
}

bool CLogFile::Open(const std::string& path, bool append) {
    Close();
    const std::ios::openmode mode = std::ios::binary | std::ios::out | (append ? std::ios::app : std::ios::trunc);
    file_.clear();
    errno = 0;
    file_.open(std::filesystem::path(path), mode);
    if (!file_.is_open()) {
        file_.clear();
        openError_ = errno != 0 ? std::generic_category().message(errno) : std::string("the file cannot be created");
        return false;
    }
    openError_.clear();
    path_ = path;
    open_ = true;
    bytes_ = 0;
    return true;
}

void CLogFile::Close() {
    if (!open_ || !Flush()) {
        return;
    }
    file_.close();
    open_ = false;
    if (!file_) {
        failure_ = LogFailure{path_, "closing the file failed"};
    }
    file_.clear();
}

bool CLogFile::WriteBytes(std::span<const std::uint8_t> bytes) {
    return WriteText({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

bool CLogFile::WriteText(std::string_view text) {
    if (!open_) {
        return true;
    }
    errno = 0;
    file_.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!file_) {
        Fail();
        return false;
    }
    bytes_ += text.size();
    return true;
}

bool CLogFile::Flush() {
    if (!open_) {
        return true;
    }
    errno = 0;
    file_.flush();
    if (!file_) {
        Fail();
        return false;
    }
    return true;
}

std::optional<LogFailure> CLogFile::TakeFailure() {
    auto failure = std::move(failure_);
    failure_.reset();
    return failure;
}

void CLogFile::Fail() {
    const int error = errno;
    // The stream is already in error; closing it must not report twice.
    file_.close();
    file_.clear();
    open_ = false;
    failure_ = LogFailure{path_, error != 0 ? std::strerror(error) : "write failed"};
}

}  // namespace zarnmon
