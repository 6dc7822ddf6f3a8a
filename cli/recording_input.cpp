#include "cli/recording_input.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

namespace zarnmon::cli {

namespace {

// "decode: 42% " over itself while a file is read; cleared at the end.
class ProgressLine {
public:
    ProgressLine(std::string_view command, std::uintmax_t total, std::ostream& err, bool show)
        : command_(command), total_(total), err_(err), show_(show && total > 0) {}
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine() {
        if (shown_ >= 0) {
            err_ << '\r' << std::string(command_.size() + 8, ' ') << '\r' << std::flush;
        }
    }

    void Add(std::size_t bytes) {
        done_ += bytes;
        if (!show_) {
            return;
        }
        const auto percent = static_cast<int>(done_ * 100 / total_);
        if (percent != shown_) {
            shown_ = percent;
            err_ << '\r' << command_ << ": " << percent << "% " << std::flush;
        }
    }

private:
    std::string_view command_;
    std::uintmax_t total_;
    std::ostream& err_;
    bool show_;
    std::uintmax_t done_ = 0;
    int shown_ = -1;
};

}  // namespace

bool RecordingReadable(std::string_view command, const std::string& path, std::ostream& err) {
    if (path == "-") {
        return true;
    }
    // A directory opens as a stream on some systems and then fails to read.
    std::error_code ec;
    const bool readable = std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec);
    if (!readable || !std::ifstream(std::filesystem::path(path), std::ios::binary)) {
        err << "zarnmon-cli " << command << ": cannot read '" << path << "'\n";
        return false;
    }
    return true;
}

bool FeedRecording(std::string_view command, const std::string& path, std::size_t chunkSize, CMsgDispatcher& dispatcher,
                   std::ostream& err, bool showProgress) {
    if (!RecordingReadable(command, path, err)) {
        return false;
    }
    std::ifstream file;
    std::istream* in = &std::cin;
    std::uintmax_t total = 0;
    if (path != "-") {
        file.open(std::filesystem::path(path), std::ios::binary);
        if (!file) {
            err << "zarnmon-cli " << command << ": cannot read '" << path << "'\n";
            return false;
        }
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(path, ec);
        total = ec ? 0 : size;  // a pipe has no size: no progress then
        in = &file;
    }
    {
        ProgressLine progress(command, total, err, showProgress);
        std::vector<std::uint8_t> chunk(chunkSize);
        while (*in) {
            in->read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
            const auto got = static_cast<std::size_t>(in->gcount());
            if (got == 0) {
                break;
            }
            dispatcher.Feed(std::span(chunk).first(got));
            progress.Add(got);
        }
    }
    if (in->bad()) {
        err << "zarnmon-cli " << command << ": reading '" << path << "' failed\n";
        return false;
    }
    return true;
}

std::optional<CSettingsStore> ReadProfile(std::string_view command, std::string_view what, const std::string& path,
                                          std::ostream& err) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        err << "zarnmon-cli " << command << ": cannot read " << what << " '" << path << "'\n";
        return std::nullopt;
    }
    CSettingsStore store;
    if (const IoStatus loaded = store.Load(path); !loaded.ok) {
        err << "zarnmon-cli " << command << ": cannot read " << what << " '" << path << "': " << loaded.reason << '\n';
        return std::nullopt;
    }
    return store;
}

}  // namespace zarnmon::cli
