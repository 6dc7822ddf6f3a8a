#include "gui/app/link_health_dock.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "gui/state/color_ref.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

constexpr std::uint32_t kAlarm = 0x0000FF;  // red
constexpr int kUsageSteps = 1000;

// "---" where there is no value yet, as a table cell without valid data shows.
QString Number(std::optional<double> value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QStringLiteral("---");
}

}  // namespace

CLinkHealthDock::CLinkHealthDock(const CAppContext& context, QWidget* parent)
    : QDockWidget(QStringLiteral("Link Health"), parent),
      context_(context),
      health_(context.dispatcher, context.clock) {
    setObjectName(QStringLiteral("LinkHealth"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);

    const int rows = context_.dispatcher.HandlerCount();
    table_ = new QTableWidget(rows, kColumns, body);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Message"), QStringLiteral("Rate /s"), QStringLiteral("Age s"), QStringLiteral("Failed")});
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setWordWrap(false);
    for (int slot = 0; slot < rows; ++slot) {
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(column == kNameColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                         : Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(RowOf(slot), column, item);
        }
        table_->item(RowOf(slot), kNameColumn)->setText(Latin1(context_.dispatcher.Handler(slot).Name()));
        table_->setRowHidden(RowOf(slot), true);
    }
    FitColumns();
    layout->addWidget(table_, 1);

    usage_ = new QProgressBar(body);
    usage_->setRange(0, kUsageSteps);
    usage_->setToolTip(QStringLiteral("Bytes received per second against what the baud rate carries"));
    layout->addWidget(usage_);
    dropped_ = new QLabel(body);
    layout->addWidget(dropped_);
    setWidget(body);

    connect(&timer_, &QTimer::timeout, this, &CLinkHealthDock::Refresh);
    // What it kept while hidden shows as soon as it is shown again.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (visible) {
            Refresh();
        }
    });
    timer_.start(kRefreshMs);
    Refresh();
}

QColor CLinkHealthDock::AlarmColor() { return ColorFromRef(kAlarm); }

void CLinkHealthDock::FitColumns() {
    // Fixed from the start: wide enough for every handler's name and for
    // values up to "99999.9", so the dock neither scrolls sideways nor
    // changes its width as rows come and go.
    const QFontMetrics metrics(table_->font());
    const int padding = 2 * metrics.averageCharWidth();
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    int total = 0;
    for (int column = 0; column < kColumns; ++column) {
        int widest = header->sectionSizeHint(column);
        if (column == kNameColumn) {
            for (int slot = 0; slot < context_.dispatcher.HandlerCount(); ++slot) {
                widest = std::max(
                    widest, metrics.horizontalAdvance(Latin1(context_.dispatcher.Handler(slot).Name())) + padding);
            }
        } else {
            widest = std::max(widest, metrics.horizontalAdvance(QStringLiteral("99999.9")) + padding);
        }
        table_->setColumnWidth(column, widest);
        total += widest;
    }
    table_->setMinimumWidth(total + 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width());
}

void CLinkHealthDock::Refresh() {
    health_.SetBaud(context_.link.baud);
    health_.Sample();
    // Hidden, it only keeps its window of samples.
    if (!isVisible()) {
        return;
    }
    for (int slot = 0; slot < context_.dispatcher.HandlerCount(); ++slot) {
        ShowMessage(health_.Message(slot));
    }
    ShowLine(health_.Line());
}

void CLinkHealthDock::ShowMessage(const MessageHealth& message) {
    const int row = RowOf(message.slot);
    table_->setRowHidden(row, !message.Seen() && !message.keptOn);
    std::optional<double> ageSeconds;
    if (message.ageMs) {
        ageSeconds = *message.ageMs / 1000.0;
    }
    table_->item(row, kRateColumn)->setText(Number(message.perSecond, 1));
    table_->item(row, kAgeColumn)->setText(Number(ageSeconds, 1));
    table_->item(row, kFailedColumn)->setText(QString::number(message.failed));
    const QBrush background = message.stopped ? QBrush(AlarmColor()) : QBrush();
    const QBrush foreground = message.stopped ? QBrush(Qt::white) : QBrush();
    for (int column = 0; column < kColumns; ++column) {
        table_->item(row, column)->setBackground(background);
        table_->item(row, column)->setForeground(foreground);
    }
}

void CLinkHealthDock::ShowLine(const LineHealth& line) {
    const QString rate = Number(line.bytesPerSecond, 0);
    if (const auto usage = line.Usage()) {
        const double percent = *usage * 100.0;
        usage_->setValue(static_cast<int>(std::lround(std::clamp(*usage, 0.0, 1.0) * kUsageSteps)));
        usage_->setFormat(
            QStringLiteral("%1 of %2 B/s (%3%)").arg(rate).arg(*line.capacity, 0, 'f', 0).arg(percent, 0, 'f', 0));
    } else {
        usage_->setValue(0);
        usage_->setFormat(QStringLiteral("%1 B/s").arg(rate));
    }
    dropped_->setText(QStringLiteral("Dropped bytes: %1").arg(line.droppedBytes));
}

}  // namespace zarnmon
