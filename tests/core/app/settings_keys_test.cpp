#include "core/app/settings_keys.h"

#include <gtest/gtest.h>

#include "core/app/command_line.h"
#include "core/app/view_table.h"
#include "support/temp_dir.h"

namespace zarnmon {
namespace {

CSettingsStore Profile(std::string_view text) {
    CSettingsStore store;
    store.Parse(text);
    return store;
}

TEST(CommSettings, Load_MissingOrUnusableValuesGiveDefaults) {
    const CommSettings missing = LoadCommSettings(CSettingsStore{});
    EXPECT_EQ(missing.port, 2);
    EXPECT_EQ(missing.baud, 19200);
    EXPECT_EQ(missing.device, "");

    const CommSettings bad = LoadCommSettings(Profile("[CommSettings]\nPort=0\nBaud=fast\n"));
    EXPECT_EQ(bad.port, 2) << "there is no COM0";
    EXPECT_EQ(bad.baud, 19200);
}

TEST(CommSettings, NumberedPortOf_OnlyTheCanonicalPathOfANumberedPort) {
    EXPECT_EQ(NumberedPortOf("/dev/ttyS0", HostPlatform::Posix), 1);
    EXPECT_EQ(NumberedPortOf("/dev/ttyS2", HostPlatform::Posix), 3);
    EXPECT_EQ(NumberedPortOf("/dev/ttyS255", HostPlatform::Posix), kMaxPort);
    EXPECT_EQ(NumberedPortOf("COM3", HostPlatform::Windows), 3);
    EXPECT_EQ(NumberedPortOf("com12", HostPlatform::Windows), 12) << "Windows names ignore case";
    for (const char* device : {"/dev/ttyS256", "/dev/ttyS", "/dev/ttyS01", "/dev/ttyS+1", "/dev/ttyS-1", "/dev/ttyS1x",
                               "/dev/ttyUSB0", "/dev/ttys1", "COM3", ""}) {
        SCOPED_TRACE(device);
        EXPECT_EQ(NumberedPortOf(device, HostPlatform::Posix), std::nullopt);
    }
    for (const char* device : {"COM0", "COM257", "COM999", "COM", "/dev/ttyS2", "\\\\.\\COM3"}) {
        SCOPED_TRACE(device);
        EXPECT_EQ(NumberedPortOf(device, HostPlatform::Windows), std::nullopt);
    }
    for (int port = kMinPort; port <= kMaxPort; ++port) {
        for (const HostPlatform platform : {HostPlatform::Posix, HostPlatform::Windows}) {
            ASSERT_EQ(NumberedPortOf(PortDevicePath(port, platform), platform), port);
        }
    }
}

// The profile text after comm is saved over initial.
std::string SavedOver(std::string_view initial, const CommSettings& comm, HostPlatform platform = HostPlatform::Posix) {
    CSettingsStore store = Profile(initial);
    SaveCommSettings(store, comm, platform);
    return store.Text();
}

TEST(CommSettings, Save_ANumberedPortsDeviceIsWrittenAsPortAndNoDevice) {
    const std::string saved =
        SavedOver("[CommSettings]\nPort=5\nBaud=9600\nDevice=/dev/ttyUSB0\n", {5, 115200, "/dev/ttyS2"});
    EXPECT_EQ(saved, "[CommSettings]\nPort=3\nBaud=115200\n");
    const CommSettings comm = LoadCommSettings(Profile(saved), HostPlatform::Posix);
    EXPECT_EQ(comm.port, 3);
    EXPECT_EQ(comm.baud, 115200);
    EXPECT_EQ(comm.device, "");

    EXPECT_EQ(SavedOver(saved, {7, 115200, "COM4"}, HostPlatform::Windows), "[CommSettings]\nPort=4\nBaud=115200\n");
    // No device: the port number alone, and a device kept before goes.
    EXPECT_EQ(SavedOver("[CommSettings]\nDevice=/dev/ttyUSB0\n", {kUsbPort, 9600, ""}),
              "[CommSettings]\nPort=999\nBaud=9600\n");
}

TEST(CommSettings, Save_AnyOtherDeviceGoesToDeviceAndPortKeepsItsNumber) {
    const std::string saved = SavedOver("[CommSettings]\nPort=5\nBaud=9600\n", {2, 115200, "/dev/ttyUSB0"});
    EXPECT_EQ(saved, "[CommSettings]\nPort=5\nBaud=115200\nDevice=/dev/ttyUSB0\n");
    const CommSettings comm = LoadCommSettings(Profile(saved), HostPlatform::Posix);
    EXPECT_EQ(comm.port, 5);
    EXPECT_EQ(comm.device, "/dev/ttyUSB0") << "the device is what opens";
}

TEST(CommSettings, Load_AHandEditedPortWins) {
    // Port changed by hand after a numbered port was kept: nothing overrides it.
    CSettingsStore store;
    SaveCommSettings(store, {1, 19200, "/dev/ttyS0"}, HostPlatform::Posix);
    store.SetInt(kCommSettings, kPortKey, 6);
    EXPECT_EQ(LoadCommSettings(store, HostPlatform::Posix).port, 6);
    EXPECT_EQ(LoadCommSettings(store, HostPlatform::Posix).device, "");

    // A numbered port's device left by an older version gives way to Port too.
    const CommSettings older =
        LoadCommSettings(Profile("[CommSettings]\nPort=6\nDevice=/dev/ttyS1\n"), HostPlatform::Posix);
    EXPECT_EQ(older.port, 6);
    EXPECT_EQ(older.device, "");
    EXPECT_EQ(LoadCommSettings(Profile("[CommSettings]\nPort=6\nDevice=\n"), HostPlatform::Posix).device, "");
}

TEST(LogSettings, Load_MissingOrUnusableKeysKeepTheCurrentOptions) {
    const LogSettings current{true, false, 30, true};
    const LogSettings loaded =
        LoadLogSettings(Profile("[LogSettings]\nFullLog=1\nInterval=5000\nAutoLog=0\n"), current);
    EXPECT_TRUE(loaded.logErrors) << "missing";
    EXPECT_TRUE(loaded.fullLog);
    EXPECT_EQ(loaded.interval, 30) << "outside 0..3600";
    EXPECT_FALSE(loaded.autoLog);

    const LogSettings defaults = LoadLogSettings(CSettingsStore{});
    EXPECT_FALSE(defaults.logErrors);
    EXPECT_FALSE(defaults.fullLog);
    EXPECT_EQ(defaults.interval, 1);
    EXPECT_FALSE(defaults.autoLog);
}

TEST(LogSettings, SaveThenLoad_RoundTrips) {
    CSettingsStore store;
    SaveLogSettings(store, {true, true, 0, true});
    const LogSettings loaded = LoadLogSettings(store);
    EXPECT_TRUE(loaded.logErrors);
    EXPECT_TRUE(loaded.fullLog);
    EXPECT_EQ(loaded.interval, 0);
    EXPECT_TRUE(loaded.autoLog);
}

TEST(SettingsKeys, DebugLogMask_TextThatIsNotHexadecimalLeavesTheMask) {
    EXPECT_EQ(LoadDebugLogMask(CSettingsStore{}), 0xFFFFFFFFU);
    EXPECT_EQ(LoadDebugLogMask(Profile("[LogSettings]\nDebugLogMask=0001\n")), 0x0001U);
    EXPECT_EQ(LoadDebugLogMask(Profile("[LogSettings]\nDebugLogMask=xyz\n")), 0xFFFFFFFFU);
    EXPECT_EQ(LoadDebugLogMask(Profile("[LogSettings]\nDebugLogMask=\n"), 0x12U), 0x12U);
}

TEST(SettingsKeys, DebugLogMask_IsSavedAsUpperCaseHexadecimal) {
    CSettingsStore store;
    SaveDebugLogMask(store, 0xABCU);
    EXPECT_EQ(store.GetString("LogSettings", "DebugLogMask", ""), "ABC");
    SaveDebugLogMask(store, kDefaultDebugLogMask);
    EXPECT_EQ(store.GetString("LogSettings", "DebugLogMask", ""), kDefaultDebugLogMaskText);
}

TEST(SettingsKeys, ScanHex_ReadsLikePercentX) {
    EXPECT_EQ(ScanHex("ff"), 0xFFU);
    EXPECT_EQ(ScanHex("  0x1F"), 0x1FU);
    EXPECT_EQ(ScanHex("0xg"), 0U) << "\"0x\" without a digit after it: the 0 is the number";
    EXPECT_EQ(ScanHex("12zz"), 0x12U);
    EXPECT_EQ(ScanHex("-1"), 0xFFFFFFFFU);
    EXPECT_EQ(ScanHex("FFFFFFFF"), 0xFFFFFFFFU);
    EXPECT_FALSE(ScanHex("100000000")) << "does not fit 32 bits";
    EXPECT_FALSE(ScanHex(""));
    EXPECT_FALSE(ScanHex("x1"));
    EXPECT_FALSE(ScanHex("-"));
}

TEST(SettingsKeys, WaasWordKey_HasThreeDigitsWithLeadingZeros) {
    EXPECT_EQ(WaasWordKey(0), "WORD000");
    EXPECT_EQ(WaasWordKey(kWaasWordCount - 1), "WORD133");
}

// Everything the shell keeps, written at exit and read by the next start
// from the file, not from memory.
TEST(SettingsKeys, EveryKeptSetting_SurvivesExitAndStart) {
    const test::TempDir dir;
    const auto path = dir.File("zarnmon.ini");
    {
        CSettingsStore exiting;
        ASSERT_TRUE(exiting.Load(path).ok);
        exiting.SetInt(kCommSettings, kPortKey, 7);
        SaveCommSettings(exiting, {1, 115200, "/dev/ttyUSB1"});
        SaveLogSettings(exiting, {true, true, 30, true});
        SaveDebugLogMask(exiting, 0x00F0);
        SaveViewPreferences(exiting, {16, true, true});
        exiting.SetInt(kOpenWindows, kAutoOpenKey, 1);
        SaveOpenWindows(exiting, [](const ViewType& row) { return row.key == "L2_ChannelVw" || row.key == "IonoVw"; });
        ASSERT_TRUE(exiting.Save().ok);
    }
    CSettingsStore starting;
    ASSERT_TRUE(starting.Load(path).ok);
    const CommSettings comm = LoadCommSettings(starting);
    EXPECT_EQ(comm.port, 7);
    EXPECT_EQ(comm.baud, 115200);
    EXPECT_EQ(comm.device, "/dev/ttyUSB1");
    const LogSettings log = LoadLogSettings(starting);
    EXPECT_TRUE(log.logErrors && log.fullLog && log.autoLog);
    EXPECT_EQ(log.interval, 30);
    EXPECT_EQ(LoadDebugLogMask(starting), 0x00F0U);
    const ViewPreferences view = LoadViewPreferences(starting, {128, false});
    EXPECT_EQ(view.ionoScale, 16);
    EXPECT_TRUE(view.showNeuErrors);
    EXPECT_TRUE(view.showLinkHealth);
    EXPECT_EQ(ViewsToReopen(starting), (std::vector<int>{160, 152}));
}

}  // namespace
}  // namespace zarnmon
