#include "core/app/settings_store.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace zarnmon {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProfile =
    "; written by hand\n"
    "[CommSettings]\n"
    "Port = 3\n"
    "baud=38400\n"
    "\n"
    "# keep me\n"
    "[Unknown Section]\n"
    "Anything=goes here\n"
    "this line is not a setting\n"
    "[LogSettings]\n"
    "Interval=abc\n"
    "FullLog=\n";

// --- Lookup and editing in memory -------------------------------------------------

TEST(SettingsStore, Find_MatchesSectionsAndKeysWithoutRegardToCase) {
    CSettingsStore store;
    store.Parse(kProfile);
    EXPECT_EQ(store.GetInt("commsettings", "PORT", 0), 3);
    EXPECT_EQ(store.GetInt("CommSettings", "Baud", 0), 38400);
    EXPECT_EQ(store.GetString("UNKNOWN SECTION", "anything", ""), "goes here") << "blanks around values are not kept";
    EXPECT_FALSE(store.Find("CommSettings", "Device"));
    EXPECT_FALSE(store.Find("NoSuchSection", "Port"));
}

TEST(SettingsStore, GetNumber_ValueThatDoesNotScanGivesDefault) {
    CSettingsStore store;
    store.Parse(std::string(kProfile) + "Minutes=12,5\nMaxMeters=7.25m\nHeight=x1\n");
    EXPECT_EQ(store.GetInt("LogSettings", "Interval", 1), 1) << "\"abc\"";
    EXPECT_EQ(store.GetInt("LogSettings", "FullLog", 7), 7) << "empty value";
    EXPECT_EQ(store.GetInt("LogSettings", "Missing", 9), 9);
    EXPECT_EQ(store.GetInt("LogSettings", "Minutes", 30), 12) << "reads like \"%d\": up to the first non-digit";
    EXPECT_DOUBLE_EQ(store.GetDouble("LogSettings", "MaxMeters", 5.0), 7.25);
    EXPECT_DOUBLE_EQ(store.GetDouble("LogSettings", "Height", 1.5), 1.5);
    EXPECT_EQ(store.GetString("LogSettings", "FullLog", "default"), "") << "an empty value is still a value";
}

TEST(SettingsStore, Parse_LinesThatAreNoSettingAreKeptButNeverKeys) {
    CSettingsStore store;
    store.Parse(
        "orphan=1\n"
        "[Good]\n"
        "a=1\n"
        "just text\n"
        "=no key\n"
        "[unclosed\n"
        "b=2\n"
        "[]\n"
        "c=3\n"
        "[Good]\n"
        "a=second\n");
    EXPECT_FALSE(store.Find("", "orphan")) << "a key before any section belongs to none";
    EXPECT_EQ(store.GetString("Good", "a", ""), "1") << "the first of two sections of one name wins";
    EXPECT_FALSE(store.Find("Good", "b")) << "keys under a bad header do not join the section before it";
    EXPECT_FALSE(store.Find("Good", "c"));
    EXPECT_FALSE(store.Find("unclosed", "b"));
    EXPECT_NE(store.Text().find("just text\n=no key\n[unclosed\nb=2\n[]\nc=3\n"), std::string::npos)
        << "nothing the user wrote is lost";
}

TEST(SettingsStore, Text_UntouchedLinesAreWrittenBackExactly) {
    CSettingsStore store;
    store.Parse(kProfile);
    store.SetInt("CommSettings", "BAUD", 38400);  // same value: the line stays as it was
    EXPECT_EQ(store.Text(), kProfile);
}

TEST(SettingsStore, Parse_CrLfLineEndsAndByteOrderMarkAreRead) {
    CSettingsStore store;
    store.Parse("\xEF\xBB\xBF[CommSettings]\r\nPort=4\r\n");
    EXPECT_EQ(store.GetInt("CommSettings", "Port", 0), 4);
    EXPECT_EQ(store.Text(), "[CommSettings]\nPort=4\n");
}

