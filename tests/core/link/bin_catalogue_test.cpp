#include "core/link/bin_catalogue.h"

#include <array>
#include <cstddef>
#include <cstdint>
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

struct Expected {
    std::uint16_t id;
    std::uint16_t length;
    std::string_view name;
    bool history;
};

TEST(Catalogue, Messages_InSlotOrderWithLengthsNamesAndHistory) {
    const Expected expected[] = {
        {1, 52, "Msg1", false},   {2, 16, "Msg2", false},   {99, 304, "Msg99", false}, {98, 68, "Msg98", false},
        {97, 28, "Msg97", false}, {96, 300, "Msg96", true}, {95, 128, "Msg95", true},  {94, 96, "Msg94", true},
        {93, 56, "Msg93", true},  {80, 40, "Msg80", true},  {91, 408, "Msg91", true},  {100, 260, "Msg100", false},
        {71, 448, "Msg71", true}, {76, 448, "Msg76", true}, {89, 80, "Msg89", false},
    };
    const std::span<const MessageLayout> catalogue = Catalogue();
    ASSERT_EQ(catalogue.size(), std::size(expected));
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "position " << i);
        EXPECT_EQ(catalogue[i].id, expected[i].id);
        EXPECT_EQ(catalogue[i].length, expected[i].length);
        EXPECT_EQ(catalogue[i].handlerName, expected[i].name);
        EXPECT_EQ(catalogue[i].hasHistory, expected[i].history);
        EXPECT_EQ(FindLayout(expected[i].id), &catalogue[i]);
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
// Views read back what the builder wrote

TEST(Msg1View, EveryField_ReadsBackWhatWasWritten) {
    CBinFrameBuilder b(msg1::kId);
    b.Set(msg1::AgeOfDiff, 7)
        .Set(msg1::NumSats, 11)
        .Set(msg1::GpsWeek, 2001)
        .Set(msg1::GpsTimeOfWeek, 345678.125)
        .Set(msg1::Latitude, 51.4778123456789)
        .Set(msg1::Longitude, -0.0014123456)
        .Set(msg1::Height, 45.25F)
        .Set(msg1::VelNorth, -1.5F)
        .Set(msg1::VelEast, 2.25F)
        .Set(msg1::VelUp, 0.125F)
        .Set(msg1::StdDevResid, 3.5F)
        .Set(msg1::NavMode, 0x8084)
        .Set(msg1::ExtAgeOfDiff, 0xBEEF);
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg1View v(frame);
    EXPECT_EQ(v.AgeOfDiff(), 7);
    EXPECT_EQ(v.NumSats(), 11);
    EXPECT_EQ(v.GpsWeek(), 2001);
    EXPECT_EQ(v.GpsTimeOfWeek(), 345678.125);
    EXPECT_EQ(v.Latitude(), 51.4778123456789);
    EXPECT_EQ(v.Longitude(), -0.0014123456);
    EXPECT_EQ(v.Height(), 45.25F);
    EXPECT_EQ(v.VelNorth(), -1.5F);
    EXPECT_EQ(v.VelEast(), 2.25F);
    EXPECT_EQ(v.VelUp(), 0.125F);
    EXPECT_EQ(v.StdDevResid(), 3.5F);
    EXPECT_EQ(v.NavMode(), 0x8084);
    EXPECT_EQ(v.ExtAgeOfDiff(), 0xBEEF);
}

TEST(Msg2View, EveryField_ReadsBackWhatWasWritten) {
    CBinFrameBuilder b(msg2::kId);
    b.Set(msg2::UsedMask, 0x080C4F31)
        .Set(msg2::GpsUtcDiff, 18)
        .Set(msg2::Hdop, 12)
        .Set(msg2::Vdop, 23)
        .Set(msg2::SbasMask, 0x7A6C);
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg2View v(frame);
    EXPECT_EQ(v.UsedMask(), 0x080C4F31U);
    EXPECT_EQ(v.GpsUtcDiff(), 18);
    EXPECT_EQ(v.Hdop(), 12);
    EXPECT_EQ(v.Vdop(), 23);
    EXPECT_EQ(v.SbasMask(), 0x7A6C);
}

