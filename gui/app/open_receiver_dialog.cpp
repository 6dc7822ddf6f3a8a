#include "gui/app/open_receiver_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zarnmon {

namespace {

constexpr int kMaxPortNameLength = 48;

}  // namespace

COpenReceiverDialog::COpenReceiverDialog(const LinkSettings& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Open Receiver"));
    auto* layout = new QVBoxLayout(this);
    auto* kindRow = new QFormLayout;
    kind_ = new QComboBox(this);
    kind_->addItems({QStringLiteral("Serial port"), QStringLiteral("Built-in simulator"),
                     QStringLiteral("TCP receiver..."), QStringLiteral("Replay raw log...")});
    kindRow->addRow(QStringLiteral("Receiver:"), kind_);
    layout->addLayout(kindRow);

    pages_ = new QStackedWidget(this);
    pages_->addWidget(BuildSerialPage(current));
    pages_->addWidget(BuildSimulatorPage());
    pages_->addWidget(BuildTcpPage());
    pages_->addWidget(BuildReplayPage());
    layout->addWidget(pages_);
    connect(kind_, &QComboBox::currentIndexChanged, pages_, &QStackedWidget::setCurrentIndex);
    connect(kind_, &QComboBox::currentIndexChanged, this, &COpenReceiverDialog::UpdateOk);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons_);
    UpdateOk();
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
    baud_->setValidator(new QIntValidator(1, 4000000, baud_));
    for (const quint32 rate : kBaudRates) {
        baud_->addItem(QString::number(rate));
    }
    baud_->setEditText(QString::number(current.baud));
    form->addRow(QStringLiteral("Baud Rate :"), baud_);
    connect(port_, &QComboBox::currentTextChanged, this, &COpenReceiverDialog::UpdateOk);
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
    replaySpeed_->addItems(
        {QStringLiteral("Real time (x1)"), QStringLiteral("Ten times (x10)"), QStringLiteral("As fast as possible")});
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

QString COpenReceiverDialog::ChosenDevice() const {
    const int index = port_->currentIndex();
    // A listed entry chosen as it stands is known by its device path; any
    // other text is taken as a path the user typed.
    if (index >= 0 && port_->currentText() == port_->itemText(index)) {
        return port_->itemData(index).toString();
    }
    return port_->currentText().trimmed();
}

void COpenReceiverDialog::UpdateOk() {
    bool ok = true;
    switch (static_cast<LinkChoice::Kind>(kind_->currentIndex())) {
        case LinkChoice::Kind::Serial:
            ok = !ChosenDevice().isEmpty();
            break;
        case LinkChoice::Kind::Tcp:
            ok = !host_->text().trimmed().isEmpty();
            break;
        case LinkChoice::Kind::Replay:
            ok = !replayFile_->text().trimmed().isEmpty();
            break;
        case LinkChoice::Kind::Simulator:
            break;
    }
    OkButton()->setEnabled(ok);
}

LinkChoice COpenReceiverDialog::Choice() const {
    LinkChoice choice;
    choice.kind = static_cast<LinkChoice::Kind>(kind_->currentIndex());
    choice.device = ChosenDevice();
    choice.baud = baud_->currentText().toUInt();
    if (choice.baud == 0) {
        choice.baud = kDefaultBaudRate;
    }
    choice.host = host_->text().trimmed();
    choice.tcpPort = static_cast<quint16>(tcpPort_->value());
    choice.replayFile = replayFile_->text().trimmed();
    constexpr std::array<ReplaySpeed, 3> kSpeeds = {ReplaySpeed::RealTime, ReplaySpeed::Times10, ReplaySpeed::Fastest};
    choice.replaySpeed = kSpeeds[static_cast<std::size_t>(std::max(replaySpeed_->currentIndex(), 0))];
    return choice;
}

}  // namespace zarnmon
