#include "gui/state/neu_graph_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>
#include <cmath>

#include "gui/state/dialog_parts.h"

namespace zarnmon {

CNeuGraphDialog::CNeuGraphDialog(const PlotSettings& current, CSettingsStore& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), result_(current) {
    setWindowTitle(QStringLiteral("Configure NEU Graph"));
    auto* layout = new QVBoxLayout(this);
    auto* rows = new QFormLayout;
    metres_ = new QLineEdit(QLocale::c().toString(current.rangeTenths * 0.1, 'f', 1), this);
    minutes_ = new QLineEdit(QString::number(current.minutes), this);
    // The labels are the fields' buddies, so a field is found by its label.
    rows->addRow(QStringLiteral("Meters For Y-Axis:"), metres_);
    rows->addRow(QStringLiteral("Minutes Along X-Axis:"), minutes_);
    layout->addLayout(rows);
    error_ = RefusalLabel(*this);
    layout->addWidget(error_);
    layout->addWidget(OkCancelButtons(*this));
}

std::optional<FieldError> CNeuGraphDialog::Validate(const QString& metres, const QString& minutes) {
    if (auto message = CheckNumber(metres, kMinPlotMeters, kMaxPlotMeters)) {
        return FieldError{kMetersField, *message};
    }
    if (auto message = CheckNumber(minutes, kMinPlotMinutes, kMaxPlotMinutes)) {
        return FieldError{kMinutesField, *message};
    }
    return std::nullopt;
}

QString CNeuGraphDialog::ErrorText() const { return error_->text(); }

void CNeuGraphDialog::accept() {
    if (const auto error = Validate(metres_->text(), minutes_->text())) {
        ShowRefusal(*error_, error->field == kMetersField ? *metres_ : *minutes_, error->message);
        return;
    }
    result_.rangeTenths = RangeTenthsFromMeters(*ReadNumber(metres_->text()));
    result_.minutes = static_cast<int>(std::lround(*ReadNumber(minutes_->text())));
    SavePlotSettings(settings_, result_);
    SaveProfileNow(settings_);
    QDialog::accept();
}

}  // namespace zarnmon
