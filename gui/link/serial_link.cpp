#include "gui/link/serial_link.h"

#include <algorithm>
#include <utility>
#include <vector>

Q_LOGGING_CATEGORY(lcZarnSerial, "zarnmon.serial")

namespace zarnmon {

namespace {

// Errors QSerialPort reports while the port stays usable, as comm-error
// flags; 0 for those that have none (they are logged by number).
std::uint32_t FlagsOf(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::WriteError:
        case QSerialPort::UnknownError:
            return CommError::Ioe;
        case QSerialPort::UnsupportedOperationError:
            return CommError::Mode;
        default:
            return 0;
    }
}

}  // namespace

CSerialPort::CSerialPort(QString devicePath, qint32 baudRate, QObject* parent)
    : CLink(parent), devicePath_(std::move(devicePath)), baudRate_(baudRate) {
    const std::vector<PortFacts> present = DiscoverPortFacts();
    displayName_ = PortDisplayName(devicePath_, MakePortList(present));
    identity_ = IdentityOf(devicePath_, present);
    quietTimer_.setSingleShot(true);
    quietTimer_.setTimerType(Qt::PreciseTimer);
    quietTimer_.setInterval(kQuietGapMs);
    writeTimer_.setSingleShot(true);
    connect(&port_, &QSerialPort::readyRead, this, &CSerialPort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &CSerialPort::onPortError);
    connect(&port_, &QSerialPort::bytesWritten, this, &CSerialPort::onBytesWritten);
    connect(&quietTimer_, &QTimer::timeout, this, &CSerialPort::onQuietGap);
    connect(&writeTimer_, &QTimer::timeout, this, &CSerialPort::onWriteTimeout);
}

QString OpenFailureReason(QSerialPort::SerialPortError error, const QString& text) {
    // Qt words a port that another program holds as a failure to lock it;
    // users know that as busy.
    if (error == QSerialPort::PermissionError && text.contains(QLatin1String("locking"))) {
        return QStringLiteral("Device or resource busy: another program has the port open");
    }
    return text;
}

CSerialPort::~CSerialPort() {
    // Nobody is left to tell: release the port without signals.
    QObject::disconnect(&port_, nullptr, this, nullptr);
    shutPort();
}

bool CSerialPort::open() {
    // Opening an open link starts over, as reopening a port always did.
    close();
    beginCycle();
    port_.setPortName(devicePath_);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QString reason = OpenFailureReason(port_.error(), port_.errorString());
        port_.clearError();
        reportError(reason);
        return false;
    }
    if (!configure()) {
        const QString reason = port_.errorString();
        shutPort();
        reportError(reason);
        return false;
    }
#if defined(Q_OS_UNIX)
    lineErrors_.Reset(port_.handle());
#endif
    // Reported only now that the line settings are in place.
    reportOpened();
    return true;
}

bool CSerialPort::configure() {
    settingUp_ = true;
    // The port holds at most this much; a full buffer pauses reading.
    port_.setReadBufferSize(kReceiveBufferSize);
    const bool lineSet = port_.setBaudRate(baudRate_) && port_.setDataBits(QSerialPort::Data8) &&
                         port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop) &&
                         port_.setFlowControl(QSerialPort::NoFlowControl);
    if (lineSet) {
        port_.clear(QSerialPort::AllDirections);
        // Pseudo-terminals and some adapters have no modem lines: a receiver
        // on them works without DTR and RTS, so failing to raise them is not
        // a failure to open.
        if (!port_.setDataTerminalReady(true) || !port_.setRequestToSend(true)) {
            qCDebug(lcZarnSerial) << "no modem lines on" << devicePath_ << "-" << port_.errorString();
            port_.clearError();
        }
    }
    settingUp_ = false;
    return lineSet;
}

void CSerialPort::close() {
    shutPort();
    reportClosed();
}

