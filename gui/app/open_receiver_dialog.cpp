#include "gui/app/open_receiver_dialog.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

namespace zarnmon {

namespace {

constexpr int kMaxPortNameLength = 48;

// A baud rate as typed: a whole number from 1 to the most the dialog takes.
std::optional<quint32> ParseBaud(const QString& text) {
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok, 10);
    if (!ok || value == 0 || value > COpenReceiverDialog::kMaxBaud) {
        return std::nullopt;
    }
    return value;
}

// Why a raw log cannot be replayed, as far as the file's entry tells; empty
// when it looks readable. Opening it is left to OK: a path being typed must
// not open every prefix of itself.
QString ReplayFileProblem(const QString& path) {
    if (path.isEmpty()) {
        return QStringLiteral("Choose the raw log to replay.");
    }
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!info.exists()) {
        return QStringLiteral("Cannot replay %1: no such file.").arg(shown);
    }
    if (info.isDir()) {
        return QStringLiteral("Cannot replay %1: it is a folder, not a raw log.").arg(shown);
    }
    if (!info.isFile()) {
        return QStringLiteral("Cannot replay %1: it is not a file.").arg(shown);
    }
    if (!info.isReadable()) {
        return QStringLiteral("Cannot replay %1: permission denied.").arg(shown);
    }
    if (info.size() == 0) {
        return QStringLiteral("Cannot replay %1: the file is empty.").arg(shown);
    }
    return {};
}

}  // namespace

COpenReceiverDialog::COpenReceiverDialog(const LinkSettings& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Open Receiver"));
    auto* layout = new QVBoxLayout(this);
    auto* kindRow = new QFormLayout;
    kind_ = new QComboBox(this);
    kindRow->addRow(QStringLiteral("Receiver:"), kind_);
    layout->addLayout(kindRow);

    pages_ = new QStackedWidget(this);
    AddKind(QStringLiteral("Serial port"), LinkChoice::Kind::Serial, BuildSerialPage(current));
    AddKind(QStringLiteral("Built-in simulator"), LinkChoice::Kind::Simulator, BuildSimulatorPage());
    AddKind(QStringLiteral("TCP receiver..."), LinkChoice::Kind::Tcp, BuildTcpPage());
    AddKind(QStringLiteral("Replay raw log..."), LinkChoice::Kind::Replay, BuildReplayPage());
    layout->addWidget(pages_);
    connect(kind_, &QComboBox::currentIndexChanged, this, &COpenReceiverDialog::ShowChosenPage);

    problem_ = new QLabel(this);
    problem_->setWordWrap(true);
    problem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(problem_);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &COpenReceiverDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons_);
    ShowChosenPage();
}

void COpenReceiverDialog::AddKind(const QString& text, LinkChoice::Kind kind, QWidget* page) {
    kind_->addItem(text, static_cast<int>(kind));
    pages_->addWidget(page);
    pageOf_[kind] = page;
}

QWidget* COpenReceiverDialog::BuildSerialPage(const LinkSettings& current) {
    auto* group = new QGroupBox(QStringLiteral("Comm Port"), this);
    auto* form = new QFormLayout(group);
    port_ = new QComboBox(group);
    // Pseudo-terminals and unusual devices are not listed: a path can be typed.
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    port_->lineEdit()->setMaxLength(kMaxPortNameLength * 4);
    ports_ = DiscoverPorts();
    for (const PortEntry& entry : ports_) {
        port_->addItem(entry.displayName.left(kMaxPortNameLength), entry.devicePath);
    }
    const QString device = QString::fromStdString(current.device);
    const int selected = SelectPort(ports_, device);
    // A remembered device that is not listed (a pseudo-terminal, say) stays
    // as it was typed rather than giving way to the first listed port.
    const auto sameDevice = [](const QString& a, const QString& b) {
        return a == b || (!QFileInfo(a).canonicalFilePath().isEmpty() &&
                          QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath());
    };
    if (selected >= 0 &&
        (device.isEmpty() || sameDevice(ports_[static_cast<std::size_t>(selected)].devicePath, device))) {
        port_->setCurrentIndex(selected);
    } else {
        port_->setCurrentIndex(-1);
        port_->setEditText(device);
    }
    form->addRow(QStringLiteral("Port :"), port_);

    baud_ = new QComboBox(group);
    baud_->setEditable(true);
    // Digits only; a 0, an empty field or too large a rate is refused by UpdateOk.
    baud_->setValidator(new QIntValidator(0, static_cast<int>(kMaxBaud), baud_));
    for (const quint32 rate : kBaudRates) {
        baud_->addItem(QString::number(rate));
    }
    baud_->setEditText(QString::number(current.baud));
    form->addRow(QStringLiteral("Baud Rate :"), baud_);
    connect(port_, &QComboBox::currentTextChanged, this, &COpenReceiverDialog::UpdateOk);
    connect(baud_, &QComboBox::currentTextChanged, this, &COpenReceiverDialog::UpdateOk);
    return group;
}

QWidget* COpenReceiverDialog::BuildSimulatorPage() {
    auto* label = new QLabel(QStringLiteral("A simulated Zarn receiver inside the program: a moving constellation, "
                                            "WAAS messages and the receiver's replies, without hardware."),
                             this);
    label->setWordWrap(true);
    return label;
}