// Values that differ per record and per field, so a record or field read
// from the wrong place cannot pass.
void WriteChannel(CBinFrameBuilder& b, std::size_t base, int k) {
    const auto u8 = [k](int v) { return static_cast<std::uint8_t>(v + k); };
    const auto i16 = [k](int v) { return static_cast<std::int16_t>(v - 100 * k); };
    b.Set(chan::Channel, u8(0), base)
        .Set(chan::Prn, u8(1), base)
        .Set(chan::TrackFlags, u8(0x40), base)
        .Set(chan::Sf, u8(0x50), base)
        .Set(chan::EphState, u8(0x60), base)
        .Set(chan::EphFlag, u8(0x70), base)
        .Set(chan::AlmState, u8(0x80), base)
        .Set(chan::AlmFlag, u8(0x90), base)
        .Set(chan::Elevation, static_cast<std::int8_t>(-10 - k), base)
        .Set(chan::AzimuthHalf, u8(0xA0), base)
        .Set(chan::UraIndex, u8(0xB0), base)
        .Set(chan::CnoRaw, static_cast<std::uint16_t>(0xC000 + k), base)
        .Set(chan::DiffCorr, i16(-1001), base)
        .Set(chan::PosResid, i16(2002), base)
        .Set(chan::VelResid, i16(-3003), base)
        .Set(chan::Doppler, i16(4004), base)
        .Set(chan::Nco, i16(-5005), base);
}

void ExpectChannel(const ChannelRecord& r, int k) {
    SCOPED_TRACE(testing::Message() << "record " << k);
    EXPECT_EQ(r.Channel(), k);
    EXPECT_EQ(r.Prn(), 1 + k);
    EXPECT_EQ(r.TrackFlags(), 0x40 + k);
    EXPECT_EQ(r.Sf(), 0x50 + k);
    EXPECT_EQ(r.EphState(), 0x60 + k);
    EXPECT_EQ(r.EphFlag(), 0x70 + k);
    EXPECT_EQ(r.AlmState(), 0x80 + k);
    EXPECT_EQ(r.AlmFlag(), 0x90 + k);
    EXPECT_EQ(r.Elevation(), -10 - k);
    EXPECT_EQ(r.AzimuthHalf(), 0xA0 + k);
    EXPECT_EQ(r.UraIndex(), 0xB0 + k);
    EXPECT_EQ(r.CnoRaw(), 0xC000 + k);
    EXPECT_EQ(r.DiffCorr(), -1001 - 100 * k);
    EXPECT_EQ(r.PosResid(), 2002 - 100 * k);
    EXPECT_EQ(r.VelResid(), -3003 - 100 * k);
    EXPECT_EQ(r.Doppler(), 4004 - 100 * k);
    EXPECT_EQ(r.Nco(), -5005 - 100 * k);
}

TEST(Msg99View, EveryFieldAndChannelRecord_ReadsBackWhatWasWritten) {
    CBinFrameBuilder b(msg99::kId);
    b.Set(msg99::NavStatus, 0x13)
        .Set(msg99::GpsUtcDiff, -18)
        .Set(msg99::GpsWeek, 2100)
        .Set(msg99::GpsTimeOfWeek, 1.5)
        .Set(msg99::ClockErr, -1234);
    for (int k = 0; k < msg99::kChannelCount; ++k) {
        WriteChannel(b, msg99::kChannelsOffset + static_cast<std::size_t>(k) * chan::kRecordSize, k);
    }
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg99View v(frame);
    EXPECT_EQ(v.NavStatus(), 0x13);
    EXPECT_EQ(v.GpsUtcDiff(), -18);
    EXPECT_EQ(v.GpsWeek(), 2100);
    EXPECT_EQ(v.GpsTimeOfWeek(), 1.5);
    EXPECT_EQ(v.ClockErr(), -1234);
    for (int k = 0; k < msg99::kChannelCount; ++k) {
        ExpectChannel(v.Channel(k), k);
    }
}

TEST(Msg89View, EveryFieldAndChannelRecord_ReadsBackWhatWasWritten) {
    CBinFrameBuilder b(msg89::kId);
    b.Set(msg89::SbasUsedMask, 0x05).Set(msg89::SbasFlags, 0x81);
    for (int k = 0; k < msg89::kChannelCount; ++k) {
        WriteChannel(b, msg89::kChannelsOffset + static_cast<std::size_t>(k) * chan::kRecordSize, k);
    }
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg89View v(frame);
    EXPECT_EQ(v.SbasUsedMask(), 0x05);
    EXPECT_EQ(v.SbasFlags(), 0x81);
    for (int k = 0; k < msg89::kChannelCount; ++k) {
        ExpectChannel(v.Channel(k), k);
    }
}

