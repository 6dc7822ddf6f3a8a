#include "core/app/command_line.h"

#include <initializer_list>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

CommandLine Parse(std::initializer_list<std::string> args, CommandLine defaults = {}) {
    const std::vector<std::string> list(args);
    return ParseCommandLine(list, std::move(defaults));
}

// 10:15 on 5 December.
std::tm FifthOfDecember() {
    std::tm time{};
    time.tm_year = 126;
    time.tm_mon = 11;
    time.tm_mday = 5;
    time.tm_hour = 10;
    time.tm_min = 15;
    return time;
}

std::string Problems(const CommandLine& cmd) {
    std::string text;
    for (const std::string& problem : cmd.problems) {
        text += problem + "\n";
    }
    return text;
}

// --- Receiver flags ------------------------------------------------------------------

TEST(CommandLine, PortLogAndDate_OpenThePortAndLogToADatedNameThatKeepsItsCase) {
    const CommandLine cmd = Parse({"-COM:3", "-LOG:run.log", "-AD"});
    EXPECT_TRUE(cmd.problems.empty()) << Problems(cmd);
    EXPECT_TRUE(cmd.portGiven);
    EXPECT_EQ(cmd.port, 3);
    EXPECT_EQ(StartupLogNames(cmd, FifthOfDecember()).dataLog, "run_Dec05_10-15.log");

    const CommandLine lower = Parse({"-com:3", "-log:Run.Log", "-ad"});
    EXPECT_EQ(StartupLogNames(lower, FifthOfDecember()).dataLog, "Run_Dec05_10-15.Log");
}

TEST(CommandLine, BinaryLogWithDate_IsDatedWithoutAnExtension) {
    const CommandLine cmd = Parse({"-COM:1", "-LOGB:raw", "-AD"});
    const StartupLogs logs = StartupLogNames(cmd, FifthOfDecember());
    EXPECT_EQ(logs.binaryLog, "raw_Dec05_10-15");
    EXPECT_EQ(logs.dataLog, "");
}

TEST(CommandLine, DailyLogs_TakeOverTheDataLogNameButNotTheBinaryOne) {
    const CommandLine cmd = Parse({"-COM:1", "-LOG:run.log", "-LOGB:raw.bin", "-AD", "-LA"});
    const StartupLogs logs = StartupLogNames(cmd, FifthOfDecember());
    EXPECT_EQ(logs.dataLog, "run.log");
    EXPECT_EQ(logs.binaryLog, "raw_Dec05_10-15.bin");
}

TEST(CommandLine, LogsWithoutAPort_StartNoLog) {
    const CommandLine cmd = Parse({"-LOG:x", "-LOGB:y", "-AD"});
    EXPECT_TRUE(cmd.problems.empty()) << Problems(cmd);
    EXPECT_EQ(cmd.dataLogName, "x");
    const StartupLogs logs = StartupLogNames(cmd, FifthOfDecember());
    EXPECT_EQ(logs.dataLog, "");
    EXPECT_EQ(logs.binaryLog, "");
}

TEST(CommandLine, LogsWithAReplay_StartAsWithAPort) {
    const CommandLine cmd = Parse({"--replay", "day.zbin", "-LOG:run.log", "-LOGB:raw"});
    EXPECT_TRUE(cmd.problems.empty()) << Problems(cmd);
    const StartupLogs logs = StartupLogNames(cmd, FifthOfDecember());
    EXPECT_EQ(logs.dataLog, "run.log");
    EXPECT_EQ(logs.binaryLog, "raw");
}

TEST(CommandLine, LogBFlag_IsNotTakenForALogFlag) {
    const CommandLine cmd = Parse({"-logb:Raw.Bin"});
    EXPECT_EQ(cmd.binaryLogName, "Raw.Bin");
    EXPECT_EQ(cmd.dataLogName, "");
}

