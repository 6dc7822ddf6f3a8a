#pragma once

// When and where to reconnect a receiver whose serial device went away
// (unplugged, or the adapter reset).
//
// The device is known by what the system said about it when the link was
// made: a USB serial adapter by its serial number, with its vendor and
// product ids, since replugged into another socket it may come back under
// another name (ttyUSB0 as ttyUSB1); a device without a serial number (a
// built-in port, a pseudo-terminal, a symlink to one) by its path. A device
// that answers at the old path with another serial number is another device
// and is left alone.
//
// Attempts back off: the first comes 500 ms after the loss, and each one that
// finds nothing doubles the wait, up to 8 s. A receiver that is plugged
// straight back is found at once; one that stays away costs a look every 8 s.
// Times are the program's wrapping millisecond ticks.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zarnmon {

struct DeviceIdentity {
    std::string devicePath;
    std::string serialNumber;  // empty: the device has none
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
};

// The path to open for the lost device, if it is back among the devices
// present. lostPathExists: whether the lost path names a device now (the list
// holds serial hardware only, not pseudo-terminals or symlinks).
[[nodiscard]] std::optional<std::string> FindReturnedDevice(const DeviceIdentity& lost,
                                                            std::span<const DeviceIdentity> present,
                                                            bool lostPathExists);

struct BackOff {
    std::uint32_t firstMs = 500;
    std::uint32_t longestMs = 8000;
};

class CReconnectPolicy {
public:
    explicit CReconnectPolicy(BackOff backOff = {});

    // The link was lost (or the user asked to look again) at now: the next
    // attempt is due the first wait later.
    void Start(std::uint32_t now);
    // Reconnected, or another link was chosen: nothing is due any more.
    void Stop();
    // An attempt at now found nothing or could not open: the wait doubles.
    void Failed(std::uint32_t now);

    [[nodiscard]] bool Waiting() const { return waiting_; }
    [[nodiscard]] bool Due(std::uint32_t now) const { return waiting_ && now - from_ >= wait_; }
    // Milliseconds until the next attempt; 0 when it is due or none is waited for.
    [[nodiscard]] std::uint32_t MsUntilDue(std::uint32_t now) const;
    // The wait before the next attempt.
    [[nodiscard]] std::uint32_t WaitMs() const { return wait_; }

private:
    BackOff backOff_;
    bool waiting_ = false;
    std::uint32_t from_ = 0;
    std::uint32_t wait_ = 0;
};

}  // namespace zarnmon
