#pragma once

// The multi-line, read-only text boxes of the command forms, found by their
// ids as object names. The receiver's text is only shown, so there is no
// undo to keep.

#include <QPlainTextEdit>

namespace zarnmon {

[[nodiscard]] inline QPlainTextEdit* ReadOnlyBox(const char* id, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(QString::fromLatin1(id));
    box->setReadOnly(true);
    box->setUndoRedoEnabled(false);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return box;
}

}  // namespace zarnmon
