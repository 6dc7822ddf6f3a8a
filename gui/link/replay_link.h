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
// nothing. Playing to the end of the file closes the link (closed(), no
// error); a move to the end leaves it open until it plays on. A
// replay carries no commands: write() does nothing and returns false, and
// nothing is reported, since the auto-configure requests that would fail
// are not the user's doing. A file that cannot be read is reported with the
// system's reason ("No such file or directory").
//
// The paced speeds measure time on a tick clock, the steady one unless
// another is set, so a test can move time itself and call deliverDue().
//
// The replay can be moved (CReplayTimeline): seeking back reports rewound()
// and plays the log again from its start, seeking forward plays the stretch
// between, both at once and bracketed by catchingUp(true) and
// catchingUp(false), so listeners can hold back what they would do for
// every message until the end. Bytes played a second time are delivered as
// repeats (isRepeat() while they are delivered): the logs already have them.
// A looping replay starts again at its end instead of closing; the wrap
// waits for the next delivery tick, so what the last bytes posted is
// handled first.

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>

#include "core/link/replay_speed.h"
#include "core/link/replay_timeline.h"
#include "core/link/tick_clock.h"
#include "gui/link/link.h"

namespace zarnmon {

class CReplayLink final : public CLink, private IReplayFeed {
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

    // Moves the replay to offset bytes into the log; playing or paused, it
    // stays so.
    void seek(qint64 offset);
    // Moves the replay to where playMs of the log's time have played.
    void seekToMs(qint64 playMs);
    void step(ReplayStep step);
    void setLoop(bool loop) { timeline_.SetLoop(loop); }
    [[nodiscard]] bool loops() const { return timeline_.Loops(); }
    // The bytes being delivered (or, after a delivery, the last delivered)
    // were played before in this replay.
    [[nodiscard]] bool isRepeat() const { return timeline_.LastWasRepeat(); }

    [[nodiscard]] qint64 playedBytes() const { return static_cast<qint64>(timeline_.Position()); }
    [[nodiscard]] qint64 totalBytes() const { return log_.size(); }
    [[nodiscard]] const QString& filePath() const { return filePath_; }
    [[nodiscard]] const CReplaySchedule& schedule() const { return timeline_.Schedule(); }
    [[nodiscard]] const CReplayTimeline& timeline() const { return timeline_; }

signals:
    // After every delivery and every move: bytes played so far and the size of the log.
    void progressChanged(qint64 played, qint64 total);
    // The replay went back: what was received so far no longer stands, and
    // the log plays again from its start.
    void rewound();
    // Around the bytes a move plays at once.
    void catchingUp(bool on);

private:
    void Restart() override;
    void Feed(std::span<const std::uint8_t> bytes, bool repeat) override;

    // Where the replay stands on the log's own time line.
    [[nodiscard]] qint64 playMs() const;
    // Restarts the replay clock from the current position.
    void rebase();
    void startTicking();

    QString filePath_;
    ReplaySpeed speed_;
    QByteArray log_;
    CReplayTimeline timeline_;
    QTimer timer_;
    CSteadyTickClock steadyClock_;
    const ITickClock* clock_ = &steadyClock_;
    // The clock's reading when the replay last (re)started running, if it is.
    std::optional<std::uint32_t> runningSince_;
    qint64 baseMs_ = 0;
    bool paused_ = false;
};

}  // namespace zarnmon
