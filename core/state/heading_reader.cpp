#include "core/state/heading_reader.h"

#include <array>
#include <cmath>
#include <cstring>

#include "core/link/scan.h"

namespace zarnmon {

namespace {

constexpr std::size_t kSentenceBuffer = 4096;

[[nodiscard]] bool IsHeadingSentence(std::string_view sentence) {
    return sentence.find("HEHDT") != std::string_view::npos || sentence.find("GPHDT") != std::string_view::npos;
}

[[nodiscard]] bool IsCourseSentence(std::string_view sentence) {
    return sentence.find("GPVTG") != std::string_view::npos;
}

}  // namespace

bool CHeadingReader::ReadNew(const CMsgHandler& nmea) {
    std::array<char, kSentenceBuffer> entry{};
    bool used = false;
    while (nmea.GetHistory(readIndex_, entry.data(), entry.size())) {
        readIndex_ = (readIndex_ + 1) & (CMsgHandler::kHistorySize - 1);
        used = Take({entry.data(), ::strnlen(entry.data(), entry.size())}) || used;
    }
    return used;
}

bool CHeadingReader::Take(std::string_view sentence) {
    if (IsHeadingSentence(sentence)) {
        holdOff_ = kHoldOff;
    } else if (!IsCourseSentence(sentence)) {
        return false;
    } else if (holdOff_ > 0) {
        --holdOff_;
        return false;
    }
    countdown_ = kCountdown;
    const auto comma = sentence.find(',');
    if (comma == std::string_view::npos || comma + 1 >= sentence.size() || sentence[comma + 1] == ',') {
        return true;
    }
    // Text that is no number reads as 0, as the C library reads it.
    const double value = ScanDouble(sentence.substr(comma + 1)).value_or(0.0);
    if (std::isfinite(value)) {
        heading_ = value;
    }
    return true;
}

void CHeadingReader::OnRefreshTick(bool autoConfigure, ICommandSender* sender) {
    if (countdown_ > 0) {
        --countdown_;
        return;
    }
    countdown_ = kCountdown;
    if (autoConfigure && sender != nullptr) {
        // Plain sends: the sentences are not in the dispatcher's table.
        sender->Send("$JASC,GPVTG,1\r", false);
        sender->Send("$JASC,HEHDT,1\r", false);
        commandsSent_ = true;
    }
}

void CHeadingReader::OnClose(bool autoConfigure, ICommandSender* sender) {
    if (autoConfigure && commandsSent_ && sender != nullptr) {
        sender->Send("$JASC,GPVTG,0\r", false);
        sender->Send("$JASC,HEHDT,0\r", false);
        commandsSent_ = false;
    }
}

}  // namespace zarnmon
