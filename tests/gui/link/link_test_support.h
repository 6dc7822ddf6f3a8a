#pragma once

// Shared by the link tests: a recorder of everything a link reports, in
// order; the real simulator as a child process; and a dispatcher to decode
// what arrived.

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "core/link/msg_dispatcher.h"
#include "core/link/tick_clock.h"
#include "gui/link/link.h"

namespace zarnmon::test {

// Everything a link reported, in order.
class CLinkRecorder {
public:
    enum class Kind : std::uint8_t { Bytes, Opened, Closed, Error, WriteFailed };
    struct Event {
        Kind kind;
        QByteArray bytes;  // the chunk, or the error or write-failure message
    };

    explicit CLinkRecorder(CLink& link) {
        QObject::connect(&link, &CLink::bytesReceived, &link, [this](const QByteArray& chunk) {
            events.push_back({Kind::Bytes, chunk});
            received.append(chunk);
            largestChunk = std::max(largestChunk, chunk.size());
            if (onBytes) {
                onBytes(chunk);
            }
        });
        QObject::connect(&link, &CLink::opened, &link, [this] { events.push_back({Kind::Opened, {}}); });
        QObject::connect(&link, &CLink::closed, &link, [this] { events.push_back({Kind::Closed, {}}); });
        QObject::connect(&link, &CLink::errorOccurred, &link, [this](const QString& message) {
            events.push_back({Kind::Error, message.toLocal8Bit()});
        });
        QObject::connect(&link, &CLink::writeFailed, &link, [this](const QString& message) {
            events.push_back({Kind::WriteFailed, message.toLocal8Bit()});
        });
    }

    [[nodiscard]] int Count(Kind kind) const {
        return static_cast<int>(std::ranges::count(events, kind, &Event::kind));
    }
    // The message of the first error or write failure, or empty.
    [[nodiscard]] QString FirstMessage(Kind kind) const {
        const int at = First(kind);
        return at < 0 ? QString() : QString::fromLocal8Bit(events[static_cast<std::size_t>(at)].bytes);
    }
    // Index of the first event of a kind, or -1.
    [[nodiscard]] int First(Kind kind) const {
        const auto it = std::ranges::find(events, kind, &Event::kind);
        return it == events.end() ? -1 : static_cast<int>(it - events.begin());
    }
    // Index of the last event of a kind, or -1.
    [[nodiscard]] int Last(Kind kind) const {
        for (auto i = static_cast<int>(events.size()) - 1; i >= 0; --i) {
            if (events[static_cast<std::size_t>(i)].kind == kind) {
                return i;
            }
        }
        return -1;
    }

    std::vector<Event> events;
    QByteArray received;
    qsizetype largestChunk = 0;
    std::function<void(const QByteArray&)> onBytes;
};

// A dispatcher that decodes what a link delivers.
struct Decoder {
    CManualTickClock clock;
    std::unique_ptr<CMsgDispatcher> dispatcher = std::make_unique<CMsgDispatcher>(clock);

    void Feed(const QByteArray& chunk) {
        dispatcher->Feed(std::span(reinterpret_cast<const std::uint8_t*>(chunk.constData()),
                                   static_cast<std::size_t>(chunk.size())));
    }
    [[nodiscard]] bool Has(int slot) const { return dispatcher->Handler(slot).LastLength() > 0; }
};

// zarnmon-sim as a child process, serving for at most 30 s; the first line it
// prints is its address (a device path or host:port).
class CSimProcess {
public:
    explicit CSimProcess(QStringList args) {
        args << QStringLiteral("--quiet") << QStringLiteral("--seconds") << QStringLiteral("30");
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(ZARNMON_SIM_PROGRAM), args);
        if (!process_.waitForStarted(5000)) {
            return;
        }
        while (!process_.canReadLine() && process_.waitForReadyRead(5000)) {
        }
        address_ = QString::fromLatin1(process_.readLine()).trimmed();
    }
    ~CSimProcess() { Kill(); }
    CSimProcess(const CSimProcess&) = delete;
    CSimProcess& operator=(const CSimProcess&) = delete;

    [[nodiscard]] const QString& Address() const { return address_; }
    // Ends it at once, as a pulled cable or a crashed server would.
    void Kill() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

private:
    QProcess process_;
    QString address_;
};

// A loopback port nobody listens on right now.
inline quint16 FreePort() {
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        return 0;
    }
    return server.serverPort();
}

// Runs the event loop until done() or timeoutMs; the final value of done().
// The time-out only bounds a failing test: nothing waits for it to pass.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
    return QTest::qWaitFor(done, timeoutMs);
}

// Lets everything already pending happen (posted events, ready sockets and
// devices, due timers) without waiting for time to pass: enough to show a
// report that would follow another in a loop.
inline void SpinEventLoop(int rounds = 100) {
    for (int i = 0; i < rounds; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

}  // namespace zarnmon::test
