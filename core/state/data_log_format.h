#pragma once

// The text of the data log: its header line, its rows and the names of its
// day files. Everything is read from the stored messages as they stand (an
// empty handler reads as zeros), so a row can always be written.
//
// Column labels and number formats are fixed by the files users already
// process; they are kept exactly, including the "_Ch"/"_CH" mix of the L2
// labels.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/link/bin_catalogue.h"
#include "core/link/text_msg_handler.h"
#include "core/state/reference_position.h"

namespace zarnmon {

inline constexpr int kDataLogChannels = 15;    // 12 of message 99, 3 of message 89
inline constexpr int kDataLogL2Channels = 12;  // records of message 100

// The stored messages one row is made of.
struct DataLogSources {
    Msg1View msg1;
    Msg2View msg2;
    Msg99View msg99;
    Msg89View msg89;
    Msg100View msg100;
    const CTextMsgHandler* rd1 = nullptr;  // the last "$RD1," line; null reads as empty fields
    std::int32_t gpsUtcOffset = 0;
};

struct DataLogRowOptions {
    bool logErrors = false;  // north/east/up errors instead of the position
    bool fullLog = false;    // the 15 channel groups
};

// The header line with its "\r\n". msg100Resolution selects the labels of
// the seventh L2 column (PosRes2 instead of C1mL1).
[[nodiscard]] std::string DataLogHeader(bool fullLog, bool msg100Resolution);

// Appends one row with its "\r\n". Errors are written only when asked for
// and the reference is valid; otherwise the position itself.
void AppendDataLogRow(std::string& out, const DataLogSources& sources, const CReferencePosition& reference,
                      const DataLogRowOptions& options);

// "12-05-26" from "12/05/26  10:15:00": the date part with "-" for "/".
[[nodiscard]] std::string DayFileDateText(std::string_view dateTimeText);

// The day file of a chosen path: "C:\data\run.txt" on 5 December 2026 gives
// "C:\data\run-12-05-26.txt"; no usable extension gives ".LOG".
[[nodiscard]] std::string DayFileName(std::string_view chosenPath, std::string_view dateText);

}  // namespace zarnmon