TEST(CommandLine, LogOptions_AnyCaseAndSlashOverrideTheDefaultsForThisRun) {
    CommandLine defaults = DefaultCommandLine({4, 9600, "/dev/ttyACM0"}, {true, true, 5, false});
    const CommandLine cmd = Parse({"-la", "-LI:30", "/le-", "-Lf-", "-NA"}, defaults);
    EXPECT_TRUE(cmd.problems.empty()) << Problems(cmd);
    EXPECT_TRUE(cmd.log.autoLog);
    EXPECT_EQ(cmd.log.interval, 30);
    EXPECT_FALSE(cmd.log.logErrors);
    EXPECT_FALSE(cmd.log.fullLog);
    EXPECT_FALSE(cmd.autoConfigure);
    EXPECT_FALSE(cmd.portGiven);
    EXPECT_EQ(cmd.port, 4) << "the profile's port until a flag names one";
    EXPECT_EQ(cmd.device, "/dev/ttyACM0");

    const CommandLine on = Parse({"/LE", "-LF", "-LA", "-LA-"});
    EXPECT_TRUE(on.log.logErrors);
    EXPECT_TRUE(on.log.fullLog);
    EXPECT_FALSE(on.log.autoLog) << "the later flag wins";
    EXPECT_TRUE(on.autoConfigure);
}

TEST(CommandLine, PortFlag_TakesANumberWithOrWithoutColonOrADevicePath) {
    EXPECT_EQ(Parse({"-COM5"}).port, 5);
    EXPECT_EQ(Parse({"/com12"}).port, 12);
    EXPECT_EQ(Parse({"-COM:1"}).port, 1) << "the lowest port";
    EXPECT_EQ(Parse({"-COM:256"}).port, 256) << "the highest port";

    const CommandLine usb = Parse({"-COM:/dev/ttyUSB0"});
    EXPECT_TRUE(usb.portGiven);
    EXPECT_EQ(usb.device, "/dev/ttyUSB0") << "a device path keeps its case";
    EXPECT_EQ(Parse({"-COM:\\\\.\\COM12"}).device, "\\\\.\\COM12");

    const CommandLine number = Parse({"-COM:/dev/ttyUSB0", "-COM:4"});
    EXPECT_EQ(number.port, 4);
    EXPECT_EQ(number.device, "") << "a port number given later replaces the path";
}

TEST(CommandLine, BadValues_AreReportedAndChangeNothing) {
    for (const std::string arg :
         {"-COM:", "-COM", "-COM:abc", "-COM:0", "-COM:3x", "-COM:-1", "-COMPORT", "-COM:99999999999", "-COM:257",
          "-LI:", "-LI:abc", "-LI:3601", "-LI:-1", "-LI:30s", "-LI:99999999999", "-LOG:", "-LOGB:"}) {
        SCOPED_TRACE(arg);
        const CommandLine cmd = Parse({arg});
        ASSERT_EQ(cmd.problems.size(), 1U);
        EXPECT_NE(cmd.problems[0].find(arg), std::string::npos) << cmd.problems[0];
        EXPECT_FALSE(cmd.portGiven);
        EXPECT_EQ(cmd.port, kDefaultPort);
        EXPECT_EQ(cmd.log.interval, kDefaultInterval);
        EXPECT_EQ(cmd.dataLogName, "");
    }
}

TEST(CommandLine, UnknownFlagsAndStrayArguments_AreReportedInOrder) {
    const CommandLine cmd = Parse({"-XYZ", "-LEX", "-", "run.log", "", "/dev/ttyUSB0", "-AD"});
    ASSERT_EQ(cmd.problems.size(), 6U) << Problems(cmd);
    EXPECT_EQ(cmd.problems[0], "unknown option \"-XYZ\"");
    EXPECT_EQ(cmd.problems[1], "unknown option \"-LEX\"") << "whole-flag options do not match a prefix";
    EXPECT_EQ(cmd.problems[2], "unknown option \"-\"");
    EXPECT_EQ(cmd.problems[3], "unexpected argument \"run.log\"");
    EXPECT_EQ(cmd.problems[4], "unexpected argument \"\"");
    EXPECT_EQ(cmd.problems[5], "unknown option \"/dev/ttyUSB0\"");
    EXPECT_TRUE(cmd.appendDate) << "good flags beside bad ones still count";
}

