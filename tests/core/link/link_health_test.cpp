#include "core/link/link_health.h"

#include <vector>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

constexpr std::uint32_t kSampleMs = 500;

class LinkHealthTest : public ::testing::Test {
protected:
    // Lets ms pass in half-second samples, as the display's timer takes
    // them; perSecond messages of id arrive on every whole second.
    void Run(std::uint32_t ms, std::uint16_t id, int perSecond) {
        for (std::uint32_t t = 0; t < ms; t += kSampleMs) {
            clock.Advance(kSampleMs);
            if ((clock.Now() - kStart) % 1000 == 0) {
                for (int k = 0; k < perSecond; ++k) {
                    dispatcher.Feed(msg(id));
                }
            }
            health.Sample();
        }
    }

    static std::vector<std::uint8_t> msg(std::uint16_t id) { return CBinFrameBuilder(id).Build(); }

    static constexpr std::uint32_t kStart = 100000;
    CManualTickClock clock{kStart};
    CMsgDispatcher dispatcher{clock};
    CLinkHealth health{dispatcher, clock};
};

TEST_F(LinkHealthTest, Rate_IsTakenOverTheSlidingWindow) {
    EXPECT_FALSE(health.Message(Slots::Msg1).perSecond) << "no samples, no rate";
    health.Sample();
    EXPECT_FALSE(health.Message(Slots::Msg1).perSecond) << "one sample spans no time";

    Run(20000, 1, 2);
    EXPECT_DOUBLE_EQ(*health.Message(Slots::Msg1).perSecond, 2.0);
    EXPECT_DOUBLE_EQ(*health.Message(Slots::Msg2).perSecond, 0.0);
    EXPECT_DOUBLE_EQ(*health.Line().bytesPerSecond, 2.0 * static_cast<double>(msg(1).size()));

    // Silence: the rate falls as the messages leave the window.
    Run(5000, 1, 0);
    EXPECT_DOUBLE_EQ(*health.Message(Slots::Msg1).perSecond, 1.0);
    Run(5500, 1, 0);
    EXPECT_DOUBLE_EQ(*health.Message(Slots::Msg1).perSecond, 0.0);
    EXPECT_EQ(health.Message(Slots::Msg1).stored, 40u);
}

TEST_F(LinkHealthTest, Rate_StartsAgainAfterAResetOrAClockThatJumpedBack) {
    Run(10000, 99, 5);
    dispatcher.Reset();
    health.Sample();
    EXPECT_FALSE(health.Message(Slots::Msg99).perSecond) << "counts fell: the old samples are another connection's";
    Run(3000, 99, 1);
    EXPECT_DOUBLE_EQ(*health.Message(Slots::Msg99).perSecond, 1.0);

    // A replay's clock follows the recording, which may be behind the host's.
    clock.Set(kStart - 60000);
    health.Sample();
    EXPECT_FALSE(health.Message(Slots::Msg99).perSecond);
    EXPECT_FALSE(health.Line().bytesPerSecond);
}

TEST_F(LinkHealthTest, Stopped_AtExactlySixThousandMillisecondsOfAKeptOnMessage) {
    dispatcher.EnsureState(Slots::Msg99, true, false);
    health.Sample();
    clock.Advance(3000);
    dispatcher.Feed(msg(99));
    health.Sample();
    EXPECT_TRUE(health.Message(Slots::Msg99).keptOn);
    EXPECT_FALSE(health.Message(Slots::Msg99).stopped);

    // The keep-alive rounds go on while the message is silent.
    for (int round = 0; round < 2; ++round) {
        clock.Advance(round == 0 ? 1000 : 4000);
        dispatcher.EnsureState(Slots::Msg99, true, false);
    }
    clock.Advance(999);
    health.Sample();
    EXPECT_EQ(health.Message(Slots::Msg99).ageMs, 5999u);
    EXPECT_FALSE(health.Message(Slots::Msg99).stopped);
    clock.Advance(1);
    EXPECT_TRUE(health.Message(Slots::Msg99).stopped);

    // A damaged frame is still an arrival by the 6000 ms rule.
    auto damaged = msg(99);
    damaged[damaged.size() - 4] ^= 0x5A;
    dispatcher.Feed(damaged);
    EXPECT_FALSE(health.Message(Slots::Msg99).stopped);
    EXPECT_EQ(health.Message(Slots::Msg99).failed, 1u);

    // Nobody asks any more: silence is no alarm once the wish has lapsed.
    clock.Advance(CLinkHealth::kKeptOnMs);
    health.Sample();
    EXPECT_FALSE(health.Message(Slots::Msg99).keptOn);
    EXPECT_FALSE(health.Message(Slots::Msg99).stopped);
}

