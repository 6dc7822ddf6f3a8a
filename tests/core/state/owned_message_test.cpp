#include "core/state/owned_message.h"

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "core/link/tick_clock.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

class SilentWindow final : public IRxWindow {
public:
    void PostRxMessage(std::uint32_t /*message*/, std::uint32_t /*wParam*/, const CMsgHandler* /*handler*/) override {}
};

class OwnedMessageTest : public ::testing::Test {
protected:
    OwnedMessageTest() {
        dispatcher.SetSender(&sender);
        // The view that owns the message listens to its handler.
        dispatcher.Handler(Slots::Msg100).Subscribe(&view);
    }

    CManualTickClock clock;
    CMsgDispatcher dispatcher{clock};
    test::RecordingSender sender;
    SilentWindow view;
    COwnedMessage owned{dispatcher, Slots::Msg100};
};

TEST_F(OwnedMessageTest, SwitchedOffOnCloseWhenTurnedOnHere) {
    owned.KeepOn();
    EXPECT_TRUE(owned.TurnedOnHere());
    owned.Release(true);
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JBIN,100,1\r", "$JBIN,100,0\r"}));
    EXPECT_FALSE(owned.TurnedOnHere());
}

TEST_F(OwnedMessageTest, AMessageAlreadyFlowingIsLeftOn) {
    dispatcher.Feed(CBinFrameBuilder(msg100::kId).Build());
    owned.KeepOn();
    EXPECT_FALSE(owned.TurnedOnHere());
    owned.Release(true);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(OwnedMessageTest, LeftOnWhileAnotherWindowListensOrTheUserControlsTheMessages) {
    owned.KeepOn();
    SilentWindow other;
    const std::uint32_t id = dispatcher.Handler(Slots::Msg100).Subscribe(&other);
    owned.Release(true);
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JBIN,100,1\r"}));

    dispatcher.Handler(Slots::Msg100).Unsubscribe(id);
    owned.KeepOn();
    owned.Release(false);
    EXPECT_EQ(sender.sent.size(), 1U) << "nothing is sent within 5000 ms of the last request, and nothing switched off";
}

}  // namespace
}  // namespace zarnmon
