#pragma once

// Brings back a serial receiver whose device went away: after the loss it
// looks for the device (by serial number, else by path: see
// reconnect_policy.h) on a back-off schedule, and opens it when it is back
// at the same line speed. The new link is open when returned() is emitted;
// whoever takes it attaches it to what the old one fed.
//
// The schedule runs on the program's clock; the timer only wakes the check,
// so a test on a clock of its own moves the clock and calls Poll().

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "core/link/reconnect_policy.h"
#include "core/link/tick_clock.h"
#include "gui/link/serial_link.h"

namespace zarnmon {

class CSerialReconnector final : public QObject {
    Q_OBJECT

public:
    // What the system lists now; tests stand in for it.
    using PortLister = std::function<std::vector<DeviceIdentity>()>;

    explicit CSerialReconnector(const ITickClock& clock, BackOff backOff = {}, QObject* parent = nullptr);

    void SetPortLister(PortLister lister) { lister_ = std::move(lister); }

    // The device of a link lost at baud went away: looks for it from now on.
    void Start(const DeviceIdentity& lost, qint32 baud);
    // Stops looking (another link was chosen, or the user gave up).
    void Stop();
    [[nodiscard]] bool Waiting() const { return policy_.Waiting(); }
    [[nodiscard]] QString LostPath() const { return QString::fromStdString(lost_.devicePath); }

    // Attempts when the schedule says so, and sets the timer for the next.
    void Poll();
    // Attempts at once: the user says the receiver is back. When it is not,
    // the schedule starts over, as the user is likely plugging it in.
    bool AttemptNow();
    // The link that came back, once, after returned().
    [[nodiscard]] std::unique_ptr<CSerialPort> TakeLink() { return std::move(link_); }

signals:
    void returned();

private:
    bool Attempt();
    void Arm();

    const ITickClock& clock_;
    CReconnectPolicy policy_;
    PortLister lister_;
    QTimer timer_;
    DeviceIdentity lost_;
    qint32 baud_ = 0;
    std::unique_ptr<CSerialPort> link_;
};

}  // namespace zarnmon
