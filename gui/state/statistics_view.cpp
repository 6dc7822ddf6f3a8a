#include "gui/state/statistics_view.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace zarnmon {

namespace {

// The labels from top to bottom; the first five share the receiver's frame.
constexpr std::array<const char*, CViewStatistics::kFields> kLabels{
    "Percent Spare CPU",    "Missed Subframes",       "Max SubFrame Pending", "Missed Accumulations",
    "Missed  Measurements", "Unprocessed Comm Bytes", "Num Debug Msg 0"};
constexpr std::size_t kReceiverFields = 5;

}  // namespace

CViewStatistics::CViewStatistics(const ViewServices& services, QWidget* parent) : CFormView(services, parent) {
    auto* layout = new QVBoxLayout(&Form());
    QFormLayout* rows = nullptr;
    for (std::size_t i = 0; i < kFields; ++i) {
        if (i == 0 || i == kReceiverFields) {
            auto* frame = new QGroupBox(&Form());
            rows = new QFormLayout(frame);
            layout->addWidget(frame);
        }
        auto* field = new QLineEdit(&Form());
        field->setReadOnly(true);
        field->setAlignment(Qt::AlignRight);
        rows->addRow(QString::fromLatin1(kLabels[i]), field);
        fields_[i] = field;
    }
    layout->addStretch(1);
    Subscriptions().Subscribe(Slots::Msg97);
    // The last stored message shows at once.
    Show(LoadReceiverStatistics(Dispatcher()));
}

CViewStatistics::~CViewStatistics() {
    if (Context().autoConfigure) {
        Dispatcher().SendDisable(Slots::Msg97, false);
    }
}

void CViewStatistics::OnRxMessage(int slot) {
    if (slot == Slots::Msg97) {
        Show(LoadReceiverStatistics(Dispatcher()));
    }
}

void CViewStatistics::OnRefreshTick() { Subscriptions().KeepOn({Slots::Msg97}, Context().autoConfigure); }

void CViewStatistics::Show(const ReceiverStatistics& statistics) {
    const std::array<QString, kFields> texts{QString::number(statistics.spareCpuPercent, 'f', 1),
                                             QString::number(statistics.missedSubframes),
                                             QString::number(statistics.maxSubframesPending),
                                             QString::number(statistics.missedAccumulations),
                                             QString::number(statistics.missedMeasurements),
                                             QString::number(statistics.unprocessedCommBytes),
                                             QString::number(statistics.debugMessages)};
    for (std::size_t i = 0; i < kFields; ++i) {
        fields_[i]->setText(texts[i]);
    }
}

}  // namespace zarnmon
