#pragma once

#include <QDialog>

namespace zarnmon {

// "About ZarnMon": the version and the command line options.
class CAboutDialog final : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};

}  // namespace zarnmon
