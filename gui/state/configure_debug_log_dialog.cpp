#include "gui/state/configure_debug_log_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QVBoxLayout>

#include "core/app/settings_keys.h"
#include "gui/state/dialog_parts.h"

namespace zarnmon {

namespace {

constexpr int kRowsPerColumn = 8;

}  // namespace

CConfigureDebugLogDialog::CConfigureDebugLogDialog(Initial initial, CSettingsStore& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Configure Debug Log"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int k = 0; k < kMessages; ++k) {
        auto* box = new QCheckBox(QStringLiteral("Log Message %1").arg(k + 1), this);
        box->setChecked(((initial.mask >> k) & 1U) != 0);
        grid->addWidget(box, k % kRowsPerColumn, k / kRowsPerColumn);
        boxes_[static_cast<std::size_t>(k)] = box;
    }
    layout->addLayout(grid);
    layout->addWidget(OkCancelButtons(*this));
}

CConfigureDebugLogDialog::CConfigureDebugLogDialog(std::uint32_t& mask, CSettingsStore& settings, QWidget* parent)
    : CConfigureDebugLogDialog(Initial{mask}, settings, parent) {
    plainMask_ = &mask;
}

CConfigureDebugLogDialog::CConfigureDebugLogDialog(CDebugLogMask& mask, CSettingsStore& settings, QWidget* parent)
    : CConfigureDebugLogDialog(Initial{mask.Get(settings)}, settings, parent) {
    sharedMask_ = &mask;
}

std::uint32_t CConfigureDebugLogDialog::MaskFromBoxes() const {
    std::uint32_t mask = 0;
    for (int k = 0; k < kMessages; ++k) {
        if (boxes_[static_cast<std::size_t>(k)]->isChecked()) {
            mask |= 1U << k;
        }
    }
    return mask;
}

QCheckBox& CConfigureDebugLogDialog::MessageCheckBox(int n) const {
    return *boxes_.at(static_cast<std::size_t>(n - 1));
}

void CConfigureDebugLogDialog::accept() {
    const std::uint32_t mask = MaskFromBoxes();
    if (sharedMask_ != nullptr) {
        sharedMask_->Set(mask, settings_);
    } else {
        *plainMask_ = mask;
        SaveDebugLogMask(settings_, mask);
    }
    SaveProfileNow(settings_);
    QDialog::accept();
}

}  // namespace zarnmon
