// The link of zarnmon-cli send: the program's own serial and TCP links, and
// its own dispatcher deciding which received lines are replies, run on a
// core application's event loop (no display is needed).
//
// Each command gets a window of --wait milliseconds from the moment it was
// sent; the next command goes out when the window closes. A reply line is
// one the reply handler ("$>") or the beacon-reply handler ("$C", and the
// acknowledgements the NMEA handler passes on to it) stores; lines stored
// before the first send belong to no command and are not shown.

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>
#include <memory>
#include <optional>

#include "cli/decode_command.h"
#include "cli/send_command.h"
#include "core/commands/command_send.h"
#include "core/link/msg_dispatcher.h"
#include "gui/link/serial_link.h"
#include "gui/link/tcp_link.h"

namespace zarnmon::cli {

namespace {

// Where the command page would send: the open link. The page's message for a
// closed port is shown on the error stream.
class CLinkSender final : public ICommandSender {
public:
    CLinkSender(CLink& link, std::ostream& err) : link_(link), err_(err) {}

    bool Send(std::string_view bytes, bool showErrors) override {
        if (!link_.isOpen()) {
            if (showErrors) {
                err_ << "zarnmon-cli send: Com Port or USB Port Must be Open to Send Data\n";
            }
            return false;
        }
        return link_.write(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }

private:
    CLink& link_;
    std::ostream& err_;
};

class CSendRun final : public IStoreTap {
public:
    CSendRun(const SendOptions& options, CLink& link, std::ostream& out, std::ostream& err)
        : options_(options), link_(link), sender_(link, err), out_(out), err_(err) {
        dispatcher_.SetStoreTap(this);
        replies_ = &dispatcher_.Handler(Slots::ReplyHandler);
        beaconReplies_ = &dispatcher_.Handler(Slots::BeaconReplyHandler);
        window_.setSingleShot(true);
        window_.setTimerType(Qt::PreciseTimer);
    }

    int Run() {
        QObject::connect(&link_, &CLink::bytesReceived, &loop_, [this](const QByteArray& chunk) {
            dispatcher_.Feed(std::span(reinterpret_cast<const std::uint8_t*>(chunk.constData()),
                                       static_cast<std::size_t>(chunk.size())));
        });
        QObject::connect(&link_, &CLink::opened, &loop_, [this] { SendNext(); });
        QObject::connect(&link_, &CLink::errorOccurred, &loop_, [this](const QString& reason) { OnError(reason); });
        QObject::connect(&link_, &CLink::writeFailed, &loop_, [this](const QString& message) {
            err_ << "zarnmon-cli send: " << message.toLocal8Bit().toStdString() << '\n';
        });
        QObject::connect(&link_, &CLink::closed, &loop_, [this] { OnLost(); });
        QObject::connect(&window_, &QTimer::timeout, &loop_, [this] {
            EndCommand();
            SendNext();
        });
        // A serial port opens (or fails) at once, a TCP link later.
        if (!link_.open() || finished_) {
            return status_;
        }
        return loop_.exec();
    }

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        if (current_ == 0 || (&handler != replies_ && &handler != beaconReplies_)) {
            return;
        }
        std::string_view line(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        while (line.ends_with('\n') || line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        out_ << line << '\n';
        ++repliesToCurrent_;
    }

private:
    void SendNext() {
        if (current_ == options_.commands.size()) {
            Finish(allAnswered_ ? kExitOk : kExitNoReply);
            return;
        }
        const std::string& command = options_.commands[current_++];
        repliesToCurrent_ = 0;
        if (SendTypedCommand(command, dispatcher_, sender_) != SendOutcome::Sent) {
            err_ << "zarnmon-cli send: '" << command << "' was not sent\n";
        }
        window_.start(static_cast<int>(options_.waitMs));
    }

    void EndCommand() {
        out_.flush();
        if (current_ != 0 && repliesToCurrent_ == 0) {
            allAnswered_ = false;
            err_ << "zarnmon-cli send: no reply to '" << options_.commands[current_ - 1] << "' within "
                 << options_.waitMs << " ms\n";
        }
    }

    void OnError(const QString& reason) {
        if (finished_) {
            return;
        }
        const std::string name = link_.displayName().toLocal8Bit().toStdString();
        const std::string why = reason.toLocal8Bit().toStdString();
        if (!link_.isOpen()) {
            err_ << "zarnmon-cli send: Couldn't Open " << name << ": " << why << '\n';
            Finish(kExitUsage);
            return;
        }
        err_ << "zarnmon-cli send: " << name << ": " << why << '\n';
    }

    // The link went away: the command in flight and the rest are unanswered.
    void OnLost() {
        if (finished_) {
            return;
        }
        window_.stop();
        EndCommand();
        if (current_ < options_.commands.size()) {
            err_ << "zarnmon-cli send: the link closed before every command was sent\n";
        }
        Finish(kExitNoReply);
    }

    void Finish(int status) {
        finished_ = true;
        status_ = status;
        window_.stop();
        link_.close();
        loop_.exit(status);
    }

    const SendOptions& options_;
    CLink& link_;
    CLinkSender sender_;
    std::ostream& out_;
    std::ostream& err_;
    CSteadyTickClock clock_;
    CMsgDispatcher dispatcher_{clock_};
    const CMsgHandler* replies_ = nullptr;
    const CMsgHandler* beaconReplies_ = nullptr;
    QEventLoop loop_;
    QTimer window_;
    std::size_t current_ = 0;  // commands sent so far
    int repliesToCurrent_ = 0;
    bool allAnswered_ = true;
    bool finished_ = false;
    int status_ = kExitUsage;
};

std::unique_ptr<CLink> MakeLink(const SendOptions& options) {
    if (options.device.empty()) {
        return std::make_unique<CTcpLink>(QString::fromStdString(options.host), options.tcpPort);
    }
    return std::make_unique<CSerialPort>(QString::fromLocal8Bit(options.device), static_cast<qint32>(options.baud));
}

}  // namespace

int SendOverLink(const SendOptions& options, std::ostream& out, std::ostream& err) {
    // The links need an application object for their sockets and timers;
    // within a program that has one already, that one serves.
    int argc = 1;
    char name[] = "zarnmon-cli";
    char* argv[] = {name, nullptr};
    std::optional<QCoreApplication> app;
    if (QCoreApplication::instance() == nullptr) {
        app.emplace(argc, argv);
        // The port's set-up notes are for a debugger, not for the user of a
        // command; line errors (warnings) still show.
        QLoggingCategory::setFilterRules(QStringLiteral("zarnmon.serial.debug=false"));
    }
    const std::unique_ptr<CLink> link = MakeLink(options);
    CSendRun run(options, *link, out, err);
    return run.Run();
}

}  // namespace zarnmon::cli
