#pragma once

// Hand-made receiver messages and a dispatcher rig for the log tests: the
// messages go through Feed and the notifications reach the logs the way the
// main frame passes them on, after Feed returns.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/link/frame_builder.h"
#include "core/link/msg_dispatcher.h"
#include "core/link/notify_list.h"
#include "core/link/tick_clock.h"
#include "support/temp_dir.h"

namespace zarnmon::test {

inline constexpr std::int32_t kWeek = 2443;  // starts Sunday 1 November 2026
inline constexpr std::int32_t kLeapSeconds = 18;
// 5 November 2026 00:00:00 UTC in GPS seconds of week.
inline constexpr double kThursdayMidnight = 4 * 86400.0 + kLeapSeconds;

inline std::vector<std::uint8_t> Msg1Frame(double tow, std::int32_t week = kWeek) {
    CBinFrameBuilder b(msg1::kId);
    b.Set(msg1::GpsWeek, static_cast<std::uint16_t>(week))
        .Set(msg1::GpsTimeOfWeek, tow)
        .Set(msg1::Latitude, 51.0447)
        .Set(msg1::Longitude, -114.0719)
        .Set(msg1::Height, 1048.25f)
        .Set(msg1::VelNorth, 3.0f)
        .Set(msg1::VelEast, 4.0f)
        .Set(msg1::VelUp, -0.5f)
        .Set(msg1::StdDevResid, 0.125f)
        .Set(msg1::AgeOfDiff, 3)
        .Set(msg1::NavMode, 5)
        .Set(msg1::NumSats, 9);
    return b.Build();
}

inline std::vector<std::uint8_t> Msg2Frame() {
    CBinFrameBuilder b(msg2::kId);
    b.Set(msg2::GpsUtcDiff, kLeapSeconds).Set(msg2::Hdop, 12).Set(msg2::Vdop, 20).Set(msg2::UsedMask, 1U << 4);
    return b.Build();
}

// Channel 1 tracks PRN 5; the other channels are idle at elevation -3.
inline std::vector<std::uint8_t> Msg99Frame(double tow, std::int32_t week = kWeek) {
    CBinFrameBuilder b(msg99::kId);
    b.Set(msg99::GpsWeek, static_cast<std::uint16_t>(week))
        .Set(msg99::GpsTimeOfWeek, tow)
        .Set(msg99::GpsUtcDiff, kLeapSeconds)
        .Set(msg99::NavStatus, 0x10)
        .Set(msg99::ClockErr, -1234);
    for (int k = 0; k < msg99::kChannelCount; ++k) {
        b.Set(chan::Elevation, -3, msg99::kChannelsOffset + k * chan::kRecordSize);
    }
    const std::size_t base = msg99::kChannelsOffset;
    b.Set(chan::Prn, 5, base)
        .Set(chan::TrackFlags, 0x4F, base)
        .Set(chan::Elevation, 45, base)
        .Set(chan::AzimuthHalf, 60, base)
        .Set(chan::CnoRaw, 3000, base)
        .Set(chan::PosResid, -123, base)
        .Set(chan::VelResid, 15, base)
        .Set(chan::DiffCorr, -250, base);
    return b.Build();
}

inline std::vector<std::uint8_t> Msg100Frame(bool fine = false) {
    CBinFrameBuilder b(msg100::kId);
    b.Set(msg100::L2Status, fine ? 0x10 : 0x00);
    const std::size_t base = msg100::kChannelsOffset;
    b.Set(l2chan::Prn, 5, base)
        .Set(l2chan::L2Flags, 0x03, base)
        .Set(l2chan::L2CnoRaw, 2000, base)
        .Set(l2chan::L1PFlags, 0x40, base)
        .Set(l2chan::L1PCnoRaw, 1500, base)
        .Set(l2chan::P2mC1, 123, base)
        .Set(l2chan::P2mL1, -456, base)
        .Set(l2chan::C1mL1, 789, base)
        .Set(l2chan::P2mP1, 12, base)
        .Set(l2chan::L2mL1, -7, base);
    return b.Build();
}

inline std::string Rd1Line() { return TextLine("$RD1,345618,2443,1545.0,1,12-7,230,11,-345,0F,A1,03,1F"); }

inline std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A dispatcher whose notifications are queued and handed to the sink after
// each Feed, as the main frame's message loop does.
class NotifiedDispatcher {
public:
    explicit NotifiedDispatcher(CManualTickClock& clock) : dispatcher(clock) {
        for (int slot = 0; slot < dispatcher.HandlerCount(); ++slot) {
            dispatcher.Handler(slot).Subscribe(&queue);
        }
    }
    void Feed(const std::vector<std::uint8_t>& bytes) {
        dispatcher.Feed(bytes);
        queue.Drain([&](const CRxQueue::Notification& n) {
            if (sink) {
                sink(*n.handler);
            }
        });
    }
    void Feed(const std::string& text) { Feed(Bytes(text)); }

    CMsgDispatcher dispatcher;
    CRxQueue queue;
    std::function<void(const CMsgHandler&)> sink;
};

}  // namespace zarnmon::test
