#pragma once

// What the windows that start logs share: the save dialog that picks a log's
// file, and the words the user gets when a log cannot start or stops.

#include <QString>
#include <string>

#include "core/state/log_file.h"

class QWidget;

namespace zarnmon {

// A save dialog that adds the log's extension and asks before overwriting;
// empty when cancelled.
[[nodiscard]] QString ChooseLogFile(QWidget* parent, const CLogFile& file, const QString& title);

// The message of a log that could not be opened, then where and why.
[[nodiscard]] QString LogOpenFailureText(const QString& path, const std::string& reason);
// The message of a log that failed while writing and has closed itself.
[[nodiscard]] QString LogWriteFailureText(const QString& path, const QString& reason);

}  // namespace zarnmon