TEST(Msg100View, EveryFieldAndL2Record_ReadsBackWhatWasWritten) {
    CBinFrameBuilder b(msg100::kId);
    b.Set(msg100::L2Status, 0x5A);
    const auto i16 = [](int v, int k) { return static_cast<std::int16_t>(v - 100 * k); };
    for (int k = 0; k < msg100::kChannelCount; ++k) {
        const std::size_t base = msg100::kChannelsOffset + static_cast<std::size_t>(k) * l2chan::kRecordSize;
        b.Set(l2chan::Prn, static_cast<std::uint8_t>(1 + k), base)
            .Set(l2chan::L2Flags, static_cast<std::uint8_t>(0x40 + k), base)
            .Set(l2chan::L1PFlags, static_cast<std::uint8_t>(0x80 + k), base)
            .Set(l2chan::L2CnoRaw, static_cast<std::uint16_t>(0xA000 + k), base)
            .Set(l2chan::L1PCnoRaw, static_cast<std::uint16_t>(0xB000 + k), base)
            .Set(l2chan::C1mL1, i16(-1001, k), base)
            .Set(l2chan::P2mC1, i16(2002, k), base)
            .Set(l2chan::P2mL1, i16(-3003, k), base)
            .Set(l2chan::L2mL1, i16(4004, k), base)
            .Set(l2chan::P2mP1, i16(-5005, k), base)
            .Set(l2chan::L2Nco, i16(6006, k), base);
    }
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg100View v(frame);
    EXPECT_EQ(v.L2Status(), 0x5A);
    for (int k = 0; k < msg100::kChannelCount; ++k) {
        SCOPED_TRACE(testing::Message() << "record " << k);
        const L2ChannelRecord r = v.L2Channel(k);
        EXPECT_EQ(r.Prn(), 1 + k);
        EXPECT_EQ(r.L2Flags(), 0x40 + k);
        EXPECT_EQ(r.L1PFlags(), 0x80 + k);
        EXPECT_EQ(r.L2CnoRaw(), 0xA000 + k);
        EXPECT_EQ(r.L1PCnoRaw(), 0xB000 + k);
        EXPECT_EQ(r.C1mL1(), -1001 - 100 * k);
        EXPECT_EQ(r.P2mC1(), 2002 - 100 * k);
        EXPECT_EQ(r.P2mL1(), -3003 - 100 * k);
        EXPECT_EQ(r.L2mL1(), 4004 - 100 * k);
        EXPECT_EQ(r.P2mP1(), -5005 - 100 * k);
        EXPECT_EQ(r.L2Nco(), 6006 - 100 * k);
    }
}

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

TEST(Msg98View, EveryFieldAndAlmanacRecord_ReadsBackWhatWasWritten) {
    CBinFrameBuilder b(msg98::kId);
    for (int k = 0; k < msg98::kRecordCount; ++k) {
        WriteAlmanac(b, k, static_cast<std::uint8_t>(3 * k + 1));
    }
    b.Set(msg98::LastAlmPrn, 17).Set(msg98::IonoValid, 1);
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg98View v(frame);
    EXPECT_EQ(v.LastAlmPrn(), 17);
    EXPECT_EQ(v.IonoValid(), 1);
    for (int k = 0; k < msg98::kRecordCount; ++k) {
        ExpectAlmanac(v.Record(k), static_cast<std::uint8_t>(3 * k + 1));
    }
}

TEST(Msg97View, EveryField_ReadsBackWhatWasWritten) {
    CBinFrameBuilder b(msg97::kId);
    b.Set(msg97::SpareCount, 0xDEADBEEF)
        .Set(msg97::MissedSubframes, 0x1111)
        .Set(msg97::MaxSubframesPending, 0x2222)
        .Set(msg97::MissedAccumulations, 0x3333)
        .Set(msg97::MissedMeasurements, 0x4444);
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg97View v(frame);
    EXPECT_EQ(v.SpareCount(), 0xDEADBEEFU);
    EXPECT_EQ(v.MissedSubframes(), 0x1111);
    EXPECT_EQ(v.MaxSubframesPending(), 0x2222);
    EXPECT_EQ(v.MissedAccumulations(), 0x3333);
    EXPECT_EQ(v.MissedMeasurements(), 0x4444);
}

TEST(Msg80View, EveryFieldAndWaasWord_ReadsBackWhatWasWritten) {
    CBinFrameBuilder b(msg80::kId);
    b.Set(msg80::Prn, 135).Set(msg80::Spare, 0xBEEF).Set(msg80::MsgSecOfWeek, 0x12345678);
    for (int i = 0; i < msg80::kWaasWords; ++i) {
        b.Set(msg80::WaasMsg, 0x01010101U * static_cast<std::uint32_t>(i + 1) + 0xA0000000U,
              static_cast<std::size_t>(i) * 4);
    }
    const std::vector<std::uint8_t> frame = b.Build();
    const Msg80View v(frame);
    EXPECT_EQ(v.Prn(), 135);
    EXPECT_EQ(v.Spare(), 0xBEEF);
    EXPECT_EQ(v.MsgSecOfWeek(), 0x12345678U);
    for (int i = 0; i < msg80::kWaasWords; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(v.WaasMsg(i), 0x01010101U * static_cast<std::uint32_t>(i + 1) + 0xA0000000U);
    }
    EXPECT_EQ(v.WaasMsg(-1), 0U);
    EXPECT_EQ(v.WaasMsg(8), 0U);  // would be the checksum
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
