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
    const bool loop = timeline_.Loops();
    timeline_ = CReplayTimeline();
    timeline_.SetLoop(loop);
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
    // The timeline reads the log in place: log_ is not touched again while open.
    timeline_ = CReplayTimeline(
        std::span(reinterpret_cast<const std::uint8_t*>(log_.constData()), static_cast<std::size_t>(log_.size())));
    timeline_.SetLoop(loop);
    baseMs_ = 0;
    reportOpened();
    emit progressChanged(playedBytes(), totalBytes());
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

void CReplayLink::seek(qint64 offset) {
    if (!isOpen()) {
        return;
    }
    emit catchingUp(true);
    timeline_.SeekTo(static_cast<std::size_t>(std::clamp<qint64>(offset, 0, totalBytes())), *this);
    emit catchingUp(false);
    // The paced speeds go on from the time reached.
    baseMs_ = timeline_.PlayMs();
    if (runningSince_) {
        runningSince_ = clock_->Now();
    }
    emit progressChanged(playedBytes(), totalBytes());
}

void CReplayLink::seekToMs(qint64 playMs) { seek(static_cast<qint64>(timeline_.OffsetAtMs(playMs))); }

void CReplayLink::step(ReplayStep step) { seek(static_cast<qint64>(timeline_.StepTarget(step))); }

void CReplayLink::Restart() { emit rewound(); }

void CReplayLink::Feed(std::span<const std::uint8_t> bytes, bool /*repeat*/) {
    // Listeners ask isRepeat() while the bytes are delivered.
    deliver(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

qint64 CReplayLink::playMs() const {
    if (speed_ == ReplaySpeed::Fastest) {
        return timeline_.PlayMs();
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
    if (timeline_.AtEnd()) {
        // Played to the end while paused or looping: a looping replay starts again now.
        if (timeline_.Loops() && timeline_.Size() > 0) {
            seek(0);
        } else {
            timer_.stop();
            reportClosed();
        }
        return;
    }
    const std::size_t position = timeline_.Position();
    const std::size_t due = speed_ == ReplaySpeed::Fastest ? position + static_cast<std::size_t>(kFastestBytesPerTick)
                                                           : schedule().DueBytes(playMs());
    timeline_.PlayTo(due, *this);
    if (timeline_.Position() != position) {
        emit progressChanged(playedBytes(), totalBytes());
    }
    if (isOpen() && timeline_.AtEnd() && !timeline_.Loops()) {
        timer_.stop();
        reportClosed();
    }
}

}  // namespace zarnmon
