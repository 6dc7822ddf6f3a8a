#include "core/link/bin_catalogue.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"

namespace zarnmon {
namespace {

// ---------------------------------------------------------------------------
// The catalogue

// Ids, lengths, names and slots are pinned by the sample recording's golden
// decode; what no recording shows is which handlers keep a history.
TEST(Catalogue, History_KeptForTheMessagesLogsMustSeeEveryOneOf) {
    const std::set<std::uint16_t> withHistory{96, 95, 94, 93, 80, 91, 71, 76};
    for (const MessageLayout& layout : Catalogue()) {
        SCOPED_TRACE(layout.handlerName);
        EXPECT_EQ(layout.hasHistory, withHistory.contains(layout.id));
        EXPECT_EQ(FindLayout(layout.id), &layout) << "found by its id";
    }
}

TEST(Catalogue, UninterpretedMessages_HaveNoFields) {
    for (const std::uint16_t id : std::array<std::uint16_t, 7>{96, 95, 94, 93, 91, 71, 76}) {
        SCOPED_TRACE(id);
        const MessageLayout* layout = FindLayout(id);
        ASSERT_NE(layout, nullptr);
        EXPECT_TRUE(layout->fields.empty());
        EXPECT_TRUE(layout->groups.empty());
        EXPECT_FALSE(layout->hasTime);
    }
}

TEST(Catalogue, TimeCarryingMessages_AreMsg1AndMsg99) {
    for (const MessageLayout& layout : Catalogue()) {
        SCOPED_TRACE(layout.handlerName);
        EXPECT_EQ(layout.hasTime, layout.id == 1 || layout.id == 99);
    }
}

TEST(Catalogue, RecordGroups_HaveTheirPlacesInTheirMessages) {
    struct Group {
        std::uint16_t id;
        std::string_view name;
        std::uint16_t offset, count, stride;
    };
    const Group groups[] = {
        {99, "Channels", 12, 12, 24},
        {89, "Channels", 8, 3, 24},
        {100, "L2Channels", 20, 12, 20},
        {98, "Almanac", 0, 8, 8},
    };
    for (const Group& g : groups) {
        SCOPED_TRACE(g.id);
        const MessageLayout* layout = FindLayout(g.id);
        ASSERT_NE(layout, nullptr);
        ASSERT_EQ(layout->groups.size(), 1U);
        EXPECT_EQ(layout->groups[0].name, g.name);
        EXPECT_EQ(layout->groups[0].offset, g.offset);
        EXPECT_EQ(layout->groups[0].count, g.count);
        EXPECT_EQ(layout->groups[0].stride, g.stride);
    }
    const MessageLayout* msg80 = FindLayout(80);
    ASSERT_NE(msg80, nullptr);
    ASSERT_EQ(msg80->fields.size(), 4U);
    EXPECT_EQ(msg80->fields[3].name, "WaasMsg");
    EXPECT_EQ(msg80->fields[3].count, 8);
}

TEST(Catalogue, UnknownId_NotFound) {
    for (const std::uint16_t id : std::array<std::uint16_t, 5>{0, 3, 88, 101, 0xFFFF}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(FindLayout(id), nullptr);
    }
}

// Every byte belongs to at most one field: an offset typed wrongly shows up
// as two fields sharing bytes.
TEST(Catalogue, Fields_NeverShareBytes) {
    for (const MessageLayout& layout : Catalogue()) {
        SCOPED_TRACE(layout.handlerName);
        std::vector<std::string> owner(layout.length);
        const auto claim = [&owner](std::size_t start, const FieldInfo& f, const std::string& name) {
            for (std::size_t i = 0; i < WireSizeOf(f.type) * f.count; ++i) {
                ASSERT_LT(start + i, owner.size()) << name;
                EXPECT_TRUE(owner[start + i].empty()) << name << " overlaps " << owner[start + i];
                owner[start + i] = name;
            }
        };
        for (const FieldInfo& f : layout.fields) {
            claim(f.offset, f, std::string(f.name));
        }
        for (const RecordGroup& g : layout.groups) {
            for (std::size_t k = 0; k < g.count; ++k) {
                for (const FieldInfo& f : g.fields) {
                    ASSERT_LE(f.offset + WireSizeOf(f.type) * f.count, g.stride) << f.name;
                    claim(g.offset + k * g.stride + f.offset, f,
                          std::string(g.name) + "[" + std::to_string(k) + "]." + std::string(f.name));
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Views read the wire, placed here by hand at frame offsets (data offset + 8)
// rather than through the field constants the views themselves use.

std::vector<std::uint8_t> HandFrame(std::uint16_t id, std::uint16_t length) {
    std::vector<std::uint8_t> frame(length + 12u, 0);
    frame[4] = static_cast<std::uint8_t>(id);
    frame[6] = static_cast<std::uint8_t>(length);
    frame[7] = static_cast<std::uint8_t>(length >> 8);
    return frame;
}

template <typename T>
void Put(std::vector<std::uint8_t>& frame, std::size_t frameOffset, T value) {
    WriteLe<T>(frame, frameOffset, value);
}

TEST(FrameViews, FieldsAreReadFromTheirWireOffsets) {
    auto m1 = HandFrame(1, 52);
    Put<std::uint8_t>(m1, 9, 9);
    Put<std::uint16_t>(m1, 10, 2000);
    Put<double>(m1, 12, 100018.7);
    Put<double>(m1, 20, 51.25);
    Put<double>(m1, 28, -114.5);
    Put<float>(m1, 36, 1048.5F);
    Put<float>(m1, 48, -0.25F);
    Put<std::uint16_t>(m1, 56, 0x84);
    Put<std::uint16_t>(m1, 58, 300);
    const Msg1View v1(m1);
    EXPECT_EQ(v1.NumSats(), 9);
    EXPECT_EQ(v1.GpsWeek(), 2000);
    EXPECT_DOUBLE_EQ(v1.GpsTimeOfWeek(), 100018.7);
    EXPECT_DOUBLE_EQ(v1.Latitude(), 51.25);
    EXPECT_DOUBLE_EQ(v1.Longitude(), -114.5);
    EXPECT_FLOAT_EQ(v1.Height(), 1048.5F);
    EXPECT_FLOAT_EQ(v1.VelUp(), -0.25F);
    EXPECT_EQ(v1.NavMode(), 0x84);
    EXPECT_EQ(v1.ExtAgeOfDiff(), 300);

    auto m99 = HandFrame(99, 304);
    Put<std::int8_t>(m99, 9, -2);
    const std::size_t record = 8 + 12 + 24 * 11;  // the last channel record
    Put<std::uint8_t>(m99, record + 1, 31);
    Put<std::int8_t>(m99, record + 8, -5);
    Put<std::uint16_t>(m99, record + 12, 1234);
    Put<std::int16_t>(m99, record + 22, -777);
    Put<std::int16_t>(m99, 8 + 300, -42);
    const Msg99View v99(m99);
    EXPECT_EQ(v99.GpsUtcDiff(), -2);
    EXPECT_EQ(v99.Channel(11).Prn(), 31);
    EXPECT_EQ(v99.Channel(11).Elevation(), -5);
    EXPECT_EQ(v99.Channel(11).CnoRaw(), 1234);
    EXPECT_EQ(v99.Channel(11).Nco(), -777);
    EXPECT_EQ(v99.ClockErr(), -42);

    auto m100 = HandFrame(100, 260);
    Put<std::uint16_t>(m100, 8 + 20 + 20 * 3 + 6, 4321);
    Put<std::int16_t>(m100, 8 + 20 + 20 * 3 + 18, -9);
    EXPECT_EQ(Msg100View(m100).L2Channel(3).L1PCnoRaw(), 4321);
    EXPECT_EQ(Msg100View(m100).L2Channel(3).L2Nco(), -9);

    auto m89 = HandFrame(89, 80);
    Put<std::uint8_t>(m89, 8 + 5, 0x04);
    Put<std::uint8_t>(m89, 8 + 8 + 24 * 2 + 1, 138);
    EXPECT_TRUE(Msg89View(m89).IsSbasPrnUsed(138));

    auto m80 = HandFrame(80, 40);
    Put<std::uint32_t>(m80, 8 + 4, 345678);
    Put<std::uint32_t>(m80, 8 + 8 + 4 * 7, 0xDEADBEEF);
    EXPECT_EQ(Msg80View(m80).MsgSecOfWeek(), 345678u);
    EXPECT_EQ(Msg80View(m80).WaasMsg(7), 0xDEADBEEFu);
}

TEST(RecordViews, IndexOutOfRange_GivesAnIdleRecord) {
    CBinFrameBuilder b99(msg99::kId);
    b99.Set(msg99::ClockErr, 0x0707);  // what a record 12 would run into
    const std::vector<std::uint8_t> f99 = b99.Build();
    const std::vector<std::uint8_t> f89 = CBinFrameBuilder(msg89::kId).Build();
    const std::vector<std::uint8_t> f100 = CBinFrameBuilder(msg100::kId).Build();
    const std::vector<std::uint8_t> f98 = CBinFrameBuilder(msg98::kId).Build();
    for (const int k : {-1, 12, 1000}) {
        SCOPED_TRACE(k);
        EXPECT_EQ(Msg99View(f99).Channel(k).Prn(), 0);
        EXPECT_EQ(Msg99View(f99).Channel(k).Channel(), 0);
        EXPECT_EQ(Msg100View(f100).L2Channel(k).Prn(), 0);
    }
    EXPECT_EQ(Msg89View(f89).Channel(3).Prn(), 0);
    EXPECT_TRUE(Msg98View(f98).Record(8).Bytes().empty());
}

TEST(FrameViews, FrameShorterThanItsMessage_ReadsZerosBeyondItsEnd) {
    CBinFrameBuilder b(msg1::kId);
    b.Set(msg1::GpsWeek, 2000).Set(msg1::Latitude, 12.5);
    const std::vector<std::uint8_t> frame = b.Build();
    const std::span<const std::uint8_t> whole(frame);

    const Msg1View shortView(whole.first(8 + 4));  // up to GpsWeek
    EXPECT_EQ(shortView.GpsWeek(), 2000);
    EXPECT_EQ(shortView.Latitude(), 0.0);

    for (const std::size_t size : {0, 3, 8}) {
        SCOPED_TRACE(size);
        const Msg1View headerOnly(whole.first(size));
        EXPECT_EQ(headerOnly.GpsWeek(), 0);
    }
}

TEST(FrameViews, BytesBehindTheData_NeverReadAsData) {
    // The stored frame is followed by its checksum, CR LF and a 0.
    std::vector<std::uint8_t> frame = CBinFrameBuilder(msg98::kId).Build();
    frame.push_back(0);
    const Msg98View v(frame);
    EXPECT_EQ(v.Record(8).Bytes().size(), 0U);
    EXPECT_EQ(v.Record(7).Bytes().size(), alm::kRecordSize);
}

// ---------------------------------------------------------------------------
// Derived values

std::vector<std::uint8_t> Msg1WithVelocity(float north, float east) {
    CBinFrameBuilder b(msg1::kId);
    b.Set(msg1::VelNorth, north).Set(msg1::VelEast, east);
    return b.Build();
}

TEST(Msg1View, SpeedAndCourse_FromNorthAndEastVelocity) {
    struct Case {
        float north, east;
        double speed, course;
    };
    const Case cases[] = {
        {3.0F, 4.0F, 5.0, 53.13010235415598},
        {1.0F, 0.0F, 1.0, 0.0},
        {0.0F, 1.0F, 1.0, 90.0},
        {-1.0F, 0.0F, 1.0, 180.0},
        {0.0F, -1.0F, 1.0, 270.0},
        {-2.0F, -2.0F, 2.8284271247461903, 225.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "north " << c.north << " east " << c.east);
        const std::vector<std::uint8_t> frame = Msg1WithVelocity(c.north, c.east);
        const Msg1View v(frame);
        EXPECT_NEAR(v.Speed(), c.speed, 1e-9);
        EXPECT_NEAR(v.Course(), c.course, 1e-6);
        EXPECT_GE(v.Course(), 0.0);
        EXPECT_LT(v.Course(), 360.0);
    }
}

TEST(Msg1View, HorizontalSpeedAtOrBelowThreshold_CourseZero) {
    // 1e-4 m/s squares to (just under) 1e-8; twice that is well above.
    const std::vector<std::uint8_t> slow = Msg1WithVelocity(0.0F, 1e-4F);
    EXPECT_EQ(Msg1View(slow).Course(), 0.0);
    EXPECT_GT(Msg1View(slow).Speed(), 0.0);
    const std::vector<std::uint8_t> west = Msg1WithVelocity(0.0F, -1e-4F);
    EXPECT_EQ(Msg1View(west).Course(), 0.0);

    const std::vector<std::uint8_t> faster = Msg1WithVelocity(0.0F, 2e-4F);
    EXPECT_NEAR(Msg1View(faster).Course(), 90.0, 1e-6);
}

TEST(FixTypeText, LowThreeBits_SelectTheText) {
    const std::string_view texts[] = {"No Fix",   "2-D no diff", "3-D no diff", "2-D DIFF",
                                      "3-D DIFF", "RTK Search",  "3-D RTK",     "UnKnwn"};
    for (std::uint16_t mode = 0; mode < 8; ++mode) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(FixTypeText(mode), texts[mode]);
        EXPECT_EQ(FixTypeText(static_cast<std::uint16_t>(mode | 0xFF88)), texts[mode]);
    }
    CBinFrameBuilder b(msg1::kId);
    b.Set(msg1::NavMode, 0x0084);
    const std::vector<std::uint8_t> frame = b.Build();
    EXPECT_EQ(Msg1View(frame).FixType(), "3-D DIFF");
}

TEST(TimeStatusText, LowThreeBits_SelectTheTextAndHighValuesAreUnknown) {
    const std::string_view texts[] = {"No Time", "FIX_NO", "FIX_2D", "FIX_3D", "UnKnwn", "UnKnwn", "UnKnwn", "UnKnwn"};
    for (std::uint8_t status = 0; status < 8; ++status) {
        SCOPED_TRACE(int{status});
        EXPECT_EQ(TimeStatusText(status), texts[status]);
        EXPECT_EQ(TimeStatusText(static_cast<std::uint8_t>(status | 0xF8)), texts[status]);
    }
}

TEST(ResolutionFlag, EachMessage_ReadsItsOwnBit) {
    const auto msg99 = [](std::uint8_t status) {
        CBinFrameBuilder b(msg99::kId);
        b.Set(msg99::NavStatus, status);
        return Msg99View(b.Build()).ResolutionFlag();
    };
    const auto msg100 = [](std::uint8_t status) {
        CBinFrameBuilder b(msg100::kId);
        b.Set(msg100::L2Status, status);
        return Msg100View(b.Build()).ResolutionFlag();
    };
    const auto msg89 = [](std::uint8_t flags) {
        CBinFrameBuilder b(msg89::kId);
        b.Set(msg89::SbasFlags, flags);
        return Msg89View(b.Build()).ResolutionFlag();
    };
    EXPECT_TRUE(msg99(0x10));
    EXPECT_FALSE(msg99(0xEF));
    EXPECT_TRUE(msg100(0x10));
    EXPECT_FALSE(msg100(0xEF));
    EXPECT_TRUE(msg89(0x01));
    EXPECT_FALSE(msg89(0xFE));
}

TEST(LockLetters, Flags_GiveFourLettersWithBlanks) {
    struct Case {
        std::uint8_t flags;
        std::string_view letters;
    };
    const Case cases[] = {
        {0x00, "    "}, {0x01, "C   "}, {0x02, " C  "}, {0x40, " P  "}, {0x42, " X  "},
        {0x04, "  B "}, {0x08, "   F"}, {0x0F, "CCBF"}, {0xFF, "CXBF"}, {0xB0, "    "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << int{c.flags});
        const LockText text = LockLetters(c.flags);
        EXPECT_EQ(AsView(text), c.letters);
        EXPECT_EQ(text[4], '\0');
    }
}

TEST(CnoConversion, L1RawValues_FollowThresholds) {
    EXPECT_EQ(L1CnoDbHz(0), 0.0);
    EXPECT_EQ(L1CnoDbHz(1), 0.0);  // 4096 is below 8000
    EXPECT_NEAR(L1CnoDbHz(2), -9.89700043360188, 1e-9);
    EXPECT_NEAR(L1CnoDbHz(2000), 20.102999566398122, 1e-9);
    EXPECT_NEAR(L1CnoDbHz(65535), 35.2574326474108, 1e-9);  // the 40 dB-Hz cap lies beyond 16 bits
}

TEST(CnoConversion, L2RawValues_FollowThreshold) {
    EXPECT_EQ(L2CnoDbHz(0), 0.0);
    EXPECT_EQ(L2CnoDbHz(1), 0.0);  // 0.058 is below 0.1
    EXPECT_NEAR(L2CnoDbHz(2), -9.341827155103568, 1e-9);
    EXPECT_NEAR(L2CnoDbHz(2000), 20.658172844896434, 1e-9);
}

TEST(CnoConversion, Records_ConvertTheirOwnRawValues) {
    CBinFrameBuilder b99(msg99::kId);
    b99.Set(chan::CnoRaw, 2000, msg99::kChannelsOffset + 3 * chan::kRecordSize);
    const std::vector<std::uint8_t> f99 = b99.Build();
    EXPECT_NEAR(Msg99View(f99).Channel(3).CnoDbHz(), 20.102999566398122, 1e-9);

    CBinFrameBuilder b100(msg100::kId);
    const std::size_t base = msg100::kChannelsOffset + 5 * l2chan::kRecordSize;
    b100.Set(l2chan::L2CnoRaw, 2000, base).Set(l2chan::L1PCnoRaw, 2, base);
    const std::vector<std::uint8_t> f100 = b100.Build();
    EXPECT_NEAR(Msg100View(f100).L2Channel(5).L2CnoDbHz(), 20.658172844896434, 1e-9);
    EXPECT_NEAR(Msg100View(f100).L2Channel(5).L1PCnoDbHz(), -9.341827155103568, 1e-9);
}

TEST(Msg2View, GpsPrnUsed_OnlyPrns1To32ByTheirBit) {
    CBinFrameBuilder b(msg2::kId);
    b.Set(msg2::UsedMask, 0x80000001);
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg2View v(frame);
    EXPECT_TRUE(v.IsGpsPrnUsed(1));
    EXPECT_TRUE(v.IsGpsPrnUsed(32));
    EXPECT_FALSE(v.IsGpsPrnUsed(2));
    EXPECT_FALSE(v.IsGpsPrnUsed(31));
    for (const int prn : {-1, 0, 33, 64, 120}) {
        SCOPED_TRACE(prn);
        EXPECT_FALSE(v.IsGpsPrnUsed(prn));
    }
}

std::uint16_t SbasMask(int first, int second, bool firstUsed, bool secondUsed) {
    return static_cast<std::uint16_t>(((first - 120) << 5) | ((second - 120) << 10) | (firstUsed ? 0x4 : 0) |
                                      (secondUsed ? 0x8 : 0));
}

bool Msg2SbasUsed(std::uint16_t mask, int prn) {
    CBinFrameBuilder b(msg2::kId);
    b.Set(msg2::SbasMask, mask);
    return Msg2View(b.Build()).IsSbasPrnUsed(prn);
}

TEST(Msg2View, SbasPrnUsed_AnsweredByTheSlotHoldingIt) {
    EXPECT_TRUE(Msg2SbasUsed(SbasMask(122, 135, true, false), 122));
    EXPECT_FALSE(Msg2SbasUsed(SbasMask(122, 135, true, false), 135));
    EXPECT_FALSE(Msg2SbasUsed(SbasMask(122, 135, false, true), 122));
    EXPECT_TRUE(Msg2SbasUsed(SbasMask(122, 135, false, true), 135));
    EXPECT_TRUE(Msg2SbasUsed(SbasMask(138, 120, false, true), 120));
    EXPECT_FALSE(Msg2SbasUsed(SbasMask(122, 135, true, true), 129));
}

TEST(Msg2View, SbasPrnInBothSlots_FirstSlotAnswers) {
    EXPECT_FALSE(Msg2SbasUsed(SbasMask(125, 125, false, true), 125));
    EXPECT_TRUE(Msg2SbasUsed(SbasMask(125, 125, true, false), 125));
}

TEST(Msg2View, PrnOutsideSbasRange_NotUsed) {
    // Slots of 0 stand for PRN 120; bits 5-9 can also hold offsets beyond 138.
    const auto allSet = static_cast<std::uint16_t>((31 << 5) | 0x0C);
    for (const int prn : {0, 1, 119, 139, 151}) {
        SCOPED_TRACE(prn);
        EXPECT_FALSE(Msg2SbasUsed(0x000C, prn));
        EXPECT_FALSE(Msg2SbasUsed(allSet, prn));
    }
    EXPECT_TRUE(Msg2SbasUsed(0x000C, 120));
}

TEST(Msg89View, SbasPrnUsed_FirstRecordWithThePrnAnswers) {
    CBinFrameBuilder b(msg89::kId);
    const auto prnAt = [](int k) { return msg89::kChannelsOffset + static_cast<std::size_t>(k) * chan::kRecordSize; };
    b.Set(chan::Prn, 122, prnAt(0)).Set(chan::Prn, 135, prnAt(1)).Set(chan::Prn, 122, prnAt(2));
    b.Set(msg89::SbasUsedMask, 0b110);
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg89View v(frame);
    EXPECT_FALSE(v.IsSbasPrnUsed(122));  // record 0 answers, not record 2
    EXPECT_TRUE(v.IsSbasPrnUsed(135));
    EXPECT_FALSE(v.IsSbasPrnUsed(138));  // in no record
}

TEST(Msg89View, IdleRecords_NeverMatch) {
    CBinFrameBuilder b(msg89::kId);
    b.Set(msg89::SbasUsedMask, 0xFF);
    const std::vector<std::uint8_t> frame = b.Build();
    EXPECT_FALSE(Msg89View(frame).IsSbasPrnUsed(0));
    EXPECT_FALSE(Msg89View(frame).IsSbasPrnUsed(120));
}

TEST(AlmanacStatusText, StatusAndHealth_SelectTheText) {
    struct Case {
        std::uint8_t status, health;
        std::string_view text;
    };
    const Case cases[] = {
        {0, 0, "NoInfo"}, {0, 5, "NoInfo"}, {4, 0, "NoSuch"}, {0x80, 1, "NoSuch"}, {2, 1, "A"},
        {6, 0xFF, "A"},   {2, 0, ""},       {1, 1, ""},       {3, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "status " << int{c.status} << " health " << int{c.health});
        EXPECT_EQ(AlmanacStatusText(c.status, c.health), c.text);
    }
}

// ---------------------------------------------------------------------------
// The almanac table

void WriteAlmanac(CBinFrameBuilder& b, int k, std::uint8_t sv) {
    const std::size_t base = static_cast<std::size_t>(k) * alm::kRecordSize;
    b.Set(alm::Doppler, static_cast<std::int16_t>(-3000 + 7 * sv), base)
        .Set(alm::UpdateCount, static_cast<std::uint8_t>(10 + sv), base)
        .Set(alm::SvIndex, sv, base)
        .Set(alm::AlmStatus, static_cast<std::uint8_t>(0x20 + sv), base)
        .Set(alm::AlmHealth, static_cast<std::uint8_t>(0x40 + sv), base)
        .Set(alm::Elevation, static_cast<std::int8_t>(-sv), base)
        .Set(alm::AzimuthHalf, static_cast<std::uint8_t>(0x80 + sv), base);
}

void ExpectAlmanac(const AlmanacRecord& r, std::uint8_t sv) {
    SCOPED_TRACE(testing::Message() << "sv " << int{sv});
    EXPECT_EQ(r.Doppler(), -3000 + 7 * sv);
    EXPECT_EQ(r.UpdateCount(), 10 + sv);
    EXPECT_EQ(r.SvIndex(), sv);
    EXPECT_EQ(r.AlmStatus(), 0x20 + sv);
    EXPECT_EQ(r.AlmHealth(), 0x40 + sv);
    EXPECT_EQ(r.Elevation(), -sv);
    EXPECT_EQ(r.AzimuthHalf(), 0x80 + sv);
}

TEST(CAlmanacTable, NewTable_EveryEntryWithoutData) {
    const CAlmanacTable table;
    for (int sv = 0; sv < CAlmanacTable::kEntries; ++sv) {
        SCOPED_TRACE(sv);
        const AlmanacRecord entry = table.Entry(sv);
        EXPECT_EQ(entry.SvIndex(), 0xFF);
        EXPECT_EQ(entry.AlmStatus(), 0);
        EXPECT_EQ(entry.Doppler(), 0);
        EXPECT_EQ(entry.StatusText(), "NoInfo");
    }
}

TEST(CAlmanacTable, Update_StoresRecordsBySvIndexAndIgnoresIndexBeyondTable) {
    const std::uint8_t svs[] = {0, 5, 31, 40, 32, 8, 0xFF, 12};
    CBinFrameBuilder b(msg98::kId);
    for (int k = 0; k < msg98::kRecordCount; ++k) {
        WriteAlmanac(b, k, svs[k]);
    }
    CAlmanacTable table;
    table.Update(Msg98View(b.Build()));

    for (int sv = 0; sv < CAlmanacTable::kEntries; ++sv) {
        SCOPED_TRACE(sv);
        const bool sent = sv == 0 || sv == 5 || sv == 31 || sv == 8 || sv == 12;
        if (sent) {
            ExpectAlmanac(table.Entry(sv), static_cast<std::uint8_t>(sv));
        } else {
            EXPECT_EQ(table.Entry(sv).SvIndex(), 0xFF);
            EXPECT_EQ(table.Entry(sv).Doppler(), 0);
        }
    }
}

TEST(CAlmanacTable, LaterMessages_AccumulateAndReplace) {
    CAlmanacTable table;
    CBinFrameBuilder first(msg98::kId);
    for (int k = 0; k < msg98::kRecordCount; ++k) {
        WriteAlmanac(first, k, static_cast<std::uint8_t>(k));
    }
    table.Update(Msg98View(first.Build()));

    CBinFrameBuilder second(msg98::kId);
    for (int k = 0; k < msg98::kRecordCount; ++k) {
        WriteAlmanac(second, k, static_cast<std::uint8_t>(k + 4));
    }
    second.Set(alm::UpdateCount, 200, 0);  // record for entry 4
    table.Update(Msg98View(second.Build()));

    for (int sv = 0; sv < 12; ++sv) {
        SCOPED_TRACE(sv);
        EXPECT_EQ(table.Entry(sv).SvIndex(), sv);
    }
    EXPECT_EQ(table.Entry(4).UpdateCount(), 200);
    EXPECT_EQ(table.Entry(12).SvIndex(), 0xFF);
}

TEST(CAlmanacTable, EntryOutOfRange_GivesAnEmptyRecord) {
    const CAlmanacTable table;
    for (const int sv : {-1, 32, 255}) {
        SCOPED_TRACE(sv);
        EXPECT_TRUE(table.Entry(sv).Bytes().empty());
    }
}

}  // namespace
}  // namespace zarnmon
