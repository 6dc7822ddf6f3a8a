#include "gui/state/neu_view.h"

#include <QAction>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "core/link/bin_catalogue.h"
#include "core/state/strip_chart_geometry.h"
#include "gui/state/latin1.h"
#include "gui/state/neu_graph_dialog.h"
#include "gui/state/user_location_dialog.h"

namespace zarnmon {

namespace {

constexpr std::array<const char*, 3> kTitles{"North Error", "East Error", "Up Error"};
constexpr std::array<const char*, CViewNEUerrors::kFields> kFieldLabels{"North", "East",  "Up",
                                                                        "P-DOP", "H-DOP", "V-DOP"};
constexpr double kHugeValue = 1e20;

// "%.4lf", or four significant digits in exponent form for values too large for it.
QString FieldNumber(double value) {
    return std::abs(value) >= kHugeValue ? QString::asprintf("%.4g", value) : QString::asprintf("%.4lf", value);
}

}  // namespace

CViewNEUerrors::CViewNEUerrors(const ViewServices& services, QWidget* parent) : CFormView(services, parent) {
    auto* layout = new QHBoxLayout(&Form());
    auto* chartColumn = new QVBoxLayout;
    for (CStripChart*& chart : charts_) {
        chart = new CStripChart(&Form());
        chartColumn->addWidget(chart, 1);
    }
    layout->addLayout(chartColumn, 1);

    auto* side = new QVBoxLayout;
    scaleLabel_ = new QLabel(&Form());
    side->addWidget(scaleLabel_);
    for (int group = 0; group < 2; ++group) {
        auto* frame = new QGroupBox(group == 0 ? QStringLiteral("Current Errors") : QStringLiteral("DOPs"), &Form());
        auto* rows = new QFormLayout(frame);
        for (int i = group * 3; i < group * 3 + 3; ++i) {
            auto* field = new QLineEdit(frame);
            field->setReadOnly(true);
            field->setAlignment(Qt::AlignRight);
            field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-00000.0000")) + 12);
            rows->addRow(QString::fromLatin1(kFieldLabels[static_cast<std::size_t>(i)]), field);
            fields_[static_cast<std::size_t>(i)] = field;
        }
        side->addWidget(frame);
    }
    side->addStretch(1);
    layout->addLayout(side);

    auto* menu = new QMenu(QStringLiteral("&Graph"), this);
    configure_ = menu->addAction(QStringLiteral("Configure Graph Settings"));
    configure_->setData(kConfigureGraphId);
    configure_->setStatusTip(QStringLiteral("Configure Graph Settings"));
    connect(configure_, &QAction::triggered, this, &CViewNEUerrors::ConfigureGraph);
    addAction(menu->menuAction());

    Subscriptions().Subscribe(Slots::Msg1);
    Subscriptions().Subscribe(Slots::Msg2);
    SetUp();
    // Asked once the window stands, so a prompt has the window behind it.
    QTimer::singleShot(0, this, &CViewNEUerrors::EnsureReference);
}

void CViewNEUerrors::EnsureReference() {
    CAppContext& context = Context();
    while (!context.reference.IsValid()) {
        const Msg1View msg1(Dispatcher().Handler(Slots::Msg1).LastMessage());
        if (LoadReferencePosition(context.reference, context.settings, PositionOf(msg1))) {
            break;
        }
        CUserLocationDialog dialog(context.reference, Dispatcher(), context.settings, this);
        if (dialog.exec() != QDialog::Accepted) {
            break;
        }
    }
}

void CViewNEUerrors::ConfigureGraph() {
    CAppContext& context = Context();
    CNeuGraphDialog dialog(LoadPlotSettings(context.settings), context.settings, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const PlotSettings& chosen = dialog.Result();
    context.neuHistory.Configure(kNeuSampleScale, chosen.minutes, chosen.rangeTenths);
    SetUp();
}

void CViewNEUerrors::SetUp() {
    CNeuHistory& history = Context().neuHistory;
    scaleLabel_->setText(Latin1(ScaleLabel(history.FineScale())));
    const QString unit = Latin1(UnitText(history.FineScale()));
    for (std::size_t i = 0; i < charts_.size(); ++i) {
        CStripChart& chart = *charts_[i];
        const StripChartGeometry geometry = NeuChartGeometry(history, chart.width(), chart.height());
        chart.Setup(QString::fromLatin1(kTitles[i]) + unit,
                    Latin1(SecondsPerTickCaption(history.Decimation(), geometry.xTickSpacing)), geometry);
    }
    history.Rewind();
    while (const auto sample = history.NextNeuSample()) {
        AddSample(*sample);
    }
    seen_ = history.Stored();
    ShowFields();
}

void CViewNEUerrors::AddSample(const NeuSample& sample) {
    charts_[0]->AddValue(sample.north);
    charts_[1]->AddValue(sample.east);
    charts_[2]->AddValue(sample.up);
}

void CViewNEUerrors::ReadNewSamples() {
    CNeuHistory& history = Context().neuHistory;
    const std::uint64_t stored = history.Stored();
    if (stored == seen_) {
        return;
    }
    // More new samples than the ring holds (a fast replay): the unread ones
    // were overwritten, so the charts start again from what the ring has.
    if (stored - seen_ >= static_cast<std::uint64_t>(history.Capacity())) {
        SetUp();
        return;
    }
    while (const auto sample = history.NextNeuSample()) {
        AddSample(*sample);
    }
    seen_ = stored;
    ShowFields();
}

void CViewNEUerrors::OnRxMessage(int slot) {
    if (slot == Slots::Msg1) {
        ReadNewSamples();
    } else if (slot == Slots::Msg2) {
        ShowFields();
    }
}

void CViewNEUerrors::OnRefreshTick() {
    Subscriptions().KeepOn({Slots::Msg1, Slots::Msg2}, Context().autoConfigure);
    ReadNewSamples();
}

void CViewNEUerrors::ShowFields() {
    const NeuOffset& current = Context().neuHistory.CurrentErrors();
    const Msg2View msg2(Dispatcher().Handler(Slots::Msg2).LastMessage());
    const double hdop = msg2.Hdop() * 0.1;
    const double vdop = msg2.Vdop() * 0.1;
    const std::array<double, kFields> values{
        current.north, current.east, current.up, std::sqrt(hdop * hdop + vdop * vdop), hdop, vdop};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QString text = FieldNumber(values[i]);
        if (fields_[i]->text() != text) {
            fields_[i]->setText(text);
        }
    }
}

}  // namespace zarnmon
