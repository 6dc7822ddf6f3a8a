#include "gui/state/configure_data_log_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/link/bin_catalogue.h"
#include "gui/state/dialog_parts.h"
#include "gui/state/field_check.h"
#include "gui/state/user_location_dialog.h"

namespace zarnmon {

CConfigureDataLogDialog::CConfigureDataLogDialog(LogSettings& options, CSettingsStore& settings, QWidget* parent)
    : QDialog(parent), options_(options), settings_(settings) {
    options_ = LoadLogSettings(settings_, options_);

    setWindowTitle(QStringLiteral("Configure Data Log"));
    auto* layout = new QVBoxLayout(this);
    logErrors_ = new QCheckBox(QStringLiteral("Log N-E-Up Errors"), this);
    logErrors_->setChecked(options_.logErrors);
    layout->addWidget(logErrors_);
    fullLog_ = new QCheckBox(QStringLiteral("Detailed Log"), this);
    fullLog_->setChecked(options_.fullLog);
    layout->addWidget(fullLog_);

    auto* intervalRow = new QHBoxLayout;
    intervalRow->addWidget(new QLabel(QStringLiteral("Interval (sec)"), this));
    interval_ = new QLineEdit(QString::number(options_.interval), this);
    interval_->setMaxLength(8);
    intervalRow->addWidget(interval_);
    auto* up = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    up->setAutoRepeat(true);
    auto* down = new QToolButton(this);
    down->setArrowType(Qt::DownArrow);
    down->setAutoRepeat(true);
    connect(up, &QToolButton::clicked, this, [this] { StepInterval(1); });
    connect(down, &QToolButton::clicked, this, [this] { StepInterval(-1); });
    intervalRow->addWidget(up);
    intervalRow->addWidget(down);
    intervalRow->addStretch(1);
    layout->addLayout(intervalRow);

    autoLog_ = new QCheckBox(QStringLiteral("Automatic 1 day file names"), this);
    autoLog_->setChecked(options_.autoLog);
    layout->addWidget(autoLog_);

    error_ = RefusalLabel(*this);
    layout->addWidget(error_);
    layout->addWidget(OkCancelButtons(*this));
}

std::optional<QString> CConfigureDataLogDialog::ValidateInterval(const QString& text) {
    return CheckInteger(text, kMinInterval, kMaxInterval);
}

void CConfigureDataLogDialog::StepInterval(int steps) {
    const int current = ReadInteger(interval_->text()).value_or(kMinInterval);
    // Widened so that a huge typed number cannot overflow on the step.
    const long long next = static_cast<long long>(current) + steps;
    interval_->setText(QString::number(std::clamp<long long>(next, kMinInterval, kMaxInterval)));
}

QString CConfigureDataLogDialog::ErrorText() const { return error_->text(); }

void CConfigureDataLogDialog::accept() {
    if (const auto message = ValidateInterval(interval_->text())) {
        ShowRefusal(*error_, *interval_, *message);
        return;
    }
    options_.logErrors = logErrors_->isChecked();
    options_.fullLog = fullLog_->isChecked();
    options_.interval = *ReadInteger(interval_->text());
    options_.autoLog = autoLog_->isChecked();
    SaveLogSettings(settings_, options_);
    SaveProfileNow(settings_);
    QDialog::accept();
}

bool RunConfigureDataLog(LogSettings& options, CReferencePosition& reference, const CMsgDispatcher& dispatcher,
                         CSettingsStore& settings, QWidget* parent) {
    const auto receiver = [&dispatcher] { return PositionOf(Msg1View(dispatcher.Handler(Slots::Msg1).LastMessage())); };
    if (!reference.IsValid()) {
        LoadReferencePosition(reference, settings, receiver());
    }
    CConfigureDataLogDialog dialog(options, settings, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    // Errors need a reference to be taken against: ask for one now.
    if (options.logErrors && !reference.IsValid()) {
        CUserLocationDialog location(reference, dispatcher, settings, parent);
        location.exec();
    }
    return true;
}

}  // namespace zarnmon