TEST(SettingsStore, Parse_RepeatedByteOrderMarksAreAllDroppedSoTheTextReadsBackTheSame) {
    CSettingsStore store;
    store.Parse("\xEF\xBB\xBF\xEF\xBB\xBF[CommSettings]\nPort=4\n");
    EXPECT_EQ(store.GetInt("CommSettings", "Port", 0), 4);
    CSettingsStore again;
    again.Parse(store.Text());
    EXPECT_EQ(again.Text(), store.Text());
}

TEST(SettingsStore, Parse_SeveralCarriageReturnsBeforeALineEndAreAllPartOfIt) {
    CSettingsStore store;
    store.Parse("[CommSettings]\r\r\nPort=4\r\r\r\n; note\r\r");
    EXPECT_EQ(store.Text(), "[CommSettings]\nPort=4\n; note\n");
    EXPECT_EQ(store.GetString("CommSettings", "Port", ""), "4");

    CSettingsStore again;
    again.Parse(store.Text());
    EXPECT_EQ(again.Text(), store.Text()) << "what is saved reads back the same";
}

TEST(SettingsStore, Set_ChangesInPlaceAndKeepsTheSpellingOfNames) {
    CSettingsStore store;
    store.Parse(kProfile);
    EXPECT_TRUE(store.SetInt("COMMSETTINGS", "port", 5));
    EXPECT_TRUE(store.SetString("commsettings", "Device", "  /dev/ttyUSB0 "));
    EXPECT_TRUE(store.SetString("LogSettings", "AutoLog", "1"));
    EXPECT_TRUE(store.SetInt("OpenWindows", "AutoOpen", -1));
    EXPECT_EQ(store.Text(),
              "; written by hand\n"
              "[CommSettings]\n"
              "Port=5\n"
              "baud=38400\n"
              "Device=/dev/ttyUSB0\n"
              "\n"
              "# keep me\n"
              "[Unknown Section]\n"
              "Anything=goes here\n"
              "this line is not a setting\n"
              "[LogSettings]\n"
              "Interval=abc\n"
              "FullLog=\n"
              "AutoLog=1\n"
              "\n"
              "[OpenWindows]\n"
              "AutoOpen=-1\n");
    EXPECT_EQ(store.GetInt("OpenWindows", "autoopen", 0), -1);
}

TEST(SettingsStore, Remove_TakesOutEveryCopyOfTheKeyInThatSectionOnly) {
    CSettingsStore store;
    store.Parse("[CommSettings]\nPort=3\nDevice=/dev/ttyUSB0\ndevice=/dev/ttyUSB1\n; note\n[Other]\nDevice=x\n");
    EXPECT_TRUE(store.Remove("commsettings", "DEVICE"));
    EXPECT_EQ(store.Text(), "[CommSettings]\nPort=3\n; note\n[Other]\nDevice=x\n");
    EXPECT_FALSE(store.Remove("CommSettings", "Device")) << "already gone";
    EXPECT_FALSE(store.Remove("Missing", "Device"));
    EXPECT_EQ(store.GetString("Other", "Device", ""), "x");
}

TEST(SettingsStore, Set_WhatTheFileCannotHoldIsRefusedAndChangesNothing) {
    CSettingsStore store;
    store.Parse(kProfile);
    EXPECT_FALSE(store.SetString("Comm\nSettings", "Port", "1"));
    EXPECT_FALSE(store.SetString("Comm]", "Port", "1"));
    EXPECT_FALSE(store.SetString("", "Port", "1"));
    EXPECT_FALSE(store.SetString("CommSettings", "Po=rt", "1"));
    EXPECT_FALSE(store.SetString("CommSettings", ";Port", "1"));
    EXPECT_FALSE(store.SetString("CommSettings", "[Port", "1"));
    EXPECT_FALSE(store.SetString("CommSettings", " Port", "1"));
    EXPECT_FALSE(store.SetString("CommSettings", "", "1"));
    EXPECT_FALSE(store.SetString("CommSettings", "Port", "1\r\n[Evil]"));
    EXPECT_EQ(store.Text(), kProfile);
    EXPECT_TRUE(store.SetString("CommSettings", "Port", "a=b;c")) << "\"=\" and \";\" are fine inside a value";
    EXPECT_EQ(store.GetString("CommSettings", "Port", ""), "a=b;c");
}

