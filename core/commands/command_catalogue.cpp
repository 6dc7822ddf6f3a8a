#include "core/commands/command_catalogue.h"

#include <algorithm>
#include <array>

#include "core/commands/ascii_case.h"

namespace zarnmon {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// One help line per literal; lines longer than the column limit stay whole so
// each can be compared with the receiver's manual at a glance.
// clang-format off
constexpr std::array<CommandEntry, 32> kCatalogue{{
    {"$JBAUD,r[,OTHER]",
     "Configure the baud rate\r\n"
     "r = 4800, 9600 and 19200\r\n"
     "(use the keyword OTHER to configure the other port)\r\n"
     "EXAMPLE:  configure other port at 4800 baud  $JBAUD,4800,OTHER"},
    {"$JBIN,msg,r[,OTHER]",
     "Turn on/off binary message. r =  0, 0.2, 1 or 5 Hz  (0 turns message off)\r\n"
     "msg = 1,2, 80, 94, 95, 96, 97, 98, or 99 (More may be added.)\r\n"
     " 1 = Navigation Data (0.2, 1 or 5 Hz) \r\n"
     "2 = DOPP ant Satellite mask Data (1 Hz only)\r\n"
     "80 = WAAS RTCA Data Stream[s] (1 Hz only)\r\n"
     "94 = IONO/UTC parameters (1 Hz only, message is sent only on change)\r\n"
     "95 = Ephemeris parameters (1 Hz only, one ephemeris per message and sent only on change)\r\n"
     "96 = Code and Carrier Phase data (0.2, 1 or 5 Hz)\r\n"
     "97 = Processor Statistics (1 Hz only)\r\n"
     "98 = Almanac-derived Azimuth and Elevations (1 Hz only, 8 per packet)\r\n"
     "99 = Channel Tracking Information (1 Hz only)\r\n"
     "Note: On WAAS receivers, a message 93 (WAAS ephemeris) is also activated with message 95(use the keyword OTHER to configure the other port)\r\n"
     "EXAMPLE:  turn on msg 99 at 1 Hz     $JBIN,99,1"},
    {"$J4STRING[,r][,OTHER]",
     "Configure port to output NMEA strings: GPGGA, GPVTG, GPGSA, and GPZDA.\r\n"
     "The output rate of each string is one Hz and all other strings on the port are turned off.\r\n"
     "Makes the change permanent (i.e., saves configuration).\r\n"
     "r = 4800, 9600 (if r is omitted, the rate defaults to 4800).\r\n"
     "(use the keyword OTHER to configure the other port)\r\n"
     "EXAMPLE:  configure other port to output 4 Strings of NMEA at4800 baud  $J4STRING,OTHER"},
    {"$JASC,GPxxx,r[,OTHER]",
     "xxx = GGA, GLL, VTG, GSV, RMC, GSA, ZDA, GST, RRE\r\n"
     "Turn on/off NMEA msg x at rate r. (only do one at a time)\r\n"
     "r =  0, 0.2, 1 or 5  Hz  (0 turns message off) Options supported are:\r\n"
     "$JASC,GPGGA,r\r\n"
     "$JASC,GPGLL,r\r\n"
     "$JASC,GPVTG,r\r\n"
     "$JASC,GPGSV,r   *\r\n"
     "$JASC,GPRMC,r\r\n"
     "$JASC,GPGSA,r   *\r\n"
     "$JASC,GPZDA,r\r\n"
     "$JASC,GPGST,r   *\r\n"
     "$JASC,GPRRE,r   *\r\n"
     "Options with * are only available at 1Hz.\r\n"
     "(use the keyword OTHER to configure the other port)\r\n"
     "EXAMPLE:  turn off GGA    $JASC,GPGGA,0"},
    {"$JASC,RTCM,r[,OTHER]",
     "Turn on/off RTCM Output from the L-Band (or WAAS) signal.\r\n"
     "r =  0 for off, 1 for on\r\n"
     "(use the keyword OTHER to configure the other port)\r\n"
     "EXAMPLE:  turn on L-Band RTCM  $JASC,RTCM,1"},
    {"$JASC,BEAC,r[,OTHER]",
     "Turn on/off RTCM Output from the Beacon signal.\r\n"
     "r =  0 for off, 1 for on\r\n"
     "(use the keyword OTHER to configure the other port)\r\n"
     "Some receivers do not support this command.\r\n"
     "EXAMPLE:  turn on Beacon RTCM  $JASC,BEAC,1"},
    {"$JASC,VIRTUAL,r[,OTHER]",
     "Turn on/off Virtual RTCM Output. Virtual RTCM is simply RTCM fed into the other port.\r\n"
     "r =  0 for off, 1 for on\r\n"
     "(use the keyword OTHER to configure the other port)\r\n"
     "Some receivers do not support this command.\r\n"
     "EXAMPLE:  turn on Virtual RTCM  $JASC,VIRTUAL,1"},
    {"$JASC,Dx,r[,OTHER]",
     "Turn on/off Diagnostics message x\r\n"
     "r = 0 or 1 Hz\r\n"
     "x = 1 (more may be added)\r\n"
     "(use the keyword OTHER to configure the other port)\r\n"
     "EXAMPLE:  turn off diag 1  $JASC,D1,0"},
    {"$JASC,X,r[,OTHER]",
     "Turn on/off Internal Debug messages\r\n"
     "r = 0 or 1\r\n"
     "(use the keyword OTHER to configure the other port)\r\n"
     "EXAMPLE:  turn on debug   $JASC,X,1"},
    {"$JAGE,age",
     "Set the age at which the differential correctors will time out\r\n"
     "age = time-out in seconds.\r\n"
     "EXAMPLE:  set age to 30 seconds   $JAGE,30"},
    {"$JAIR,m",
     "Turn on air mode so that receiver responds better to higher dynamics and signal fades\r\n"
     "m = 0 turn off air mode\r\n"
     "m = 1 turn on air mode\r\n"
     "NOTE: Air mode is defaulted to automatic mode (kicks on at 30 m/s) until a user issues the $JAIR command.  From that point it is in manual mode (either ON or OFF).  If the user then issues a $JSAVE, it will remain in manual mode indefinitely (even after power off).  It then can only be put back to manual by $JRESET.\r\n"
     "EXAMPLE:  turn air mode on   $JAIR,1"},
    {"$JALT,c,v[,GEOID]",
     "Configure altitude aiding\r\n"
     "c = NEVER, ALWAYS,SOMETIMES\r\n"
     "if c = ALWAYS, v = ellipsoid altitude in meters, Use GEOID to specify Geoid Altitude\r\n"
     "if c = SOMETIMES, v = PDOP threshold\r\n"
     "if c = NEVER, v is ignored\r\n"
     "Default = NEVER\r\n"
     "EXAMPLE: use altitude aiding at pdop=4.0   $JALT,SOMETIMES,4.0"},
    {"$JAPP[,app]",
     "Change or display the application in dual application receivers\r\n"
     "app = 1, 2, OTHER, or omitted\r\n"
     "app =1 --> Change and Reboot to Application 1.\r\n"
     "app =2 --> Change and Reboot to Application 2.\r\n"
     "app =OTHER --> Change and Reboot to the application that is not current\r\n"
     "if app omitted --> the receiver replies with $>JAPP,ThisApp,OtherApp.\r\n"
     "where ThisApp is the active application and OtherApp is not active\r\n"
     "EXAMPLE: Change and reboot to non-active application JAPP,OTHER"},
    {"$JCONN,p",
     "establish a virtual connection between two ports\r\n"
     "p = C --> connect current port to port C (DSP port)\r\n"
     "p = AB --> connect port A and B together\r\n"
     "p = X --> disconnect the ports\r\n"
     "Some receivers do not support this command\r\n"
     "EXAMPLE:  connect current port to port C  $JCONN,C"},
    {"$JDCO,v",
     "Set the frequency offset of the TCXO (at L1) stored in the ARM.\r\n"
     "Here, v is a double in Hz.  It is only used if the ARM does not have a navigation solution.\r\n"
     "EXAMPLE:  Zero the TCXO value  $JDCO,0.0"},
    {"$JDIFF,option",
     "Select source of differential\r\n"
     "option = THIS --> get diff from this port.\r\n"
     "option = OTHER --> get diff from other port.\r\n"
     "option = BEACON --> get diff from beacon (port C).\r\n"
     "option = LBAND --> get diff from L-Band.\r\n"
     "option = WAAS --> get diff from WAAS/EGNOS/MSAT.  LBAND can be used instead\r\n"
     "option = NONE --> Turn Off the Use of Differential\r\n"
     "Note: $JDIFF with no argument replies with the current setting.\r\n"
     "EXAMPLE:  differential source L-Band   $JDIFF,1,LBAND"},
    {"$JFREQ,KHz,r",
     "KHz is the L-Band frequency in KHz\r\n"
     "r is the Symbol Rate (1200 or 2400 baud)\r\n"
     "Force differential frequency and symbol rate to these values and stop\r\n"
     "using spot beam tables.  A frequency value of 0 KHz will re-enable the use \r\n"
     "of spot beam tables.\r\n"
     "Note: If no arguments specified, this command replies with the first line of the $JLBEAM reply\r\n"
     "EXAMPLE:  $JFREQ,1551489,1200"},
    {"$JGEO[,ALL]",
     "display current L-Band[or WAAS] satellite's Freq, BitRate[or PRN], Longitude, Elevation and Azimute\r\n"
     "BitRate is reported for L-Band, PRN is reported for WAAS.\r\n"
     "Some receivers do not support this command.\r\n"
     "Use ,ALL on WAAS enabled receivers to see ALL WAAS Satellites.\r\n"
     "EXAMPLE:  $JGEO"},
    {"$JI",
     "display receiver information\r\n"
     "Format For JI reply:\r\n"
     "UnitNumber, Fleet, HardwareVersion, DateCode, StartDate, ExpirationDate, ARMSoftwareVersion, DSPSoftwareVersion\r\n"
     "EXAMPLE:  $JI"},
    {"$JLBEAM",
     "display current spot beams\r\n"
     "EXAMPLE:  $JLBEAM"},
    {"$JLXBEAM",
     "display debug information for spot beam updates\r\n"
     "EXAMPLE:  $JLXBEAM"},
    {"$JLIMIT,v",
     "Set residual threshold for Green LED light.\r\n"
     "v is in meters ranging from 1.0 to 50.0.\r\n"
     "You must have differential and rms pseudo residual less than v before green light becomes solid (non-blinking)\r\n"
     "Default = 10.0\r\n"
     "EXAMPLE:  Set green LED light threshold to 2 meters  $JLIMIT,2.0"},
    {"$JMASK,e",
     "Configure elevation mask\r\n"
     "e = 0, 1, 2, ... 60 degrees\r\n"
     "Default = 0.0\r\n"
     "EXAMPLE:  use 5 deg mask  $JMASK,5"},
    {"$JOFF[,OTHER]",
     "Turn off All messages.\r\n"
     "(use the keyword OTHER to configure the other port)\r\n"
     "EXAMPLE:  turn off all messages on this port  $JOFF"},
    {"$JOMS",
     "Display Raw OmniSTAR Subscription Information\r\n"
     "Reply Format:  $>JOMS,Opt,Source,Type,AccrReduction,StartDate,EndDate,\r\n"
     "HourGlass,ExtentionTime,LinkVector,SoftwreVersion\r\n"
     "Where:\r\n"
     "Opt = WET or DRY\r\n"
     "Source = RTCM source ID or ALL if VBS\r\n"
     "Type =VBS, VRC, or SINGLE_SITE\r\n"
     "AccrReduction(0 is most accurate)\r\n"
     "StartDate = subscription start date\r\n"
     "EndDate = subscription end date\r\n"
     "HourGlass = seconds of metered time\r\n"
     "ExtentionTime = seconds of extention\r\n"
     "LinkVector = hexadecimal mask of links\r\n"
     "SoftwreVersion = omnistar library version\r\n"
     "EXAMPLE:  $JOMS"},
    {"$JOMR",
     "Display Raw OmniSTAR Region Information\r\n"
     "Prints: Lat, Lon and Radius for each region\r\n"
     "EXAMPLE:  $JOMR"},
    {"$JPOS,Lat,Lon",
     "Set your current location to be used at startup until a new location is found.\r\n"
     "Good for first-time start-ups in new spot beam\r\n"
     "Lat and Lon in degrees with Lon being negative for west\r\n"
     "EXAMPLE:  $JPOS,33.11,-111.25"},
    {"$JRESET[,ALL]",
     "Reset configuration to default and makes this permanent. Equivalent to $LIMIT,10  $JMASK,5  JALT,NEVER,0  $JAGE,60, $JOFF, $JOFF,OTHER, followed by a $JSAVE.  If ALL is included, this command also resets the Almanacs and clears spotbeams to defaults\r\n"
     "EXAMPLE:  clear only the user configuration  $JRESET"},
    {"$JSAVE",
     "Save the current configuration (make permanent)\r\n"
     "EXAMPLE:  $JSAVE"},
    {"$JSHOW[,subset]",
     "Show the current configuration\r\n"
     "If subset is specified (either CONF, or GP) shows a 1 line summary of a subset of $JSHOW\r\n"
     "subset = CONF the report is, for example  $>JSHOW,CONF,N,0.0,10.0,5,A,0,60,W\r\n"
     "where N=no altitude aiding, 0.0=aid-hgt/aid-pdop, 10.0=resid limit, 5=elev mask, A=auto air mode, 60=max diff age, W=WAAS differential\r\n"
     "subset = GP the report summarizes the NMEA strings\r\n"
     "EXAMPLE:  $JSHOW"},
    {"$JT",
     "display receiver type (eg. Rorir)\r\n"
     "EXAMPLE:  $JT"},
    {"$JWAASPRN[,sv1[,sv2]]",
     "display or set the active WAAS PRNs on WAAS enabled receivers\r\n"
     "sv1 and sv2 are WAAS PRNS (use 122 and 134 in North America)\r\n"
     "Use Either 1, 2, or no arguments.  With no arguments, the reply gives the current PRNs\r\n"
     "EXAMPLE:  Change the 1st WAAS PRN to 122   $JWAASPRN,122"},
}};
// clang-format on

bool HoldsComma(std::string_view typed) { return typed.find(',') != std::string_view::npos; }

}  // namespace

