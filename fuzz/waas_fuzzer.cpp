// Feeds arbitrary WAAS messages to the decoder as intact message-80 frames,
// then reads the grid it built, and starts a second decoder from the
// non-volatile block the first one saved. Whatever the GEOs send, nothing may
// crash and no delay may come out of the grid as a number it could not hold.
//
// Input: records of 33 bytes, a GEO PRN byte then the 32 bytes of the 250
// message bits and 6 pad bits, most significant first (the layout of the
// files in tests/data/sbas). A random message would almost never pass the
// CRC-24Q, so the harness writes the right CRC unless the last pad bit is set:
// both the decoding and the dropping of bad messages get explored.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/app/settings_store.h"
#include "core/link/bin_catalogue.h"
#include "core/link/frame_builder.h"
#include "core/waas/waas_bits.h"
#include "core/waas/waas_decoder.h"

namespace {

using namespace zarnmon;

constexpr std::size_t kRecordSize = 1 + 4 * kWaasMessageWords;
constexpr int kCrcShift = 32 * kWaasMessageWords - kWaasCrcBit - 24;  // the CRC's place in the last word

std::array<std::uint32_t, kWaasMessageWords> Words(std::span<const std::uint8_t> bytes) {
    std::array<std::uint32_t, kWaasMessageWords> words{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        for (std::size_t k = 0; k < 4; ++k) {
            words[i] = (words[i] << 8) | bytes[4 * i + k];
        }
    }
    return words;
}

std::vector<std::uint8_t> Frame(int prn, std::array<std::uint32_t, kWaasMessageWords> words) {
    const bool keepCrc = (words.back() & 1U) != 0;
    if (!keepCrc) {
        words.back() &= ~(0xFFFFFFU << kCrcShift);
        words.back() |= WaasCrc24q(words) << kCrcShift;
    }
    CBinFrameBuilder builder(msg80::kId);
    builder.Set(msg80::Prn, static_cast<std::uint16_t>(prn));
    for (std::size_t i = 0; i < words.size(); ++i) {
        builder.Set(msg80::WaasMsg, words[i], i * sizeof(std::uint32_t));
    }
    return builder.Build();
}

void CheckGrid(const CWaasDecoder& decoder) {
    for (int lat = -90; lat <= 90; lat += 15) {
        for (int lon = -180; lon <= 180; lon += 15) {
            for (const bool extend : {false, true}) {
                const double delay = decoder.IonoDelayAt(lon, lat, extend);
                if (!std::isfinite(delay) || delay < 0.0 || delay > 9999.0) {
                    std::abort();
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    CSettingsStore store;
    CWaasDecoder decoder(&store);
    for (std::size_t at = 0; at + kRecordSize <= input.size(); at += kRecordSize) {
        const auto record = input.subspan(at, kRecordSize);
        const auto frame = Frame(record[0], Words(record.subspan(1)));
        if (decoder.ProcessWaasRecord(frame) == WaasOutcome::BadFrame) {
            std::abort();  // the harness built an intact frame
        }
    }
    // Leftover bytes: a frame that is not one.
    (void)decoder.ProcessWaasRecord(input.subspan(input.size() - input.size() % kRecordSize));
    CheckGrid(decoder);

    decoder.SaveWaasNonVolatile();
    CWaasDecoder restarted(&store);
    const auto none = Frame(0, {});
    (void)restarted.ProcessWaasRecord(none);  // applies the saved block
    CheckGrid(restarted);
    return 0;
}