// --- Files -------------------------------------------------------------------------

class SettingsFile : public ::testing::Test {
protected:
    static std::string ReadFile(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void WriteFile(const fs::path& path, std::string_view text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    test::TempDir temp_;
    const fs::path dir_ = temp_.Path();
};

TEST_F(SettingsFile, Load_MissingFileIsAnEmptyStoreThatSaveCreates) {
    const fs::path path = dir_ / "new" / "folder" / "zarnmon.ini";
    CSettingsStore store;
    const IoStatus loaded = store.Load(path);
    ASSERT_TRUE(loaded.ok) << loaded.reason;
    EXPECT_EQ(store.Text(), "");
    EXPECT_EQ(store.Path(), path);
    EXPECT_FALSE(fs::exists(path)) << "loading creates nothing";

    store.SetInt("CommSettings", "Port", 7);
    const IoStatus saved = store.Save();
    ASSERT_TRUE(saved.ok) << saved.reason;
    EXPECT_EQ(ReadFile(path), "[CommSettings]\nPort=7\n");
}

TEST_F(SettingsFile, SaveThenLoad_RoundTripsEveryKindOfLine) {
    const fs::path path = dir_ / "zarnmon.ini";
    WriteFile(path, kProfile);
    CSettingsStore store;
    ASSERT_TRUE(store.Load(path).ok);
    store.SetInt("CommSettings", "Port", -12);
    store.SetString("Location", "Latitude", "51.12345678");
    store.SetString("WAASNonVolatile", "WORD000", "DEADBEEF");
    ASSERT_TRUE(store.Save().ok);

    CSettingsStore reread;
    ASSERT_TRUE(reread.Load(path).ok);
    EXPECT_EQ(reread.Text(), store.Text());
    EXPECT_EQ(reread.GetInt("CommSettings", "Port", 0), -12);
    EXPECT_DOUBLE_EQ(reread.GetDouble("Location", "Latitude", 0.0), 51.12345678);
    EXPECT_EQ(reread.GetString("WAASNonVolatile", "word000", ""), "DEADBEEF");
    EXPECT_EQ(reread.GetString("Unknown Section", "Anything", ""), "goes here");
    EXPECT_NE(ReadFile(path).find("# keep me\n"), std::string::npos);
    EXPECT_NE(ReadFile(path).find("this line is not a setting\n"), std::string::npos);
}

TEST_F(SettingsFile, Save_TwoInstancesKeepEachOthersChangesAndTheLastToChangeAKeyWins) {
    const fs::path path = dir_ / "zarnmon.ini";
    WriteFile(path, "[CommSettings]\nPort=1\nBaud=19200\n[Location]\nLatitude=50\n");
    CSettingsStore first;
    CSettingsStore second;
    ASSERT_TRUE(first.Load(path).ok);
    ASSERT_TRUE(second.Load(path).ok);

    first.SetInt("CommSettings", "Port", 3);
    first.SetInt("CommSettings", "Baud", 19200);  // the value it had: no change of this run
    ASSERT_TRUE(first.Save().ok);
    second.SetString("Location", "Latitude", "51.5");
    second.SetInt("CommSettings", "Baud", 57600);
    second.SetString("New", "Key", "x");
    ASSERT_TRUE(second.Save().ok);
    EXPECT_EQ(second.GetInt("CommSettings", "Port", 0), 3) << "a save takes in what the other instance wrote";

    // The first exits last, writing what it holds; only its own changes count.
    first.SetInt("CommSettings", "Port", 4);
    ASSERT_TRUE(first.Remove("Location", "Latitude"));
    ASSERT_TRUE(first.Save().ok);

    EXPECT_EQ(ReadFile(path), "[CommSettings]\nPort=4\nBaud=57600\n[Location]\n\n[New]\nKey=x\n");
}

TEST_F(SettingsFile, Save_HandEditsMadeWhileRunningSurviveAndADeletedFileIsWrittenWhole) {
    const fs::path path = dir_ / "zarnmon.ini";
    WriteFile(path, "[CommSettings]\nPort=1\n");
    CSettingsStore store;
    ASSERT_TRUE(store.Load(path).ok);
    store.SetInt("Display", "Width", 800);
    WriteFile(path, "; edited by hand\n[CommSettings]\nPort=9\n");
    ASSERT_TRUE(store.Save().ok);
    EXPECT_EQ(ReadFile(path), "; edited by hand\n[CommSettings]\nPort=9\n\n[Display]\nWidth=800\n");

    fs::remove(path);
    ASSERT_TRUE(store.Save().ok);
    EXPECT_EQ(ReadFile(path), "; edited by hand\n[CommSettings]\nPort=9\n\n[Display]\nWidth=800\n")
        << "nothing on disk to merge with: the whole profile is written";
}

TEST_F(SettingsFile, Save_LeavesNoTemporaryFileBehind) {
    const fs::path path = dir_ / "zarnmon.ini";
    CSettingsStore store;
    store.SetInt("CommSettings", "Port", 1);
    ASSERT_TRUE(store.SaveAs(path).ok);
    ASSERT_TRUE(store.Save().ok);
    EXPECT_EQ(store.Path(), path);
    EXPECT_FALSE(fs::exists(dir_ / "zarnmon.ini.tmp"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SettingsFile, Save_IntoReadOnlyFolderFailsAndKeepsTheOldFile) {
    const fs::path path = dir_ / "zarnmon.ini";
    WriteFile(path, "[CommSettings]\nPort=3\n");
    CSettingsStore store;
    ASSERT_TRUE(store.Load(path).ok);
    store.SetInt("CommSettings", "Port", 4);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
    if (std::ofstream(dir_ / "probe")) {
        GTEST_SKIP() << "this user writes into read-only folders (root)";
    }
    const IoStatus saved = store.Save();
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.reason.find("zarnmon.ini.tmp"), std::string::npos) << saved.reason;
    EXPECT_EQ(ReadFile(path), "[CommSettings]\nPort=3\n");
}

TEST_F(SettingsFile, Save_WhenTheTemporaryCannotBeWrittenFailsAndKeepsTheOldFile) {
    // Works for every user, root included: a folder stands where the temporary file would go.
    const fs::path path = dir_ / "zarnmon.ini";
    WriteFile(path, "[CommSettings]\nPort=3\n");
    fs::create_directories(dir_ / "zarnmon.ini.tmp" / "occupied");
    CSettingsStore store;
    ASSERT_TRUE(store.Load(path).ok);
    store.SetInt("CommSettings", "Port", 4);
    const IoStatus saved = store.Save();
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.reason.empty());
    EXPECT_EQ(ReadFile(path), "[CommSettings]\nPort=3\n");
    EXPECT_TRUE(fs::exists(dir_ / "zarnmon.ini.tmp" / "occupied")) << "what is not ours is left alone";
}

TEST_F(SettingsFile, SaveAs_WhenTheRenameFailsRemovesTheTemporaryAndKeepsThePath) {
    const fs::path blocked = dir_ / "blocked.ini";
    fs::create_directories(blocked / "occupied");
    CSettingsStore store;
    store.SetInt("CommSettings", "Port", 4);
    const IoStatus saved = store.SaveAs(blocked);
    EXPECT_FALSE(saved.ok);
    EXPECT_NE(saved.reason.find("blocked.ini"), std::string::npos) << saved.reason;
    EXPECT_FALSE(fs::exists(dir_ / "blocked.ini.tmp"));
    EXPECT_TRUE(store.Path().empty()) << "a failed SaveAs does not adopt the path";
}

TEST_F(SettingsFile, Save_ThroughASymbolicLinkReplacesTheTargetAndKeepsTheLink) {
    const fs::path target = dir_ / "real.ini";
    const fs::path link = dir_ / "zarnmon.ini";
    WriteFile(target, "[CommSettings]\nPort=3\n");
    std::error_code ec;
    fs::create_symlink(target, link, ec);
    if (ec) {
        GTEST_SKIP() << "no symbolic links here: " << ec.message();
    }
    CSettingsStore store;
    ASSERT_TRUE(store.Load(link).ok);
    store.SetInt("CommSettings", "Port", 4);
    ASSERT_TRUE(store.Save().ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "[CommSettings]\nPort=4\n");
}

TEST_F(SettingsFile, Load_UnreadableProfileFailsAndIsNeverOverwritten) {
    CSettingsStore store;
    store.SetInt("CommSettings", "Port", 5);
    const IoStatus loaded = store.Load(dir_);
    EXPECT_FALSE(loaded.ok);
    EXPECT_NE(loaded.reason.find(dir_.filename().string()), std::string::npos) << loaded.reason;
    EXPECT_EQ(store.GetInt("CommSettings", "Port", 0), 5) << "the store is as it was";
    EXPECT_TRUE(store.Path().empty());
    EXPECT_TRUE(store.Save().ok) << "in memory: nothing to write";
    EXPECT_TRUE(fs::is_directory(dir_));
}

TEST_F(SettingsFile, InMemoryStore_SaveWritesNothing) {
    CSettingsStore store;
    store.SetInt("CommSettings", "Port", 5);
    EXPECT_TRUE(store.Save().ok);
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(SettingsFile, SaveProfileNow_WritesABackedStoreAndTellsAFailure) {
    const fs::path path = dir_ / "zarnmon.ini";
    CSettingsStore store;
    ASSERT_TRUE(store.Load(path).ok);
    store.SetInt("CommSettings", "Port", 6);
    std::ostringstream errors;
    EXPECT_TRUE(SaveProfileNow(store, errors));
    EXPECT_EQ(ReadFile(path), "[CommSettings]\nPort=6\n");
    EXPECT_EQ(errors.str(), "");

    fs::create_directories(dir_ / "zarnmon.ini.tmp" / "occupied");
    store.SetInt("CommSettings", "Port", 7);
    EXPECT_FALSE(SaveProfileNow(store, errors));
    EXPECT_EQ(ReadFile(path), "[CommSettings]\nPort=6\n");
    EXPECT_TRUE(errors.str().starts_with("zarnmon: cannot write the settings \"" + path.string() + "\": "))
        << errors.str();
}

TEST_F(SettingsFile, SaveProfileNow_InMemoryStoreWritesNothing) {
    CSettingsStore store;
    store.SetInt("CommSettings", "Port", 5);
    std::ostringstream errors;
    EXPECT_TRUE(SaveProfileNow(store, errors));
    EXPECT_TRUE(fs::is_empty(dir_));
    EXPECT_EQ(errors.str(), "");
}

// --- Where the profile lives -----------------------------------------------------

TEST(DefaultSettingsPath, Posix_PrefersAbsoluteXdgConfigHomeThenHome) {
    EXPECT_EQ(DefaultSettingsPath("zarnmon", {"/xdg", "/home/u", ""}, HostPlatform::Posix),
              fs::path("/xdg") / "zarnmon" / "zarnmon.ini");
    EXPECT_EQ(DefaultSettingsPath("zarnmon", {"relative/xdg", "/home/u", ""}, HostPlatform::Posix),
              fs::path("/home/u") / ".config" / "zarnmon" / "zarnmon.ini")
        << "a relative XDG_CONFIG_HOME is ignored";
    EXPECT_EQ(DefaultSettingsPath("zarnmon", {"", "", "C:\\AppData"}, HostPlatform::Posix), fs::path("zarnmon.ini"));
}

TEST(DefaultSettingsPath, Windows_UsesAppData) {
    EXPECT_EQ(DefaultSettingsPath("zarnmon", {"/xdg", "/home/u", "C:\\AppData"}, HostPlatform::Windows),
              fs::path("C:\\AppData") / "zarnmon" / "zarnmon.ini");
    EXPECT_EQ(DefaultSettingsPath("zarnmon", {"/xdg", "/home/u", ""}, HostPlatform::Windows), fs::path("zarnmon.ini"));
}

}  // namespace
}  // namespace zarnmon
