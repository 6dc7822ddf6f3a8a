#include "gui/link/serial_reconnector.h"

#include <QFileInfo>
#include <algorithm>

#include "gui/link/port_discovery.h"

namespace zarnmon {

CSerialReconnector::CSerialReconnector(const ITickClock& clock, BackOff backOff, QObject* parent)
    : QObject(parent), clock_(clock), policy_(backOff), lister_(&PresentDevices) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &CSerialReconnector::Poll);
}

void CSerialReconnector::Start(const DeviceIdentity& lost, qint32 baud) {
    lost_ = lost;
    baud_ = baud;
    link_.reset();
    policy_.Start(clock_.Now());
    Arm();
}

void CSerialReconnector::Stop() {
    policy_.Stop();
    timer_.stop();
}

void CSerialReconnector::Poll() {
    if (policy_.Due(clock_.Now())) {
        Attempt();
    }
    Arm();
}

bool CSerialReconnector::AttemptNow() {
    if (!policy_.Waiting()) {
        return false;
    }
    if (Attempt()) {
        return true;
    }
    policy_.Start(clock_.Now());
    Arm();
    return false;
}

bool CSerialReconnector::Attempt() {
    // Pseudo-terminals and symlinks are not listed: whether the path leads
    // to a device is asked of the file system.
    const bool pathExists = QFileInfo::exists(LostPath());
    if (const auto path = FindReturnedDevice(lost_, lister_(), pathExists)) {
        auto link = std::make_unique<CSerialPort>(QString::fromStdString(*path), baud_);
        if (link->open()) {
            Stop();
            link_ = std::move(link);
            emit returned();
            return true;
        }
    }
    policy_.Failed(clock_.Now());
    return false;
}

void CSerialReconnector::Arm() {
    if (!policy_.Waiting()) {
        timer_.stop();
        return;
    }
    // A clock that lags the timer (a test's) is looked at again as long later.
    timer_.start(static_cast<int>(std::max<std::uint32_t>(policy_.MsUntilDue(clock_.Now()), 1)));
}

}  // namespace zarnmon
