#include "gui/link/port_discovery.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace zarnmon {

namespace {

// "ttyS10" → ("ttyS", 10); text without a trailing number → (text, -1).
std::pair<QString, long long> SplitTrailingNumber(const QString& text) {
    qsizetype digits = text.size();
    while (digits > 0 && text.at(digits - 1).isDigit()) {
        --digits;
    }
    if (digits == text.size()) {
        return {text, -1};
    }
    return {text.left(digits), text.mid(digits).toLongLong()};
}

bool NaturalLess(const QString& a, const QString& b) {
    const auto [stemA, numberA] = SplitTrailingNumber(a);
    const auto [stemB, numberB] = SplitTrailingNumber(b);
    if (stemA != stemB) {
        return stemA < stemB;
    }
    return numberA != numberB ? numberA < numberB : a < b;
}

// Where a path leads, so a symlink names the port it points at.
QString Resolved(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

// The port of a device path, also through a symlink; path projects a port to its device path.
template <typename Port, typename Path>
const Port* FindPort(const std::vector<Port>& ports, const QString& devicePath, Path path) {
    const auto exact = std::ranges::find(ports, devicePath, path);
    if (exact != ports.end()) {
        return &*exact;
    }
    const QString target = Resolved(devicePath);
    const auto linked = std::ranges::find_if(ports, [&](const Port& port) { return Resolved(path(port)) == target; });
    return linked != ports.end() ? &*linked : nullptr;
}

const PortEntry* FindEntry(const std::vector<PortEntry>& ports, const QString& devicePath) {
    return FindPort(ports, devicePath, [](const PortEntry& entry) { return entry.devicePath; });
}

QString PathOf(const PortFacts& port) { return port.devicePath.isEmpty() ? port.portName : port.devicePath; }

DeviceIdentity IdentityFrom(const QString& devicePath, const PortFacts* port) {
    DeviceIdentity identity{devicePath.toStdString(), {}, {}, {}};
    if (port != nullptr) {
        identity.serialNumber = port->serialNumber.trimmed().toStdString();
        identity.vendorId = port->vendorId;
        identity.productId = port->productId;
    }
    return identity;
}

}  // namespace

QString FormatPortDisplayName(const PortFacts& facts) {
    QString name = facts.devicePath.isEmpty() ? facts.portName : facts.devicePath;
    QString about = facts.description.trimmed();
    if (about.isEmpty()) {
        about = facts.manufacturer.trimmed();
    }
    if (!about.isEmpty()) {
        name += QStringLiteral(" - ") + about;
    }
    if (facts.vendorId && facts.productId) {
        name += QStringLiteral(" [%1:%2]")
                    .arg(*facts.vendorId, 4, 16, QLatin1Char('0'))
                    .arg(*facts.productId, 4, 16, QLatin1Char('0'));
    }
    return name;
}

std::vector<PortEntry> MakePortList(const std::vector<PortFacts>& facts) {
    std::vector<PortEntry> ports;
    ports.reserve(facts.size());
    for (const PortFacts& port : facts) {
        const QString path = PathOf(port);
        if (path.isEmpty() || std::ranges::find(ports, path, &PortEntry::devicePath) != ports.end()) {
            continue;
        }
        ports.push_back({path, FormatPortDisplayName(port), port.vendorId.has_value()});
    }
    std::ranges::sort(ports, NaturalLess, &PortEntry::devicePath);
    return ports;
}

std::vector<PortFacts> DiscoverPortFacts() {
    std::vector<PortFacts> facts;
    const auto infos = QSerialPortInfo::availablePorts();
    facts.reserve(static_cast<std::size_t>(infos.size()));
    for (const QSerialPortInfo& info : infos) {
        PortFacts port{info.systemLocation(), info.portName(), info.description(), info.manufacturer(), {}, {},
                       info.serialNumber()};
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            port.vendorId = info.vendorIdentifier();
            port.productId = info.productIdentifier();
        }
        facts.push_back(std::move(port));
    }
    return facts;
}

std::vector<PortEntry> DiscoverPorts() { return MakePortList(DiscoverPortFacts()); }

DeviceIdentity IdentityOf(const QString& devicePath, const std::vector<PortFacts>& facts) {
    return IdentityFrom(devicePath, FindPort(facts, devicePath, PathOf));
}

std::vector<DeviceIdentity> PresentDevices() {
    const std::vector<PortFacts> facts = DiscoverPortFacts();
    std::vector<DeviceIdentity> present;
    present.reserve(facts.size());
    for (const PortFacts& port : facts) {
        present.push_back(IdentityFrom(PathOf(port), &port));
    }
    return present;
}

QString FirstUsbPort(const std::vector<PortEntry>& ports) {
    const auto usb = std::ranges::find(ports, true, &PortEntry::usb);
    return usb != ports.end() ? usb->devicePath : QString();
}

int SelectPort(const std::vector<PortEntry>& ports, const QString& devicePath) {
    if (ports.empty()) {
        return -1;
    }
    const PortEntry* entry = devicePath.isEmpty() ? nullptr : FindEntry(ports, devicePath);
    return entry != nullptr ? static_cast<int>(entry - ports.data()) : 0;
}

QString PortDisplayName(const QString& devicePath, const std::vector<PortEntry>& ports) {
    const PortEntry* entry = FindEntry(ports, devicePath);
    return entry != nullptr ? entry->displayName : devicePath;
}

QString PortDisplayName(const QString& devicePath) { return PortDisplayName(devicePath, DiscoverPorts()); }

QString ComPortDevicePath(int number) {
    if (number < 1) {
        return {};
    }
#if defined(Q_OS_WIN)
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

}  // namespace zarnmon
