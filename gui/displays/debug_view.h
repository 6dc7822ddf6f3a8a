#pragma once

// "Debug Msg View": the receiver's 32 numbered debug messages ("$RX,k,..."),
// one line each, as the "$RX," handler files them. A line repaints when its
// number's counter moves; it reads the text when it paints, so it always
// shows the latest. The view also owns the debug log, with its menu.

#include <QAction>
#include <QMenu>
#include <cstdint>
#include <string>

#include "core/link/text_msg_handler.h"
#include "core/state/debug_log.h"
#include "gui/displays/element_view.h"

namespace zarnmon {

// The content of a debug line is the counter last seen for its number: the
// text itself is read at paint time.
class CDrawDebug final : public CContentElement<std::uint32_t> {
public:
    static constexpr std::uint32_t kNeverSeen = 0xFFFFFFFF;
    static constexpr int kLineHeight = 18;

    CDrawDebug(int row, const CRxHandler& rx);

    void Draw(QPainter& painter) override;
    // The latest text of the line's number, as the next paint shows it.
    [[nodiscard]] TextLines ShownTexts() const override { return {{std::string(rx_.RxSlot(row_))}}; }

    [[nodiscard]] int Row() const { return row_; }
    [[nodiscard]] std::uint32_t LastSeen() const { return Shown(); }

protected:
    std::uint32_t Compute() override { return rx_.RxCount(row_); }

private:
    int row_;
    const CRxHandler& rx_;
};

class CViewDbgMsg final : public CElementView {
    Q_OBJECT

public:
    static constexpr int kLines = CRxHandler::kFiledSlots;
    static constexpr int kLogDebugDataId = 32798;
    static constexpr int kConfigureDebugLogId = 32799;

    explicit CViewDbgMsg(const ViewServices& services, QWidget* parent = nullptr);
    // "$RX," output goes off again with the view, unless the user controls the messages.
    ~CViewDbgMsg() override;

    [[nodiscard]] const CDrawDebug& Line(int row) const;
    [[nodiscard]] QAction& LogDebugDataAction() const { return *logAction_; }
    [[nodiscard]] QAction& ConfigureDebugLogAction() const { return *configureAction_; }
    [[nodiscard]] const CDebugLog& DebugLog() const { return log_; }

    // Command 32798: stops the debug log, or asks for a file and starts it.
    void ToggleDebugLog();
    // Starts the debug log in path; a file that cannot be opened is reported.
    bool StartDebugLog(const QString& path);
    // Command 32799: which messages the log writes.
    void ConfigureDebugLog();

protected:
    void OnInitialUpdate() override;
    void OnRxMessage(int slot) override;
    [[nodiscard]] std::vector<int> KeptOnSlots() const override { return {Slots::RxHandler}; }
    [[nodiscard]] bool FitsFrame() const override { return false; }

private:
    void ReportWriteFailure();

    CDebugLog log_;
    QAction* logAction_ = nullptr;
    QAction* configureAction_ = nullptr;
};

}  // namespace zarnmon