// An argument list that uses each option of the table.
std::vector<std::string> Example(std::string_view flag) {
    static const std::vector<std::pair<std::string_view, std::vector<std::string>>> kExamples{
        {"--help", {"--help"}},
        {"--version", {"--version"}},
        {"--simulate", {"--simulate"}},
        {"--replay", {"--replay", "day.zbin"}},
        {"--speed", {"--speed", "max"}},
        {"--settings", {"--settings", "z.ini"}},
        {"--snapshot", {"--snapshot", "shots"}},
        {"--seconds", {"--seconds", "5"}},
        {"--pdf", {"--snapshot", "shots", "--pdf"}},
        {"--verbose", {"--verbose"}},
        {"-COM:", {"-COM:3"}},
        {"-LOG:", {"-LOG:run.log"}},
        {"-LOGB:", {"-LOGB:raw.bin"}},
        {"-AD", {"-AD"}},
        {"-LI:", {"-LI:30"}},
        {"-LE", {"-LE"}},
        {"-LA", {"-LA"}},
        {"-LF", {"-LF"}},
        {"-NA", {"-NA"}},
    };
    for (const auto& [name, args] : kExamples) {
        if (name == flag) {
            return args;
        }
    }
    return {};
}

TEST(CommandLineOptions, EveryDocumentedOption_IsAcceptedByTheParser) {
    for (const CommandLineOption& option : CommandLineOptions()) {
        SCOPED_TRACE(option.flag);
        const std::vector<std::string> args = Example(option.flag);
        ASSERT_FALSE(args.empty()) << "an option without an example here";
        const CommandLine cmd = ParseCommandLine(args, {});
        EXPECT_TRUE(cmd.problems.empty()) << Problems(cmd);
        EXPECT_NE(HelpText().find(std::string(option.flag)), std::string::npos) << "--help names it";
    }
}

TEST(CommandLineOptions, AboutBoxText_IsTheProgramsOwnTextByteForByte) {
    EXPECT_EQ(CommandLineOptionsText(),
              "-COM:p\t-- Open com port p\r\n"
              "-LOG:fn\t-- Open and log to filename \"fn_time\"\r\n"
              "  \t   (if -AD, Date is appended to actual file name)\r\n"
              "-LOGB:fn\t-- Open and log binary to filename \"fn_time\"\r\n"
              "  \t   (if -AD, Date is appended to actual file name)\r\n"
              "-AD\t-- Append Date to Log File Name\r\n"
              "-LI:sec\t-- Designate log interval seconds\r\n"
              "-LE\t-- Log North, East, Up errors\r\n"
              "  \t   instead of Lat, Lon, Height\r\n"
              "-LA\t-- Create Automatic Daily Log Files\r\n"
              "  \t   Name is based on name given in -LOG:fn\r\n"
              "-LF\t-- Do a full Log\r\n"
              "-NA\t-- Do not automatically turn on receiver messages");
    EXPECT_EQ(kVersionText, "ZarnMon Version 2.18");
}

TEST(CommandLineOptions, HelpText_ListsLongOptionsThenReceiverFlagsInAlignedColumns) {
    const std::string help = HelpText();
    const auto at = [&help](std::string_view line) {
        const auto pos = help.find(line);
        EXPECT_NE(pos, std::string::npos) << line;
        return pos;
    };
    const auto flags = at("\nReceiver flags");
    EXPECT_LT(at("\nOptions:\n"), at("\n  --replay FILE     play the raw log FILE back"));
    EXPECT_LT(at("\n  --speed 1|10|max  speed of --replay"), flags);
    EXPECT_GT(at("\n  -COM:DEVICE       open the serial device DEVICE"), flags);
    EXPECT_GT(at("\n  -NA               do not turn on receiver messages automatically\n"), flags);
    EXPECT_TRUE(help.ends_with("they do not change the settings.\n"));
}

// --- Long options ----------------------------------------------------------------------

TEST(CommandLine, LongOptions_TakeTheirValuesEvenWhenTheyLookLikeFlags) {
    const CommandLine cmd = Parse({"--simulate", "--settings", "/tmp/Z.ini", "--snapshot=Shots", "--seconds", "3",
                                   "--help", "--version", "-COM:2"});
    EXPECT_TRUE(cmd.problems.empty()) << Problems(cmd);
    EXPECT_TRUE(cmd.simulate);
    EXPECT_TRUE(cmd.help);
    EXPECT_TRUE(cmd.version);
    EXPECT_EQ(cmd.settingsFile, "/tmp/Z.ini");
    EXPECT_EQ(cmd.snapshotDir, "Shots");
    EXPECT_EQ(cmd.snapshotSeconds, 3);
    EXPECT_TRUE(cmd.portGiven);
    EXPECT_EQ(Parse({}).snapshotSeconds, 10);
    EXPECT_FALSE(cmd.snapshotPdf);
    EXPECT_TRUE(Parse({"--snapshot", "shots", "--pdf"}).snapshotPdf);
}

