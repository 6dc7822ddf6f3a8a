#pragma once

// Every section and key of the profile with its default, and typed readers for
// the sections the shell itself uses. The owners of the other sections read
// and write them through these names; their value formats ("%.8lf" and so on)
// stay with the owners.
//
// A stored value that does not scan, or that lies outside what the setting can
// mean (a port number below 1), leaves the default: a hand-edited profile must
// not stop the program.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/app/settings_store.h"

namespace zarnmon {

// Serial link (read at start, written when the connect dialog closes and at
// exit). "Device" is our addition: the device path of a port that has no COM
// number (a USB serial adapter). "Port" stays the one that counts for numbered
// ports, so a profile edited by hand or taken to another machine means the
// same: "Device" is written only for a device that is not a numbered port's.
inline constexpr std::string_view kCommSettings = "CommSettings";
inline constexpr std::string_view kPortKey = "Port";
inline constexpr std::string_view kBaudKey = "Baud";
inline constexpr std::string_view kDeviceKey = "Device";
inline constexpr int kDefaultPort = 2;
inline constexpr int kMinPort = 1;
inline constexpr int kMaxPort = 256;  // COM256 is the highest Windows names
// The port number that stands for the receiver's USB interface rather than a COM port.
inline constexpr int kUsbPort = 999;
inline constexpr int kDefaultBaud = 19200;

// Data-log options and the debug-log mask.
inline constexpr std::string_view kLogSettings = "LogSettings";
inline constexpr std::string_view kLogErrorsKey = "LogErrors";
inline constexpr std::string_view kFullLogKey = "FullLog";
inline constexpr std::string_view kIntervalKey = "Interval";
inline constexpr std::string_view kAutoLogKey = "AutoLog";
inline constexpr std::string_view kDebugLogMaskKey = "DebugLogMask";
inline constexpr int kDefaultInterval = 1;
inline constexpr int kMinInterval = 0;
inline constexpr int kMaxInterval = 3600;
inline constexpr std::uint32_t kDefaultDebugLogMask = 0xFFFFFFFFU;
inline constexpr std::string_view kDefaultDebugLogMaskText = "FFFFFFFF";

// Reference position; defaults come from the receiver.
inline constexpr std::string_view kLocation = "Location";
inline constexpr std::string_view kLatitudeKey = "Latitude";
inline constexpr std::string_view kLongitudeKey = "Longitude";
inline constexpr std::string_view kHeightKey = "Height";

// NEU error plot.
inline constexpr std::string_view kPlotSettings = "PlotSettings";
inline constexpr std::string_view kMinutesKey = "Minutes";
inline constexpr std::string_view kMaxMetersKey = "MaxMeters";
inline constexpr int kDefaultPlotMinutes = 30;
inline constexpr std::string_view kDefaultMaxMetersText = "5.0";

// Monitor thresholds: one key per threshold, named by the monitor.
inline constexpr std::string_view kThresholds = "Thresholds";

// Iono map region, in degrees.
inline constexpr std::string_view kIonoMapCoverage = "IonoMapCoverage";
inline constexpr std::string_view kLeftKey = "left";
inline constexpr std::string_view kTopKey = "top";
inline constexpr std::string_view kRightKey = "right";
inline constexpr std::string_view kBottomKey = "bottom";
inline constexpr std::string_view kExtendMapKey = "ExtendMap";
inline constexpr int kDefaultMapLeft = -180;
inline constexpr int kDefaultMapTop = 80;
inline constexpr int kDefaultMapRight = -40;
inline constexpr int kDefaultMapBottom = 0;
inline constexpr int kDefaultExtendMap = 1;

// WAAS decoder state kept across runs: WORD000 to WORD133 and a check sum.
inline constexpr std::string_view kWaasNonVolatile = "WAASNonVolatile";
inline constexpr std::string_view kCheckSumKey = "CheckSum";
inline constexpr int kWaasWordCount = 134;

// Views open at the last exit, one key per view type, and whether to reopen them.
inline constexpr std::string_view kOpenWindows = "OpenWindows";
inline constexpr std::string_view kAutoOpenKey = "AutoOpen";
inline constexpr int kDefaultAutoOpen = 0;

// Display choices a user expects back after a restart: the iono map's scale
// (in the map's own units), whether the solution views show NEU errors and
// whether the main window shows its "Link Health" dock.
inline constexpr std::string_view kViewSettings = "ViewSettings";
inline constexpr std::string_view kIonoScaleKey = "IonoScale";
inline constexpr std::string_view kShowNeuErrorsKey = "ShowNEUErrors";
inline constexpr std::string_view kLinkHealthKey = "LinkHealth";

// "WORD%0.3d": WaasWordKey(7) is "WORD007".
[[nodiscard]] std::string WaasWordKey(int index);

struct CommSettings {
    int port = kDefaultPort;
    int baud = kDefaultBaud;
    std::string device;  // empty: the device of the port number
};

// The COM number whose device path is device (see PortDevicePath): 3 for
// "/dev/ttyS2", or "COM3" (in any case) on Windows. nullopt for any other path.
[[nodiscard]] std::optional<int> NumberedPortOf(std::string_view device, HostPlatform platform = kHostPlatform);

// A stored "Device" that is only a numbered port's path gives way to "Port".
[[nodiscard]] CommSettings LoadCommSettings(const CSettingsStore& store, HostPlatform platform = kHostPlatform);
// A numbered port (no device, or a numbered port's device) is written as
// "Port" and "Device" removed; another device is written as "Device" and the
// stored "Port" is left as it was.
void SaveCommSettings(CSettingsStore& store, const CommSettings& comm, HostPlatform platform = kHostPlatform);

// The data log's options; these are also the command line's log options.
struct LogSettings {
    bool logErrors = false;
    bool fullLog = false;
    int interval = kDefaultInterval;  // seconds, kMinInterval..kMaxInterval
    bool autoLog = false;
};

// Each option keeps its current value when its key is missing or unusable.
[[nodiscard]] LogSettings LoadLogSettings(const CSettingsStore& store, const LogSettings& current = {});
void SaveLogSettings(CSettingsStore& store, const LogSettings& log);

// Hexadecimal as "%X" reads it: blanks, an optional sign and "0x", then hex
// digits up to the first other character. nullopt when no digit starts the
// text or the number does not fit 32 bits.
[[nodiscard]] std::optional<std::uint32_t> ScanHex(std::string_view text);
// Upper-case hexadecimal without prefix, as "%X" writes it.
[[nodiscard]] std::string FormatHex(std::uint32_t value);

// The display choices of "ViewSettings"; a missing key keeps the current value.
struct ViewPreferences {
    int ionoScale = 0;
    bool showNeuErrors = false;
    bool showLinkHealth = false;
};
[[nodiscard]] ViewPreferences LoadViewPreferences(const CSettingsStore& store, const ViewPreferences& current);
void SaveViewPreferences(CSettingsStore& store, const ViewPreferences& preferences);

[[nodiscard]] std::uint32_t LoadDebugLogMask(const CSettingsStore& store, std::uint32_t current = kDefaultDebugLogMask);
void SaveDebugLogMask(CSettingsStore& store, std::uint32_t mask);

}  // namespace zarnmon
