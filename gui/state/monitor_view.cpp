#include "gui/state/monitor_view.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "gui/state/app_icons.h"
#include "gui/state/color_ref.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

constexpr int kLampSize = 24;
constexpr int kStatusLampWidth = 120;

}  // namespace

CIndicatorLamp::CIndicatorLamp(QWidget* parent) : QWidget(parent) {}

void CIndicatorLamp::SetShape(Shape shape) {
    if (shape != shape_) {
        shape_ = shape;
        update();
    }
}

void CIndicatorLamp::SetColor(const QColor& color) {
    if (color != color_) {
        color_ = color;
        update();
    }
}

void CIndicatorLamp::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, shape_ == Shape::Ellipse);
    painter.setPen(Qt::black);
    painter.setBrush(color_);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (shape_ == Shape::Ellipse) {
        painter.drawEllipse(area);
    } else {
        painter.drawRect(area);
    }
}

CViewMonitor::CViewMonitor(const ViewServices& services, QWidget* parent)
    : CFormView(services, parent),
      test_(std::make_unique<CMonitorTest>(Dispatcher(), Context().clock, Context().receiverInfo,
                                           Context().Thresholds())) {
    // The test's filters take a step with each message.
    Subscriptions().NotifyEveryMessage();
    auto* layout = new QVBoxLayout(&Form());
    auto* row = new QHBoxLayout;
    auto* group = new QGroupBox(QStringLiteral("Indicator Lights"), &Form());
    auto* lamps = new QHBoxLayout(group);
    for (CIndicatorLamp*& light : lights_) {
        light = new CIndicatorLamp(group);
        light->setFixedSize(kLampSize, kLampSize);
        lamps->addWidget(light);
    }
    row->addWidget(group);
    auto* statusGroup = new QGroupBox(QStringLiteral("STATUS"), &Form());
    auto* statusRow = new QHBoxLayout(statusGroup);
    status_ = new CIndicatorLamp(statusGroup);
    status_->setFixedSize(kStatusLampWidth, kLampSize);
    status_->SetShape(CIndicatorLamp::Shape::Rectangle);
    statusRow->addWidget(status_);
    row->addWidget(statusGroup);
    row->addStretch(1);
    layout->addLayout(row);

    text_ = new QPlainTextEdit(&Form());
    text_->setReadOnly(true);
    text_->setMinimumSize(420, 160);
    layout->addWidget(text_, 1);
    reset_ = new QPushButton(QStringLiteral("&Reset Test"), &Form());
    connect(reset_, &QPushButton::clicked, this, &CViewMonitor::ResetTest);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(reset_);
    layout->addLayout(buttons);

    for (const int slot : {Slots::Msg1, Slots::Msg99, Slots::Rd1Handler}) {
        Subscriptions().Subscribe(slot);
    }
    ResetTest();
}

CViewMonitor::~CViewMonitor() {
    if (QWidget* top = window(); top != this) {
        top->setWindowIcon(ApplicationIcon());
    }
}

void CViewMonitor::ResetTest() {
    test_->Reset();
    ShowTest();
}

void CViewMonitor::OnRxMessage(int slot) { test_->OnMonitorMessage(slot); }

void CViewMonitor::OnRefreshTick() {
    test_->MonitorTick(Context().autoConfigure);
    ShowTest();
}

void CViewMonitor::ShowTest() {
    const std::array<std::uint32_t, kLights> colors = test_->LampColors();
    for (std::size_t i = 0; i < kLights; ++i) {
        lights_[i]->SetColor(ColorFromRef(colors[i]));
    }
    status_->SetColor(ColorFromRef(test_->StatusColor()));
    if (test_->Changes() == shownChanges_ && !text_->toPlainText().isEmpty()) {
        return;
    }
    shownChanges_ = test_->Changes();
    // The report's lines end in CR LF; the box shows lines.
    text_->setPlainText(Latin1(test_->StatusText()).remove(QLatin1Char('\r')));
    if (QWidget* top = window(); top != this) {
        top->setWindowIcon(test_->State() == MonitorState::Failed ? FailedTestIcon() : ApplicationIcon());
    }
}

}  // namespace zarnmon
