#pragma once

// "Configure Data Log": the data log's options. Constructing the dialog reads
// the four "LogSettings" keys into the options (each keeping its current value
// when its key is missing or unusable), so options that only the command line
// had set give way to the stored ones from then on. OK writes the keys and the
// options. The interval is an edit with a spin control: the arrows step within
// 0..3600, typed text is checked on OK and refused with the reason shown.

#include <QDialog>
#include <optional>

#include "core/app/settings_keys.h"
#include "core/app/settings_store.h"
#include "core/link/msg_dispatcher.h"
#include "core/state/reference_position.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace zarnmon {

class CConfigureDataLogDialog final : public QDialog {
    Q_OBJECT

public:
    CConfigureDataLogDialog(LogSettings& options, CSettingsStore& settings, QWidget* parent = nullptr);

    // The reason an interval text is refused; nothing for 0..3600.
    [[nodiscard]] static std::optional<QString> ValidateInterval(const QString& text);

    // The spin control: moves the interval by steps, kept within 0..3600; text
    // that is no number starts from 0.
    void StepInterval(int steps);

    [[nodiscard]] QLineEdit& IntervalEdit() const { return *interval_; }
    [[nodiscard]] QCheckBox& LogErrorsBox() const { return *logErrors_; }
    [[nodiscard]] QCheckBox& FullLogBox() const { return *fullLog_; }
    [[nodiscard]] QCheckBox& AutoLogBox() const { return *autoLog_; }
    // Why OK was refused last; empty until it was.
    [[nodiscard]] QString ErrorText() const;

    void accept() override;

private:
    LogSettings& options_;
    CSettingsStore& settings_;
    QCheckBox* logErrors_ = nullptr;
    QCheckBox* fullLog_ = nullptr;
    QLineEdit* interval_ = nullptr;
    QCheckBox* autoLog_ = nullptr;
    QLabel* error_ = nullptr;
};

// The menu command "Configure Log Interval and Data Amount": loads an invalid
// reference first, shows the dialog, and after OK with "Log N-E-Up Errors" on
// and still no valid reference opens "User Location". True on OK.
bool RunConfigureDataLog(LogSettings& options, CReferencePosition& reference, const CMsgDispatcher& dispatcher,
                         CSettingsStore& settings, QWidget* parent);

}  // namespace zarnmon
