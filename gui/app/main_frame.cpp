#include "gui/app/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QVBoxLayout>

#include "core/app/settings_keys.h"
#include "core/link/bin_catalogue.h"
#include "gui/app/about_dialog.h"
#include "gui/app/data_flow_dialog.h"
#include "gui/app/open_receiver_dialog.h"
#include "gui/app/replay_control.h"
#include "gui/app/replay_timeline_bar.h"
#include "gui/app/view_registry.h"
#include "gui/app/window_arranger.h"
#include "gui/link/replay_link.h"
#include "gui/link/serial_link.h"
#include "gui/state/app_icons.h"
#include "gui/state/latin1.h"
#include "gui/state/log_file_dialog.h"

namespace zarnmon {

namespace {

constexpr int kTimerMs = 1000;
constexpr int kIdleMs = 250;

// The program's own words, then the system's reason on the line below.
QString CouldNotOpenText(const QString& name, const QString& reason) {
    const QString text = QStringLiteral("Couldn't Open %1").arg(name);
    return reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
}

// The port pane of an open serial link.
QString SerialPaneText(const QString& name, quint32 baud) { return QStringLiteral("%1, %2").arg(name).arg(baud); }

// The port pane while a lost receiver is waited for.
QString ReconnectingText() { return QStringLiteral("Reconnecting\u2026"); }

// What the status bar says when a serial receiver is lost: a USB adapter
// pulled out in the words its users know, any other loss in the link's own.
QString SerialLossText(const CSerialPort& link, const QString& message) {
    const QString what =
        link.identity().vendorId ? QStringLiteral("USB Disconnected From PC: %1").arg(link.displayName()) : message;
    return what + QStringLiteral(". Reconnecting when it is back.");
}

}  // namespace

CMainFrame::CMainFrame(CAppContext& context, std::vector<CMultiDocTempSpecial>& templates)
    : context_(context),
      templates_(templates),
      housekeeping_(context.dispatcher, context.receiverInfo, *this),
      logs_(context, this) {
    setWindowTitle(QStringLiteral("ZarnMon"));
    setWindowIcon(ApplicationIcon());
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mdiArea_ = new QMdiArea(central);
    layout->addWidget(mdiArea_, 1);
    secondStatusBar_ = new QStatusBar(central);
    secondStatusBar_->setSizeGripEnabled(false);
    layout->addWidget(secondStatusBar_);
    setCentralWidget(central);

    BuildActions();
    BuildPrintActions();
    BuildMenus();
    BuildHealthDock();
    BuildToolBar();
    BuildStatusBars();

    // The NEU history collects from start-up, so a plot opened later shows the past.
    const PlotSettings plot = LoadPlotSettings(context_.settings);
    context_.neuHistory.Configure(kNeuSampleScale, plot.minutes, plot.rangeTenths);
    context_.dispatcher.SetSender(this);
    context_.dispatcher.SetStoreTap(this);
    // The logs follow these handlers.
    for (const int slot : {Slots::Msg1, Slots::Msg99, Slots::Msg89, Slots::Msg96, Slots::Msg95, Slots::Msg94,
                           Slots::Msg93, Slots::Msg76}) {
        CMsgHandler& handler = context_.dispatcher.Handler(slot);
        subscriptions_.emplace_back(&handler, handler.Subscribe(&poster_));
    }
    connect(&logs_, &CLogControl::failed, this, &CMainFrame::OnLogFailed);
    connect(&logs_, &CLogControl::openFailed, this,
            [this](const QString& text) { statusBar()->showMessage(text.simplified()); });
    housekeeping_.SetWaasSink([this](std::span<const std::uint8_t> frame) {
        // A replay's messages reach the decoder as they are stored.
        if (!Replaying()) {
            context_.waas.ProcessWaasRecord(frame);
        }
    });
    connect(&reconnector_, &CSerialReconnector::returned, this, &CMainFrame::OnLinkReturned);
    connect(&timer_, &QTimer::timeout, this, &CMainFrame::OnTimerTick);
    connect(&idleTimer_, &QTimer::timeout, this, &CMainFrame::UpdateUi);
    idleTimer_.start(kIdleMs);
    resize(1000, 720);
}

CMainFrame::~CMainFrame() {
    // The area deactivates its windows as it goes; the menus are gone by then.
    disconnect(mdiArea_, nullptr, this, nullptr);
    // Views may still ask the frame for something as they close: they go
    // while all of it is there.
    qDeleteAll(mdiArea_->subWindowList());
    timer_.stop();
    idleTimer_.stop();
    CloseLink();
    for (const auto& [handler, id] : subscriptions_) {
        handler->Unsubscribe(id);
    }
    context_.dispatcher.SetSender(nullptr);
    context_.dispatcher.SetStoreTap(nullptr);
}

bool CMainFrame::Send(std::string_view bytes, bool showErrors) {
    if (LinkOpen() && link_->acceptsCommands()) {
        return link_->write(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    if (showErrors) {
        QMessageBox::critical(this, QStringLiteral("ZarnMon"),
                              QStringLiteral("Com Port or USB Port Must be Open to Send Data"));
    }
    return false;
}

void CMainFrame::SetWaasProcessing(bool on) {
    if (on != housekeeping_.WaasProcessing()) {
        housekeeping_.ToggleWaas();
    }
}

void CMainFrame::OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) {
    if (!Replaying()) {
        return;
    }
    context_.clock.Take(handler);
    if (&handler == &context_.dispatcher.Handler(Slots::Msg80) && housekeeping_.WaasProcessing()) {
        (void)context_.waas.ProcessWaasRecord(bytes);
    }
    FeedNeuHistory(handler);
    if (LogsTakeMessages()) {
        logs_.OnMessage(handler);
    } else {
        logs_.PassOver(handler);
    }
}

bool CMainFrame::LogsTakeMessages() const {
    const auto* replay = qobject_cast<const CReplayLink*>(link_.get());
    return replay == nullptr || !replay->isRepeat();
}

void CMainFrame::FeedNeuHistory(const CMsgHandler& handler) {
    if (&handler == &context_.dispatcher.Handler(Slots::Msg1)) {
        (void)context_.neuHistory.AddNeuSample(Msg1View(handler.LastMessage()), context_.reference);
    }
}

void CMainFrame::Connect() {
    COpenReceiverDialog dialog(context_.link, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const LinkChoice choice = dialog.Choice();
    if (choice.kind == LinkChoice::Kind::Serial) {
        // The choice is the link in use from now on, and what the profile keeps.
        context_.link.device = choice.device.toStdString();
        context_.link.port = NumberedPortOf(context_.link.device).value_or(context_.link.port);
        context_.link.baud = choice.baud;
        SaveCommSettings(context_.settings, CommSettingsOf(context_.link));
        SaveProfileNow(context_.settings);
    }
    ConnectTo(choice);
}

bool CMainFrame::ConnectTo(const LinkChoice& choice) {
    std::unique_ptr<CLink> link = MakeLink(choice);
    const QString name = link->displayName();
    const bool connected = ConnectLink(
        std::move(link), choice.kind == LinkChoice::Kind::Serial ? SerialPaneText(name, choice.baud) : name);
    if (connected && choice.kind == LinkChoice::Kind::Replay) {
        recentFiles_->Add(QFileInfo(choice.replayFile).absoluteFilePath());
    }
    return connected;
}

void CMainFrame::ReplayRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        recentFiles_->Remove(path);
        QMessageBox::warning(this, QStringLiteral("ZarnMon"),
                             QStringLiteral("Cannot find the recording %1.\nIt has been removed from the recent files.")
                                 .arg(QDir::toNativeSeparators(path)));
        return;
    }
    LinkChoice choice;
    choice.kind = LinkChoice::Kind::Replay;
    choice.replayFile = path;
    ConnectTo(choice);
}

bool CMainFrame::ConnectLink(std::unique_ptr<CLink> link, const QString& portPane) {
    // Every connect starts from nothing, even when the new link fails to open.
    CloseLink();
    logs_.OnConnect();
    ForgetReceived();

    AttachLink(std::move(link));
    context_.clock.FollowRecording(qobject_cast<CReplayLink*>(link_.get()) != nullptr);
    const QString name = link_->displayName();
    opening_ = true;
    openError_.clear();
    const bool opened = link_->open();
    opening_ = false;
    if (!opened) {
        link_.reset();
        ReportOpenFailure(name, openError_);
        return false;
    }
    SetPortPane(portPane);
    WatchReplay();
    return true;
}

void CMainFrame::AttachLink(std::unique_ptr<CLink> link) {
    link_ = std::move(link);
    linkLostReported_ = false;
    connect(link_.get(), &CLink::bytesReceived, this, &CMainFrame::OnBytes);
    connect(link_.get(), &CLink::closed, this, &CMainFrame::OnLinkClosed);
    connect(link_.get(), &CLink::errorOccurred, this, &CMainFrame::OnLinkLost);
    // The link says it once until the receiver takes output again.
    connect(link_.get(), &CLink::writeFailed, this, [this](const QString& message) {
        statusBar()->showMessage(QStringLiteral("%1: %2").arg(link_ ? link_->displayName() : QString(), message));
    });
}

void CMainFrame::Disconnect() {
    const auto answer = QMessageBox::question(this, QStringLiteral("ZarnMon"), QStringLiteral("Disconnect Now?"),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer != QMessageBox::Yes) {
        return;
    }
    context_.receiverInfo.Reset();
    CloseLink();
}

void CMainFrame::ForgetReceived() {
    context_.receiverInfo.Reset();
    context_.dispatcher.Reset();
    context_.dispatcher.ClearAll();
    context_.clock.FollowRecording(Replaying());
}

void CMainFrame::CloseLink() {
    timelineBar_->Attach(nullptr);
    // A receiver given up for another link, or by the user, is not looked for.
    reconnector_.Stop();
    if (link_) {
        // The link goes before its signals could reach a half-destroyed frame.
        std::unique_ptr<CLink> closing = std::move(link_);
        closing->disconnect(this);
        closing->close();
    }
    SetPortPane(QStringLiteral("Not Open"));
}

void CMainFrame::Reconnect() {
    if (reconnector_.Waiting() && !reconnector_.AttemptNow()) {
        statusBar()->showMessage(QStringLiteral("%1 is not back yet").arg(reconnector_.LostPath()));
    }
}

void CMainFrame::OnLinkReturned() {
    std::unique_ptr<CSerialPort> link = reconnector_.TakeLink();
    if (!link || link_) {
        return;
    }
    // Nothing received before the loss is dropped and the logs go on; the
    // receiver may have restarted, so what is kept on is asked for again.
    housekeeping_.LinkResumed();
    const QString name = link->displayName();
    const QString pane = SerialPaneText(name, static_cast<quint32>(link->baudRate()));
    AttachLink(std::move(link));
    SetPortPane(pane);
    statusBar()->showMessage(QStringLiteral("Reconnected to %1").arg(name));
}

void CMainFrame::OnBytes(const QByteArray& chunk) {
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(chunk.constData()),
                          static_cast<std::size_t>(chunk.size()));
    context_.dispatcher.Feed(bytes);
    if (LogsTakeMessages()) {
        logs_.OnBytes(bytes);
    }
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == CRxMessageEvent::Type()) {
        const CMsgHandler* handler = static_cast<CRxMessageEvent*>(event)->Handler();
        if (handler != nullptr && !Replaying()) {
            FeedNeuHistory(*handler);
            logs_.OnMessage(*handler);
        }
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::OnLogFailed(const QString& path, const QString& reason) {
    const QString text = LogWriteFailureText(path, reason);
    statusBar()->showMessage(text);
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("ZarnMon"), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void CMainFrame::OnLinkLost(const QString& message) {
    // One report per lost link: a dying device keeps failing.
    if (linkLostReported_) {
        return;
    }
    linkLostReported_ = true;
    const QString name = link_ ? link_->displayName() : QString();
    if (opening_) {
        // Failed inside open(): ConnectLink reports it when open() returns.
        statusBar()->showMessage(QStringLiteral("%1: %2").arg(name, message));
        openError_ = message;
        return;
    }
    if (link_ && !link_->isOpen()) {
        // An open that failed later (a TCP server that refused): as any failed open.
        statusBar()->showMessage(QStringLiteral("%1: %2").arg(name, message));
        QApplication::beep();
        link_.release()->deleteLater();
        SetPortPane(QStringLiteral("Not Open"));
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Failure"), CouldNotOpenText(name, message),
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    // Lost while open: said once, in the status bar and the port pane, and a
    // serial receiver is waited for. No box: nobody may be there to close it,
    // and the receiver may be back before anyone could.
    if (const auto* serial = qobject_cast<const CSerialPort*>(link_.get())) {
        reconnector_.Start(serial->identity(), serial->baudRate());
        statusBar()->showMessage(SerialLossText(*serial, message));
    } else {
        statusBar()->showMessage(QStringLiteral("%1: %2").arg(name, message));
    }
}

void CMainFrame::OnLinkClosed() {
    // The link closed by itself (device gone, end of a replay): forget it.
    if (link_ && !link_->isOpen()) {
        timelineBar_->Attach(nullptr);
        link_.release()->deleteLater();
        SetPortPane(reconnector_.Waiting() ? ReconnectingText() : QStringLiteral("Not Open"));
    }
}

void CMainFrame::ReportOpenFailure(const QString& name, const QString& reason) {
    QApplication::beep();
    QMessageBox::warning(this, QStringLiteral("Failure"), CouldNotOpenText(name, reason));
    SetPortPane(QStringLiteral("Not Open"));
}

void CMainFrame::StartTimer(const QString& portTag) {
    if (!portTag.isEmpty()) {
        setWindowTitle(windowTitle() + QStringLiteral("(%1)").arg(portTag));
    }
    timer_.start(kTimerMs);
    if (!timer_.isActive()) {
        QMessageBox::critical(this, QStringLiteral("ZarnMon"), QStringLiteral("Failed To Create Timer"));
    }
}

void CMainFrame::OnTimerTick() {
    // Each open document's first view gets the tick.
    for (const auto& templ : templates_) {
        for (CBaseDoc* document : templ.Documents()) {
            document->PostRefreshTick();
        }
    }
    ++tickCount_;
    // Also a second wake-up for the reconnect schedule; a receiver back in
    // time for this tick's keep-alive gets its messages asked for at once.
    reconnector_.Poll();
    const bool askIdentity = LinkOpen() && link_->acceptsCommands();
    if (housekeeping_.NextTickKeepsAlive()) {
        logs_.EnsureReferenceLoaded();
    }
    housekeeping_.Tick(context_.autoConfigure, askIdentity, logs_.Needs(housekeeping_.WaasProcessing()));
}

void CMainFrame::OpenView(int templateId) {
    for (auto& templ : templates_) {
        if (templ.Type().templateId != templateId) {
            continue;
        }
        if (CBaseDoc* open = templ.FindOpenDocument(); open != nullptr && open->FirstView() != nullptr) {
            for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
                if (window->widget() == open->FirstView()) {
                    if (window->isMinimized()) {
                        window->showNormal();
                    }
                    mdiArea_->setActiveSubWindow(window);
                    window->raise();
                }
            }
            return;
        }
        if (CChildFrame* opened = templ.OpenNew(*mdiArea_, services_)) {
            // The window wears its view's tool-bar glyph.
            opened->setWindowIcon(Action(templ.Type().commandId)->icon());
            RestorePlacement(context_.settings, *opened, *mdiArea_);
            opened->installEventFilter(this);
        }
        return;
    }
}

void CMainFrame::WatchReplay() {
    auto* replay = qobject_cast<CReplayLink*>(link_.get());
    QAction* pause = Action(kPauseReplayId);
    pause->setChecked(replay != nullptr && replay->isPaused());
    if (replay == nullptr) {
        return;
    }
    new CReplayControl(*replay, context_, [this] { ForgetReceived(); });
    timelineBar_->Attach(replay);
    connect(replay, &CReplayLink::progressChanged, this, [this](qint64 played, qint64 total) {
        const qint64 percent = total > 0 ? played * 100 / total : 100;
        statusBar()->showMessage(QStringLiteral("Replay: %1% (%2 of %3 bytes)").arg(percent).arg(played).arg(total));
    });
    connect(pause, &QAction::toggled, replay, [replay](bool paused) {
        if (paused) {
            replay->pause();
        } else {
            replay->resume();
        }
    });
}

void CMainFrame::SetPortPane(const QString& text) { panes_.at(kPortPaneId)->setText(text); }

QString CMainFrame::PaneText(int paneId) const {
    const auto pane = panes_.find(paneId);
    return pane == panes_.end() ? QString() : pane->second->text();
}

QAction* CMainFrame::Action(int commandId) const {
    const auto action = actions_.find(commandId);
    return action == actions_.end() ? nullptr : action->second;
}

void CMainFrame::UpdateUi() {
    const bool open = LinkOpen();
    Action(kDisconnectId)->setEnabled(open || reconnector_.Waiting());
    Action(kReconnectId)->setEnabled(reconnector_.Waiting());
    Action(kDataFlowId)->setEnabled(open);
    Action(kPauseReplayId)->setEnabled(qobject_cast<CReplayLink*>(link_.get()) != nullptr);
    for (const auto& [id, on] :
         {std::pair{kDataLogId, logs_.DataLogRecording()}, std::pair{kBinaryLogId, logs_.BinaryLogOpen()},
          std::pair{kPhaseLogId, logs_.PhaseLogOpen()}}) {
        // A log can be stopped at any time, started only on an open link.
        Action(id)->setChecked(on);
        Action(id)->setEnabled(open || on);
    }
    UpdateEditCommands();
    UpdatePrintCommands();
    logPane_->setText(logs_.StatusText());
    logPane_->setVisible(!logPane_->text().isEmpty());
    QAction* waas = Action(kWaasId);
    waas->setChecked(housekeeping_.WaasProcessing());
    waas->setEnabled(housekeeping_.WaasAllowed());
    const bool waasMessages = housekeeping_.WaasProcessing() || context_.receiverInfo.ArmVersion() >= 5.0 ||
                              context_.dispatcher.Rd1().Rd1HasDualBer();
    for (const ViewDescriptor& view : ViewDescriptors()) {
        bool enabled = static_cast<bool>(view.factory);
        switch (view.availability) {
            case ViewAvailability::Always:
                break;
            case ViewAvailability::WhileLinkOpen:
                enabled = enabled && open;
                break;
            case ViewAvailability::WithWaas:
                enabled = enabled && waasMessages;
                break;
        }
        Action(view.Type().commandId)->setEnabled(enabled);
    }
    panes_.at(kFixPaneId)->setText(Latin1(FixPaneText(context_.dispatcher, open)));
    panes_.at(kTimePaneId)->setText(Latin1(TimePaneText(context_.dispatcher)));
}

void CMainFrame::ShowDataFlow() {
    CDataFlowDialog dialog(context_.dispatcher, context_.autoConfigure, this);
    dialog.exec();
}

void CMainFrame::ShowAbout() {
    CAboutDialog dialog(this);
    dialog.exec();
}

void CMainFrame::SaveOpenWindows() {
    zarnmon::SaveOpenWindows(context_.settings, [this](const ViewType& type) {
        for (const auto& templ : templates_) {
            if (templ.Type().templateId == type.templateId) {
                return templ.FindOpenDocument() != nullptr;
            }
        }
        return false;
    });
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (const auto* window = qobject_cast<QMdiSubWindow*>(watched)) {
            SavePlacement(context_.settings, *window);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The dock hides with the window, which the profile must not take for a choice.
    disconnect(healthDock_->toggleViewAction(), nullptr, this, nullptr);
    SaveOpenWindows();
    SavePlacement(context_.settings, *this);
    for (const QMdiSubWindow* window : mdiArea_->subWindowList()) {
        SavePlacement(context_.settings, *window);
    }
    QMainWindow::closeEvent(event);
}

}  // namespace zarnmon
