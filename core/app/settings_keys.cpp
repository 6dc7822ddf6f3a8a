#include "core/app/settings_keys.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "core/app/command_line.h"

namespace zarnmon {

namespace {

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return std::nullopt;
}

// A flag is stored as 0 or 1; any other number reads as on.
bool GetFlag(const CSettingsStore& store, std::string_view section, std::string_view key, bool current) {
    return store.GetInt(section, key, current ? 1 : 0) != 0;
}

int GetIntAtLeast(const CSettingsStore& store, std::string_view section, std::string_view key, int fallback,
                  int minimum) {
    const int value = store.GetInt(section, key, fallback);
    return value >= minimum ? value : fallback;
}

}  // namespace

std::string WaasWordKey(int index) {
    std::array<char, 24> text{};
    std::snprintf(text.data(), text.size(), "WORD%03d", index);
    return text.data();
}

std::optional<int> NumberedPortOf(std::string_view device, HostPlatform platform) {
    const bool windows = platform == HostPlatform::Windows;
    const std::string_view prefix = windows ? "COM" : "/dev/ttyS";
    if (device.size() <= prefix.size()) {
        return std::nullopt;
    }
    int number = 0;
    const std::string_view digits = device.substr(prefix.size());
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    const int port = windows ? number : number + 1;
    if (port < kMinPort || port > kMaxPort) {
        return std::nullopt;
    }
    // The canonical path only: "/dev/ttyS01" or "/dev/ttyS+1" is no numbered port's.
    const std::string canonical = PortDevicePath(port, platform);
    std::string given(device);
    if (windows) {
        for (char& c : given) {
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
    }
    return given == canonical ? std::optional<int>(port) : std::nullopt;
}

CommSettings LoadCommSettings(const CSettingsStore& store, HostPlatform platform) {
    CommSettings comm;
    comm.port = GetIntAtLeast(store, kCommSettings, kPortKey, kDefaultPort, kMinPort);
    comm.baud = GetIntAtLeast(store, kCommSettings, kBaudKey, kDefaultBaud, 1);
    comm.device = store.GetString(kCommSettings, kDeviceKey, "");
    if (NumberedPortOf(comm.device, platform)) {
        comm.device.clear();
    }
    return comm;
}

void SaveCommSettings(CSettingsStore& store, const CommSettings& comm, HostPlatform platform) {
    const std::optional<int> port = comm.device.empty() ? comm.port : NumberedPortOf(comm.device, platform);
    if (port) {
        store.SetInt(kCommSettings, kPortKey, *port);
    }
    store.SetInt(kCommSettings, kBaudKey, comm.baud);
    if (port) {
        // A device chosen earlier must not outlive the port number chosen now.
        store.Remove(kCommSettings, kDeviceKey);
    } else {
        store.SetString(kCommSettings, kDeviceKey, comm.device);
    }
}

LogSettings LoadLogSettings(const CSettingsStore& store, const LogSettings& current) {
    LogSettings log;
    log.logErrors = GetFlag(store, kLogSettings, kLogErrorsKey, current.logErrors);
    log.fullLog = GetFlag(store, kLogSettings, kFullLogKey, current.fullLog);
    const int interval = store.GetInt(kLogSettings, kIntervalKey, current.interval);
    log.interval = (interval >= kMinInterval && interval <= kMaxInterval) ? interval : current.interval;
    log.autoLog = GetFlag(store, kLogSettings, kAutoLogKey, current.autoLog);
    return log;
}

void SaveLogSettings(CSettingsStore& store, const LogSettings& log) {
    store.SetInt(kLogSettings, kLogErrorsKey, log.logErrors ? 1 : 0);
    store.SetInt(kLogSettings, kFullLogKey, log.fullLog ? 1 : 0);
    store.SetInt(kLogSettings, kIntervalKey, log.interval);
    store.SetInt(kLogSettings, kAutoLogKey, log.autoLog ? 1 : 0);
}

std::optional<std::uint32_t> ScanHex(std::string_view text) {
    const auto start = text.find_first_not_of(" \t\r\n\v\f");
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(start);
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // "0x" is a prefix only when a digit follows; otherwise the "0" is the number.
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && HexDigit(text[2])) {
        text.remove_prefix(2);
    }
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (const char c : text) {
        const auto digit = HexDigit(c);
        if (!digit) {
            break;
        }
        value = value * 16U + static_cast<std::uint64_t>(*digit);
        if (value > 0xFFFFFFFFU) {
            return std::nullopt;
        }
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0U - result) : result;
}

std::string FormatHex(std::uint32_t value) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%X", static_cast<unsigned int>(value));
    return text.data();
}

ViewPreferences LoadViewPreferences(const CSettingsStore& store, const ViewPreferences& current) {
    return {store.GetInt(kViewSettings, kIonoScaleKey, current.ionoScale),
            store.GetInt(kViewSettings, kShowNeuErrorsKey, current.showNeuErrors ? 1 : 0) != 0,
            store.GetInt(kViewSettings, kLinkHealthKey, current.showLinkHealth ? 1 : 0) != 0};
}

void SaveViewPreferences(CSettingsStore& store, const ViewPreferences& preferences) {
    store.SetInt(kViewSettings, kIonoScaleKey, preferences.ionoScale);
    store.SetInt(kViewSettings, kShowNeuErrorsKey, preferences.showNeuErrors ? 1 : 0);
    store.SetInt(kViewSettings, kLinkHealthKey, preferences.showLinkHealth ? 1 : 0);
}

std::uint32_t LoadDebugLogMask(const CSettingsStore& store, std::uint32_t current) {
    return ScanHex(store.GetString(kLogSettings, kDebugLogMaskKey, FormatHex(current))).value_or(current);
}

void SaveDebugLogMask(CSettingsStore& store, std::uint32_t mask) {
    store.SetString(kLogSettings, kDebugLogMaskKey, FormatHex(mask));
}

}  // namespace zarnmon
