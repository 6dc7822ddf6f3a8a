#pragma once

// A receiver on a serial port (a COM port, a USB serial adapter, or the
// simulator's pseudo-terminal), on QSerialPort with event-driven reads on the
// GUI thread.
//
// Line settings: the configured baud rate (the profile's default unless chosen otherwise),
// 8 data bits, no parity, 1 stop bit, no flow control, binary (raw) mode;
// DTR and RTS raised while open, DTR dropped at close; both directions
// purged at open and at close.
//
// Reads are batched as the receiver's port always batched them: the bytes are
// handed on once 128 of them wait, or when the line has been quiet for 10 ms
// (the end of a burst), and then everything waiting goes out in chunks of at
// most 1024. At most 65536 received bytes are held; beyond that the port
// stops reading and the driver's own buffer overflows, so the newest bytes
// are lost.
//
// Writes are queued and leave as the line takes them. Output that has not
// drained 1000 ms after the queue last ran empty is discarded: a receiver
// that stopped reading (hardware handshake lines on an unwired cable) cannot
// make the program's output pile up. The discard, or a write the port
// refuses outright, is reported by writeFailed(): once, until the line
// takes output again.
//
// Errors: line errors (break, framing, overrun, parity) are logged to the
// "zarnmon.serial" category as "<CE-%s>" lines and never reach the user; the
// bytes around them are kept. A read or resource error means the device is
// gone (unplugged, or the pseudo-terminal's other end closed): QSerialPort
// then reports ReadError in a tight loop while the port still looks open, so
// the port is closed at the first one, the bytes already read are delivered,
// and the loss is reported once, followed by closed().

#include <QLoggingCategory>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include "core/app/settings_keys.h"
#include "gui/link/comm_errors.h"
#include "gui/link/link.h"
#include "gui/link/port_discovery.h"

Q_DECLARE_LOGGING_CATEGORY(lcZarnSerial)

namespace zarnmon {

// Why a port did not open, in the words users know: Qt's text, except that a
// port another program holds is "busy".
[[nodiscard]] QString OpenFailureReason(QSerialPort::SerialPortError error, const QString& text);

class CSerialPort final : public CLink {
    Q_OBJECT

public:
    static constexpr qint64 kReceiveBufferSize = 65536;
    static constexpr qint64 kNotifyThreshold = 128;
    static constexpr int kQuietGapMs = 10;
    static constexpr int kWriteTimeoutMs = 1000;

    CSerialPort(QString devicePath, qint32 baudRate = kDefaultBaud, QObject* parent = nullptr);
    ~CSerialPort() override;

    // Opens and configures the port at once: true and opened(), or false
    // and errorOccurred() with the system's reason.
    bool open() override;
    void close() override;
    bool write(const QByteArray& bytes) override;
    // The port's name in the port list ("/dev/ttyUSB0 - … [0403:6001]"), or
    // the path itself for ports the list does not show.
    [[nodiscard]] QString displayName() const override { return displayName_; }

    // Batching of received bytes: hand them on once threshold bytes wait
    // (0: at once) or after gapMs of quiet. Takes effect immediately.
    void setNotifyThreshold(qint64 threshold, int gapMs = kQuietGapMs);

    [[nodiscard]] const QString& devicePath() const { return devicePath_; }
    [[nodiscard]] qint32 baudRate() const { return baudRate_; }
    // How the device is known again once it has gone away: taken when the
    // link is made, while the system still lists it.
    [[nodiscard]] const DeviceIdentity& identity() const { return identity_; }
    // Bytes still queued for the receiver.
    [[nodiscard]] qint64 pendingOutput() const { return port_.isOpen() ? port_.bytesToWrite() : 0; }
    // Bytes received and held back until the threshold or the quiet gap.
    [[nodiscard]] qint64 heldInput() const { return port_.isOpen() ? port_.bytesAvailable() : 0; }

private:
    bool configure();
    void onReadyRead();
    void onQuietGap();
    void onPortError(QSerialPort::SerialPortError error);
    void onBytesWritten();
    void onWriteTimeout();
    void logLineErrors();
    // The device is gone: close at once, deliver what was read, report once.
    void lose(const QString& message);
    // Releases the port without any signal of this link.
    void shutPort();

    QString devicePath_;
    qint32 baudRate_;
    QString displayName_;
    DeviceIdentity identity_;
    qint64 threshold_ = kNotifyThreshold;
    QSerialPort port_;
    QTimer quietTimer_;
    QTimer writeTimer_;
    CLineErrorWatch lineErrors_;
    // Set while the port is configured or released: failures of optional
    // settings (DTR on a pseudo-terminal) are expected then, not line errors.
    bool settingUp_ = false;
};

}  // namespace zarnmon
