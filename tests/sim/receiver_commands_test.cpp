#include "sim/receiver_commands.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zarnmon::sim {
namespace {

class ReceiverCommandsTest : public ::testing::Test {
protected:
    std::vector<std::string> Execute(std::string_view line) {
        std::vector<std::string> replies;
        commands.Execute(line, replies);
        return replies;
    }
    [[nodiscard]] int Period(std::string_view text) const {
        const auto output = COutputSchedule::FindText(text);
        return schedule.PeriodTicks(
            output ? *output : *COutputSchedule::FindBinary(static_cast<std::uint16_t>(std::stoi(std::string(text)))));
    }

    SimConfig config;
    COutputSchedule schedule;
    CReceiverCommands commands{schedule, config, {135, 138}};
};

TEST_F(ReceiverCommandsTest, JBin_SetsTheRateAndIsAcknowledged) {
    EXPECT_EQ(Execute("$JBIN,99,1"), std::vector<std::string>{"$PCSI,ACK,JBIN,99,1\r\n"});
    EXPECT_EQ(Period("99"), 20);
    Execute("$jbin,1,5");
    EXPECT_EQ(Period("1"), 4) << "commands are not case-sensitive";
    Execute("$JBIN,1,0.2");
    EXPECT_EQ(Period("1"), 100);
    Execute("$JBIN,96,20");
    EXPECT_EQ(Period("96"), 1);
    Execute("$JBIN,99,0");
    EXPECT_EQ(Period("99"), 0);
}

TEST_F(ReceiverCommandsTest, JBin_RejectsWhatTheMessageDoesNotOffer) {
    for (const char* bad : {"$JBIN,99,5", "$JBIN,1,3", "$JBIN,42,1", "$JBIN,99", "$JBIN,99,x", "$JBIN,99,1,2,3"}) {
        SCOPED_TRACE(bad);
        const auto replies = Execute(bad);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_TRUE(replies[0].starts_with("$>ERR,")) << replies[0];
    }
    EXPECT_EQ(Period("99"), 0);
    EXPECT_EQ(commands.Rejected(), 6u);
}

TEST_F(ReceiverCommandsTest, Message95BringsTheWaasEphemerisAlong) {
    Execute("$JBIN,95,1");
    EXPECT_EQ(Period("93"), 20);
    Execute("$JBIN,95,0");
    EXPECT_EQ(Period("93"), 0);
}

TEST_F(ReceiverCommandsTest, OtherPortCommandsLeaveThisPortAlone) {
    Execute("$JASC,GPGGA,1");
    EXPECT_EQ(Execute("$JBIN,99,1,OTHER").size(), 1u);
    Execute("$JOFF,OTHER");
    EXPECT_EQ(Period("99"), 0);
    EXPECT_EQ(Period("GPGGA"), 20);
    Execute("$JOFF");
    EXPECT_EQ(Period("GPGGA"), 0);
}

TEST_F(ReceiverCommandsTest, J4String_LeavesExactlyFourSentencesOn) {
    Execute("$JBIN,99,1");
    Execute("$JASC,HEHDT,5");
    Execute("$J4STRING");
    for (std::size_t i = 0; i < COutputSchedule::kOutputCount; ++i) {
        const auto name = COutputSchedule::Outputs()[i].name;
        SCOPED_TRACE(name);
        const bool expected = name == "GPGGA" || name == "GPVTG" || name == "GPGSA" || name == "GPZDA";
        EXPECT_EQ(schedule.IsOn(i), expected);
    }
}

TEST_F(ReceiverCommandsTest, Queries_AnswerWithReplyLines) {
    config.armVersion = 4.1;
    const auto ji = Execute("$JI");
    ASSERT_EQ(ji.size(), 1u);
    EXPECT_TRUE(ji[0].starts_with("$>JI,"));
    std::vector<std::string> pieces;
    for (std::size_t at = 0, comma = 0; comma != std::string::npos; at = comma + 1) {
        comma = ji[0].find(',', at);
        pieces.push_back(ji[0].substr(at, comma - at));
    }
    ASSERT_EQ(pieces.size(), 9u) << "eight fields after $>JI";
    EXPECT_EQ(pieces[7], "4.1");

    EXPECT_EQ(Execute("$JWAASPRN"), std::vector<std::string>{"$>JWAASPRN,135,138\r\n"});
    Execute("$JWAASPRN,122");
    EXPECT_EQ(Execute("$JWAASPRN"), std::vector<std::string>{"$>JWAASPRN,122,138\r\n"});
    EXPECT_EQ(Execute("$JGEO").size(), 2u);
    EXPECT_EQ(Execute("$JSHOW,CONF"), std::vector<std::string>{"$>JSHOW,CONF,N,0.0,10.0,5,A,0,60,W\r\n"});
}

TEST_F(ReceiverCommandsTest, Catalogue_EveryCommandGetsAnAnswer) {
    for (const char* command : {"$JBAUD,9600",
                                "$JAGE,30",
                                "$JAIR,1",
                                "$JALT,SOMETIMES,4.0",
                                "$JAPP",
                                "$JCONN,C",
                                "$JDCO,0.0",
                                "$JDIFF,LBAND",
                                "$JDIFF",
                                "$JFREQ,1551489,1200",
                                "$JGEO,ALL",
                                "$JI",
                                "$JLBEAM",
                                "$JLXBEAM",
                                "$JLIMIT,2.0",
                                "$JMASK,5",
                                "$JOFF",
                                "$JOMS",
                                "$JOMR",
                                "$JPOS,33.11,-111.25",
                                "$JRESET",
                                "$JSAVE",
                                "$JSHOW",
                                "$JT",
                                "$JWAASPRN,122,134",
                                "$JASC,RTCM,1",
                                "$JASC,BEAC,1",
                                "$JASC,VIRTUAL,0",
                                "$JASC,D1,1",
                                "$JASC,X,1",
                                "$J4STRING,OTHER"}) {
        SCOPED_TRACE(command);
        const auto replies = Execute(command);
        ASSERT_FALSE(replies.empty());
        EXPECT_FALSE(replies[0].starts_with("$>ERR")) << replies[0];
        EXPECT_TRUE(replies.back().ends_with("\r\n"));
    }
    EXPECT_EQ(Execute("$JAGE,30"), (std::vector<std::string>{"$>JAGE,30\r\n", "$PCSI,ACK,JAGE,30\r\n"}));
    EXPECT_EQ(Execute("$JFROB")[0], "$>ERR,INVALID COMMAND OR ARGUMENT,JFROB\r\n");
    EXPECT_EQ(Execute("hello")[0], "$>ERR,UNKNOWN COMMAND,HELLO\r\n");
    EXPECT_TRUE(Execute("$JPOS,95,0")[0].starts_with("$>ERR"));
    // A bare $JPOS, as the solution view sends while there is no fix, asks for the position held.
    Execute("$JPOS,33.11,-111.25");
    EXPECT_EQ(Execute("$JPOS"), std::vector<std::string>{"$>JPOS,33.110000,-111.250000\r\n"});
    EXPECT_TRUE(Execute("   ").empty());
}

}  // namespace
}  // namespace zarnmon::sim
