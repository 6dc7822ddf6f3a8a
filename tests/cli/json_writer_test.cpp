#include "cli/json_writer.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "cli/message_json.h"
#include "core/link/bin_catalogue.h"
#include "sim/sim_receiver.h"
#include "support/temp_dir.h"

namespace zarnmon::cli {
namespace {

using Json = nlohmann::ordered_json;

std::string Written(double value) {
    JsonWriter writer;
    writer.Number(value);
    return std::string(writer.Text());
}

template <typename T>
std::string WrittenInteger(T value) {
    JsonWriter writer;
    writer.Integer(value);
    return std::string(writer.Text());
}

TEST(JsonWriterTest, Number_EdgeValuesAsNlohmannDumpsThem) {
    constexpr double kMax = std::numeric_limits<double>::max();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const std::vector<double> values = {0.0,
                                        -0.0,
                                        1.0,
                                        -1.0,
                                        42.0,
                                        0.1,
                                        1.0 / 3.0,
                                        1e-5,
                                        1e-4,
                                        0.0001234,
                                        1e-7,
                                        1e15,
                                        1e16,
                                        1e17,
                                        1e21,
                                        1e22,
                                        1e300,
                                        123456789.0,
                                        9007199254740992.0,
                                        99999999999999999.0,
                                        5e-324,
                                        -5e-324,
                                        2.2250738585072009e-308,
                                        2.2250738585072014e-308,
                                        kMax,
                                        -kMax,
                                        kInf,
                                        -kInf,
                                        std::numeric_limits<double>::quiet_NaN(),
                                        static_cast<double>(0.1F),
                                        static_cast<double>(51.0447F),
                                        -669.3640747070313,
                                        100018.7,
                                        1.7976931348623157e308,
                                        4.9406564584124654e-324};
    for (const double value : values) {
        SCOPED_TRACE(value);
        EXPECT_EQ(Written(value), Json(value).dump());
    }
    EXPECT_EQ(Written(-0.0), "-0.0");
    EXPECT_EQ(Written(kInf), "null");
    EXPECT_EQ(Written(1e16), "1e+16");
    EXPECT_EQ(Written(1e-5), "1e-05");
}

TEST(JsonWriterTest, Number_RandomBitPatternsAsNlohmannDumpsThem) {
    // Every double, and every float as the frames' F32 fields widen them;
    // about one in two hundred of these has a shorter form that reads back
    // than the one nlohmann writes, so this tells formatters apart.
    std::mt19937_64 random(20260512);
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t bits = random();
        const double asDouble = std::bit_cast<double>(bits);
        const double asFloat = static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(bits)));
        for (const double value : {asDouble, asFloat}) {
            if (Written(value) != Json(value).dump() && ++mismatches <= 5) {
                ADD_FAILURE() << "bits " << std::hex << std::bit_cast<std::uint64_t>(value) << ": " << Written(value)
                              << " instead of " << Json(value).dump();
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(JsonWriterTest, Integer_LimitsOfEveryWidthAsNlohmannDumpsThem) {
    const auto limits = [](auto type) {
        using T = decltype(type);
        for (const T value : {std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), T{0}, T{7}}) {
            SCOPED_TRACE(std::to_string(value));
            EXPECT_EQ(WrittenInteger(value), Json(value).dump());
        }
    };
    limits(std::int8_t{});
    limits(std::uint8_t{});
    limits(std::int16_t{});
    limits(std::uint16_t{});
    limits(std::int32_t{});
    limits(std::uint32_t{});
    limits(std::int64_t{});
    limits(std::uint64_t{});
}

TEST(JsonWriterTest, Latin1String_EveryByteEscapedAndEncodedAsNlohmannDumpsIt) {
    std::vector<std::uint8_t> all;
    for (int b = 0; b < 256; ++b) {
        const std::vector<std::uint8_t> one{static_cast<std::uint8_t>(b)};
        JsonWriter writer;
        writer.Latin1String(one);
        EXPECT_EQ(writer.Text(), Json(Latin1ToUtf8(one)).dump()) << "byte " << b;
        all.push_back(static_cast<std::uint8_t>(b));
    }
    JsonWriter writer;
    writer.Latin1String(all);
    EXPECT_EQ(writer.Text(), Json(Latin1ToUtf8(all)).dump());

    JsonWriter utf8;
    const std::string text = "$GPGGA,\xc2\xb0\"quoted\"\\\x01\t\r\n";
    utf8.String(text);
    EXPECT_EQ(utf8.Text(), Json(text).dump());
    EXPECT_EQ(utf8.Text(), R"("$GPGGA,)"
                           "\xc2\xb0"
                           R"(\"quoted\"\\\u0001\t\r\n")");
}

TEST(JsonWriterTest, Nesting_CommasAndLinesAsNlohmannDumpsThem) {
    JsonWriter writer;
    for (int line = 0; line < 2; ++line) {
        writer.BeginObject();
        writer.Key("a");
        writer.BeginArray();
        writer.Integer(1);
        writer.BeginObject();
        writer.Key("b");
        writer.BeginArray();
        writer.EndArray();
        writer.EndObject();
        writer.BeginObject();
        writer.EndObject();
        writer.Number(2.5);
        writer.EndArray();
        writer.Key("c");
        writer.BeginObject();
        writer.Key("d");
        writer.String("e");
        writer.Key("f");
        writer.Number(std::nan(""));
        writer.EndObject();
        writer.EndObject();
        writer.EndLine();
    }
    Json expected;
    expected["a"] = Json::array({1, Json::object({{"b", Json::array()}}), Json::object(), 2.5});
    expected["c"]["d"] = "e";
    expected["c"]["f"] = nullptr;
    EXPECT_EQ(writer.Text(), expected.dump() + "\n" + expected.dump() + "\n");

    writer.Clear();
    writer.Integer(3);
    EXPECT_EQ(writer.Text(), "3") << "no comma carried over from before Clear";
}

// A minute of every output the simulated receiver has, with the replies to a
// few commands, decoded: each line reads back into the same text with
// nlohmann, so numbers, strings and nesting are all as its dump() writes them.
TEST(JsonWriterTest, Decode_EveryMessageKindOfTheSimulatorReadsBackUnchanged) {
    sim::CSimReceiver receiver(sim::SimConfig{});
    std::string bad;
    ASSERT_TRUE(receiver.Schedule().Enable("all,GPGSA,GPZDA", bad)) << bad;
    std::vector<std::uint8_t> bytes;
    for (int ms = 0; ms < 60000; ms += static_cast<int>(sim::CSimReceiver::kTickMs)) {
        if (ms == 1000) {
            const std::string commands = "$JI\r$JBIN,1,5\r$JNOTHING\r";
            receiver.Receive({reinterpret_cast<const std::uint8_t*>(commands.data()), commands.size()});
        }
        receiver.Advance(sim::CSimReceiver::kTickMs);
        receiver.TakeOutput(bytes, true);
    }
    const zarnmon::test::TempDir dir;
    const auto path = dir.File("minute.zbin");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::vector<std::string> args{path.string()};
    const test::CommandOutcome decoded = test::Invoke(RunDecode, args);
    ASSERT_EQ(decoded.status, kExitOk) << decoded.err;

    std::set<std::string> handlers;
    for (const std::string& line : decoded.lines) {
        const Json parsed = Json::parse(line);
        ASSERT_EQ(parsed.dump(), line);
        if (parsed.contains("handler")) {
            handlers.insert(parsed["handler"].get<std::string>());
        }
    }
    for (const MessageLayout& layout : Catalogue()) {
        EXPECT_TRUE(handlers.contains(std::string(layout.handlerName))) << layout.handlerName;
    }
    for (const char* text : {"NmeaHandler", "RtcmHandler", "ReplyHandler", "RxHandler", "Rd1Handler"}) {
        EXPECT_TRUE(handlers.contains(text)) << text;
    }
}

}  // namespace
}  // namespace zarnmon::cli
