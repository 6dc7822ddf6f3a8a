#include "gui/app/toolkit_notices.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>

namespace zarnmon {

namespace {

// Qt's handler is a plain function with no context: the one it replaced
// has to live at namespace scope, for the whole run.
QtMessageHandler previousHandler = nullptr;

void DropRoutineNotices(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const QByteArray text = message.toLocal8Bit();
    if (type == QtWarningMsg && IsRoutineToolkitNotice(std::string_view(text.constData(), text.size()))) {
        return;
    }
    previousHandler(type, context, message);
}

}  // namespace

bool IsRoutineToolkitNotice(std::string_view message) {
    static constexpr std::array<std::string_view, 3> kRoutine{
        "This plugin does not support propagateSizeHints()",
        "QStandardPaths: XDG_RUNTIME_DIR not set",
        "QStandardPaths: runtime directory",
    };
    for (const std::string_view routine : kRoutine) {
        if (message.starts_with(routine)) {
            return true;
        }
    }
    return false;
}

void QuietenRoutineToolkitNotices() {
    // Installed once, before the application object; the handler it replaces
    // (Qt's own) prints everything else.
    if (previousHandler == nullptr) {
        previousHandler = qInstallMessageHandler(DropRoutineNotices);
    }
}

}  // namespace zarnmon
