#include "support/stream_builder.h"

#include <random>
#include <span>
#include <string_view>

#include "core/link/bin_catalogue.h"
#include "core/link/frame_builder.h"

namespace zarnmon::test {

namespace {

void AppendText(BuiltStream& out, std::string_view handler, std::string_view line) {
    out.bytes.insert(out.bytes.end(), line.begin(), line.end());
    out.handlers.emplace_back(handler);
}

void AppendFrame(BuiltStream& out, const CBinFrameBuilder& frame, std::string_view handler) {
    frame.AppendTo(out.bytes);
    out.handlers.emplace_back(handler);
}

// A frame of every catalogue message with contents that move from epoch to epoch.
void AppendBinaryEpoch(BuiltStream& out, int epoch) {
    const double tow = 302400.0 + epoch;
    for (const MessageLayout& layout : Catalogue()) {
        CBinFrameBuilder frame(layout.id);
        auto data = frame.Data();
        for (std::size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<std::uint8_t>((i * 31 + static_cast<std::size_t>(epoch) * 7 + layout.id) & 0xFF);
        }
        switch (layout.id) {
            case 1:
                frame.Set(msg1::GpsWeek, std::uint16_t{2345})
                    .Set(msg1::GpsTimeOfWeek, tow)
                    .Set(msg1::Latitude, 51.0 + epoch * 1e-6)
                    .Set(msg1::Longitude, -114.0)
                    .Set(msg1::NavMode, std::uint16_t{4});
                break;
            case 2:
                frame.Set(msg2::GpsUtcDiff, std::uint16_t{18});
                break;
            case 99:
                frame.Set(msg99::GpsUtcDiff, std::int8_t{18})
                    .Set(msg99::GpsWeek, std::uint16_t{2345})
                    .Set(msg99::GpsTimeOfWeek, tow);
                break;
            default:
                break;
        }
        AppendFrame(out, frame, layout.handlerName);
    }
}

void AppendTextEpoch(BuiltStream& out, int epoch) {
    const std::string second = std::to_string(10 + epoch % 50);
    AppendText(out, "NmeaHandler",
               NmeaSentence("GPGGA,1200" + second + ".00,5100.0000,N,11400.0000,W,2,09,0.9,1048.2,M,-17.0,M,3,0138"));
    AppendText(out, "NmeaHandler", NmeaSentence("GPVTG,54.7,T,,M,0.12,N,0.22,K,D"));
    AppendText(out, "NmeaHandler", NmeaSentence("HEHDT,271.4,T"));
    AppendText(out, "RtcmHandler", TextLine("fAxyz" + second + "QRSTUVWabc"));
    AppendText(out, "Rd1Handler", TextLine("$RD1,3024" + second + ",2345,1551.489,1,12-7,150,1DAF,-312,0F,1A,2,1"));
    AppendText(out, "RxHandler", TextLine("$RX," + std::to_string(epoch % 32) + ",7,abc," + second));
    AppendText(out, "ReplyHandler", TextLine("$>JI,12345,1,3,01012024,01/01/2024,01/01/2099,5.2,1.4"));
}

// Size of the message at the front of bytes: a frame by its length field,
// a line up to and including its CR LF.
std::size_t MessageSize(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 8 && std::string_view(reinterpret_cast<const char*>(bytes.data()), 4) == "$BIN") {
        return std::size_t{bytes[6]} + (std::size_t{bytes[7]} << 8) + 12;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return text.find("\r\n") + 2;
}

}  // namespace

BuiltStream MixedStream(const StreamOptions& options) {
    BuiltStream out;
    std::mt19937 rng(options.seed);
    std::uniform_int_distribution<int> anyByte(0, 255);
    // Inert bytes: none of them is the first byte of a handler's prefix.
    std::uniform_int_distribution<int> inertByte('g', 'x');
    const auto addNoise = [&](std::size_t messageBytes) {
        if (options.noise == Noise::None) {
            return;
        }
        const auto n = static_cast<std::size_t>(static_cast<double>(messageBytes) * options.noiseFraction + 0.5);
        for (std::size_t i = 0; i < n; ++i) {
            const int b = options.noise == Noise::Inert ? inertByte(rng) : anyByte(rng);
            out.bytes.push_back(static_cast<std::uint8_t>(b));
        }
        out.noiseBytes += n;
    };

    for (int epoch = 0; epoch < options.epochs; ++epoch) {
        BuiltStream messages;
        AppendBinaryEpoch(messages, epoch);
        AppendTextEpoch(messages, epoch);
        // Split the epoch back into its messages to put noise between them.
        std::size_t offset = 0;
        for (const auto& handler : messages.handlers) {
            const std::size_t size = MessageSize(std::span(messages.bytes).subspan(offset));
            out.bytes.insert(out.bytes.end(), messages.bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                             messages.bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
            out.handlers.push_back(handler);
            offset += size;
            addNoise(size);
        }
    }
    return out;
}

std::vector<std::uint8_t> RandomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(anyByte(rng));
    }
    return bytes;
}

}  // namespace zarnmon::test
