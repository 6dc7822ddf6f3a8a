#include "gui/state/log_file_dialog.h"

#include <QFileDialog>

namespace zarnmon {

namespace {

const char* const kOpenFailed = "Failed to open file.  Make sure that it is not open in another application.";

}  // namespace

QString ChooseLogFile(QWidget* parent, const CLogFile& file, const QString& title) {
    const QString extension = QString::fromStdString(file.DefaultExtension());
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(extension);
    dialog.setNameFilters({QStringLiteral("%1 Files (*.%1)").arg(extension), QStringLiteral("All Files (*)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

QString LogOpenFailureText(const QString& path, const std::string& reason) {
    return QStringLiteral("%1\n\n%2: %3").arg(QString::fromLatin1(kOpenFailed), path, QString::fromStdString(reason));
}

QString LogWriteFailureText(const QString& path, const QString& reason) {
    return QStringLiteral("Writing %1 failed: %2. The log is closed.").arg(path, reason);
}

}  // namespace zarnmon
