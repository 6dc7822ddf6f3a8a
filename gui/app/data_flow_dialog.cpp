#include "gui/app/data_flow_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/state/dialog_parts.h"

namespace zarnmon {

namespace {

constexpr int kOffId = 0;
constexpr int kOnId = 1;
constexpr int kRefreshMs = 1000;

}  // namespace

CDataFlowDialog::CDataFlowDialog(CMsgDispatcher& dispatcher, bool& autoConfigure, QWidget* parent)
    : QDialog(parent), dispatcher_(dispatcher), autoConfigure_(autoConfigure) {
    setWindowTitle(QStringLiteral("Data Flow Control"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const int row = static_cast<int>(i);
        grid->addWidget(new QLabel(QString::fromLatin1(kRows[i].label), this), row, 0);
        auto* off = new QRadioButton(QStringLiteral("Off"), this);
        auto* on = new QRadioButton(QStringLiteral("On"), this);
        grid->addWidget(off, row, 1);
        grid->addWidget(on, row, 2);
        groups_[i] = new QButtonGroup(this);
        groups_[i]->addButton(off, kOffId);
        groups_[i]->addButton(on, kOnId);
        // The user's choice stands: the rows stop following the receiver.
        connect(groups_[i], &QButtonGroup::idClicked, &refresh_, &QTimer::stop);
    }
    layout->addLayout(grid);
    autoConfigureBox_ = new QCheckBox(QStringLiteral("Auto Configure"), this);
    autoConfigureBox_->setChecked(autoConfigure_);
    layout->addWidget(autoConfigureBox_);
    auto* note = new QLabel(
        QStringLiteral("Uncheck \"Auto Configure\" to prevent Zarnmon from automatically turning on messages."), this);
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addWidget(OkCancelButtons(*this));

    msg100On_ = dispatcher_.IsActive(Slots::Msg100, false);
    RefreshRows();
    connect(&refresh_, &QTimer::timeout, this, &CDataFlowDialog::RefreshRows);
    refresh_.start(kRefreshMs);
}

void CDataFlowDialog::RefreshRows() {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        SetRow(kRows[i].slot, dispatcher_.IsActive(kRows[i].slot, false));
    }
}

bool CDataFlowDialog::RowOn(int slot) const {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].slot == slot) {
            return groups_[i]->checkedId() == kOnId;
        }
    }
    return false;
}

void CDataFlowDialog::SetRow(int slot, bool on) {
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].slot == slot) {
            groups_[i]->button(on ? kOnId : kOffId)->setChecked(true);
        }
    }
}

void CDataFlowDialog::accept() {
    refresh_.stop();
    // Interactive: a closed link is reported, and the chosen states count as
    // recent for 6 s whether or not messages arrive.
    for (const int slot : {Slots::Rd1Handler, Slots::Msg1, Slots::Msg2, Slots::Msg99, Slots::Msg100, Slots::Msg98,
                           Slots::Msg97, Slots::Msg96, Slots::Msg95, Slots::Msg80}) {
        const bool on = slot == Slots::Msg100 ? msg100On_ : RowOn(slot);
        dispatcher_.EnsureState(slot, on, true);
    }
    autoConfigure_ = autoConfigureBox_->isChecked();
    QDialog::accept();
}

}  // namespace zarnmon
