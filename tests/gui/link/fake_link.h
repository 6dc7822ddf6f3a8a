#pragma once

// CFakeLink: a link with no device behind it, for testing whatever sits on a
// link (the main frame, logs, the lifecycle rules of CLink itself).
//
//   open()            opens at once: opened(); or, after failNextOpen(msg),
//                     reports errorOccurred(msg) and stays closed
//   feed(bytes)       as if the receiver sent bytes: bytesReceived() chunks of
//                     at most 1024 while open; ignored while closed
//   injectError(msg)  the device is lost: one errorOccurred(msg), then closed()
//   write(bytes)      recorded while open; see written() and writes(). False
//                     when closed; after setWriteFails(true) false with a
//                     writeFailed() as a refusing device gives
//   injectWriteFailure(msg)  the receiver did not take the output: writeFailed(msg)
//                     (once until a write succeeds again, as every link)
//   close()           closed() if it was open
//
// Everything happens synchronously, inside the call, so tests need no event
// loop.

#include <QByteArray>
#include <QList>
#include <QString>

#include "gui/link/link.h"

namespace zarnmon::test {

class CFakeLink final : public CLink {
    Q_OBJECT

public:
    explicit CFakeLink(QObject* parent = nullptr) : CLink(parent) {}

    bool open() override {
        close();
        beginCycle();
        if (!nextOpenError_.isNull()) {
            const QString message = nextOpenError_;
            nextOpenError_.clear();
            reportError(message);
            return false;
        }
        reportOpened();
        return true;
    }
    void close() override { reportClosed(); }
    bool write(const QByteArray& bytes) override {
        if (!isOpen()) {
            return false;
        }
        if (writeFails_) {
            reportWriteFailed(QStringLiteral("The fake receiver refused %1 bytes").arg(bytes.size()));
            return false;
        }
        writes_.append(bytes);
        written_.append(bytes);
        noteOutputTaken();
        return true;
    }
    [[nodiscard]] QString displayName() const override { return QStringLiteral("Fake link"); }

    void feed(const QByteArray& bytes) { deliver(bytes); }
    void injectError(const QString& message) {
        reportError(message);
        reportClosed();
    }
    void injectWriteFailure(const QString& message) { reportWriteFailed(message); }
    void failNextOpen(const QString& message) { nextOpenError_ = message.isNull() ? QStringLiteral("") : message; }
    void setWriteFails(bool fails) { writeFails_ = fails; }

    // Everything written while open, in order, concatenated.
    [[nodiscard]] const QByteArray& written() const { return written_; }
    // One entry per accepted write().
    [[nodiscard]] const QList<QByteArray>& writes() const { return writes_; }
    void clearWritten() {
        written_.clear();
        writes_.clear();
    }

private:
    QString nextOpenError_;
    QByteArray written_;
    QList<QByteArray> writes_;
    bool writeFails_ = false;
};

}  // namespace zarnmon::test
