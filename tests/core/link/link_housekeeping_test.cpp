#include "core/link/link_housekeeping.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

using test::AsBytes;

class HousekeepingTest : public ::testing::Test {
protected:
    HousekeepingTest() { dispatcher.SetSender(&sender); }

    // One timer tick a second, as the main frame runs it.
    std::vector<std::string> TickAndTake(bool autoConfigure = true, bool askIdentity = true,
                                         const KeepAliveNeeds& needs = {}) {
        sender.sent.clear();
        informationSteps += housekeeping.NextTickKeepsAlive() ? 0 : 1;
        housekeeping.Tick(autoConfigure, askIdentity, needs);
        clock.Advance(1000);
        return sender.sent;
    }

    CManualTickClock clock{100000};
    CMsgDispatcher dispatcher{clock};
    CReceiverInfo info;
    test::RecordingSender sender;
    CLinkHousekeeping housekeeping{dispatcher, info, sender};
    int informationSteps = 0;
};

TEST_F(HousekeepingTest, SilentReceiver_KeepAliveEveryFourthTickAndIdentityBetween) {
    using Sent = std::vector<std::string>;
    EXPECT_EQ(TickAndTake(), (Sent{"$JBIN,1,1\r", "$JBIN,2,1\r"}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(TickAndTake(), Sent{"$JI\r"});
    }
    EXPECT_EQ(TickAndTake(), Sent{}) << "4 s later: the 5 s limit holds the requests back";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(TickAndTake(), Sent{"$JI\r"});
    }
    EXPECT_EQ(TickAndTake(), (Sent{"$JBIN,1,1\r", "$JBIN,2,1\r"})) << "8 s after the first";
    EXPECT_TRUE(std::ranges::none_of(sender.shown, [](bool shown) { return shown; })) << "never a message box";
}

TEST_F(HousekeepingTest, AutoConfigureOff_SendsNothingAtAll) {
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(TickAndTake(false).empty());
    }
}

TEST_F(HousekeepingTest, LinkWithoutIdentity_NeverAsksWhoItIs) {
    for (int i = 0; i < 8; ++i) {
        const auto sent = TickAndTake(true, false);
        EXPECT_EQ(std::ranges::count(sent, std::string("$JI\r")), 0);
    }
}

TEST_F(HousekeepingTest, IdentityReply_StopsTheQuestionsUntilTheReceiverFallsSilent) {
    TickAndTake();
    TickAndTake();
    // The first look at the reply history only catches up with it, so a reply
    // already there (or arriving before that look settles) is passed over and
    // the question is asked again.
    dispatcher.Feed(AsBytes(TextLine("$>JI,4241,1,7,x,y,z,4.5,3.4")));
    EXPECT_EQ(TickAndTake(), std::vector<std::string>{"$JI\r"});
    dispatcher.Feed(AsBytes(TextLine("$>JI,4242,1,7,x,y,z,4.5,3.4")));
    TickAndTake();
    EXPECT_EQ(info.ReceiverId(), "4242");
    EXPECT_FALSE(housekeeping.WaasAllowed()) << "ARM 4.5";
    EXPECT_TRUE(TickAndTake().empty());

    // Message 1 never arrived: the tenth silent information step forgets who
    // the receiver was, and the questions start again.
    while (info.Known() && informationSteps < 40) {
        TickAndTake();
    }
    EXPECT_FALSE(info.Known());
    EXPECT_EQ(informationSteps, 10);
    while (housekeeping.NextTickKeepsAlive()) {
        TickAndTake();
    }
    EXPECT_EQ(TickAndTake(), std::vector<std::string>{"$JI\r"});
}

TEST_F(HousekeepingTest, LinkResumed_AsksAgainAtTheNextTickForWhatIsKeptOnThoughItStillFlows) {
    const KeepAliveNeeds needs{.dataLog = true};
    TickAndTake(true, true, needs);
    for (const int id : {1, 2, 99, 100, 89}) {
        dispatcher.Feed(CBinFrameBuilder(static_cast<std::uint16_t>(id)).Build());
    }
    dispatcher.Feed(AsBytes(TextLine("$RD1,1,2,3")));
    TickAndTake(true, true, needs);
    EXPECT_FALSE(housekeeping.NextTickKeepsAlive());

    housekeeping.LinkResumed();
    EXPECT_TRUE(housekeeping.NextTickKeepsAlive());
    EXPECT_EQ(TickAndTake(true, true, needs),
              (std::vector<std::string>{"$JBIN,1,1\r", "$JBIN,2,1\r", "$JBIN,99,1\r", "$JBIN,100,1\r", "$JBIN,89,1\r",
                                        "$JASC,D1,1\r"}));
    housekeeping.LinkResumed();
    EXPECT_TRUE(TickAndTake(false, true, needs).empty()) << "nothing without auto-configure";
}

