#include "gui/link/replay_link.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <span>
#include <utility>

namespace zarnmon {

namespace {

qint64 Factor(ReplaySpeed speed) { return speed == ReplaySpeed::Times10 ? 10 : 1; }

}  // namespace

CReplayLink::CReplayLink(QString filePath, ReplaySpeed speed, QObject* parent)
    : CLink(parent), filePath_(std::move(filePath)), speed_(speed) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CReplayLink::deliverDue);
}

CReplayLink::~CReplayLink() = default;

QString CReplayLink::displayName() const { return QStringLiteral("Replay of %1").arg(QFileInfo(filePath_).fileName()); }

bool CReplayLink::open() {
    close();
    beginCycle();
    QFile file(filePath_);
    if (!file.open(QIODevice::ReadOnly)) {
        reportError(QStringLiteral("Cannot read %1: %2").arg(filePath_, file.errorString()));
        return false;
    }
    log_ = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        log_.clear();
        reportError(QStringLiteral("Cannot read %1: %2").arg(filePath_, reason));
        return false;
    }
    schedule_ = CReplaySchedule(
        std::span(reinterpret_cast<const std::uint8_t*>(log_.constData()), static_cast<std::size_t>(log_.size())));
    played_ = 0;
    baseMs_ = 0;
    reportOpened();
    emit progressChanged(played_, totalBytes());
    runningSince_.reset();
    if (!paused_) {
        runningSince_ = clock_->Now();
        startTicking();
    }
    return true;
}

void CReplayLink::close() {
    timer_.stop();
    runningSince_.reset();
    reportClosed();
}

bool CReplayLink::write(const QByteArray& /*bytes*/) { return false; }

void CReplayLink::setClock(const ITickClock& clock) {
    baseMs_ = playMs();
    clock_ = &clock;
    if (runningSince_) {
        runningSince_ = clock_->Now();
    }
}

void CReplayLink::setSpeed(ReplaySpeed speed) {
    if (speed == speed_) {
        return;
    }
    rebase();
    speed_ = speed;
    if (timer_.isActive()) {
        startTicking();
    }
}

void CReplayLink::pause() {
    if (paused_) {
        return;
    }
    baseMs_ = playMs();
    runningSince_.reset();
    paused_ = true;
    timer_.stop();
}

void CReplayLink::resume() {
    if (!paused_) {
        return;
    }
    paused_ = false;
    if (isOpen()) {
        runningSince_ = clock_->Now();
        startTicking();
    }
}

qint64 CReplayLink::playMs() const {
    if (speed_ == ReplaySpeed::Fastest) {
        return schedule_.DueMs(static_cast<std::size_t>(played_));
    }
    // Unsigned difference: right across the clock's 32-bit wrap.
    const qint64 running = runningSince_ ? static_cast<qint64>(clock_->Now() - *runningSince_) : 0;
    return baseMs_ + running * Factor(speed_);
}

void CReplayLink::rebase() {
    baseMs_ = playMs();
    if (runningSince_) {
        runningSince_ = clock_->Now();
    }
}

void CReplayLink::startTicking() { timer_.start(speed_ == ReplaySpeed::Fastest ? 0 : kTickMs); }

void CReplayLink::deliverDue() {
    if (!isOpen()) {
        timer_.stop();
        return;
    }
    qint64 due = totalBytes();
    if (speed_ == ReplaySpeed::Fastest) {
        due = std::min(totalBytes(), played_ + kFastestBytesPerTick);
    } else {
        due = static_cast<qint64>(schedule_.DueBytes(playMs()));
    }
    if (due > played_) {
        const qint64 from = played_;
        // Counted before delivery: a listener that pauses or asks for the
        // position meanwhile sees these bytes as played.
        played_ = due;
        deliver(log_.sliced(from, due - from));
        emit progressChanged(played_, totalBytes());
    }
    if (isOpen() && played_ >= totalBytes()) {
        timer_.stop();
        reportClosed();
    }
}

}  // namespace zarnmon
