#pragma once

// Pieces every dialog of the program is built with: OK and Cancel wired to
// accept and reject, and the label that says why typed text was refused.

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>

namespace zarnmon {

[[nodiscard]] inline QDialogButtonBox* OkCancelButtons(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

// Empty until something is refused.
[[nodiscard]] inline QLabel* RefusalLabel(QWidget& parent) {
    auto* label = new QLabel(&parent);
    label->setWordWrap(true);
    return label;
}

// Shows why and selects the field, so that the user can type it again.
inline void ShowRefusal(QLabel& label, QLineEdit& edit, const QString& message) {
    label.setText(message);
    edit.setFocus();
    edit.selectAll();
}

}  // namespace zarnmon
