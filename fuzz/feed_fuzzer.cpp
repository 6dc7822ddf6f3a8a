// Feeds arbitrary bytes, cut into arbitrary chunks, through a fresh
// dispatcher, with the occasional reset, clear and rate command in between,
// and reads every accessor the views use on what was stored. Whatever
// arrives, nothing may crash, and every stored message must be one its
// handler could have produced.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "core/link/bin_catalogue.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/receiver_info.h"

namespace {

using namespace zarnmon;

class Checker final : public IStoreTap {
public:
    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        if (bytes.size() > handler.Capacity()) {
            std::abort();
        }
        if (dynamic_cast<const CBinMsgHandler*>(&handler) != nullptr && !IsValidFrame(bytes)) {
            std::abort();
        }
    }
};

void ReadEverything(const CMsgDispatcher& dispatcher, CReceiverInfo& info) {
    std::array<char, 64> field{};
    for (int n = 0; n < 14; ++n) {
        dispatcher.Rd1().GetField(n, field.data(), field.size());
    }
    volatile auto ber = dispatcher.Rd1().Rd1Ber();
    (void)ber;
    volatile auto time = dispatcher.Rd1().Rd1Time().size();
    (void)time;
    for (int k = 0; k < CRxHandler::kSlots; ++k) {
        volatile auto n = dispatcher.Rx().RxSlot(k).size() + dispatcher.Rx().RxCount(k);
        (void)n;
    }
    info.Poll(dispatcher.Handler(Slots::ReplyHandler));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    Checker checker;
    dispatcher.SetStoreTap(&checker);
    CReceiverInfo info;

    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange<int>(0, 15)) {
            case 0:
                dispatcher.Reset();
                break;
            case 1:
                dispatcher.ClearAll();
                break;
            case 2:
                dispatcher.AdoptUserCommand(input.ConsumeRandomLengthString(64));
                break;
            default: {
                const auto n = input.ConsumeIntegralInRange<std::size_t>(1, 6000);
                const auto chunk = input.ConsumeBytes<std::uint8_t>(n);
                dispatcher.Feed(chunk);
                break;
            }
        }
        clock.Advance(input.ConsumeIntegralInRange<std::uint32_t>(0, 3000));
        ReadEverything(dispatcher, info);
    }
    return 0;
}
