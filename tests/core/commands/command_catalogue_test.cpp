#include "core/commands/command_catalogue.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

struct ExpectedEntry {
    std::string_view syntax;
    std::size_t helpLines;
};

// The receiver manual's command list, in its order, with the number of help lines of each.
constexpr ExpectedEntry kExpected[] = {
    {"$JBAUD,r[,OTHER]", 4},
    {"$JBIN,msg,r[,OTHER]", 13},
    {"$J4STRING[,r][,OTHER]", 6},
    {"$JASC,GPxxx,r[,OTHER]", 15},
    {"$JASC,RTCM,r[,OTHER]", 4},
    {"$JASC,BEAC,r[,OTHER]", 5},
    {"$JASC,VIRTUAL,r[,OTHER]", 5},
    {"$JASC,Dx,r[,OTHER]", 5},
    {"$JASC,X,r[,OTHER]", 4},
    {"$JAGE,age", 3},
    {"$JAIR,m", 5},
    {"$JALT,c,v[,GEOID]", 7},
    {"$JAPP[,app]", 8},
    {"$JCONN,p", 6},
    {"$JDCO,v", 3},
    {"$JDIFF,option", 9},
    {"$JFREQ,KHz,r", 7},
    {"$JGEO[,ALL]", 5},
    {"$JI", 4},
    {"$JLBEAM", 2},
    {"$JLXBEAM", 2},
    {"$JLIMIT,v", 5},
    {"$JMASK,e", 4},
    {"$JOFF[,OTHER]", 3},
    {"$JOMS", 15},
    {"$JOMR", 3},
    {"$JPOS,Lat,Lon", 4},
    {"$JRESET[,ALL]", 2},
    {"$JSAVE", 2},
    {"$JSHOW[,subset]", 6},
    {"$JT", 2},
    {"$JWAASPRN[,sv1[,sv2]]", 4},
};

std::size_t IndexOf(std::string_view syntax) {
    const auto catalogue = CommandCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        if (catalogue[i].syntax == syntax) {
            return i;
        }
    }
    ADD_FAILURE() << "no entry " << syntax;
    return 0;
}

std::vector<std::string_view> HelpOf(std::string_view syntax) { return HelpLines(CommandCatalogue()[IndexOf(syntax)]); }

std::vector<std::string> NamesOf(const std::vector<std::size_t>& indexes) {
    std::vector<std::string> names;
    for (const std::size_t i : indexes) {
        names.emplace_back(CommandName(CommandCatalogue()[i].syntax));
    }
    return names;
}

TEST(CommandCatalogueTest, Entries_AreTheManualsCommandsInOrderWithTheirHelpLineCounts) {
    const auto catalogue = CommandCatalogue();
    ASSERT_EQ(catalogue.size(), std::size(kExpected));
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        SCOPED_TRACE(kExpected[i].syntax);
        EXPECT_EQ(catalogue[i].syntax, kExpected[i].syntax);
        EXPECT_EQ(HelpLines(catalogue[i]).size(), kExpected[i].helpLines);
        // Lines are joined by CR LF alone: no stray line end inside a line or at the end.
        for (const std::string_view line : HelpLines(catalogue[i])) {
            EXPECT_EQ(line.find_first_of("\r\n"), std::string_view::npos);
        }
        EXPECT_FALSE(catalogue[i].help.ends_with("\r\n"));
    }
}

TEST(CommandCatalogueTest, HelpLines_KeepTheManualsSpellingAndSpacing) {
    const auto bin = HelpOf("$JBIN,msg,r[,OTHER]");
    EXPECT_EQ(bin[0], "Turn on/off binary message. r =  0, 0.2, 1 or 5 Hz  (0 turns message off)");
    EXPECT_EQ(bin[1], "msg = 1,2, 80, 94, 95, 96, 97, 98, or 99 (More may be added.)");
    EXPECT_EQ(bin[2], " 1 = Navigation Data (0.2, 1 or 5 Hz) ");
    EXPECT_EQ(bin[3], "2 = DOPP ant Satellite mask Data (1 Hz only)");
    EXPECT_EQ(bin[11],
              "Note: On WAAS receivers, a message 93 (WAAS ephemeris) is also activated with message 95(use the "
              "keyword OTHER to configure the other port)");
    EXPECT_EQ(bin[12], "EXAMPLE:  turn on msg 99 at 1 Hz     $JBIN,99,1");

    EXPECT_EQ(HelpOf("$J4STRING[,r][,OTHER]")[5],
              "EXAMPLE:  configure other port to output 4 Strings of NMEA at4800 baud  $J4STRING,OTHER");
    EXPECT_EQ(HelpOf("$JASC,GPxxx,r[,OTHER]")[6], "$JASC,GPGSV,r   *");
    EXPECT_EQ(HelpOf("$JASC,GPxxx,r[,OTHER]")[2],
              "r =  0, 0.2, 1 or 5  Hz  (0 turns message off) Options supported are:");

    const auto freq = HelpOf("$JFREQ,KHz,r");
    EXPECT_EQ(freq[3], "using spot beam tables.  A frequency value of 0 KHz will re-enable the use ");
    EXPECT_EQ(freq[4], "of spot beam tables.");

    EXPECT_EQ(HelpOf("$JGEO[,ALL]")[0],
              "display current L-Band[or WAAS] satellite's Freq, BitRate[or PRN], Longitude, Elevation and Azimute");
    EXPECT_EQ(HelpOf("$JT")[0], "display receiver type (eg. Rorir)");
    EXPECT_EQ(HelpOf("$JOMS")[2], "HourGlass,ExtentionTime,LinkVector,SoftwreVersion");
    EXPECT_EQ(HelpOf("$JOMS")[13], "SoftwreVersion = omnistar library version");
    EXPECT_EQ(HelpOf("$JDIFF,option")[8], "EXAMPLE:  differential source L-Band   $JDIFF,1,LBAND");
    EXPECT_EQ(HelpOf("$JAPP[,app]")[7], "EXAMPLE: Change and reboot to non-active application JAPP,OTHER");
    EXPECT_EQ(HelpOf("$JALT,c,v[,GEOID]")[1], "c = NEVER, ALWAYS,SOMETIMES");
    EXPECT_EQ(HelpOf("$JRESET[,ALL]")[0],
              "Reset configuration to default and makes this permanent. Equivalent to $LIMIT,10  $JMASK,5  "
              "JALT,NEVER,0  $JAGE,60, $JOFF, $JOFF,OTHER, followed by a $JSAVE.  If ALL is included, this command "
              "also resets the Almanacs and clears spotbeams to defaults");
    EXPECT_EQ(HelpOf("$JSHOW[,subset]")[2],
              "subset = CONF the report is, for example  $>JSHOW,CONF,N,0.0,10.0,5,A,0,60,W");
    EXPECT_EQ(HelpOf("$JWAASPRN[,sv1[,sv2]]")[3], "EXAMPLE:  Change the 1st WAAS PRN to 122   $JWAASPRN,122");
    EXPECT_EQ(HelpOf("$JBAUD,r[,OTHER]")[3], "EXAMPLE:  configure other port at 4800 baud  $JBAUD,4800,OTHER");
}

