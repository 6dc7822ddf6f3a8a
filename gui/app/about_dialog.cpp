#include "gui/app/about_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/app/command_line.h"
#include "gui/state/app_icons.h"
#include "gui/state/latin1.h"

namespace zarnmon {

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Latin1(kAboutTitle));
    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(ApplicationIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
    header->addWidget(icon);
    header->addWidget(new QLabel(Latin1(kVersionText), this), 1);
    layout->addLayout(header);

    auto* group = new QGroupBox(Latin1(kCommandLineOptionsTitle), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* options = new QPlainTextEdit(group);
    options->setReadOnly(true);
    options->setLineWrapMode(QPlainTextEdit::NoWrap);
    QString text = Latin1(CommandLineOptionsText());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    options->setPlainText(text);
    options->setMinimumSize(440, 220);
    groupLayout->addWidget(options);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace zarnmon
