#pragma once

// The main window: it owns the link to the receiver and the one-second
// timer, and delegates the rest. Received chunks go to the dispatcher;
// every byte to the receiver goes through Send; the timer ticks the open
// documents and runs the link housekeeping; three status panes show the fix,
// the receiver's time and the link.

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "core/link/command_sender.h"
#include "core/link/link_housekeeping.h"
#include "gui/app/doc_template.h"
#include "gui/app/link_choice.h"
#include "gui/app/link_health_dock.h"
#include "gui/app/log_control.h"
#include "gui/app/recent_files_menu.h"
#include "gui/app/view_printer.h"
#include "gui/link/link.h"
#include "gui/link/serial_reconnector.h"
#include "gui/state/app_context.h"
#include "gui/state/rx_event.h"
#include "gui/state/view_services.h"

namespace zarnmon {

class CReplayTimelineBar;

class CMainFrame final : public QMainWindow, public ICommandSender, public IReceiverControl, public IStoreTap {
    Q_OBJECT

public:
    // Command ids of the frame's own commands.
    static constexpr int kConnectId = 32777;
    static constexpr int kDisconnectId = 32793;
    static constexpr int kDataFlowId = kDataFlowCommandId;
    static constexpr int kWaasId = 32802;
    static constexpr int kFixPaneId = 32776;
    static constexpr int kTimePaneId = 32774;
    static constexpr int kPortPaneId = 32775;
    // Pauses and resumes a replayed raw log.
    static constexpr int kPauseReplayId = 32900;
    // Looks at once for the unplugged receiver that is waited for.
    static constexpr int kReconnectId = 32901;
    static constexpr int kDataLogId = 32787;
    static constexpr int kBinaryLogId = 32791;
    static constexpr int kPhaseLogId = 32801;
    static constexpr int kConfigureLogId = 32788;
    static constexpr int kConfigureLocationId = 32789;
    // Printing the active view, and saving it as a PDF or a picture.
    static constexpr int kPrintSetupId = 57606;
    static constexpr int kPrintId = 57607;
    static constexpr int kPrintPreviewId = 57609;
    static constexpr int kSaveAsPdfId = 32910;
    static constexpr int kSaveAsImageId = 32911;
    // Shows and hides the "Link Health" dock.
    static constexpr int kLinkHealthId = 32912;

    CMainFrame(CAppContext& context, std::vector<CMultiDocTempSpecial>& templates);
    ~CMainFrame() override;

    // The only way bytes go to the receiver.
    bool Send(std::string_view bytes, bool showErrors) override;

    [[nodiscard]] bool WaasProcessing() const override { return housekeeping_.WaasProcessing(); }
    void SetWaasProcessing(bool on) override;
    void ShowStatusMessage(const QString& text) override { statusBar()->showMessage(text); }
    // False while a replay goes again over what its logs have.
    [[nodiscard]] bool LogsTakeMessages() const override;

    // Runs the "Open Receiver" dialog and connects to what it chose.
    void Connect();
    // Connects to choice without asking: the command line and --simulate.
    bool ConnectTo(const LinkChoice& choice);
    // Connects to an existing link; portPane is shown while it is open.
    bool ConnectLink(std::unique_ptr<CLink> link, const QString& portPane);
    // Asks "Disconnect Now?" and closes the link, or stops waiting for a lost one.
    void Disconnect();
    // Looks for the lost receiver now instead of at the next attempt.
    void Reconnect();
    // Starts the one-second timer; a port tag goes into the title: "ZarnMon(3)".
    void StartTimer(const QString& portTag = {});
    // "Couldn't Open name" with the reason below it, and the port pane says so.
    void ReportOpenFailure(const QString& name, const QString& reason);
    // Opens the view of templateId, or brings its open window to the front.
    void OpenView(int templateId);
    // Replays a recording of the recent list again; a file gone since is
    // taken off the list with a message.
    void ReplayRecent(const QString& path);

