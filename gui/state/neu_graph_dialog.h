#pragma once

// "Configure NEU Graph": the vertical range of the NEU plot in metres
// (0.1..2000) and the minutes along its x axis (1..1440). OK with both in
// range writes them to "PlotSettings" (the range kept as tenths of a metre,
// the minutes rounded); otherwise the dialog stays open with the reason
// shown and the field selected. The caller reconfigures the history.

#include <QDialog>
#include <optional>

#include "core/app/settings_store.h"
#include "core/state/neu_history.h"
#include "gui/state/field_check.h"

class QLabel;
class QLineEdit;

namespace zarnmon {

class CNeuGraphDialog final : public QDialog {
    Q_OBJECT

public:
    enum Field { kMetersField = 0, kMinutesField = 1 };

    CNeuGraphDialog(const PlotSettings& current, CSettingsStore& settings, QWidget* parent = nullptr);

    [[nodiscard]] static std::optional<FieldError> Validate(const QString& metres, const QString& minutes);

    [[nodiscard]] QLineEdit& MetersEdit() const { return *metres_; }
    [[nodiscard]] QLineEdit& MinutesEdit() const { return *minutes_; }
    // Why OK was refused last; empty until it was.
    [[nodiscard]] QString ErrorText() const;
    // What OK wrote.
    [[nodiscard]] const PlotSettings& Result() const { return result_; }

    void accept() override;

private:
    CSettingsStore& settings_;
    QLineEdit* metres_ = nullptr;
    QLineEdit* minutes_ = nullptr;
    QLabel* error_ = nullptr;
    PlotSettings result_;
};

}  // namespace zarnmon
