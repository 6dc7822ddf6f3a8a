#pragma once

// "Open Receiver": which receiver to connect to. A serial port from the
// ports the system lists (or a device path typed in) with its baud rate, the
// built-in simulator, a receiver behind a TCP server, or a raw log replayed.

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <vector>

#include "gui/app/link_choice.h"
#include "gui/link/port_discovery.h"
#include "gui/state/app_context.h"

namespace zarnmon {

class COpenReceiverDialog final : public QDialog {
    Q_OBJECT

public:
    // Pages of the receiver kind list, in LinkChoice::Kind order.
    COpenReceiverDialog(const LinkSettings& current, QWidget* parent = nullptr);

    [[nodiscard]] LinkChoice Choice() const;

    // For tests and the command line: the controls.
    [[nodiscard]] QComboBox& KindBox() { return *kind_; }
    [[nodiscard]] QComboBox& PortBox() { return *port_; }
    [[nodiscard]] QComboBox& BaudBox() { return *baud_; }
    [[nodiscard]] QLineEdit& ReplayFileEdit() { return *replayFile_; }
    [[nodiscard]] QPushButton* OkButton() const;

private:
    QWidget* BuildSerialPage(const LinkSettings& current);
    QWidget* BuildSimulatorPage();
    QWidget* BuildTcpPage();
    QWidget* BuildReplayPage();
    void UpdateOk();
    [[nodiscard]] QString ChosenDevice() const;

    std::vector<PortEntry> ports_;
    QComboBox* kind_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QLineEdit* host_ = nullptr;
    QSpinBox* tcpPort_ = nullptr;
    QLineEdit* replayFile_ = nullptr;
    QComboBox* replaySpeed_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace zarnmon
