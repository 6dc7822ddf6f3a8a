#include "core/state/data_log.h"

#include <algorithm>
#include <cmath>

#include "core/link/gps_time.h"
#include "core/state/data_log_format.h"

namespace zarnmon {

namespace {

constexpr std::int32_t kSecondsPerDay = 86400;

// Whole seconds of a time of week from the wire; garbage must not overflow.
std::int32_t WholeSeconds(double secondsOfWeek) noexcept {
    if (!(std::abs(secondsOfWeek) < 1e9)) {
        return 0;
    }
    return static_cast<std::int32_t>(secondsOfWeek);
}

}  // namespace

CDataLog::CDataLog(const CMsgDispatcher& dispatcher, const ITickClock& clock, const CReferencePosition& reference)
    : dispatcher_(dispatcher), clock_(clock), reference_(reference) {}

bool CDataLog::Start(const std::string& path, bool append) {
    Stop();
    chosenPath_ = path;
    lastDaySecond_ = kUnknownDaySecond;
    headerState_ = -1;
    rows_ = 0;
    // An owner that only starts calling OnMessage now still sees message 1 as flowing.
    const CMsgHandler& msg1 = dispatcher_.Handler(Slots::Msg1);
    if (lastMsg1Tick_ == 0 && dispatcher_.IsActive(Slots::Msg1, true)) {
        lastMsg1Tick_ = StampOf(clock_.Now() - msg1.AgeMs());
    }
    if (options_.autoLog) {
        pending_ = true;
        return true;
    }
    return file_.Open(path, append);
}

void CDataLog::Stop() {
    pending_ = false;
    file_.Close();
}

void CDataLog::OnMessage(const CMsgHandler& handler) {
    // A cleared handler announces itself too, with nothing stored: no message.
    if (handler.LastLength() == 0) {
        return;
    }
    const std::uint32_t now = clock_.Now();
    const bool isMsg1 = &handler == &dispatcher_.Handler(Slots::Msg1);
    if (isMsg1) {
        lastMsg1Tick_ = StampOf(now);
    }
    if (!IsRecording()) {
        return;
    }
    const bool isMsg99 = &handler == &dispatcher_.Handler(Slots::Msg99);
    if (isMsg1 || (isMsg99 && !Msg1Flowing(now))) {
        WriteRow(now);
    }
}

std::optional<LogFailure> CDataLog::TakeFailure() {
    if (auto failure = file_.TakeFailure()) {
        return failure;
    }
    auto failure = std::move(openFailure_);
    openFailure_.reset();
    return failure;
}

bool CDataLog::Msg1Flowing(std::uint32_t now) const noexcept {
    return lastMsg1Tick_ != 0 && now - lastMsg1Tick_ < CMsgDispatcher::kActiveMs;
}

void CDataLog::WriteRow(std::uint32_t now) {
    const auto interval = static_cast<std::uint32_t>(std::clamp(options_.interval, kMinInterval, kMaxInterval));
    std::uint32_t threshold = interval * 1000U;
    if (threshold > kIntervalAllowanceMs) {
        threshold -= kIntervalAllowanceMs;
    }
    if (lastRowTick_ != 0 && now - lastRowTick_ < threshold) {
        return;
    }
    // Taken even when no file is written, so pacing runs while pending.
    lastRowTick_ = StampOf(now);

    CheckDayFile(now);
    if (!file_.IsOpen()) {
        return;
    }

    const CMsgHandler& msg100 = dispatcher_.Handler(Slots::Msg100);
    row_.clear();
    const int fullLog = options_.fullLog ? 1 : 0;
    if (headerState_ != fullLog) {
        row_ = DataLogHeader(options_.fullLog, Msg100View(msg100.LastMessage()).ResolutionFlag());
        headerState_ = fullLog;
    }
    const DataLogSources sources{
        Msg1View(dispatcher_.Handler(Slots::Msg1).LastMessage()),
        Msg2View(dispatcher_.Handler(Slots::Msg2).LastMessage()),
        Msg99View(dispatcher_.Handler(Slots::Msg99).LastMessage()),
        Msg89View(dispatcher_.Handler(Slots::Msg89).LastMessage()),
        Msg100View(msg100.LastMessage()),
        &dispatcher_.Rd1(),
        dispatcher_.GpsUtcOffset().Get(),
    };
    AppendDataLogRow(row_, sources, reference_, {options_.logErrors, options_.fullLog});
    if (file_.WriteText(row_) && file_.Flush()) {
        ++rows_;
    }
}

void CDataLog::CheckDayFile(std::uint32_t now) {
    if (!Msg1Flowing(now)) {
        return;
    }
    const Msg1View msg1(dispatcher_.Handler(Slots::Msg1).LastMessage());
    if (!options_.autoLog || msg1.GpsWeek() == 0) {
        lastDaySecond_ = kUnknownDaySecond;
        return;
    }
    std::int32_t t = WholeSeconds(msg1.GpsTimeOfWeek()) - dispatcher_.GpsUtcOffset().Get();
    if (t < 0) {
        t += kSecondsPerWeek;
    }
    const std::int32_t daySecond = ((t % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    // The first valid row, or UTC midnight passed.
    if (daySecond < lastDaySecond_) {
        const std::string path = DayFilePath(now);
        if (!file_.Open(path, true)) {
            openFailure_ = LogFailure{path, "the day file cannot be opened"};
        }
        headerState_ = -1;
        pending_ = false;
    }
    lastDaySecond_ = daySecond;
}

std::string CDataLog::DayFilePath(std::uint32_t now) const {
    const Msg1View msg1(dispatcher_.Handler(Slots::Msg1).LastMessage());
    const std::int32_t offset = dispatcher_.GpsUtcOffset().Get();
    DateTimeText when;
    if (msg1.GpsWeek() != 0 && Msg1Flowing(now)) {
        when = UtcDateTimeText(msg1.GpsWeek(), msg1.GpsTimeOfWeek(), offset);
    } else {
        const Msg99View msg99(dispatcher_.Handler(Slots::Msg99).LastMessage());
        when = UtcDateTimeText(msg99.GpsWeek(), msg99.GpsTimeOfWeek(), offset);
    }
    return DayFileName(chosenPath_, DayFileDateText(when.View()));
}

}  // namespace zarnmon
