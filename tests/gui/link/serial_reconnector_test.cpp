// Bringing back a lost serial receiver, against pseudo-terminals that go away
// and come back: behind a symlink that the link opened, as a receiver without
// a serial number, and under a new name found by its serial number.

#include "gui/link/serial_reconnector.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

#include "tests/gui/link/bare_pty.h"
#include "tests/gui/link/link_test_support.h"

namespace zarnmon::test {
namespace {

class SerialReconnector : public ::testing::Test {
protected:
    SerialReconnector() {
        // Only the link's own path counts: whatever the machine has plugged in is no receiver here.
        reconnector.SetPortLister([this] { return listed; });
    }

    // The receiver's device path: a symlink to the pseudo-terminal, as /dev/serial/by-id/… is to ttyUSB0.
    bool PointAt(const CBarePty& pty) {
        QFile::remove(linkPath);
        return QFile::link(pty.Path(), linkPath);
    }
    // A link on the receiver's path that lost its device when pty closed.
    std::unique_ptr<CSerialPort> LinkLostWith(CBarePty& pty, qint32 baud) {
        auto link = std::make_unique<CSerialPort>(linkPath, baud);
        EXPECT_TRUE(link->open());
        pty.Close();
        EXPECT_TRUE(WaitFor([&] { return !link->isOpen(); }));
        QFile::remove(linkPath);
        return link;
    }

    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("ttyFAKE"));
    CManualTickClock clock{5000};
    CSerialReconnector reconnector{clock};
    std::vector<DeviceIdentity> listed;
};

TEST_F(SerialReconnector, SamePathBack_OpenedOnTheBackOffScheduleAtTheSameSpeed) {
    CBarePty first;
    ASSERT_TRUE(PointAt(first));
    const std::unique_ptr<CSerialPort> lost = LinkLostWith(first, 115200);
    EXPECT_TRUE(lost->identity().serialNumber.empty()) << "a pseudo-terminal has none";
    QSignalSpy returned(&reconnector, &CSerialReconnector::returned);
    reconnector.Start(lost->identity(), lost->baudRate());

    clock.Advance(500);
    reconnector.Poll();  // nothing there yet: the next look is 1000 ms later
    ASSERT_TRUE(reconnector.Waiting());
    CBarePty second;
    ASSERT_TRUE(PointAt(second));
    clock.Advance(999);
    reconnector.Poll();
    EXPECT_EQ(returned.count(), 0);
    clock.Advance(1);
    reconnector.Poll();
    ASSERT_EQ(returned.count(), 1);
    EXPECT_FALSE(reconnector.Waiting());

    const std::unique_ptr<CSerialPort> back = reconnector.TakeLink();
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->isOpen());
    EXPECT_EQ(back->devicePath(), linkPath);
    EXPECT_EQ(back->baudRate(), 115200);
    CLinkRecorder recorder(*back);
    ASSERT_TRUE(second.Write("$>JI,4242\r\n"));
    EXPECT_TRUE(WaitFor([&] { return recorder.received == QByteArray("$>JI,4242\r\n"); }));
    EXPECT_TRUE(back->write("$JI\r"));
    EXPECT_TRUE(WaitFor([&] { return second.ReadAvailable() == QByteArray("$JI\r"); }));
}

TEST_F(SerialReconnector, SerialNumber_FollowsTheAdapterToItsNewName) {
    CBarePty replugged;
    ASSERT_FALSE(replugged.Path().isEmpty());
    const DeviceIdentity lost{"/dev/ttyUSB7", "RX4242", 0x0403, 0x6001};
    reconnector.Start(lost, 19200);
    listed = {{replugged.Path().toStdString(), "OTHER1", 0x0403, 0x6001}};
    EXPECT_FALSE(reconnector.AttemptNow()) << "another adapter is not the receiver";
    listed.push_back({replugged.Path().toStdString(), "RX4242", 0x0403, 0x6001});
    ASSERT_TRUE(reconnector.AttemptNow());
    const std::unique_ptr<CSerialPort> back = reconnector.TakeLink();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->devicePath(), replugged.Path());
    EXPECT_EQ(back->baudRate(), 19200);
}

TEST_F(SerialReconnector, AttemptNowFindingNothing_StartsTheScheduleOver) {
    const DeviceIdentity lost{linkPath.toStdString(), {}, {}, {}};
    reconnector.Start(lost, 19200);
    for (int i = 0; i < 4; ++i) {
        clock.Advance(8000);
        reconnector.Poll();  // the wait has grown to 8 s
    }
    EXPECT_FALSE(reconnector.AttemptNow());
    CBarePty back;
    ASSERT_TRUE(PointAt(back));
    QSignalSpy returned(&reconnector, &CSerialReconnector::returned);
    clock.Advance(499);
    reconnector.Poll();
    EXPECT_EQ(returned.count(), 0);
    clock.Advance(1);
    reconnector.Poll();
    EXPECT_EQ(returned.count(), 1) << "half a second after the user's look, not eight";
}

TEST_F(SerialReconnector, Stopped_LooksNoMore) {
    CBarePty there;
    ASSERT_TRUE(PointAt(there));
    reconnector.Start({linkPath.toStdString(), {}, {}, {}}, 19200);
    reconnector.Stop();
    QSignalSpy returned(&reconnector, &CSerialReconnector::returned);
    clock.Advance(10000);
    reconnector.Poll();
    EXPECT_FALSE(reconnector.AttemptNow());
    EXPECT_EQ(returned.count(), 0);
    EXPECT_EQ(reconnector.TakeLink(), nullptr);
}

TEST_F(SerialReconnector, Timer_WakesTheAttemptOnTheHostClock) {
    CBarePty there;
    ASSERT_TRUE(PointAt(there));
    const CSteadyTickClock host;
    CSerialReconnector fast(host, BackOff{.firstMs = 20, .longestMs = 40});
    QSignalSpy returned(&fast, &CSerialReconnector::returned);
    fast.Start({linkPath.toStdString(), {}, {}, {}}, 19200);
    EXPECT_EQ(returned.count(), 0) << "not before the first wait";
    EXPECT_TRUE(returned.wait(5000));
    EXPECT_NE(fast.TakeLink(), nullptr);
}

}  // namespace
}  // namespace zarnmon::test