TEST(CommandLine, LongOptions_MisusedAreReportedAndChangeNothing) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--settings"},
                                                                  {"--settings="},
                                                                  {"--seconds", "0"},
                                                                  {"--seconds", "86401"},
                                                                  {"--seconds", "4294968"},
                                                                  {"--seconds", "99999999999"},
                                                                  {"--seconds=ten"},
                                                                  {"--seconds=-5"},
                                                                  {"--replay"},
                                                                  {"--replay="},
                                                                  {"--speed"},
                                                                  {"--help=yes"},
                                                                  {"--Simulate"},
                                                                  {"--frobnicate"},
                                                                  {"--"}}) {
        SCOPED_TRACE(args.back());
        const CommandLine cmd = ParseCommandLine(args, {});
        EXPECT_EQ(cmd.problems.size(), 1U) << Problems(cmd);
        EXPECT_FALSE(cmd.help || cmd.simulate);
        EXPECT_EQ(cmd.settingsFile, "");
        EXPECT_EQ(cmd.replayFile, "");
        EXPECT_EQ(cmd.snapshotSeconds, kDefaultSnapshotSeconds);
    }
}

TEST(CommandLine, Seconds_AcceptsOneSecondToADay) {
    EXPECT_EQ(Parse({"--seconds", "1"}).snapshotSeconds, 1);
    const CommandLine day = Parse({"--seconds=86400"});
    EXPECT_TRUE(day.problems.empty()) << Problems(day);
    EXPECT_EQ(day.snapshotSeconds, 86400);
    EXPECT_EQ(Parse({"--seconds", "86401"}).problems.at(0),
              "\"--seconds\" \"86401\": a whole number of seconds from 1 to 86400");
}

TEST(CommandLine, Replay_TakesTheFileAndASpeedOf1_10OrMax) {
    const CommandLine cmd = Parse({"--replay", "/data/Day.zbin"});
    EXPECT_TRUE(cmd.problems.empty()) << Problems(cmd);
    EXPECT_EQ(cmd.replayFile, "/data/Day.zbin");
    EXPECT_EQ(cmd.replaySpeed, ReplaySpeed::RealTime) << "the receiver's own pace unless asked";
    EXPECT_FALSE(cmd.portGiven);

    EXPECT_EQ(Parse({"--replay=x", "--speed", "1"}).replaySpeed, ReplaySpeed::RealTime);
    EXPECT_EQ(Parse({"--replay=x", "--speed", "10"}).replaySpeed, ReplaySpeed::Times10);
    EXPECT_EQ(Parse({"--speed=max", "--replay", "x"}).replaySpeed, ReplaySpeed::Fastest);
}

TEST(CommandLine, ReplaySpeed_OtherThan1_10OrMaxIsReported) {
    for (const std::string speed : {"2", "0", "", "MAX", "10x", "fast", "01"}) {
        SCOPED_TRACE(speed);
        const CommandLine cmd = Parse({"--replay", "x", "--speed", speed});
        ASSERT_EQ(cmd.problems.size(), 1U) << Problems(cmd);
        EXPECT_EQ(cmd.problems[0], "--speed must be 1, 10 or max");
        EXPECT_EQ(cmd.replaySpeed, ReplaySpeed::RealTime);
    }
}

TEST(CommandLine, ReplayBesideAnotherReceiver_IsReportedWhateverTheOrder) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--replay", "x", "--simulate"},
                                                                  {"--simulate", "--replay=x"},
                                                                  {"-COM:3", "--replay", "x"},
                                                                  {"--replay", "x", "-com:/dev/ttyUSB0"}}) {
        SCOPED_TRACE(args.front());
        const CommandLine cmd = ParseCommandLine(args, {});
        ASSERT_EQ(cmd.problems.size(), 1U) << Problems(cmd);
        EXPECT_NE(cmd.problems[0].find("\"--replay\""), std::string::npos) << cmd.problems[0];
    }
    EXPECT_EQ(Parse({"--replay", "x", "--simulate", "-COM:1"}).problems.size(), 2U);
    EXPECT_TRUE(Parse({"--simulate", "-COM:1"}).problems.empty()) << "the simulator still wins over a port";
}

