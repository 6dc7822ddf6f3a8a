#pragma once

// Receiver messages about satellites in the sky, built byte for byte through
// the catalogue's layouts: tracked channels (messages 99 and 89), almanac
// entries (98), L2 channels (100) and the solution's used masks (2).

#include <cstdint>
#include <initializer_list>

#include "core/link/frame_builder.h"

namespace zarnmon::test {

// A tracked channel: 0..11 go into message 99, 12..14 into message 89.
struct Tracked {
    int channel = 0;
    std::uint8_t prn = 0;
    std::int8_t elevation = 45;
    std::uint8_t azimuthHalf = 45;  // units of 2 degrees
    std::uint16_t cnoRaw = 20000;   // 30.1 dB
    int channelNumber = -1;         // as the record carries it; -1: the channel's own
};

inline void SetTracked(CBinFrameBuilder& frame, std::size_t base, const Tracked& tracked) {
    const int number = tracked.channelNumber >= 0 ? tracked.channelNumber : tracked.channel;
    frame.Set(chan::Channel, static_cast<std::uint8_t>(number), base)
        .Set(chan::Prn, tracked.prn, base)
        .Set(chan::Elevation, tracked.elevation, base)
        .Set(chan::AzimuthHalf, tracked.azimuthHalf, base)
        .Set(chan::CnoRaw, tracked.cnoRaw, base);
}

inline CBinFrameBuilder Msg99With(std::initializer_list<Tracked> channels) {
    CBinFrameBuilder frame(msg99::kId);
    for (const Tracked& tracked : channels) {
        SetTracked(frame, msg99::kChannelsOffset + static_cast<std::size_t>(tracked.channel) * chan::kRecordSize,
                   tracked);
    }
    return frame;
}

// SBAS channels 12..14 are records 0..2; bit k of usedMask marks record k used.
inline CBinFrameBuilder Msg89With(std::initializer_list<Tracked> channels, std::uint8_t usedMask = 0) {
    CBinFrameBuilder frame(msg89::kId);
    for (const Tracked& tracked : channels) {
        const auto record = static_cast<std::size_t>(tracked.channel - 12);
        SetTracked(frame, msg89::kChannelsOffset + record * chan::kRecordSize, tracked);
    }
    frame.Set(msg89::SbasUsedMask, usedMask);
    return frame;
}

struct AlmanacSatellite {
    int prn = 1;
    std::int8_t elevation = 20;
    std::uint8_t azimuthHalf = 0;
    std::uint8_t status = 2;  // valid
    std::uint8_t health = 1;
};

// Up to eight almanac entries; records left over name no satellite.
inline CBinFrameBuilder Msg98With(std::initializer_list<AlmanacSatellite> satellites) {
    CBinFrameBuilder frame(msg98::kId);
    std::size_t base = 0;
    for (const AlmanacSatellite& satellite : satellites) {
        frame.Set(alm::SvIndex, static_cast<std::uint8_t>(satellite.prn - 1), base)
            .Set(alm::AlmStatus, satellite.status, base)
            .Set(alm::AlmHealth, satellite.health, base)
            .Set(alm::Elevation, satellite.elevation, base)
            .Set(alm::AzimuthHalf, satellite.azimuthHalf, base);
        base += alm::kRecordSize;
    }
    for (; base < std::size_t{msg98::kRecordCount} * alm::kRecordSize; base += alm::kRecordSize) {
        frame.Set(alm::SvIndex, std::uint8_t{0xFF}, base);
    }
    return frame;
}

struct L2Tracked {
    int record = 0;
    std::uint8_t prn = 0;
    std::uint16_t l2CnoRaw = 2000;  // 20.7 dB
};

inline CBinFrameBuilder Msg100With(std::initializer_list<L2Tracked> records) {
    CBinFrameBuilder frame(msg100::kId);
    for (const L2Tracked& tracked : records) {
        const std::size_t base =
            msg100::kChannelsOffset + static_cast<std::size_t>(tracked.record) * l2chan::kRecordSize;
        frame.Set(l2chan::Prn, tracked.prn, base).Set(l2chan::L2CnoRaw, tracked.l2CnoRaw, base);
    }
    return frame;
}

inline CBinFrameBuilder Msg2With(std::uint32_t usedMask, std::uint16_t sbasMask = 0) {
    CBinFrameBuilder frame(msg2::kId);
    frame.Set(msg2::UsedMask, usedMask).Set(msg2::SbasMask, sbasMask);
    return frame;
}

}  // namespace zarnmon::test
