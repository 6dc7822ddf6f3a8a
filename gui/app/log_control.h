#pragma once

// The main frame's logs: the data log, the binary log of every received
// chunk and the phase log, with the save dialogs that start them, the
// reference position the data log measures errors against, and the one
// report a failing log gets. The logs themselves are the core's; this only
// connects them to the window.

#include <QObject>
#include <QString>
#include <QWidget>
#include <span>

#include "core/app/command_line.h"
#include "core/link/link_housekeeping.h"
#include "core/state/binary_log.h"
#include "core/state/data_log.h"
#include "core/state/phase_log.h"
#include "core/state/reference_position.h"
#include "gui/state/app_context.h"

namespace zarnmon {

class CLogControl final : public QObject {
    Q_OBJECT

public:
    CLogControl(CAppContext& context, QWidget* dialogParent);

    // Every notification of the main frame's handlers.
    void OnMessage(const CMsgHandler& handler);
    // Instead, for a message the logs already have (a replay going over it
    // again): nothing is written, and the logs keep their place.
    void PassOver(const CMsgHandler& handler) { phase_.PassOver(handler); }
    // Every chunk received, after the dispatcher has it.
    void OnBytes(std::span<const std::uint8_t> chunk);
    // A new connection: the logs of the last one end.
    void OnConnect();
    // Once per keep-alive tick: loads the reference position the first time.
    void EnsureReferenceLoaded();

    // The menu toggles; each asks for a file when it starts a log.
    void ToggleDataLog();
    void ToggleBinaryLog();
    void TogglePhaseLog();
    // The -LOG: and -LOGB: options: no dialog; a file that cannot be opened
    // is reported as from the menu. The data log's options are the caller's.
    void StartFromCommandLine(const CommandLine& commandLine);
    // "Configure Log Interval and Data Amount" and "Configure location for Log Errors".
    void ConfigureDataLog();
    void ConfigureLocation();

    [[nodiscard]] KeepAliveNeeds Needs(bool waasProcessing) const;
    [[nodiscard]] bool DataLogRecording() const { return data_.IsRecording(); }
    [[nodiscard]] bool BinaryLogOpen() const { return binary_.IsOpen(); }
    [[nodiscard]] bool PhaseLogOpen() const { return phase_.IsOpen(); }
    // "Log: run.log (12 rows)  Bin: raw.bin (3 KB)", empty when nothing records.
    [[nodiscard]] QString StatusText() const;
    [[nodiscard]] CDataLog& DataLog() { return data_; }

signals:
    // A log failed to write and closed itself; reported once per failure.
    void failed(const QString& path, const QString& reason);
    // A log could not be started; text is what the message box says.
    void openFailed(const QString& text);

private:
    void ReportOpenFailure(const QString& path, const std::string& reason);
    void CheckFailures();

    CAppContext& context_;
    QWidget* dialogParent_;
    bool referenceLoaded_ = false;
    CDataLog data_;
    CBinaryLog binary_;
    CPhaseLog phase_;
};

}  // namespace zarnmon
