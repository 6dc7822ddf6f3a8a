#pragma once

// A receiver behind a serial-to-network server (or zarnmon-sim --tcp),
// reached over TCP: the server's socket carries the receiver's serial byte
// stream both ways, unchanged.
//
// Opening connects asynchronously; opened() comes once the connection
// stands. A connection that is refused, cannot reach the host or does not
// stand within kConnectTimeoutMs is reported once and the link stays closed
// (no closed(): it never opened). A connection the server drops or that
// fails later is reported once, after the bytes that arrived before it, and
// followed by closed(). The reason reported is the system's ("Connection
// refused", "Host not found"). A write the socket refuses is reported by
// writeFailed().

#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include "gui/link/link.h"

namespace zarnmon {

class CTcpLink final : public CLink {
    Q_OBJECT

public:
    static constexpr int kConnectTimeoutMs = 10000;
    static constexpr qint64 kReceiveBufferSize = 65536;

    CTcpLink(QString host, quint16 port, QObject* parent = nullptr);
    ~CTcpLink() override;

    bool open() override;
    void close() override;
    bool write(const QByteArray& bytes) override;
    // "host:port".
    [[nodiscard]] QString displayName() const override;

    [[nodiscard]] const QString& host() const { return host_; }
    [[nodiscard]] quint16 port() const { return port_; }

private:
    void onConnected();
    void onSocketError();
    void onDisconnected();
    void onConnectTimeout();
    // Ends the cycle: keeps what arrived, drops the socket, reports once.
    void fail(const QString& message);
    void shutSocket();

    QString host_;
    quint16 port_;
    QTcpSocket socket_;
    QTimer connectTimer_;
    // Set while this link drops the socket itself: its disconnected() is
    // then a close, not a loss.
    bool shutting_ = false;
};

}  // namespace zarnmon
