#include "sim/sim_receiver.h"

#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "core/link/msg_dispatcher.h"
#include "support/recorders.h"

namespace zarnmon::sim {
namespace {

struct Decoded {
    std::map<std::string, std::uint64_t, std::less<>> stored;
    std::uint64_t dropped = 0;
    std::uint64_t leftover = 0;  // bytes still waiting in the stream at the end
};

// What the monitor's dispatcher makes of the bytes.
Decoded Decode(const std::vector<std::uint8_t>& bytes) {
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    test::StoreRecorder recorder;
    dispatcher.SetStoreTap(&recorder);
    for (std::size_t at = 0; at < bytes.size(); at += 1024) {
        dispatcher.Feed(std::span(bytes).subspan(at, std::min<std::size_t>(1024, bytes.size() - at)));
    }
    Decoded decoded;
    for (const auto& message : recorder.stored) {
        ++decoded.stored[message.handler];
    }
    decoded.dropped = dispatcher.DroppedBytes();
    decoded.leftover = static_cast<std::uint64_t>(dispatcher.Stream().Count());
    return decoded;
}

std::vector<std::uint8_t> RunFor(CSimReceiver& receiver, int seconds) {
    std::vector<std::uint8_t> bytes;
    for (int s = 0; s < seconds; ++s) {
        receiver.Advance(1000);
        receiver.TakeOutput(bytes);
    }
    receiver.TakeOutput(bytes, true);
    return bytes;
}

void Send(CSimReceiver& receiver, std::string_view commands) { receiver.Receive(test::AsBytes(commands)); }

std::unique_ptr<CSimReceiver> AllOn(const FaultRates& faults = {}, std::uint32_t seed = 3) {
    SimConfig config;
    config.seed = seed;
    auto receiver = std::make_unique<CSimReceiver>(config, faults);
    std::string bad;
    receiver->Schedule().Enable("all", bad);
    return receiver;
}

TEST(SimReceiver, StartsSilentAndObeysCommandsSplitAnywhere) {
    CSimReceiver receiver{SimConfig{}};
    std::vector<std::uint8_t> bytes;
    receiver.Advance(5000);
    receiver.TakeOutput(bytes);
    EXPECT_TRUE(bytes.empty()) << "everything is off after power-up";

    Send(receiver, "$JBI");
    Send(receiver, "N,1,1\r$JASC,GP");
    Send(receiver, "GGA,1\r\n");
    receiver.Advance(3000);
    receiver.TakeOutput(bytes);
    const Decoded decoded = Decode(bytes);
    EXPECT_EQ(decoded.stored.at("BeaconReplyHandler"), 2u) << "two acknowledgements";
    EXPECT_EQ(decoded.stored.at("Msg1"), 3u);
    EXPECT_EQ(decoded.stored.at("NmeaHandler"), 3u);
    EXPECT_EQ(decoded.dropped, 0u);
}

TEST(SimReceiver, RoundTrip_EverythingSentIsStoredAndNothingDropped) {
    auto receiver = AllOn();
    Send(*receiver, "$JBIN,95,1\r$JBIN,94,1\r$JBIN,96,5\r$JASC,GPGSA,1\r$JASC,GPZDA,1\r$JASC,GPGST,1\r$JI\r");
    const auto bytes = RunFor(*receiver, 300);
    const Decoded decoded = Decode(bytes);
    EXPECT_EQ(decoded.stored, receiver->Sent());
    EXPECT_EQ(decoded.dropped, 0u);
    for (const char* handler : {"Msg1",        "Msg2",       "Msg99",     "Msg98",        "Msg97",
                                "Msg96",       "Msg95",      "Msg93",     "Msg80",        "Msg91",
                                "Msg100",      "Msg71",      "Msg76",     "Msg89",        "NmeaHandler",
                                "RtcmHandler", "Rd1Handler", "RxHandler", "ReplyHandler", "BeaconReplyHandler"}) {
        SCOPED_TRACE(handler);
        EXPECT_GT(decoded.stored.count(handler), 0u);
    }
    EXPECT_EQ(decoded.stored.at("Msg1"), 300u);
    EXPECT_EQ(decoded.stored.at("Msg96"), 1500u) << "5 Hz";
}

// Each kind of fault, alone and all together: the monitor stores exactly
// what was sent intact and drops exactly the bytes that belong to no message.
TEST(SimReceiver, RoundTrip_InjectedFaultsAreExactlyAccountedFor) {
    const std::vector<std::pair<std::string, FaultRates>> cases = {
        {"noise", {.noise = 0.2}},
        {"bad checksum", {.badChecksum = 0.1}},
        {"reversed trailer", {.reversedTrailer = 0.1}},
        {"truncated", {.truncatedFrame = 0.05}},
        {"overlong", {.overlongLine = 0.1}},
        {"silence", {.silence = 0.05}},
        {"burst", {.burst = 0.1}},
        {"all",
         {.noise = 0.1,
          .badChecksum = 0.05,
          .reversedTrailer = 0.05,
          .truncatedFrame = 0.02,
          .overlongLine = 0.05,
          .silence = 0.02,
          .burst = 0.05}},
    };
    for (const auto& [name, rates] : cases) {
        SCOPED_TRACE(name);
        auto receiver = AllOn(rates);
        const auto bytes = RunFor(*receiver, 200);
        const Decoded decoded = Decode(bytes);
        const FaultCounts& faults = receiver->Faults();
        EXPECT_EQ(decoded.stored, receiver->Sent());
        EXPECT_EQ(decoded.dropped + decoded.leftover, faults.noiseBytes + faults.overlongExcessBytes);
    }
    auto everything = AllOn(cases.back().second);
    RunFor(*everything, 200);
    const FaultCounts& counts = everything->Faults();
    EXPECT_GT(counts.noiseBytes, 0u);
    EXPECT_GT(counts.badChecksums, 0u);
    EXPECT_GT(counts.reversedTrailers, 0u);
    EXPECT_GT(counts.truncatedFrames, 0u);
    EXPECT_GT(counts.swallowedMessages, 0u);
    EXPECT_GT(counts.overlongLines, 0u);
    EXPECT_GT(counts.silentSeconds, 0u);
    EXPECT_GT(counts.lostInSilence, 0u);
    EXPECT_GT(counts.bursts, 0u);
}

TEST(SimReceiver, SameSeedSameBytesOtherSeedOtherBytes) {
    auto first = AllOn({}, 11);
    auto second = AllOn({}, 11);
    auto third = AllOn({}, 12);
    const auto a = RunFor(*first, 30);
    EXPECT_EQ(a, RunFor(*second, 30));
    EXPECT_NE(a, RunFor(*third, 30));
}

}  // namespace
}  // namespace zarnmon::sim
