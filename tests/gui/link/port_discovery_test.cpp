#include "gui/link/port_discovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"

namespace zarnmon {
namespace {

TEST(PortDiscovery, UnlistedPaths_DisplayAsTheirPath) {
    const std::vector<PortEntry> ports{{"/dev/ttyS0", "/dev/ttyS0", false}};
    EXPECT_EQ(PortDisplayName("/dev/pts/7", ports), QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(PortDisplayName("/dev/ttyUSB9", {}), QStringLiteral("/dev/ttyUSB9"));
    // Against the machine's real ports: a path that names no device.
    EXPECT_EQ(PortDisplayName("/dev/zarnmon-no-such-port"), QStringLiteral("/dev/zarnmon-no-such-port"));
}

TEST(PortDiscovery, UsbAdapter_ShowsDeviceDescriptionAndHexIds) {
    const PortFacts facts{"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART", "FTDI", 0x0403, 0x6001};
    EXPECT_EQ(FormatPortDisplayName(facts), QStringLiteral("/dev/ttyUSB0 - FT232R USB UART [0403:6001]"));
}

TEST(PortDiscovery, PortWithoutDescription_FallsBackToManufacturerOrPath) {
    EXPECT_EQ(FormatPortDisplayName({"/dev/ttyS0", "ttyS0", "", "", {}, {}}), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(FormatPortDisplayName({"/dev/ttyACM0", "ttyACM0", " ", "Zarn", 0x1a2b, 0x00c3}),
              QStringLiteral("/dev/ttyACM0 - Zarn [1a2b:00c3]"));
}

TEST(PortDiscovery, PortList_SortsNumbersNumericallyAndDropsDuplicates) {
    const auto ports = MakePortList({{"/dev/ttyS10", "ttyS10", "", "", {}, {}},
                                     {"/dev/ttyUSB0", "ttyUSB0", "CP2102", "", 0x10c4, 0xea60},
                                     {"/dev/ttyS2", "ttyS2", "", "", {}, {}},
                                     {"/dev/ttyS2", "ttyS2", "", "", {}, {}}});
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].devicePath, QStringLiteral("/dev/ttyS2"));
    EXPECT_EQ(ports[1].devicePath, QStringLiteral("/dev/ttyS10"));
    EXPECT_EQ(ports[2].devicePath, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_TRUE(ports[2].usb);
    EXPECT_FALSE(ports[0].usb);
    EXPECT_EQ(PortDisplayName("/dev/ttyUSB0", ports), QStringLiteral("/dev/ttyUSB0 - CP2102 [10c4:ea60]"));
    // The USB port number stands for the first USB adapter, not for a ttyS.
    EXPECT_EQ(FirstUsbPort(ports), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(FirstUsbPort({ports[0], ports[1]}), QString());
}

TEST(PortDiscovery, Selection_PrefersTheRememberedPathElseTheFirstEntry) {
    const std::vector<PortEntry> ports{{"/dev/ttyS0", "/dev/ttyS0", false}, {"/dev/ttyUSB0", "usb", true}};
    EXPECT_EQ(SelectPort(ports, "/dev/ttyUSB0"), 1);
    EXPECT_EQ(SelectPort(ports, "/dev/ttyUSB7"), 0);
    EXPECT_EQ(SelectPort(ports, ""), 0);
    EXPECT_EQ(SelectPort({}, "/dev/ttyUSB0"), -1);
}

TEST(PortDiscovery, Symlink_NamesThePortItPointsAt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString device = dir.filePath("ttyUSB3");
    const QString byId = dir.filePath("usb-Zarn_Receiver-if00");
    QFile file(device);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::link(device, byId));
    const std::vector<PortEntry> ports{{device, "Zarn receiver", true}};
    EXPECT_EQ(PortDisplayName(byId, ports), QStringLiteral("Zarn receiver"));
    EXPECT_EQ(SelectPort(ports, byId), 0);
}

TEST(PortDiscovery, MachinePorts_AreListedByPathWithoutFailing) {
    // Whatever this machine has (often nothing): every entry names a path
    // and displays at least that path.
    for (const PortEntry& entry : DiscoverPorts()) {
        SCOPED_TRACE(entry.devicePath.toStdString());
        EXPECT_FALSE(entry.devicePath.isEmpty());
        EXPECT_TRUE(entry.displayName.startsWith(entry.devicePath));
    }
}

TEST(PortDiscovery, ComNumbers_MapToTheFirstSerialDevices) {
#if defined(Q_OS_WIN)
    EXPECT_EQ(ComPortDevicePath(3), QStringLiteral("COM3"));
#else
    EXPECT_EQ(ComPortDevicePath(1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(ComPortDevicePath(12), QStringLiteral("/dev/ttyS11"));
#endif
    EXPECT_TRUE(ComPortDevicePath(0).isEmpty());
}

TEST(PortDiscovery, BaudList_IsTheDialogsRatesAscendingWithTheDefault) {
    EXPECT_EQ(kBaudRates.front(), 110u);
    EXPECT_EQ(kBaudRates.back(), 230400u);
    EXPECT_TRUE(std::ranges::is_sorted(kBaudRates));
    EXPECT_NE(std::ranges::find(kBaudRates, static_cast<quint32>(kDefaultBaud)), kBaudRates.end());
}

}  // namespace
}  // namespace zarnmon
