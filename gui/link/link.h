#pragma once

// A link to a receiver: something that carries the receiver's byte stream to
// the program and the program's commands to the receiver. Serial ports, TCP
// connections, raw-log replays and the built-in simulator all look like this
// to the main frame, which feeds every received chunk to the dispatcher and
// the binary log and sends every command through write().
//
// The link knows bytes and connection state, nothing of message formats.
//
// Lifecycle, enforced here for every kind of link:
//   closed --open()--> [opening] --opened()--> open --close()/loss--> closed()
// - opened() is reported only once the device is configured, so the first
//   byte the program sees comes from a port with the right line settings;
// - closed() is reported only if opened() was, so every listener sees
//   matched pairs and a failed open never looks like a disconnect;
// - at most one errorOccurred() per open/close cycle, so a dying device
//   that keeps failing raises one message box, not a flood;
// - writeFailed() when the receiver did not take output the program sent;
//   again only after it took output in between or in a new cycle, so a
//   stalled receiver is one report, not one per lost command;
// - bytes that arrive after the link closed are dropped, so nothing reaches
//   the dispatcher after the main frame has reset it for the next link;
// - bytesReceived() chunks are at most kMaxChunk bytes: the unit the
//   dispatcher and the binary log are fed in.
// A failed open reports errorOccurred() while isOpen() is false: at once from
// open() (which then returns false) or, for links that open asynchronously
// (TCP), later. A loss reports errorOccurred() while isOpen() is still true,
// then closed(). Listeners may close the link from any of its signals but
// must delete it only with deleteLater(): the link is still emitting.

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>

namespace zarnmon {

class CLink : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kMaxChunk = 1024;

    explicit CLink(QObject* parent = nullptr);
    ~CLink() override;
    CLink(const CLink&) = delete;
    CLink& operator=(const CLink&) = delete;

    // Starts opening: reports opened() (at once or later) or errorOccurred().
    // False when it failed at once; the error has been reported then too.
    virtual bool open() = 0;
    // Closes; reports closed() if opened() was reported. Idempotent.
    virtual void close() = 0;
    // Queues bytes for the receiver; false when the link is not open or the
    // bytes were refused.
    virtual bool write(const QByteArray& bytes) = 0;
    // What the status bar and "Couldn't Open %s" show for this link.
    [[nodiscard]] virtual QString displayName() const = 0;
    // False for links that cannot carry commands at all (a replay).
    [[nodiscard]] virtual bool acceptsCommands() const { return true; }

    [[nodiscard]] bool isOpen() const { return open_; }

signals:
    void bytesReceived(const QByteArray& chunk);
    void opened();
    void closed();
    // message is the system's reason in plain words ("No such file or
    // directory", "Connection refused"), not the link's name.
    void errorOccurred(const QString& message);
    // Output was discarded or refused: the receiver did not take a command.
    void writeFailed(const QString& message);

protected:
    // A new open/close cycle: one error report may be made in it.
    void beginCycle();
    void reportOpened();
    // Emits closed() only if opened() was emitted in this cycle.
    void reportClosed();
    // Emits errorOccurred() if none was emitted in this cycle.
    void reportError(const QString& message);
    // Emits writeFailed() unless it was emitted since the cycle began or the
    // receiver last took output.
    void reportWriteFailed(const QString& message);
    // The receiver took everything queued: a later failure is news again.
    void noteOutputTaken();
    // Emits bytes as chunks of at most kMaxChunk while the link is open; a
    // listener that closes the link stops the rest. A listener that runs a
    // nested event loop (a message box) may cause another delivery meanwhile;
    // its bytes queue behind the ones being emitted, so order is kept.
    void deliver(const QByteArray& bytes);
    // Reads everything the device holds and delivers it.
    void drain(QIODevice& device);

private:
    bool open_ = false;
    bool errorReported_ = false;
    bool writeFailureReported_ = false;
    bool delivering_ = false;
    QByteArray pending_;
    qsizetype pendingAt_ = 0;
};

}  // namespace zarnmon
