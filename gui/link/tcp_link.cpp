#include "gui/link/tcp_link.h"

#include <utility>

namespace zarnmon {

CTcpLink::CTcpLink(QString host, quint16 port, QObject* parent) : CLink(parent), host_(std::move(host)), port_(port) {
    connectTimer_.setSingleShot(true);
    connect(&socket_, &QTcpSocket::connected, this, &CTcpLink::onConnected);
    connect(&socket_, &QTcpSocket::readyRead, this, [this] { drain(socket_); });
    connect(&socket_, &QTcpSocket::errorOccurred, this, &CTcpLink::onSocketError);
    connect(&socket_, &QTcpSocket::disconnected, this, &CTcpLink::onDisconnected);
    connect(&socket_, &QTcpSocket::bytesWritten, this, [this] {
        if (socket_.bytesToWrite() == 0) {
            noteOutputTaken();
        }
    });
    connect(&connectTimer_, &QTimer::timeout, this, &CTcpLink::onConnectTimeout);
}

CTcpLink::~CTcpLink() {
    // Nobody is left to tell: drop the connection without signals.
    QObject::disconnect(&socket_, nullptr, this, nullptr);
    shutSocket();
}

QString CTcpLink::displayName() const { return QStringLiteral("%1:%2").arg(host_).arg(port_); }

bool CTcpLink::open() {
    close();
    beginCycle();
    socket_.setReadBufferSize(kReceiveBufferSize);
    socket_.connectToHost(host_, port_);
    connectTimer_.start(kConnectTimeoutMs);
    return true;
}

void CTcpLink::close() {
    shutSocket();
    reportClosed();
}

void CTcpLink::shutSocket() {
    connectTimer_.stop();
    shutting_ = true;
    socket_.abort();
    shutting_ = false;
}

bool CTcpLink::write(const QByteArray& bytes) {
    if (!isOpen() || socket_.state() != QAbstractSocket::ConnectedState) {
        return false;
    }
    if (socket_.write(bytes) != bytes.size()) {
        reportWriteFailed(QStringLiteral("The connection refused %1 bytes of commands: %2")
                              .arg(bytes.size())
                              .arg(socket_.errorString()));
        return false;
    }
    return true;
}

void CTcpLink::onConnected() {
    connectTimer_.stop();
    // Commands are a few bytes each: send them at once rather than gathered.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    reportOpened();
    drain(socket_);
}

void CTcpLink::onSocketError() {
    if (!shutting_) {
        fail(socket_.errorString());
    }
}

void CTcpLink::onDisconnected() {
    if (!shutting_ && isOpen()) {
        fail(QStringLiteral("The connection to %1 was closed").arg(displayName()));
    }
}

void CTcpLink::onConnectTimeout() {
    fail(QStringLiteral("No connection to %1 within %2 s").arg(displayName()).arg(kConnectTimeoutMs / 1000));
}

void CTcpLink::fail(const QString& message) {
    // Dropping the socket discards what it holds, so take it first.
    const QByteArray rest = socket_.bytesAvailable() > 0 ? socket_.readAll() : QByteArray();
    shutSocket();
    deliver(rest);
    reportError(message);
    reportClosed();
}

}  // namespace zarnmon
