#pragma once

// "Open Receiver": which receiver to connect to. A serial port from the
// ports the system lists (or a device path typed in) with its baud rate, the
// built-in simulator, a receiver behind a TCP server, or a raw log replayed.
//
// Each entry of the receiver list carries its LinkChoice::Kind and shows the
// page of that kind, so the list's order is free. OK stays disabled while the
// page holds something the link could not open with (no port, a baud rate
// that is not a positive number, no host, a raw log that is missing or
// unreadable), and the reason is shown under the page. A raw log is checked
// again on OK, since the file may have gone meanwhile; a failure then is
// shown in a message box and the dialog stays open.

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <map>
#include <vector>

#include "gui/app/link_choice.h"
#include "gui/link/port_discovery.h"
#include "gui/state/app_context.h"

class QEvent;

namespace zarnmon {

class COpenReceiverDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr quint32 kMaxBaud = 4000000;

    COpenReceiverDialog(const LinkSettings& current, QWidget* parent = nullptr);

    // What the user chose; meaningful once the dialog was accepted.
    [[nodiscard]] LinkChoice Choice() const;
    // Why OK is disabled on the chosen page, in words; empty when it is not.
    [[nodiscard]] QString Problem() const { return problem_->text(); }

    // The controls, for tests and the command line.
    [[nodiscard]] QComboBox& KindBox() { return *kind_; }
    [[nodiscard]] QComboBox& PortBox() { return *port_; }
    [[nodiscard]] QComboBox& BaudBox() { return *baud_; }
    [[nodiscard]] QLineEdit& HostEdit() { return *host_; }
    [[nodiscard]] QSpinBox& TcpPortBox() { return *tcpPort_; }
    [[nodiscard]] QLineEdit& ReplayFileEdit() { return *replayFile_; }
    [[nodiscard]] QComboBox& ReplaySpeedBox() { return *replaySpeed_; }
    [[nodiscard]] QLabel& ProblemLabel() { return *problem_; }
    [[nodiscard]] QPushButton* OkButton() const;

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* BuildSerialPage(const LinkSettings& current);
    QWidget* BuildSimulatorPage();
    QWidget* BuildTcpPage();
    QWidget* BuildReplayPage();
    void AddKind(const QString& text, LinkChoice::Kind kind, QWidget* page);
    void ShowChosenPage();
    void UpdateOk();
    [[nodiscard]] LinkChoice::Kind ChosenKind() const;
    [[nodiscard]] QString ChosenDevice() const;
    [[nodiscard]] QString ChosenReplayFile() const;
    // What keeps the chosen page from opening a link; empty when nothing.
    [[nodiscard]] QString FindProblem() const;

    std::vector<PortEntry> ports_;
    QComboBox* kind_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    std::map<LinkChoice::Kind, QWidget*> pageOf_;
    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QLineEdit* host_ = nullptr;
    QSpinBox* tcpPort_ = nullptr;
    QLineEdit* replayFile_ = nullptr;
    QComboBox* replaySpeed_ = nullptr;
    QLabel* problem_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace zarnmon