// --- Ports and dated names -------------------------------------------------------------

TEST(CommandLine, PortDevicePath_NamesTheCommPortOfEachPlatform) {
    EXPECT_EQ(PortDevicePath(1, HostPlatform::Posix), "/dev/ttyS0");
    EXPECT_EQ(PortDevicePath(3, HostPlatform::Posix), "/dev/ttyS2");
    EXPECT_EQ(PortDevicePath(3, HostPlatform::Windows), "COM3");
    EXPECT_EQ(PortDevicePath(0, HostPlatform::Posix), "");
    EXPECT_EQ(PortDevicePath(0, HostPlatform::Windows), "");
    // The USB port's device is found among the attached adapters, not named.
    EXPECT_EQ(PortDevicePath(kUsbPort, HostPlatform::Posix), "");
}

TEST(CommandLine, ResolveDevice_AGivenPathWinsOverThePortNumber) {
    EXPECT_EQ(ResolveDevice(2, "", HostPlatform::Posix), "/dev/ttyS1");
    EXPECT_EQ(ResolveDevice(2, "", HostPlatform::Windows), "COM2");
    EXPECT_EQ(ResolveDevice(2, "/dev/ttyUSB0", HostPlatform::Posix), "/dev/ttyUSB0");
    EXPECT_EQ(ResolveDevice(2, "\\\\.\\COM12", HostPlatform::Windows), "\\\\.\\COM12");
}

TEST(AppendDate, SplitsAtTheLastDotOfTheFileName) {
    const std::tm time = FifthOfDecember();
    EXPECT_EQ(AppendDateToFileName("a.b.log", time), "a.b_Dec05_10-15.log");
    EXPECT_EQ(AppendDateToFileName("run.", time), "run_Dec05_10-15.");
    EXPECT_EQ(AppendDateToFileName(".hidden", time), ".hidden_Dec05_10-15") << "a leading dot starts no extension";
    EXPECT_EQ(AppendDateToFileName("", time), "_Dec05_10-15");
}

TEST(AppendDate, DotsInFolderNamesDoNotCount) {
    const std::tm time = FifthOfDecember();
    EXPECT_EQ(AppendDateToFileName("/home/u/.zarn/run", time), "/home/u/.zarn/run_Dec05_10-15");
    EXPECT_EQ(AppendDateToFileName("logs.d/run.txt", time), "logs.d/run_Dec05_10-15.txt");
    EXPECT_EQ(AppendDateToFileName("C:\\logs.d\\.x", time), "C:\\logs.d\\.x_Dec05_10-15");
}

TEST(AppendDate, FieldsAreTwoDigitsAndMonthsEnglish) {
    std::tm time{};
    time.tm_mon = 0;
    time.tm_mday = 1;
    time.tm_min = 5;
    EXPECT_EQ(AppendDateToFileName("x", time), "x_Jan01_00-05");
    time.tm_mon = 4;
    time.tm_hour = 23;
    EXPECT_EQ(AppendDateToFileName("x", time), "x_May01_23-05");
}

// The toolkit's own options are left to it; everything else, including a
// receiver flag that merely looks like one of them, stays for the parser.
TEST(CommandLine, ToolkitOptions_AreTakenOutWithTheirValues) {
    const std::vector<std::string> args{"-platform", "offscreen", "--style=fusion", "-reverse", "-COM:3", "--settings",
                                        "z.ini",     "-NA",       "-STYLE",         "x"};
    EXPECT_EQ(WithoutToolkitOptions(args),
              (std::vector<std::string>{"-COM:3", "--settings", "z.ini", "-NA", "-STYLE", "x"}));
    const CommandLine parsed =
        ParseCommandLine(WithoutToolkitOptions(std::vector<std::string>{"-platform", "xcb", "--simulate"}), {});
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_TRUE(parsed.simulate);
}

}  // namespace
}  // namespace zarnmon
