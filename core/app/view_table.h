#pragma once

// The view types: one row per child window the program can open, with the
// command that opens it, the texts of its command and document template, the
// key under which its open state is remembered, and the title that makes it
// unique (a view type exists at most once, found by this description).
//
// The texts are the program's own and are kept exactly, spelling slips
// included: they are what users and their saved profiles know.

#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include "core/app/settings_store.h"

namespace zarnmon {

enum class DocKind { ZarnMonDoc, BaseDoc };

struct ViewType {
    int commandId;
    std::string_view prompt;  // "status tip\ntool tip"
    int templateId;
    std::string_view templateStrings;  // "\n"-separated document strings, see DocString
    std::string_view key;              // "OpenWindows" key and template name
    std::string_view description;      // document title
    DocKind document;
    std::string_view viewClass;
};

// In table order, which is also the order of registration and of reopening.
inline constexpr std::array<ViewType, 15> kViewTypes{{
    {32771, "View The Channel Data\nView Channel Data", 129, "\nZarnMon\nZarnMon\n\n\n\n", "ChannelVw",
     "View Of Channel Data", DocKind::ZarnMonDoc, "CViewChannel"},
    {32808, "View The P-Code Channel Data\nView P-Code Channel Data", 160, "\nChanL2\nChanL2\n\n\n\n", "L2_ChannelVw",
     "View Of P-Code Channel Data", DocKind::ZarnMonDoc, "CViewChannelL2"},
    {32779, "View the Receiver Command window\nCommand Window", 134, "\nCommd\nReceiver Commands\n\n\n\n", "RCommand",
     "Receiver Command Page", DocKind::BaseDoc, "CViewRecvCmd"},
    {32780, "View Messages, NMEA, and RTCM\nView Text Messages", 136, "\nTxtVw\nText Msg View\n\n\n\n", "TextVw",
     "View of Text Messages", DocKind::BaseDoc, "CViewText"},
    {32781, "View GPS Solution data\nView GPS Solution", 137, "\nGPSVw\nGPS Data View\n\n\n\n", "GPSVw",
     "View of GPS Solution", DocKind::BaseDoc, "CViewGPS"},
    {32782, "View Satellites from Alamnac data\nView Almanac", 138, "\nAlmVw\nAlamnac Data View\n\n\n\n", "AlmanVw",
     "View of Satellite Almanac", DocKind::BaseDoc, "CViewAlman"},
    {32784, "View Internal Debug Information\nView Debug Info", 139, "\nDbgVw\nDebug Msg View\n\n\n\n", "DbgMsgVw",
     "View of Debug Messages", DocKind::BaseDoc, "CViewDbgMsg"},
    {32785, "View Statistics\nView Statistics", 141, "\nStatVw\nStats View\n\n\n\n", "StatsVw", "View of Statistics",
     DocKind::BaseDoc, "CViewStatistics"},
    {32786, "View LBand Diagonistics\nView LBand", 142, "\nLBndVw\nLBand View\n\n\n\n", "LBandVw",
     "View of LBand Diagnostics (Diag1)", DocKind::BaseDoc, "CViewLBand"},
    {32792, "View the Zarn Monitor Window\nMonitor Window", 146, "\nMonVw\nMonitr View\n\n\n\n", "MonVw",
     "View of Zarn Monitor", DocKind::BaseDoc, "CViewMonitor"},
    {32796, "View Plot\nView NEU Error Plot", 148, "\nNEUVw\nNEUError View\n\n\n\n", "NEUErrorVw", "View of NEU Errors",
     DocKind::BaseDoc, "CViewNEUerrors"},
    {32803, "View WAAS Ionosphere Map\nView Iono", 152, "\nIonow\nIono View\n\n\n\n", "IonoVw", "View of WAAS Iono",
     DocKind::BaseDoc, "CViewIono"},
    {32807, "View Heading\nView Heading", 158, "\nHeadw\nHeading View\n\n\n\n", "HeadingVw", "View of Heading",
     DocKind::BaseDoc, "CViewHeading"},
    {32809, "View the horizontal scatter of position errors\nView Horizontal Scatter", 161,
     "\nScatVw\nScatter View\n\n\n\n", "ScatterVw", "View of Horizontal Scatter", DocKind::BaseDoc, "CViewScatter"},
    {32810, "View the sky plot and signal levels\nView Sky and Signal", 162, "\nSkyVw\nSky View\n\n\n\n", "SkyVw",
     "View of Sky and Signal", DocKind::BaseDoc, "CViewSky"},
}};

// Opened at start when the profile does not ask for the last session's views.
inline constexpr std::array<int, 2> kDefaultOpenTemplates{129, 137};

// The application's own command beside the view commands.
inline constexpr int kDataFlowCommandId = 32778;
inline constexpr std::string_view kDataFlowPrompt = "Comm Data Flow (turn on or off)\nComm Data Flow";

// The template ids to open at start, in order: the default views while
// "OpenWindows"/"AutoOpen" is 0, else every view type marked open.
[[nodiscard]] std::vector<int> ViewsToReopen(const CSettingsStore& store);
// False until the open windows were first remembered: the first start.
[[nodiscard]] bool OpenWindowsStored(const CSettingsStore& store);
// Records for every view type whether it is open (1) or not (0).
void SaveOpenWindows(CSettingsStore& store, const std::function<bool(const ViewType&)>& isOpen);

}  // namespace zarnmon