void CSerialPort::shutPort() {
    quietTimer_.stop();
    writeTimer_.stop();
    lineErrors_.Reset(-1);
    if (!port_.isOpen()) {
        return;
    }
    settingUp_ = true;
    port_.setDataTerminalReady(false);
    port_.clear(QSerialPort::AllDirections);
    port_.close();
    port_.clearError();
    settingUp_ = false;
}

bool CSerialPort::write(const QByteArray& bytes) {
    if (!isOpen() || !port_.isOpen()) {
        return false;
    }
    if (port_.write(bytes) != bytes.size()) {
        // The port's own error, if any, has been logged by onPortError already.
        reportWriteFailed(QStringLiteral("The port refused %1 bytes of commands").arg(bytes.size()));
        return false;
    }
    // The time-out counts from the moment the output queue stopped being empty.
    if (!writeTimer_.isActive()) {
        writeTimer_.start(kWriteTimeoutMs);
    }
    return true;
}

void CSerialPort::setNotifyThreshold(qint64 threshold, int gapMs) {
    threshold_ = std::max<qint64>(0, std::min(threshold, kReceiveBufferSize));
    quietTimer_.setInterval(std::max(0, gapMs));
    if (port_.isOpen() && port_.bytesAvailable() >= threshold_) {
        onQuietGap();
    }
}

void CSerialPort::onReadyRead() {
    logLineErrors();
    // A full port buffer reads no more until it is emptied: hand it on too.
    const qint64 waiting = port_.bytesAvailable();
    if (waiting >= threshold_ || waiting >= kReceiveBufferSize) {
        quietTimer_.stop();
        drain(port_);
        return;
    }
    // The quiet gap counts from the last arrival, as an interval time-out does.
    quietTimer_.start();
}

void CSerialPort::onQuietGap() {
    quietTimer_.stop();
    drain(port_);
}

void CSerialPort::onPortError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || settingUp_ || !port_.isOpen()) {
        return;
    }
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError) {
        // The system's reason is not worth showing: a read that finds the
        // device gone often leaves errno from some earlier call.
        lose(QStringLiteral("The connection to %1 was lost").arg(displayName_));
        return;
    }
    if (error == QSerialPort::WriteError) {
        // Output the line did not take is a command the receiver never saw.
        reportWriteFailed(QStringLiteral("Writing to the port failed: %1").arg(port_.errorString()));
    }
    const std::uint32_t flags = FlagsOf(error);
    if (flags != 0) {
        qCWarning(lcZarnSerial).noquote() << QString::fromLatin1(CommErrorLine(flags).c_str());
    } else {
        qCWarning(lcZarnSerial).noquote() << QStringLiteral("<CE-%1>").arg(static_cast<int>(error));
    }
    port_.clearError();
}

void CSerialPort::onBytesWritten() {
    if (port_.bytesToWrite() == 0) {
        writeTimer_.stop();
        noteOutputTaken();
    }
}

void CSerialPort::onWriteTimeout() {
    if (!port_.isOpen() || port_.bytesToWrite() == 0) {
        return;
    }
    const qint64 discarded = port_.bytesToWrite();
    qCDebug(lcZarnSerial) << "write time-out:" << discarded << "bytes not sent";
    port_.clear(QSerialPort::Output);
    reportWriteFailed(QStringLiteral("The receiver did not take %1 bytes of commands within %2 ms; they were discarded")
                          .arg(discarded)
                          .arg(kWriteTimeoutMs));
}

void CSerialPort::logLineErrors() {
    if (const std::uint32_t flags = lineErrors_.Poll(); flags != 0) {
        qCWarning(lcZarnSerial).noquote() << QString::fromLatin1(CommErrorLine(flags).c_str());
    }
}

void CSerialPort::lose(const QString& message) {
    // Closing the device discards what the port holds, so take it first.
    const QByteArray rest = port_.readAll();
    // Close before anything else: the port would keep reporting the error
    // in a tight loop, even from a nested event loop run by a listener.
    shutPort();
    deliver(rest);
    reportError(message);
    reportClosed();
}

}  // namespace zarnmon
