#include "core/link/reconnect_policy.h"

#include <vector>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

DeviceIdentity Usb(std::string path, std::string serial, std::uint16_t vendor = 0x0403,
                   std::uint16_t product = 0x6001) {
    return {std::move(path), std::move(serial), vendor, product};
}

DeviceIdentity Plain(std::string path) { return {std::move(path), {}, {}, {}}; }

TEST(ReturnedDevice, SerialNumber_FoundUnderAnyNameAndOnlyWithTheSameIds) {
    const DeviceIdentity lost = Usb("/dev/ttyUSB0", "FT4XQ2");
    EXPECT_EQ(FindReturnedDevice(lost, {}, true), std::nullopt) << "the old path alone is not the device";

    const std::vector<DeviceIdentity> moved{Usb("/dev/ttyUSB0", "A9ZZ"), Usb("/dev/ttyUSB1", "FT4XQ2")};
    EXPECT_EQ(FindReturnedDevice(lost, moved, true), "/dev/ttyUSB1") << "another socket, another name";

    const std::vector<DeviceIdentity> otherMaker{Usb("/dev/ttyUSB1", "FT4XQ2", 0x10C4, 0xEA60)};
    EXPECT_EQ(FindReturnedDevice(lost, otherMaker, true), std::nullopt);
    const std::vector<DeviceIdentity> idsUnknown{{"/dev/ttyUSB2", "FT4XQ2", {}, {}}};
    EXPECT_EQ(FindReturnedDevice(lost, idsUnknown, false), "/dev/ttyUSB2");
}

TEST(ReturnedDevice, NoSerialNumber_FoundAtItsOwnPathUnlessAnotherDeviceHoldsIt) {
    const DeviceIdentity lost = Plain("/tmp/rx/ttyFAKE");
    EXPECT_EQ(FindReturnedDevice(lost, {}, false), std::nullopt);
    EXPECT_EQ(FindReturnedDevice(lost, {}, true), "/tmp/rx/ttyFAKE") << "unlisted, but there";

    const DeviceIdentity port = Plain("/dev/ttyS0");
    const std::vector<DeviceIdentity> listed{Plain("/dev/ttyS0")};
    EXPECT_EQ(FindReturnedDevice(port, listed, false), "/dev/ttyS0");
    const std::vector<DeviceIdentity> taken{Usb("/dev/ttyS0", "NEW1")};
    EXPECT_EQ(FindReturnedDevice(port, taken, true), std::nullopt) << "a device with a serial number is another one";
}

TEST(ReconnectPolicy, Waits_HalfASecondThenDoublingUpToEightSeconds) {
    CReconnectPolicy policy;
    EXPECT_FALSE(policy.Due(0));
    const std::uint32_t lost = 0xFFFFFF00;  // the schedule holds across the clock's wrap
    policy.Start(lost);
    EXPECT_FALSE(policy.Due(lost + 499));
    EXPECT_EQ(policy.MsUntilDue(lost + 499), 1u);
    EXPECT_TRUE(policy.Due(lost + 500));
    EXPECT_EQ(policy.MsUntilDue(lost + 700), 0u);

    std::vector<std::uint32_t> waits;
    std::uint32_t now = lost + 500;
    for (int attempt = 0; attempt < 7; ++attempt) {
        policy.Failed(now);
        waits.push_back(policy.WaitMs());
        EXPECT_FALSE(policy.Due(now + policy.WaitMs() - 1));
        now += policy.WaitMs();
        EXPECT_TRUE(policy.Due(now));
    }
    EXPECT_EQ(waits, (std::vector<std::uint32_t>{1000, 2000, 4000, 8000, 8000, 8000, 8000}));

    policy.Start(now);
    EXPECT_EQ(policy.WaitMs(), 500u) << "looking again starts the schedule over";
    policy.Stop();
    EXPECT_FALSE(policy.Due(now + 100000));
    EXPECT_EQ(policy.MsUntilDue(now), 0u);
    policy.Failed(now);
    EXPECT_FALSE(policy.Waiting()) << "a late failure does not start it again";
}

TEST(ReconnectPolicy, Schedule_IsTheCallersChoice) {
    CReconnectPolicy policy(BackOff{.firstMs = 20, .longestMs = 50});
    policy.Start(1000);
    policy.Failed(1020);
    policy.Failed(1060);
    EXPECT_EQ(policy.WaitMs(), 50u);
    EXPECT_TRUE(policy.Due(1110));
}

}  // namespace
}  // namespace zarnmon
