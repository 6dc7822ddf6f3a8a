#pragma once

// "Link Health": a dock of the main window that shows how the link carries
// the receiver's messages. One compact row per message kind that has arrived
// or that someone keeps on: its rate over the last seconds, the age of the
// last one and the frames that failed their check, a kept-on message that
// has stopped in the alarm colour; below, the line's use of its baud rate
// and the bytes that started no message. A timer samples the dispatcher's
// counters twice a second, so nothing here runs from inside Feed.

#include <QDockWidget>
#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>
#include <QTimer>

#include "core/link/link_health.h"
#include "gui/state/app_context.h"

namespace zarnmon {

class CLinkHealthDock final : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 500;
    enum Column : int { kNameColumn, kRateColumn, kAgeColumn, kFailedColumn, kColumns };

    CLinkHealthDock(const CAppContext& context, QWidget* parent);

    // One round of the timer: takes the counters and shows them.
    void Refresh();

    // The row of the message kind in slot; hidden while it shows nothing.
    [[nodiscard]] static int RowOf(int slot) { return slot; }
    [[nodiscard]] const QTableWidget& Table() const { return *table_; }
    [[nodiscard]] const QProgressBar& LineUsage() const { return *usage_; }
    [[nodiscard]] const QLabel& Dropped() const { return *dropped_; }
    // The colour of a kept-on message that has stopped.
    [[nodiscard]] static QColor AlarmColor();

private:
    void FitColumns();
    void ShowMessage(const MessageHealth& message);
    void ShowLine(const LineHealth& line);

    const CAppContext& context_;
    CLinkHealth health_;
    QTableWidget* table_ = nullptr;
    QProgressBar* usage_ = nullptr;
    QLabel* dropped_ = nullptr;
    QTimer timer_;
};

}  // namespace zarnmon
