#include "gui/state/adjust_residuals_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/state/dialog_parts.h"

namespace zarnmon {

CAdjustResidualsDialog::CAdjustResidualsDialog(bool timesTen, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Adjust Residuals"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("Adjust residuals (viewed in Channel Data) to those that would result if the receiver's "
                       "reported position was identical to the origin used by Zarnmon."),
        this);
    text->setWordWrap(true);
    layout->addWidget(text);
    // The two buttons share this parent and so exclude each other.
    normal_ = new QRadioButton(QStringLiteral("Adjust for normal Zarn Reveivers"), this);
    timesTen_ = new QRadioButton(QStringLiteral("Adjust for RTK Receivers (reporting residuals x 10)"), this);
    (timesTen ? timesTen_ : normal_)->setChecked(true);
    layout->addWidget(normal_);
    layout->addWidget(timesTen_);
    layout->addWidget(OkCancelButtons(*this));
}

bool CAdjustResidualsDialog::TimesTen() const { return timesTen_->isChecked(); }

bool AskStopAdjusting(QWidget* parent) {
    return QMessageBox::question(parent, QStringLiteral("ZarnMon"), QStringLiteral("Stop Adjusting?"),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void ToggleResidualAdjust(CResidualAdjust& adjust, bool msg99Resolution, QWidget* parent) {
    if (adjust.Adjusting()) {
        if (AskStopAdjusting(parent)) {
            adjust.Stop();
        }
        return;
    }
    CAdjustResidualsDialog dialog(adjust.DialogStartsOnTimesTen(msg99Resolution), parent);
    if (dialog.exec() == QDialog::Accepted) {
        adjust.Start(dialog.TimesTen(), msg99Resolution);
    }
}

}  // namespace zarnmon
