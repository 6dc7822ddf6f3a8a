#pragma once

// The ports the "Open Receiver" dialog offers, discovered from the system
// each time the dialog opens. A port is identified by its device path (what
// CSerialPort opens); its display name shows the device and what the system
// says it is, with the USB vendor:product ids of USB serial adapters, so a
// user can tell the receiver from the other adapters on the machine.
//
// Discovery lists serial hardware only: pseudo-terminals (the simulator's
// --pty), symlinks such as /dev/serial/by-id/… and other unusual devices are
// not listed, so the dialog also takes a typed path, and PortDisplayName
// names any path. Discovery cannot fail loudly: when the system reports
// nothing, the list is empty.

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <vector>

#include "core/link/reconnect_policy.h"

namespace zarnmon {

// What the system says about one port.
struct PortFacts {
    QString devicePath;  // "/dev/ttyUSB0"
    QString portName;    // "ttyUSB0"
    QString description;
    QString manufacturer;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
    QString serialNumber{};  // USB adapters have one; most other ports none
};

struct PortEntry {
    QString devicePath;
    QString displayName;
    bool usb = false;
};

// The baud rates the dialog offers; it also takes a typed rate. The default
// is the profile's kDefaultBaud.
inline constexpr std::array<quint32, 15> kBaudRates{110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                                    19200, 38400, 56000, 57600, 115200, 128000, 230400};

// "/dev/ttyUSB0 - FT232R USB UART [0403:6001]"; "/dev/ttyS0" when the system
// has nothing to add.
[[nodiscard]] QString FormatPortDisplayName(const PortFacts& facts);
// The entries for these facts, sorted by device path with numbers in
// numeric order (ttyS2 before ttyS10).
[[nodiscard]] std::vector<PortEntry> MakePortList(const std::vector<PortFacts>& facts);
// What the system reports about every serial port now.
[[nodiscard]] std::vector<PortFacts> DiscoverPortFacts();
// Every serial port the system reports now.
[[nodiscard]] std::vector<PortEntry> DiscoverPorts();

// How a device path's device is known again after it went away: the serial
// number and ids of its port in facts (also through a symlink to it), with
// the path as given.
[[nodiscard]] DeviceIdentity IdentityOf(const QString& devicePath, const std::vector<PortFacts>& facts);
// The identities of the serial ports present now.
[[nodiscard]] std::vector<DeviceIdentity> PresentDevices();

// The device path of the first USB serial adapter in the list, which the
// USB port number stands for; empty when there is none.
[[nodiscard]] QString FirstUsbPort(const std::vector<PortEntry>& ports);

// The entry to show as chosen: the one with this device path (also through a
// symlink to it), else the first, else -1 for an empty list.
[[nodiscard]] int SelectPort(const std::vector<PortEntry>& ports, const QString& devicePath);
// The display name of a device path: its entry's name when the list holds
// it (also through a symlink), else the path as given.
[[nodiscard]] QString PortDisplayName(const QString& devicePath, const std::vector<PortEntry>& ports);
// The same against the ports present now.
[[nodiscard]] QString PortDisplayName(const QString& devicePath);

// The device of the classic port number n: COMn is /dev/ttyS(n-1) on Linux,
// "COMn" itself on Windows; empty for n < 1.
[[nodiscard]] QString ComPortDevicePath(int number);

}  // namespace zarnmon