QWidget* COpenReceiverDialog::BuildTcpPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    host_ = new QLineEdit(QStringLiteral("127.0.0.1"), page);
    tcpPort_ = new QSpinBox(page);
    tcpPort_->setRange(1, 65535);
    tcpPort_->setValue(4001);
    form->addRow(QStringLiteral("Host :"), host_);
    form->addRow(QStringLiteral("Port :"), tcpPort_);
    connect(host_, &QLineEdit::textChanged, this, &COpenReceiverDialog::UpdateOk);
    return page;
}

QWidget* COpenReceiverDialog::BuildReplayPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    auto* fileRow = new QHBoxLayout;
    replayFile_ = new QLineEdit(page);
    auto* browse = new QPushButton(QStringLiteral("Browse..."), page);
    fileRow->addWidget(replayFile_, 1);
    fileRow->addWidget(browse);
    form->addRow(QStringLiteral("Raw log :"), fileRow);
    replaySpeed_ = new QComboBox(page);
    replaySpeed_->addItem(QStringLiteral("Real time (x1)"), static_cast<int>(ReplaySpeed::RealTime));
    replaySpeed_->addItem(QStringLiteral("Ten times (x10)"), static_cast<int>(ReplaySpeed::Times10));
    replaySpeed_->addItem(QStringLiteral("As fast as possible"), static_cast<int>(ReplaySpeed::Fastest));
    form->addRow(QStringLiteral("Speed :"), replaySpeed_);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Replay raw log"), replayFile_->text(),
                                                          QStringLiteral("Binary logs (*.bin *.zbin);;All files (*)"));
        if (!file.isEmpty()) {
            replayFile_->setText(file);
        }
    });
    connect(replayFile_, &QLineEdit::textChanged, this, &COpenReceiverDialog::UpdateOk);
    return page;
}

QPushButton* COpenReceiverDialog::OkButton() const { return buttons_->button(QDialogButtonBox::Ok); }

LinkChoice::Kind COpenReceiverDialog::ChosenKind() const {
    return static_cast<LinkChoice::Kind>(kind_->currentData().toInt());
}

QString COpenReceiverDialog::ChosenDevice() const {
    const int index = port_->currentIndex();
    // A listed entry chosen as it stands is known by its device path; any
    // other text is taken as a path the user typed.
    if (index >= 0 && port_->currentText() == port_->itemText(index)) {
        return port_->itemData(index).toString();
    }
    return port_->currentText().trimmed();
}

QString COpenReceiverDialog::ChosenReplayFile() const { return replayFile_->text().trimmed(); }

void COpenReceiverDialog::ShowChosenPage() {
    pages_->setCurrentWidget(pageOf_.at(ChosenKind()));
    UpdateOk();
}

QString COpenReceiverDialog::FindProblem() const {
    switch (ChosenKind()) {
        case LinkChoice::Kind::Serial:
            if (ChosenDevice().isEmpty()) {
                return QStringLiteral("Choose a port or type its device path.");
            }
            if (!ParseBaud(baud_->currentText())) {
                return QStringLiteral("The baud rate must be a whole number from 1 to %1.").arg(kMaxBaud);
            }
            return {};
        case LinkChoice::Kind::Tcp:
            if (host_->text().trimmed().isEmpty()) {
                return QStringLiteral("Type the name or address of the host that serves the receiver.");
            }
            return {};
        case LinkChoice::Kind::Replay:
            return ReplayFileProblem(ChosenReplayFile());
        case LinkChoice::Kind::Simulator:
            return {};
    }
    return {};
}

void COpenReceiverDialog::UpdateOk() {
    const QString problem = FindProblem();
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
    OkButton()->setEnabled(problem.isEmpty());
}

void COpenReceiverDialog::changeEvent(QEvent* event) {
    // A file or device may have appeared or gone while the user was away.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        UpdateOk();
    }
    QDialog::changeEvent(event);
}

void COpenReceiverDialog::accept() {
    QString problem = FindProblem();
    if (problem.isEmpty() && ChosenKind() == LinkChoice::Kind::Replay) {
        // The entry looked readable when it was typed; opening it says for sure.
        QFile file(ChosenReplayFile());
        if (!file.open(QIODevice::ReadOnly)) {
            problem = QStringLiteral("Cannot replay %1: %2")
                          .arg(QDir::toNativeSeparators(ChosenReplayFile()), file.errorString());
        }
    }
    UpdateOk();
    if (!problem.isEmpty()) {
        // OK looked usable when it was clicked: nothing opening needs saying.
        QMessageBox::warning(this, windowTitle(), problem);
        return;
    }
    QDialog::accept();
}

LinkChoice COpenReceiverDialog::Choice() const {
    LinkChoice choice;
    choice.kind = ChosenKind();
    choice.device = ChosenDevice();
    choice.baud = ParseBaud(baud_->currentText()).value_or(0);
    choice.host = host_->text().trimmed();
    choice.tcpPort = static_cast<quint16>(tcpPort_->value());
    choice.replayFile = ChosenReplayFile();
    choice.replaySpeed = static_cast<ReplaySpeed>(replaySpeed_->currentData().toInt());
    return choice;
}

}  // namespace zarnmon