    [[nodiscard]] QMdiArea& MdiArea() { return *mdiArea_; }
    [[nodiscard]] CLink* Link() const { return link_.get(); }
    [[nodiscard]] bool LinkOpen() const { return link_ && link_->isOpen(); }
    [[nodiscard]] CSerialReconnector& Reconnector() { return reconnector_; }
    [[nodiscard]] CLinkHousekeeping& Housekeeping() { return housekeeping_; }
    [[nodiscard]] QString PaneText(int paneId) const;
    [[nodiscard]] std::uint32_t TickCount() const { return tickCount_; }
    [[nodiscard]] QAction* Action(int commandId) const;
    [[nodiscard]] QStatusBar& SecondStatusBar() { return *secondStatusBar_; }
    [[nodiscard]] CLogControl& Logs() { return logs_; }
    [[nodiscard]] CRecentFilesMenu& RecentFiles() { return *recentFiles_; }
    [[nodiscard]] CViewPrinter& Printer() { return printer_; }
    [[nodiscard]] CReplayTimelineBar& Timeline() const { return *timelineBar_; }
    [[nodiscard]] CLinkHealthDock& LinkHealth() { return *healthDock_; }
    // The top line of window's printed page: its title and the receiver's time.
    [[nodiscard]] QString PrintHeaderOf(const QMdiSubWindow& window) const;

    // One timer tick, as the one-second timer runs it.
    void OnTimerTick();
    // The idle-time pass: command states and the status panes.
    void UpdateUi();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    // A view's placement is kept as its window closes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    // The "Link Health" dock, shown as the profile last had it.
    void BuildHealthDock();
    void BuildStatusBars();
    void BuildPrintActions();
    // The print commands act on the active view.
    void UpdatePrintCommands();
    // Calls act(view, window) for the active view, if there is one.
    template <typename Act>
    void WithActiveView(Act act);
    // Copy, Cut and Paste as the active view or else the focused editor allows.
    void UpdateEditCommands();
    // The active view's own menus stand before "&Window".
    void ShowViewMenus(QMdiSubWindow* active);
    // While a recording plays, every stored message reaches the clock, the
    // logs and the WAAS decoder as it is stored, as in the offline converters:
    // a fast replay stores many messages of a kind between two notifications.
    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override;
    // Every message 1 is offered to the program-wide NEU history.
    void FeedNeuHistory(const CMsgHandler& handler);
    [[nodiscard]] bool Replaying() const { return context_.clock.FollowsRecording(); }
    QAction* AddCommand(int id, const QString& text, std::string_view prompt);
    void CloseLink();
    // Makes link the one the frame feeds from and sends to.
    void AttachLink(std::unique_ptr<CLink> link);
    // Everything received is forgotten: a connect, and a replay going back.
    void ForgetReceived();
    void OnBytes(const QByteArray& chunk);
    void OnLinkLost(const QString& message);
    void OnLinkClosed();
    // The lost serial receiver is back: its new link carries on the old one.
    void OnLinkReturned();
    void ShowDataFlow();
    void ShowAbout();
    void SaveOpenWindows();
    void SetPortPane(const QString& text);
    void WatchReplay();
    void OnLogFailed(const QString& path, const QString& reason);

    CAppContext& context_;
    std::vector<CMultiDocTempSpecial>& templates_;
    CLinkHousekeeping housekeeping_;
    CLogControl logs_;
    CViewPrinter printer_;
    CRxEventPoster poster_{this};
    ViewServices services_{context_, *this};
    std::vector<std::pair<CMsgHandler*, std::uint32_t>> subscriptions_;
    QLabel* logPane_ = nullptr;
    std::unique_ptr<CLink> link_;
    CSerialReconnector reconnector_{context_.clock};
    bool linkLostReported_ = false;
    bool opening_ = false;
    // What the link said when it failed to open.
    QString openError_;
    QMdiArea* mdiArea_ = nullptr;
    QAction* windowMenu_ = nullptr;
    CRecentFilesMenu* recentFiles_ = nullptr;
    CReplayTimelineBar* timelineBar_ = nullptr;
    QList<QPointer<QAction>> viewMenus_;
    QStatusBar* secondStatusBar_ = nullptr;
    CLinkHealthDock* healthDock_ = nullptr;
    std::map<int, QLabel*> panes_;
    std::map<int, QAction*> actions_;
    QTimer timer_;
    QTimer idleTimer_;
    std::uint32_t tickCount_ = 0;
};

}  // namespace zarnmon
