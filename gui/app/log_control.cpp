#include "gui/app/log_control.h"

#include <QFileInfo>
#include <QMessageBox>
#include <ctime>

#include "core/app/settings_keys.h"
#include "core/link/bin_catalogue.h"
#include "gui/state/configure_data_log_dialog.h"
#include "gui/state/log_file_dialog.h"
#include "gui/state/user_location_dialog.h"

namespace zarnmon {

namespace {

QString FileName(const std::string& path) { return QFileInfo(QString::fromStdString(path)).fileName(); }

}  // namespace

CLogControl::CLogControl(CAppContext& context, QWidget* dialogParent)
    : context_(context),
      dialogParent_(dialogParent),
      data_(context.dispatcher, context.clock, context.reference),
      phase_(context.dispatcher) {
    data_.SetOptions(LoadLogSettings(context.settings));
}

void CLogControl::OnMessage(const CMsgHandler& handler) {
    data_.OnMessage(handler);
    phase_.OnMessage(handler);
    CheckFailures();
}

void CLogControl::OnBytes(std::span<const std::uint8_t> chunk) {
    binary_.WriteReceivedBytes(chunk);
    CheckFailures();
}

void CLogControl::OnConnect() {
    data_.Stop();
    binary_.Stop();
    if (phase_.IsOpen()) {
        phase_.Stop();
    }
}

void CLogControl::EnsureReferenceLoaded() {
    if (referenceLoaded_) {
        return;
    }
    const Msg1View msg1(context_.dispatcher.Handler(Slots::Msg1).LastMessage());
    referenceLoaded_ = LoadReferencePosition(context_.reference, context_.settings, PositionOf(msg1));
}

void CLogControl::ReportOpenFailure(const QString& path, const std::string& reason) {
    const QString text = LogOpenFailureText(path, reason);
    // At start-up the box must not hold up the window behind it.
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("ZarnMon"), text, QMessageBox::Ok, dialogParent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    emit openFailed(text);
}

void CLogControl::ToggleDataLog() {
    if (data_.IsRecording()) {
        data_.Stop();
        return;
    }
    const QString path = ChooseLogFile(dialogParent_, CLogFile("log"), QStringLiteral("Log Data to File"));
    if (path.isEmpty()) {
        return;
    }
    if (!data_.Start(path.toStdString(), false)) {
        ReportOpenFailure(path, data_.OpenError());
    }
}

void CLogControl::ToggleBinaryLog() {
    if (binary_.IsOpen()) {
        binary_.Stop();
        return;
    }
    const QString path = ChooseLogFile(dialogParent_, binary_.File(), QStringLiteral("Log Binary Data to a File"));
    if (!path.isEmpty() && !binary_.Start(path.toStdString())) {
        ReportOpenFailure(path, binary_.File().OpenError());
    }
}

void CLogControl::TogglePhaseLog() {
    if (phase_.IsOpen()) {
        phase_.Stop();
        return;
    }
    const QString path = ChooseLogFile(dialogParent_, phase_.File(), QStringLiteral("Log Binary Phase Data to a File"));
    if (!path.isEmpty() && !phase_.Start(path.toStdString())) {
        ReportOpenFailure(path, phase_.File().OpenError());
    }
}

void CLogControl::StartFromCommandLine(const CommandLine& commandLine) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    const StartupLogs names = StartupLogNames(commandLine, local);
    if (!names.dataLog.empty() && !data_.Start(names.dataLog, false)) {
        ReportOpenFailure(QString::fromStdString(names.dataLog), data_.OpenError());
    }
    if (!names.binaryLog.empty() && !binary_.Start(names.binaryLog)) {
        ReportOpenFailure(QString::fromStdString(names.binaryLog), binary_.File().OpenError());
    }
    CheckFailures();
}

void CLogControl::ConfigureDataLog() {
    LogSettings options = data_.Options();
    if (RunConfigureDataLog(options, context_.reference, context_.dispatcher, context_.settings, dialogParent_)) {
        data_.SetOptions(options);
    }
}

void CLogControl::ConfigureLocation() {
    CUserLocationDialog dialog(context_.reference, context_.dispatcher, context_.settings, dialogParent_);
    if (dialog.exec() == QDialog::Accepted) {
        referenceLoaded_ = true;
    }
}

KeepAliveNeeds CLogControl::Needs(bool waasProcessing) const {
    KeepAliveNeeds needs;
    needs.dataLog = data_.IsRecording();
    needs.phaseLog = phase_.IsOpen();
    needs.msg94Logged = phase_.Msg94Seen();
    needs.waasProcessing = waasProcessing;
    return needs;
}

QString CLogControl::StatusText() const {
    QStringList parts;
    if (data_.IsOpen()) {
        parts << QStringLiteral("Log: %1 (%2 rows)").arg(FileName(data_.FilePath())).arg(data_.RowsWritten());
    } else if (data_.IsPending()) {
        parts << QStringLiteral("Log: waiting for the first fix");
    }
    if (binary_.IsOpen()) {
        parts << QStringLiteral("Bin: %1 (%2 KB)").arg(FileName(binary_.Path())).arg(binary_.BytesWritten() / 1024);
    }
    if (phase_.IsOpen()) {
        parts
            << QStringLiteral("Phase: %1 (%2 frames)").arg(FileName(phase_.File().Path())).arg(phase_.FramesWritten());
    }
    return parts.join(QStringLiteral("  "));
}

void CLogControl::CheckFailures() {
    // A failed log has closed itself; the user hears of it once.
    for (auto failure : {data_.TakeFailure(), binary_.TakeFailure(), phase_.TakeFailure()}) {
        if (failure) {
            emit failed(QString::fromStdString(failure->path), QString::fromStdString(failure->reason));
        }
    }
}

}  // namespace zarnmon