TEST_F(LinkHealthTest, Stopped_OnlyForAMessageSomeoneKeepsOnAndHasHadTimeToAnswer) {
    dispatcher.Feed(msg(2));
    clock.Advance(60000);
    health.Sample();
    EXPECT_FALSE(health.Message(Slots::Msg2).keptOn);
    EXPECT_FALSE(health.Message(Slots::Msg2).stopped) << "silent, but nobody wants it";

    dispatcher.EnsureState(Slots::Msg1, true, false);
    health.Sample();
    EXPECT_FALSE(health.Message(Slots::Msg1).ageMs) << "never arrived";
    EXPECT_FALSE(health.Message(Slots::Msg1).stopped) << "just asked for";
    clock.Advance(4000);
    dispatcher.EnsureState(Slots::Msg1, true, false);
    clock.Advance(2000);
    health.Sample();
    EXPECT_TRUE(health.Message(Slots::Msg1).stopped) << "six seconds and still nothing";

    dispatcher.EnsureState(Slots::Msg1, false, true);
    health.Sample();
    EXPECT_FALSE(health.Message(Slots::Msg1).keptOn) << "asked off";
    EXPECT_FALSE(health.Message(Slots::Msg1).stopped);
}

TEST_F(LinkHealthTest, Line_IsMeasuredAgainstTheBaudRateAtTenBitsAByte) {
    // 480 bytes a second that start no message: all of them dropped.
    const std::vector<std::uint8_t> noise(480, 0x01);
    health.Sample();
    for (int second = 0; second < 10; ++second) {
        clock.Advance(1000);
        dispatcher.Feed(noise);
        health.Sample();
    }
    LineHealth line = health.Line();
    EXPECT_FALSE(line.capacity) << "no baud rate, no capacity";
    EXPECT_FALSE(line.Usage());
    EXPECT_DOUBLE_EQ(*line.bytesPerSecond, 480.0);
    EXPECT_EQ(line.receivedBytes, 4800u);
    EXPECT_EQ(line.droppedBytes, 4800u - 7u) << "the last 7 wait for more";

    health.SetBaud(9600);
    line = health.Line();
    EXPECT_DOUBLE_EQ(*line.capacity, 960.0);
    EXPECT_DOUBLE_EQ(*line.Usage(), 0.5);
    health.SetBaud(115200);
    line = health.Line();
    EXPECT_DOUBLE_EQ(*line.capacity, 11520.0);
    EXPECT_DOUBLE_EQ(*line.Usage(), 480.0 / 11520.0);
}

TEST_F(LinkHealthTest, Message_IsNamedAsTheDecoderNamesIt) {
    dispatcher.Feed(test::AsBytes(NmeaSentence("GPGGA,1")));
    const MessageHealth nmea = health.Message(Slots::NmeaHandler);
    EXPECT_EQ(nmea.name, "NmeaHandler");
    EXPECT_TRUE(nmea.Seen());
    EXPECT_EQ(health.Message(Slots::Msg100).name, "Msg100");
    EXPECT_FALSE(health.Message(Slots::Msg100).Seen());
}

}  // namespace
}  // namespace zarnmon