TEST(CommandCatalogueTest, HelpLines_OfASingleLineAndOfNoText) {
    EXPECT_EQ(HelpLines({"$X", "one line"}), std::vector<std::string_view>{"one line"});
    EXPECT_TRUE(HelpLines({"$X", ""}).empty());
    EXPECT_EQ(HelpLines({"$X", "a\r\n\r\nb"}), (std::vector<std::string_view>{"a", "", "b"}));
}

TEST(CommandCatalogueTest, CommandName_EndsAtTheFirstCommaOrBracket) {
    EXPECT_EQ(CommandName("$JASC,GPxxx,r[,OTHER]"), "$JASC");
    EXPECT_EQ(CommandName("$JAPP[,app]"), "$JAPP");
    EXPECT_EQ(CommandName("$J4STRING[,r][,OTHER]"), "$J4STRING");
    EXPECT_EQ(CommandName("$JI"), "$JI");
    EXPECT_EQ(CommandName("$jbin,99,1"), "$jbin");
    EXPECT_EQ(CommandName(""), "");
}

TEST(CommandCatalogueTest, MatchingEntries_NarrowByTypedName) {
    EXPECT_EQ(MatchingEntries("").size(), CommandCatalogue().size());
    EXPECT_EQ(NamesOf(MatchingEntries("$JL")), (std::vector<std::string>{"$JLBEAM", "$JLXBEAM", "$JLIMIT"}));
    // Case does not matter; the entries keep their list order.
    EXPECT_EQ(NamesOf(MatchingEntries("$ja")), (std::vector<std::string>{"$JASC", "$JASC", "$JASC", "$JASC", "$JASC",
                                                                         "$JASC", "$JAGE", "$JAIR", "$JALT", "$JAPP"}));
    EXPECT_TRUE(MatchingEntries("$Q").empty());
    EXPECT_TRUE(MatchingEntries("JI").empty());
}

TEST(CommandCatalogueTest, MatchingEntries_WithACommaOnlyTheSameName) {
    // "$JA," names no command; "$JASC," names the six NMEA/RTCM switches.
    EXPECT_TRUE(MatchingEntries("$JA,").empty());
    EXPECT_EQ(MatchingEntries("$jasc,gp"), (std::vector<std::size_t>{3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(NamesOf(MatchingEntries("$JOFF,OTHER")), std::vector<std::string>{"$JOFF"});
    // Without the comma "$JOMR" and "$JOMS" both start with "$JOM"; with it neither is "$JOM".
    EXPECT_EQ(MatchingEntries("$JOM").size(), 2u);
    EXPECT_TRUE(MatchingEntries("$JOM,1").empty());
    // "$JI" is a prefix of nothing else, and with arguments still names itself.
    EXPECT_EQ(NamesOf(MatchingEntries("$JI,")), std::vector<std::string>{"$JI"});
}

TEST(CommandCatalogueTest, CompleteCommandName_ExtendsToTheCommonPrefix) {
    EXPECT_EQ(CompleteCommandName("$jlb"), "$JLBEAM");
    EXPECT_EQ(CompleteCommandName("$JW"), "$JWAASPRN");
    EXPECT_EQ(CompleteCommandName("$jof"), "$JOFF");
    EXPECT_EQ(CompleteCommandName("$JO"), std::nullopt);   // "$JOFF", "$JOMS", "$JOMR"
    EXPECT_EQ(CompleteCommandName("$JOM"), std::nullopt);  // "$JOMS" or "$JOMR": nothing to add
    EXPECT_EQ(CompleteCommandName("$JAS"), "$JASC");       // six entries of one name
    EXPECT_EQ(CompleteCommandName(""), "$J");
    EXPECT_EQ(CompleteCommandName("$JASC"), std::nullopt);  // already whole
    EXPECT_EQ(CompleteCommandName("$JL"), std::nullopt);    // three ways on
    EXPECT_EQ(CompleteCommandName("$Q"), std::nullopt);
    EXPECT_EQ(CompleteCommandName("$JLB,1"), std::nullopt);  // arguments follow: the name is done
}

}  // namespace
}  // namespace zarnmon
