#include "gui/link/comm_errors.h"

#include <array>
#include <string_view>
#include <utility>

#if defined(__linux__)
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace zarnmon {

namespace {

constexpr std::size_t kListLimit = 31;

constexpr std::array<std::pair<std::uint32_t, std::string_view>, 8> kFlagTexts{{
    {CommError::Break, " CE_BREAK"},
    {CommError::Frame, " CE_FRAME"},
    {CommError::Ioe, " CE_IOE"},
    {CommError::Mode, " CE_MODE"},
    {CommError::Overrun, " CE_OVERRUN"},
    {CommError::RxOver, " CE_RXOVER"},
    {CommError::RxParity, " CE_RXPARITY"},
    {CommError::TxFull, " CE_TXFULL"},
}};

}  // namespace

std::string CommErrorList(std::uint32_t flags) {
    std::string list;
    for (const auto& [flag, text] : kFlagTexts) {
        if ((flags & flag) != 0) {
            list += text;
        }
    }
    if (list.size() > kListLimit) {
        list.resize(kListLimit);
    }
    return list;
}

std::string CommErrorLine(std::uint32_t flags) { return "<CE-" + CommErrorList(flags) + ">"; }

void CLineErrorWatch::Reset(long long descriptor) {
    descriptor_ = descriptor;
    last_ = {};
    supported_ = descriptor >= 0 && Read(last_);
}

std::uint32_t CLineErrorWatch::Poll() {
    Counts now;
    if (!supported_ || !Read(now)) {
        return 0;
    }
    std::uint32_t flags = 0;
    const auto raised = [&flags](int before, int after, std::uint32_t flag) {
        if (after != before) {
            flags |= flag;
        }
    };
    raised(last_.frame, now.frame, CommError::Frame);
    raised(last_.overrun, now.overrun, CommError::Overrun);
    raised(last_.parity, now.parity, CommError::RxParity);
    raised(last_.brk, now.brk, CommError::Break);
    raised(last_.bufOverrun, now.bufOverrun, CommError::RxOver);
    last_ = now;
    return flags;
}

bool CLineErrorWatch::Read(Counts& counts) const {
#if defined(__linux__)
    serial_icounter_struct icount{};
    if (::ioctl(static_cast<int>(descriptor_), TIOCGICOUNT, &icount) != 0) {
        return false;
    }
    counts = {icount.frame, icount.overrun, icount.parity, icount.brk, icount.buf_overrun};
    return true;
#else
    (void)counts;
    return false;
#endif
}

}  // namespace zarnmon
