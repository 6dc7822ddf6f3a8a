#include "sim/message_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/bin_catalogue.h"
#include "core/link/gps_time.h"
#include "core/link/msg_dispatcher.h"
#include "sim/nav_words.h"
#include "sim/raw_messages.h"
#include "sim/sky_model.h"
#include "support/recorders.h"

namespace zarnmon::sim {
namespace {

constexpr std::array<std::uint16_t, 14> kBinaryIds{1, 2, 99, 98, 97, 96, 95, 94, 93, 91, 100, 71, 76, 89};
constexpr std::array<std::string_view, 10> kNmeaNames{"GPGGA", "GPGLL", "GPVTG", "GPGSV", "GPRMC",
                                                      "GPGSA", "GPZDA", "GPGST", "GPHDT", "HEHDT"};

std::vector<std::string> Lines(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::string> lines;
    std::string text(bytes.begin(), bytes.end());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

std::vector<std::string> Fields(const std::string& sentence) {
    std::vector<std::string> fields;
    const std::string body = sentence.substr(0, sentence.find('*'));
    std::size_t at = 0;
    while (true) {
        const std::size_t comma = body.find(',', at);
        fields.push_back(body.substr(at, comma - at));
        if (comma == std::string::npos) {
            return fields;
        }
        at = comma + 1;
    }
}

int Hex(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

class MessageWriterTest : public ::testing::Test {
protected:
    MessageWriterTest() { dispatcher.SetStoreTap(&recorder); }

    void RunTo(double until, double step = 0.5) {
        for (double t = model.Elapsed() + step; t <= until + 1e-9; t += step) {
            model.AdvanceTo(t);
        }
    }
    void Feed(const std::vector<std::uint8_t>& bytes) { dispatcher.Feed(bytes); }
    std::vector<std::uint8_t> Binary(std::uint16_t id) {
        std::vector<std::uint8_t> out;
        EXPECT_TRUE(writer.AppendBinary(id, out)) << id;
        return out;
    }
    std::vector<std::string> Nmea(std::string_view name) {
        std::vector<std::uint8_t> out;
        EXPECT_TRUE(writer.AppendNmea(name, out)) << name;
        return Lines(out);
    }
    std::span<const std::uint8_t> Stored(int slot) const { return dispatcher.Handler(slot).LastMessage(); }

    CManualTickClock clock{100000};
    CMsgDispatcher dispatcher{clock};
    test::StoreRecorder recorder;
    SimConfig config;
    CSkyModel model{config};
    CMessageWriter writer{model};
};

// ---------------------------------------------------------------------------
// Every output through the monitor's dispatcher

TEST_F(MessageWriterTest, EveryOutput_IsStoredByItsHandlerWithNoDroppedBytes) {
    RunTo(40.0);
    for (const std::uint16_t id : kBinaryIds) {
        SCOPED_TRACE(id);
        recorder.stored.clear();
        const auto frame = Binary(id);
        Feed(frame);
        ASSERT_EQ(recorder.stored.size(), 1u);
        EXPECT_EQ(recorder.stored[0].handler, FindLayout(id)->handlerName);
        EXPECT_EQ(recorder.stored[0].bytes, frame);
        EXPECT_TRUE(IsValidFrame(frame));
    }
    for (const std::string_view name : kNmeaNames) {
        SCOPED_TRACE(name);
        recorder.stored.clear();
        std::vector<std::uint8_t> out;
        ASSERT_TRUE(writer.AppendNmea(name, out));
        Feed(out);
        ASSERT_FALSE(recorder.stored.empty());
        EXPECT_EQ(recorder.Handlers(), std::vector<std::string>(recorder.stored.size(), "NmeaHandler"));
    }
    const auto expectOne = [&](const char* handler, auto write) {
        SCOPED_TRACE(handler);
        recorder.stored.clear();
        std::vector<std::uint8_t> out;
        write(out);
        Feed(out);
        EXPECT_EQ(recorder.Handlers(), std::vector<std::string>{handler});
    };
    expectOne("RtcmHandler", [&](auto& out) { writer.AppendRtcm(out); });
    expectOne("Rd1Handler", [&](auto& out) { writer.AppendRd1(out); });
    for (int k = 0; k < 32; ++k) {
        expectOne("RxHandler", [&](auto& out) { writer.AppendRx(k, out); });
    }
    EXPECT_EQ(dispatcher.DroppedBytes(), 0u);
    EXPECT_EQ(dispatcher.Owner(), nullptr) << "nothing left half-assembled";
}

TEST_F(MessageWriterTest, UnknownOutputs_AppendNothing) {
    std::vector<std::uint8_t> out;
    EXPECT_FALSE(writer.AppendBinary(80, out)) << "WAAS frames come from the broadcaster";
    EXPECT_FALSE(writer.AppendBinary(5, out));
    EXPECT_FALSE(writer.AppendNmea("GPXTE", out));
    writer.AppendRx(32, out);
    writer.AppendRx(-1, out);
    EXPECT_TRUE(out.empty());
}

// ---------------------------------------------------------------------------
// Solution and channels as the views read them

TEST_F(MessageWriterTest, SolutionMessages_AgreeWithEachOtherOverAnHour) {
    for (double t = 15.0; t <= 3600.0; t += 15.0) {
        RunTo(t, 1.0);
        SCOPED_TRACE(t);
        Feed(Binary(msg1::kId));
        Feed(Binary(msg2::kId));
        Feed(Binary(msg99::kId));
        const Msg1View msg1(Stored(Slots::Msg1));
        const Msg2View msg2(Stored(Slots::Msg2));
        const Msg99View msg99(Stored(Slots::Msg99));

        ASSERT_EQ(msg1.NumSats(), std::popcount(msg2.UsedMask()));
        std::uint32_t trackedMask = 0;
        for (int k = 0; k < msg99::kChannelCount; ++k) {
            const ChannelRecord record = msg99.Channel(k);
            ASSERT_EQ(record.Channel(), k);
            if (record.Prn() == 0) {
                continue;
            }
            trackedMask |= 1U << (record.Prn() - 1);
            EXPECT_GE(record.CnoDbHz(), 8.0);
            EXPECT_LE(record.CnoDbHz(), 35.0);
            if (msg2.IsGpsPrnUsed(record.Prn())) {
                EXPECT_EQ(AsView(record.Letters()), "CCBF");
                EXPECT_EQ(record.EphState() & 0x03, 2);
                EXPECT_NE(record.EphFlag(), 0);
                EXPECT_GE(record.Elevation(), 5);
            }
        }
        ASSERT_EQ(msg2.UsedMask() & ~trackedMask, 0u) << "used satellites are tracked";
        EXPECT_EQ(msg1.FixType(), "3-D DIFF");
        EXPECT_EQ(msg1.GpsWeek(), model.Week());
        EXPECT_DOUBLE_EQ(msg1.GpsTimeOfWeek(), model.SecondsOfWeek());
        EXPECT_GE(msg2.Hdop(), 5);
        EXPECT_LE(msg2.Hdop(), 40);
        EXPECT_GE(msg2.Vdop(), 5);
        EXPECT_LE(msg2.Vdop(), 60);
        EXPECT_TRUE(msg99.ResolutionFlag());
        EXPECT_EQ(msg99.TimeStatus(), "FIX_3D");
        EXPECT_EQ(dispatcher.GpsUtcOffset().Get(), 18);
    }
}

TEST_F(MessageWriterTest, SbasChannels_AgreeBetweenMsg89AndMsg2) {
    RunTo(20.0);
    Feed(Binary(msg2::kId));
    Feed(Binary(msg89::kId));
    const Msg2View msg2(Stored(Slots::Msg2));
    const Msg89View msg89(Stored(Slots::Msg89));
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        const ChannelRecord record = msg89.Channel(k);
        EXPECT_EQ(record.Channel(), 12 + k) << "SBAS rows follow the 12 GPS channels";
        EXPECT_TRUE(msg89.IsSbasPrnUsed(record.Prn()));
        EXPECT_TRUE(msg2.IsSbasPrnUsed(record.Prn()));
    }
    EXPECT_EQ(msg89.Channel(0).Prn(), 135);
    EXPECT_EQ(msg89.Channel(1).Prn(), 138);
    EXPECT_EQ(msg89.Channel(2).Prn(), 0);
    EXPECT_EQ(msg89.ResolutionFlag(), Msg99View(Binary(msg99::kId)).ResolutionFlag());
}

TEST_F(MessageWriterTest, Msg100_ShowsL2ASecondOrTwoAfterFrameSync) {
    RunTo(20.0);
    Feed(Binary(msg100::kId));
    const Msg100View msg100(Stored(Slots::Msg100));
    EXPECT_FALSE(msg100.ResolutionFlag()) << "C1 - L1 in centimetres";
    int withL2 = 0;
    for (int k = 0; k < msg100::kChannelCount; ++k) {
        const L2ChannelRecord record = msg100.L2Channel(k);
        if (record.Prn() == 0 || record.L2Flags() == 0) {
            continue;
        }
        SCOPED_TRACE(record.Prn());
        ++withL2;
        EXPECT_EQ(AsView(LockLetters(record.L2Flags())), "CX  ");
        EXPECT_EQ(AsView(LockLetters(record.L1PFlags())), "CP  ");
        EXPECT_GT(record.L2CnoDbHz(), 8.0);
        EXPECT_LT(record.L2CnoDbHz(), record.L1PCnoDbHz()) << "L2 a few dB below L1 P";
        EXPECT_GT(record.P2mP1() * 0.01, -2.0) << "ionosphere makes P2 longer";
        EXPECT_LT(record.P2mP1() * 0.01, 15.0);
    }
    EXPECT_GE(withL2, 4);
}

// ---------------------------------------------------------------------------
// Messages that come in turns

TEST_F(MessageWriterTest, Msg98_FourCallsCoverAllThirtyTwoSatellites) {
    RunTo(5.0);
    std::set<int> indices;
    for (int call = 0; call < 4; ++call) {
        const auto frame = Binary(msg98::kId);
        Feed(frame);
        const Msg98View view(frame);
        EXPECT_GE(view.LastAlmPrn(), 1);
        EXPECT_LE(view.LastAlmPrn(), 32);
        EXPECT_EQ(view.IonoValid(), 1);
        for (int r = 0; r < msg98::kRecordCount; ++r) {
            indices.insert(view.Record(r).SvIndex());
        }
    }
    EXPECT_EQ(indices.size(), 32u);
    EXPECT_EQ(*indices.rbegin(), 31);
    const CAlmanacTable& table = dispatcher.AlmanacHandler().Almanac();
    int usable = 0;
    for (int sv = 0; sv < CAlmanacTable::kEntries; ++sv) {
        SCOPED_TRACE(sv);
        const AlmanacRecord entry = table.Entry(sv);
        EXPECT_EQ(entry.SvIndex(), sv);
        EXPECT_NE(entry.StatusText(), "NoInfo");
        if (entry.StatusText() == "A") {
            ++usable;
            EXPECT_GE(entry.Elevation(), -90);
            EXPECT_LT(std::abs(entry.Doppler()), 5000);
        }
    }
    EXPECT_GE(usable, 24);
    EXPECT_EQ(Msg98View(Binary(msg98::kId)).Record(0).SvIndex(), 0) << "the fifth call starts over";
}

TEST_F(MessageWriterTest, Msg94_IsSentOnlyAfterAChange) {
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(writer.AppendBinary(94, out)) << "the first time";
    EXPECT_FALSE(writer.AppendBinary(94, out));
    RunTo(600.0, 10.0);
    EXPECT_FALSE(writer.AppendBinary(94, out));
    // The run starts on a six-hour boundary; the next issue comes six hours on.
    model.AdvanceTo(6.0 * 3600.0 - 1.0);
    EXPECT_FALSE(writer.AppendBinary(94, out));
    const std::size_t before = out.size();
    model.AdvanceTo(6.0 * 3600.0 + 0.5);
    EXPECT_TRUE(writer.AppendBinary(94, out));
    EXPECT_EQ(out.size() - before, 96u + 12u);
    EXPECT_FALSE(writer.AppendBinary(94, out));
}

TEST_F(MessageWriterTest, Msg95_CyclesThroughTheTrackedSatellitesWithEphemeris) {
    RunTo(10.0);
    std::set<int> expected;
    for (const ChannelState& c : model.Channels()) {
        if (c.prn != 0 && (c.ephState & 0x03) == 2) {
            expected.insert(c.prn);
        }
    }
    ASSERT_GE(expected.size(), 4u);
    std::vector<int> sent;
    for (std::size_t call = 0; call <= expected.size(); ++call) {
        const auto frame = Binary(95);
        const auto data = std::span(frame).subspan(kBinHeaderSize, 128);
        sent.push_back(Get(data, raw95::Prn));
        for (const auto field : {raw95::Subframe1, raw95::Subframe2, raw95::Subframe3}) {
            const std::uint32_t telemetry = Get(data, field);
            const std::uint32_t handover = Get(data, field, sizeof(std::uint32_t));
            EXPECT_EQ(telemetry >> 16, 0x8Bu) << "preamble";
            EXPECT_EQ((handover >> 2) & 0x7U, static_cast<std::uint32_t>(field.offset - 8) / 40 + 1) << "subframe id";
        }
    }
    EXPECT_EQ(std::set<int>(sent.begin(), sent.end() - 1), expected);
    EXPECT_EQ(sent.back(), sent.front()) << "round again";
    EXPECT_TRUE(std::is_sorted(sent.begin(), sent.end() - 1));
}

TEST_F(MessageWriterTest, Msg93_AlternatesBetweenTheTrackedGeos) {
    RunTo(15.0);
    std::vector<int> prns;
    for (int call = 0; call < 3; ++call) {
        const auto frame = Binary(93);
        prns.push_back(Get(std::span(frame).subspan(kBinHeaderSize, 56), raw93::Prn));
    }
    EXPECT_EQ(prns, (std::vector<int>{135, 138, 135}));
}

// ---------------------------------------------------------------------------
// NMEA

TEST_F(MessageWriterTest, Nmea_ChecksumsAreValid) {
    RunTo(20.25, 0.25);
    for (const std::string_view name : kNmeaNames) {
        for (const std::string& sentence : Nmea(name)) {
            SCOPED_TRACE(sentence);
            ASSERT_EQ(sentence.front(), '$');
            const std::size_t star = sentence.find('*');
            ASSERT_EQ(star, sentence.size() - 3);
            std::uint8_t sum = 0;
            for (std::size_t i = 1; i < star; ++i) {
                sum = static_cast<std::uint8_t>(sum ^ static_cast<std::uint8_t>(sentence[i]));
            }
            EXPECT_EQ(sum, Hex(sentence[star + 1]) * 16 + Hex(sentence[star + 2]));
            EXPECT_EQ(sentence.substr(1, 5), name);
        }
    }
}

TEST_F(MessageWriterTest, Nmea_TimesAreGpsLessEighteenSecondsAcrossMidnight) {
    // Receiver time 00:00:05.75 GPS is 23:59:47.75 UTC the day before.
    RunTo(5.75, 0.25);
    const auto gga = Fields(Nmea("GPGGA")[0]);
    const auto rmc = Fields(Nmea("GPRMC")[0]);
    const auto zda = Fields(Nmea("GPZDA")[0]);
    const CalendarTime utc = GpsToCalendar(model.Week(), model.SecondsOfWeek() - 18.0);
    EXPECT_EQ(utc.hour, 23);
    EXPECT_EQ(gga[1], "235947.75");
    EXPECT_EQ(rmc[1], "235947.75");
    char date[16];
    std::snprintf(date, sizeof date, "%02d%02d%02d", utc.day, utc.month, utc.year % 100);
    EXPECT_EQ(rmc[9], date);
    EXPECT_EQ(std::stoi(zda[2]), utc.day);
    EXPECT_EQ(std::stoi(zda[3]), utc.month);
    EXPECT_EQ(std::stoi(zda[4]), utc.year);
}

TEST_F(MessageWriterTest, Gga_AgreesWithMsg1) {
    RunTo(30.0);
    const auto gga = Fields(Nmea("GPGGA")[0]);
    const auto frame = Binary(msg1::kId);
    const Msg1View msg1(frame);
    const double lat = std::stod(gga[2].substr(0, 2)) + std::stod(gga[2].substr(2)) / 60.0;
    const double lon = std::stod(gga[4].substr(0, 3)) + std::stod(gga[4].substr(3)) / 60.0;
    EXPECT_NEAR(gga[3] == "S" ? -lat : lat, msg1.Latitude(), 1e-6);
    EXPECT_NEAR(gga[5] == "W" ? -lon : lon, msg1.Longitude(), 1e-6);
    EXPECT_EQ(gga[6], "2") << "differential fix";
    EXPECT_EQ(std::stoi(gga[7]), msg1.NumSats());
    EXPECT_NEAR(std::stod(gga[9]) + std::stod(gga[11]), msg1.Height(), 0.02) << "altitude + geoid = height";
}

TEST_F(MessageWriterTest, Gsv_ListsEveryTrackedSatellite) {
    RunTo(10.0);
    std::multiset<int> tracked;
    for (const ChannelState& c : model.Channels()) {
        if (c.prn != 0) {
            tracked.insert(c.prn);
        }
    }
    for (const ChannelState& c : model.SbasChannels()) {
        if (c.prn != 0) {
            tracked.insert(c.prn - 87);
        }
    }
    const auto sentences = Nmea("GPGSV");
    ASSERT_EQ(sentences.size(), (tracked.size() + 3) / 4);
    std::multiset<int> listed;
    for (std::size_t n = 0; n < sentences.size(); ++n) {
        SCOPED_TRACE(sentences[n]);
        const auto fields = Fields(sentences[n]);
        EXPECT_EQ(std::stoul(fields[1]), sentences.size());
        EXPECT_EQ(std::stoul(fields[2]), n + 1);
        EXPECT_EQ(std::stoul(fields[3]), tracked.size());
        ASSERT_EQ((fields.size() - 4) % 4, 0u);
        for (std::size_t i = 4; i < fields.size(); i += 4) {
            listed.insert(std::stoi(fields[i]));
        }
    }
    EXPECT_EQ(listed, tracked);
}

TEST_F(MessageWriterTest, Hdt_CarriesTheHeadingAsTheHeadingViewReadsIt) {
    config.motion = Motion::Circle;
    CSkyModel circling(config);
    CMessageWriter circlingWriter(circling);
    for (double t = 0.0; t <= 30.0; t += 1.0) {
        circling.AdvanceTo(t);
        std::vector<std::uint8_t> out;
        ASSERT_TRUE(circlingWriter.AppendNmea("HEHDT", out));
        const auto fields = Fields(Lines(out)[0]);
        SCOPED_TRACE(t);
        EXPECT_EQ(fields[0], "$HEHDT");
        EXPECT_NEAR(std::strtod(fields[1].c_str(), nullptr), circling.Heading(), 0.051);
        EXPECT_EQ(fields[2], "T");
    }
}

// ---------------------------------------------------------------------------
// Text lines

TEST_F(MessageWriterTest, Rtcm_LinesStartAsTheHandlerExpectsAndEveryWordChecks) {
    RunTo(20.0);
    bool d29 = false;
    bool d30 = false;
    std::set<std::string> starts;
    for (int message = 0; message < 100; ++message) {
        model.AdvanceTo(20.0 + message);
        std::vector<std::uint8_t> out;
        writer.AppendRtcm(out);
        const auto lines = Lines(out);
        ASSERT_EQ(lines.size(), 1u);
        const std::string& line = lines[0];
        SCOPED_TRACE(message);
        starts.insert(line.substr(0, 2));
        ASSERT_EQ(line.size() % 5, 0u);
        std::vector<std::uint32_t> data;
        for (std::size_t at = 0; at < line.size(); at += 5) {
            std::uint32_t word = 0;
            for (std::size_t i = 0; i < 5; ++i) {
                const auto c = static_cast<std::uint8_t>(line[at + i]);
                ASSERT_EQ(c & 0xC0, 0x40) << "six of eight";
                for (int bit = 0; bit < 6; ++bit) {
                    word = (word << 1) | ((c >> bit) & 1U);
                }
            }
            ASSERT_TRUE(GpsParityOk(word, d29, d30)) << "word " << at / 5;
            const std::uint32_t sent = (word >> 6) & 0xFFFFFFU;
            data.push_back(d30 ? (~sent & 0xFFFFFFU) : sent);
            d29 = (word & 2U) != 0;
            d30 = (word & 1U) != 0;
        }
        ASSERT_GE(data.size(), 2u);
        EXPECT_EQ(data[0] >> 16, 0x66u) << "preamble";
        EXPECT_EQ((data[0] >> 10) & 0x3FU, 1u) << "type 1";
        EXPECT_EQ((data[1] >> 3) & 0x1FU, data.size() - 2) << "length in words";
        EXPECT_EQ((data[1] >> 8) & 0x7U, static_cast<std::uint32_t>(message % 8)) << "sequence";
    }
    for (const std::string& start : starts) {
        EXPECT_TRUE(start == "fA" || start == "Y~") << start;
    }
}

TEST_F(MessageWriterTest, Rd1_HasTwelveFieldsThatTheLBandAccessorsRead) {
    Feed(Binary(msg99::kId));  // sets the GPS-UTC offset
    bool sawDual = false;
    bool sawSingle = false;
    for (double t = 0.0; t <= 2400.0; t += 30.0) {
        RunTo(t, 10.0);
        std::vector<std::uint8_t> out;
        writer.AppendRd1(out);
        Feed(out);
        SCOPED_TRACE(t);
        const CRd1Handler& rd1 = dispatcher.Rd1();
        std::array<char, 256> field{};
        ASSERT_NE(rd1.GetField(12, field.data(), field.size()), nullptr);
        ASSERT_EQ(rd1.GetField(13, field.data(), field.size()), nullptr) << "exactly 12 fields";
        EXPECT_EQ(rd1.Rd1Time(), UtcDateTimeString(model.Week(), std::floor(model.SecondsOfWeek()), 18));
        EXPECT_STREQ(rd1.GetField(3, field.data(), field.size()), "1551489");
        const LBandStatus& lb = model.LBand();
        EXPECT_EQ(rd1.Rd1HasDualBer(), lb.secondBer.has_value());
        EXPECT_EQ(rd1.Rd1Ber(), lb.secondBer ? std::min(lb.ber, *lb.secondBer) : lb.ber);
        (lb.secondBer ? sawDual : sawSingle) = true;
        // Searching until the first fix tells it where it is, in sync after.
        EXPECT_STREQ(rd1.GetField(9, field.data(), field.size()), t == 0.0 ? "00" : "0D");
        EXPECT_STREQ(rd1.GetField(10, field.data(), field.size()), t == 0.0 ? "01" : "19");
    }
    EXPECT_TRUE(sawDual);
    EXPECT_TRUE(sawSingle);
}

TEST_F(MessageWriterTest, Rx_FillsAllThirtyTwoSlots) {
    RunTo(10.0);
    for (int k = 0; k < 32; ++k) {
        std::vector<std::uint8_t> out;
        writer.AppendRx(k, out);
        Feed(out);
    }
    for (int k = 0; k < 32; ++k) {
        SCOPED_TRACE(k);
        EXPECT_FALSE(dispatcher.Rx().RxSlot(k).empty());
        EXPECT_EQ(dispatcher.Rx().RxCount(k), 1u);
        EXPECT_LT(dispatcher.Rx().RxSlot(k).size(), 80u) << "one short line of the debug view";
    }
}

// ---------------------------------------------------------------------------
// Whole runs

std::vector<std::uint8_t> OneMinute(std::uint32_t seed) {
    SimConfig config;
    config.seed = seed;
    CSkyModel model(config);
    CMessageWriter writer(model);
    std::vector<std::uint8_t> out;
    for (int second = 0; second < 60; ++second) {
        model.AdvanceTo(second);
        for (const std::uint16_t id : kBinaryIds) {
            writer.AppendBinary(id, out);
        }
        for (const std::string_view name : kNmeaNames) {
            writer.AppendNmea(name, out);
        }
        writer.AppendRtcm(out);
        writer.AppendRd1(out);
        writer.AppendRx(second % 32, out);
    }
    return out;
}

TEST(MessageWriterSeed, SameSeed_WritesTheSameBytesAndAnotherSeedOtherBytes) {
    EXPECT_EQ(OneMinute(11), OneMinute(11));
    EXPECT_NE(OneMinute(11), OneMinute(12));
}

// Two hours with everything on at 1 Hz, across a new ephemeris issue and many
// satellites rising and setting.
TEST(MessageWriterSoak, TwoHoursAtOneHertz_DecodeWithoutALostByte) {
    CManualTickClock clock{1};
    CMsgDispatcher dispatcher(clock);
    test::StoreRecorder recorder;
    dispatcher.SetStoreTap(&recorder);
    CSkyModel model{SimConfig{}};
    CMessageWriter writer(model);
    std::map<std::string, int> expected;
    std::vector<std::uint8_t> out;
    for (int second = 0; second <= 2 * 3600; ++second) {
        model.AdvanceTo(second);
        clock.Advance(1000);
        out.clear();
        for (const std::uint16_t id : kBinaryIds) {
            if (writer.AppendBinary(id, out)) {
                ++expected[std::string(FindLayout(id)->handlerName)];
            }
        }
        const std::size_t nmeaStart = out.size();
        for (const std::string_view name : kNmeaNames) {
            writer.AppendNmea(name, out);
        }
        expected["NmeaHandler"] += static_cast<int>(std::count(out.begin() + nmeaStart, out.end(), '\n'));
        writer.AppendRtcm(out);
        writer.AppendRd1(out);
        for (int k = 0; k < 8; ++k) {
            writer.AppendRx((second * 8 + k) % 32, out);
        }
        expected["RtcmHandler"] += 1;
        expected["Rd1Handler"] += 1;
        expected["RxHandler"] += 8;
        dispatcher.Feed(out);
        std::map<std::string, int> stored;
        for (const auto& m : recorder.stored) {
            ++stored[m.handler];
        }
        recorder.stored.clear();
        for (auto& [name, count] : expected) {
            ASSERT_EQ(stored[name], count) << name << " at " << second;
            count = 0;
        }
        ASSERT_EQ(dispatcher.DroppedBytes(), 0u) << "at " << second;
    }
}

}  // namespace
}  // namespace zarnmon::sim