TEST_F(HousekeepingTest, Needs_AddTheirMessagesToTheKeepAlive) {
    const KeepAliveNeeds needs{.dataLog = true, .phaseLog = true, .waasProcessing = true};
    EXPECT_EQ(
        TickAndTake(true, true, needs),
        (std::vector<std::string>{"$JBIN,1,1\r", "$JBIN,2,1\r", "$JBIN,99,1\r", "$JBIN,100,1\r", "$JBIN,89,1\r",
                                  "$JASC,D1,1\r", "$JBIN,95,1\r", "$JBIN,76,1\r", "$JBIN,94,1\r", "$JBIN,80,1\r"}));
}

TEST_F(HousekeepingTest, WaasToggle_EnablesMessage80OnlyWhenSilentAndPassesOnlyNewFrames) {
    std::vector<std::uint32_t> passed;
    housekeeping.SetWaasSink(
        [&passed](std::span<const std::uint8_t> frame) { passed.push_back(Msg80View(frame).MsgSecOfWeek()); });
    const auto frame80 = [](std::uint32_t second) {
        CBinFrameBuilder frame(80);
        frame.Set(msg80::MsgSecOfWeek, second);
        return frame.Build();
    };
    dispatcher.Feed(frame80(1));
    EXPECT_TRUE(housekeeping.ToggleWaas());
    EXPECT_TRUE(sender.sent.empty()) << "message 80 is flowing already";
    EXPECT_TRUE(housekeeping.ToggleWaas() == false);
    EXPECT_TRUE(sender.sent.empty()) << "not switched off: it was not ours";

    clock.Advance(6000);
    housekeeping.ToggleWaas();
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JBIN,80,1\r"});
    dispatcher.Feed(frame80(2));
    auto corrupt = frame80(3);
    corrupt[20] ^= 1;
    dispatcher.Feed(corrupt);
    dispatcher.Feed(frame80(4));
    TickAndTake();  // keep-alive tick: no processing
    EXPECT_TRUE(passed.empty());
    TickAndTake();
    EXPECT_EQ(passed, (std::vector<std::uint32_t>{2, 4})) << "older and damaged frames are not passed";
    sender.sent.clear();
    housekeeping.ToggleWaas();
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JBIN,80,0\r"});
}

TEST_F(HousekeepingTest, Panes_FollowWhatFlows) {
    EXPECT_EQ(FixPaneText(dispatcher, false), "Not Connected");
    EXPECT_EQ(FixPaneText(dispatcher, true), "No Communication");

    dispatcher.Feed(CBinFrameBuilder(99).Build());
    EXPECT_EQ(FixPaneText(dispatcher, true), "Connected") << "message 99 without a time";

    CBinFrameBuilder msg99(99);
    msg99.Set(msg99::GpsWeek, std::uint16_t{2000}).Set(msg99::NavStatus, std::uint8_t{3});
    dispatcher.Feed(msg99.Build());
    EXPECT_EQ(FixPaneText(dispatcher, true), "FIX_3D");

    CBinFrameBuilder msg1(1);
    msg1.Set(msg1::GpsWeek, std::uint16_t{2000})
        .Set(msg1::GpsTimeOfWeek, 100000.7)
        .Set(msg1::NavMode, std::uint16_t{4});
    dispatcher.Feed(msg1.Build());
    EXPECT_EQ(FixPaneText(dispatcher, true), "3-D DIFF");
    EXPECT_EQ(TimePaneText(dispatcher), "05/07/18  03:46:40");
    clock.Advance(6000);
    EXPECT_EQ(FixPaneText(dispatcher, true), "No Communication");
}

}  // namespace
}  // namespace zarnmon
