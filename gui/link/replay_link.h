#pragma once

// A recorded raw log (the binary log of an earlier session, or a file
// written by zarnmon-sim --out) played into the program as if a receiver
// were sending it: at the receiver's own pace (×1, paced by the time tags
// in the log, see CReplaySchedule), ten times faster, or as fast as the
// program takes it. The bytes go through the same path as a live link's,
// so every view, log and test sees a replay exactly as it saw the session.
//
// Opening reads the whole file into memory (a raw log grows by megabytes an
// hour, not gigabytes) and indexes it, then reports opened(); delivery
// starts from the event loop, so listeners connected after open() miss
// nothing. The end of the file closes the link (closed(), no error). A
// replay carries no commands: write() does nothing and returns false, and
// nothing is reported, since the auto-configure requests that would fail
// are not the user's doing. A file that cannot be read is reported with the
// system's reason ("No such file or directory").
//
// The paced speeds measure time on a tick clock, the steady one unless
// another is set, so a test can move time itself and call deliverDue().

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>

#include "core/link/replay_speed.h"
#include "core/link/tick_clock.h"
#include "gui/link/link.h"
#include "gui/link/replay_schedule.h"

namespace zarnmon {

class CReplayLink final : public CLink {
    Q_OBJECT

public:
    // Pace of the paced speeds' delivery ticks.
    static constexpr int kTickMs = 20;
    // Most bytes one tick delivers at the fastest speed, so the program
    // stays responsive while a long log plays: a quarter megabyte is some
    // twenty seconds of a receiver sending everything, a few milliseconds of
    // work. Every tick repaints the open views once, and that, not the
    // messages, is most of a fast replay's cost: smaller ticks repaint far
    // more often than a screen shows.
    static constexpr qsizetype kFastestBytesPerTick = 256 * 1024;

    explicit CReplayLink(QString filePath, ReplaySpeed speed = ReplaySpeed::RealTime, QObject* parent = nullptr);
    ~CReplayLink() override;

    bool open() override;
    void close() override;
    bool write(const QByteArray& bytes) override;
    // "Replay of <file name>".
    [[nodiscard]] QString displayName() const override;
    [[nodiscard]] bool acceptsCommands() const override { return false; }

    // The clock the paced speeds follow; it must outlive the link. The
    // replay continues from where it stands.
    void setClock(const ITickClock& clock);
    // Delivers what is due by now: what the delivery timer does every tick.
    void deliverDue();

    void setSpeed(ReplaySpeed speed);
    [[nodiscard]] ReplaySpeed speed() const { return speed_; }
    void pause();
    void resume();
    [[nodiscard]] bool isPaused() const { return paused_; }

    [[nodiscard]] qint64 playedBytes() const { return played_; }
    [[nodiscard]] qint64 totalBytes() const { return log_.size(); }
    [[nodiscard]] const QString& filePath() const { return filePath_; }
    [[nodiscard]] const CReplaySchedule& schedule() const { return schedule_; }

signals:
    // After every delivery: bytes played so far and the size of the log.
    void progressChanged(qint64 played, qint64 total);

private:
    // Where the replay stands on the log's own time line.
    [[nodiscard]] qint64 playMs() const;
    // Restarts the replay clock from the current position.
    void rebase();
    void startTicking();

    QString filePath_;
    ReplaySpeed speed_;
    QByteArray log_;
    CReplaySchedule schedule_;
    QTimer timer_;
    CSteadyTickClock steadyClock_;
    const ITickClock* clock_ = &steadyClock_;
    // The clock's reading when the replay last (re)started running, if it is.
    std::optional<std::uint32_t> runningSince_;
    qint64 baseMs_ = 0;
    qint64 played_ = 0;
    bool paused_ = false;
};

}  // namespace zarnmon