std::span<const CommandEntry> CommandCatalogue() { return kCatalogue; }

std::vector<std::string_view> HelpLines(const CommandEntry& entry) {
    std::vector<std::string_view> lines;
    if (entry.help.empty()) {
        return lines;
    }
    std::string_view rest = entry.help;
    for (auto end = rest.find(kLineBreak); end != std::string_view::npos; end = rest.find(kLineBreak)) {
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end + kLineBreak.size());
    }
    lines.push_back(rest);
    return lines;
}

std::string_view CommandName(std::string_view syntaxOrTyped) {
    return syntaxOrTyped.substr(0, syntaxOrTyped.find_first_of(",["));
}

std::vector<std::size_t> MatchingEntries(std::string_view typed) {
    const std::string_view name = CommandName(typed);
    const bool exact = HoldsComma(typed);
    std::vector<std::size_t> matches;
    for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
        const std::string_view entryName = CommandName(kCatalogue[i].syntax);
        if (exact ? EqualsNoCase(entryName, name) : StartsWithNoCase(entryName, name)) {
            matches.push_back(i);
        }
    }
    return matches;
}

std::optional<std::string> CompleteCommandName(std::string_view typed) {
    if (HoldsComma(typed)) {
        return std::nullopt;
    }
    const std::vector<std::size_t> matches = MatchingEntries(typed);
    if (matches.empty()) {
        return std::nullopt;
    }
    std::string_view common = CommandName(kCatalogue[matches.front()].syntax);
    for (const std::size_t i : matches) {
        const std::string_view name = CommandName(kCatalogue[i].syntax);
        const auto differ = std::ranges::mismatch(common, name).in1;
        common = common.substr(0, static_cast<std::size_t>(differ - common.begin()));
    }
    if (common.size() <= typed.size()) {
        return std::nullopt;
    }
    return std::string(common);
}

}  // namespace zarnmon
