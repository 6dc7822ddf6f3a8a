#include "core/link/reconnect_policy.h"

#include <algorithm>

namespace zarnmon {

namespace {

// Serial numbers are unique per maker only: the ids must agree where both are known.
bool SameIds(const DeviceIdentity& a, const DeviceIdentity& b) {
    const auto agree = [](const std::optional<std::uint16_t>& x, const std::optional<std::uint16_t>& y) {
        return !x || !y || *x == *y;
    };
    return agree(a.vendorId, b.vendorId) && agree(a.productId, b.productId);
}

}  // namespace

std::optional<std::string> FindReturnedDevice(const DeviceIdentity& lost, std::span<const DeviceIdentity> present,
                                              bool lostPathExists) {
    if (!lost.serialNumber.empty()) {
        const auto same = std::ranges::find_if(present, [&lost](const DeviceIdentity& device) {
            return device.serialNumber == lost.serialNumber && SameIds(device, lost);
        });
        if (same == present.end()) {
            return std::nullopt;
        }
        return same->devicePath;
    }
    const auto atPath = std::ranges::find(present, lost.devicePath, &DeviceIdentity::devicePath);
    if (atPath != present.end()) {
        // A device with a serial number at the old path is not the one that had none.
        return atPath->serialNumber.empty() ? std::optional(lost.devicePath) : std::nullopt;
    }
    return lostPathExists ? std::optional(lost.devicePath) : std::nullopt;
}

CReconnectPolicy::CReconnectPolicy(BackOff backOff) : backOff_(backOff) {}

void CReconnectPolicy::Start(std::uint32_t now) {
    waiting_ = true;
    from_ = now;
    wait_ = backOff_.firstMs;
}

void CReconnectPolicy::Stop() { waiting_ = false; }

void CReconnectPolicy::Failed(std::uint32_t now) {
    if (!waiting_) {
        return;
    }
    from_ = now;
    wait_ = std::min(wait_ * 2, backOff_.longestMs);
}

std::uint32_t CReconnectPolicy::MsUntilDue(std::uint32_t now) const {
    if (!waiting_) {
        return 0;
    }
    const std::uint32_t waited = now - from_;
    return waited >= wait_ ? 0 : wait_ - waited;
}

}  // namespace zarnmon
