// The main window's commands, menus, tool bar and status bars: the texts,
// ids and order the users know. The views' entries come from the view
// registry; a command whose view is not part of the program yet is shown
// disabled.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolBar>
#include <algorithm>
#include <type_traits>

#include "gui/app/command_icon.h"
#include "gui/app/main_frame.h"
#include "gui/app/replay_timeline_bar.h"
#include "gui/app/view_registry.h"
#include "gui/app/window_arranger.h"
#include "gui/state/edit_target.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

constexpr int kCutId = 57635;
constexpr int kCopyId = 57634;
constexpr int kPasteId = 57637;
constexpr int kAboutId = 57664;
constexpr int kExitId = 57665;
constexpr int kToolBarId = 59392;
constexpr int kStatusBarId = 59393;
constexpr int kPaneWidth = 100;

// Tool-bar places of the frame's own buttons beside the views' (group * 10 + place).
constexpr int kConnectPlace = 0;
constexpr int kDataFlowPlace = 21;
constexpr int kCutPlace = 50;
constexpr int kCopyPlace = 51;
constexpr int kPastePlace = 52;
constexpr int kPrintPlace = 60;
constexpr int kAboutPlace = 61;
// The focused text editor, for the edit commands.
template <typename Fn>
void OnFocusedEditor(Fn&& fn) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        fn(line);
    } else if (auto* text = qobject_cast<QTextEdit*>(focus)) {
        fn(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        fn(plain);
    }
}

// What the edit commands can do with the focused editor: copy and cut need a
// selection, cut and paste an editor that takes typing.
EditAbility FocusedEditAbility() {
    EditAbility ability;
    OnFocusedEditor([&ability](auto* editor) {
        bool selected = false;
        bool readOnly = editor->isReadOnly();
        if constexpr (std::is_same_v<decltype(editor), QLineEdit*>) {
            selected = editor->hasSelectedText();
        } else {
            selected = editor->textCursor().hasSelection();
        }
        ability = {selected, selected && !readOnly, !readOnly};
    });
    return ability;
}

// The current view when it takes the edit commands itself.
IEditTarget* EditTargetOf(const QMdiArea& area) {
    const QMdiSubWindow* current = area.currentSubWindow();
    return current != nullptr ? dynamic_cast<IEditTarget*>(current->widget()) : nullptr;
}

// An edit command: the current view's when it takes them, else the focused editor's.
template <typename EditorCommand>
auto EditCommand(const QMdiArea* area, void (IEditTarget::*viewCommand)(), EditorCommand editorCommand) {
    return [area, viewCommand, editorCommand] {
        if (IEditTarget* target = EditTargetOf(*area)) {
            (target->*viewCommand)();
        } else {
            OnFocusedEditor(editorCommand);
        }
    };
}

}  // namespace

void CMainFrame::UpdateEditCommands() {
    const IEditTarget* target = EditTargetOf(*mdiArea_);
    const EditAbility ability = target != nullptr ? target->Ability() : FocusedEditAbility();
    Action(kCopyId)->setEnabled(ability.copy);
    Action(kCutId)->setEnabled(ability.cut);
    Action(kPasteId)->setEnabled(ability.paste);
}

QAction* CMainFrame::AddCommand(int id, const QString& text, std::string_view prompt) {
    auto* action = new QAction(text, this);
    const auto newline = prompt.find('\n');
    action->setStatusTip(Latin1(prompt.substr(0, newline)));
    if (newline != std::string_view::npos) {
        action->setToolTip(Latin1(prompt.substr(newline + 1)));
    }
    action->setData(id);
    actions_[id] = action;
    return action;
}

void CMainFrame::BuildActions() {
    connect(AddCommand(kConnectId, QStringLiteral("C&onnect ..."), "Open the comm port\nOpen Connection"),
            &QAction::triggered, this, &CMainFrame::Connect);
    connect(AddCommand(kDisconnectId, QStringLiteral("D&isconnect ..."), "Close the comm port\nClose Connection"),
            &QAction::triggered, this, &CMainFrame::Disconnect);
    connect(AddCommand(kReconnectId, QStringLiteral("&Reconnect"), "Look for the unplugged receiver now\nReconnect"),
            &QAction::triggered, this, &CMainFrame::Reconnect);
    connect(AddCommand(kDataFlowId, QStringLiteral("&Data Flow ..."), kDataFlowPrompt), &QAction::triggered, this,
            &CMainFrame::ShowDataFlow);
    for (const auto& [id, text, prompt, toggle] :
         {std::tuple{kDataLogId, "Log &Data ...", "Log Data to File", &CLogControl::ToggleDataLog},
          std::tuple{kBinaryLogId, "Log &Binary Data...", "Log Binary Data to a File", &CLogControl::ToggleBinaryLog},
          std::tuple{kPhaseLogId, "Log P&hase Data ...", "Log Binary Phase Data to a File",
                     &CLogControl::TogglePhaseLog}}) {
        QAction* action = AddCommand(id, QString::fromLatin1(text), prompt);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, toggle] { (logs_.*toggle)(); });
    }
    connect(AddCommand(kConfigureLogId, QStringLiteral("Configure &Log ..."), "Configure Log Interval and Data Amount"),
            &QAction::triggered, this, [this] { logs_.ConfigureDataLog(); });
    connect(AddCommand(kConfigureLocationId, QStringLiteral("Configure Loca&tion ..."),
                       "Configure location for Log Errors"),
            &QAction::triggered, this, [this] { logs_.ConfigureLocation(); });
    QAction* pause = AddCommand(kPauseReplayId, QStringLiteral("&Pause Replay"),
                                "Pause or resume the raw log being replayed\nPause Replay");
    pause->setCheckable(true);
    QAction* waas = AddCommand(kWaasId, QStringLiteral("Let Zarnmon Process &WAAS"),
                               "Turn on and let Zarnmon Process WAAS messages");
    waas->setCheckable(true);
    connect(waas, &QAction::triggered, this, [this] { housekeeping_.ToggleWaas(); });

    for (const ViewDescriptor& view : ViewDescriptors()) {
        const ViewType& type = view.Type();
        const int templateId = type.templateId;
        QAction* action = AddCommand(type.commandId, Latin1(view.menuText), type.prompt);
        action->setIcon(view.Icon());
        connect(action, &QAction::triggered, this, [this, templateId] { OpenView(templateId); });
    }

    connect(AddCommand(kCutId, QStringLiteral("Cu&t"), "Cut the selection and put it on the Clipboard\nCut"),
            &QAction::triggered, this, EditCommand(mdiArea_, &IEditTarget::Cut, [](auto* editor) { editor->cut(); }));
    connect(AddCommand(kCopyId, QStringLiteral("&Copy"), "Copy the selection and put it on the Clipboard\nCopy"),
            &QAction::triggered, this, EditCommand(mdiArea_, &IEditTarget::Copy, [](auto* editor) { editor->copy(); }));
    connect(AddCommand(kPasteId, QStringLiteral("&Paste"), "Insert Clipboard contents\nPaste"), &QAction::triggered,
            this, EditCommand(mdiArea_, &IEditTarget::Paste, [](auto* editor) { editor->paste(); }));
    Action(kCutId)->setShortcuts(QKeySequence::Cut);
    Action(kCopyId)->setShortcuts(QKeySequence::Copy);
    Action(kPasteId)->setShortcuts(QKeySequence::Paste);
    connect(AddCommand(kAboutId, QStringLiteral("&About ZarnMon..."),
                       "Display program information, version number and copyright\nAbout"),
            &QAction::triggered, this, &CMainFrame::ShowAbout);
    connect(AddCommand(kExitId, QStringLiteral("E&xit"), "Quit the application; prompts to save documents\nExit"),
            &QAction::triggered, this, &QWidget::close);
    // Keys desktop users expect beyond the standard accelerators.
    Action(kExitId)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Action(kAboutId)->setShortcut(QKeySequence(Qt::Key_F1));

    for (const auto& [id, name, glyph] :
         {std::tuple{kConnectId, "connect", "Conn"}, std::tuple{kAboutId, "about", "?"},
          std::tuple{kCutId, "cut", "Cut"}, std::tuple{kCopyId, "copy", "Copy"}, std::tuple{kPasteId, "paste", "Paste"},
          std::tuple{kDataFlowId, "dataflow", "Flow"}}) {
        Action(id)->setIcon(CommandIcon(QString::fromLatin1(name), QString::fromLatin1(glyph)));
    }
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(Action(kConnectId));
    file->addAction(Action(kDisconnectId));
    file->addAction(Action(kReconnectId));
    file->addAction(Action(kPauseReplayId));
    file->addSeparator();
    file->addAction(Action(kDataLogId));
    file->addAction(Action(kConfigureLogId));
    file->addAction(Action(kConfigureLocationId));
    file->addAction(Action(kBinaryLogId));
    file->addAction(Action(kPhaseLogId));
    file->addAction(Action(kWaasId));
    file->addSeparator();
    for (const int id : {kPrintId, kPrintPreviewId, kPrintSetupId, kSaveAsPdfId, kSaveAsImageId}) {
        file->addAction(Action(id));
    }
    file->addSeparator();
    recentFiles_ = new CRecentFilesMenu(context_.settings, *file, this);
    connect(recentFiles_, &CRecentFilesMenu::chosen, this, &CMainFrame::ReplayRecent);
    file->addAction(Action(kExitId));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    for (const ViewDescriptor& descriptor : ViewDescriptors()) {
        view->addAction(Action(descriptor.Type().commandId));
    }

    QMenu* control = menuBar()->addMenu(QStringLiteral("&Control"));
    control->addAction(Action(kDataFlowId));
    control->addAction(Action(DescriptorOf(kCommandPageTemplate).Type().commandId));

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    windowMenu_ = window->menuAction();
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &CMainFrame::ShowViewMenus);
    window->addAction(QStringLiteral("&Cascade"), this, [this] { CascadeWindows(*mdiArea_); });
    window->addAction(QStringLiteral("&Tile"), this, [this] { TileWindows(*mdiArea_); });
    window->addAction(QStringLiteral("&Arrange Icons"), this, [this] { ArrangeIcons(*mdiArea_); });
    connect(window, &QMenu::aboutToShow, this, [this, window] { FillWindowList(*window, *mdiArea_); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(Action(kAboutId));
}

void CMainFrame::ShowViewMenus(QMdiSubWindow* active) {
    for (const QPointer<QAction>& menu : viewMenus_) {
        if (!menu.isNull()) {
            menuBar()->removeAction(menu);
        }
    }
    viewMenus_.clear();
    if (active == nullptr || active->widget() == nullptr) {
        return;
    }
    // A view offers its own menus as actions carrying a menu.
    for (QAction* action : active->widget()->actions()) {
        if (action->menu() != nullptr) {
            menuBar()->insertAction(windowMenu_, action);
            viewMenus_.append(action);
        }
    }
}

void CMainFrame::BuildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("Toolbar"));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    std::vector<std::pair<int, QAction*>> buttons{
        {kConnectPlace, Action(kConnectId)}, {kDataFlowPlace, Action(kDataFlowId)}, {kCutPlace, Action(kCutId)},
        {kCopyPlace, Action(kCopyId)},       {kPastePlace, Action(kPasteId)},       {kAboutPlace, Action(kAboutId)},
        {kPrintPlace, Action(kPrintId)}};
    Action(kPrintId)->setIcon(CommandIcon(QStringLiteral("print"), QStringLiteral("Print")));
    for (const ViewDescriptor& view : ViewDescriptors()) {
        if (view.toolBarPlace != 0) {
            buttons.emplace_back(view.toolBarPlace, Action(view.Type().commandId));
        }
    }
    std::ranges::sort(buttons, {}, &std::pair<int, QAction*>::first);
    // A new group of ten places starts after a separator.
    int group = 0;
    for (const auto& [place, action] : buttons) {
        if (place / 10 != group) {
            bar->addSeparator();
            group = place / 10;
        }
        bar->addAction(action);
    }

    // The replay timeline sits under the tool bar, shown while a replay is open.
    addToolBarBreak();
    timelineBar_ = new CReplayTimelineBar(*Action(kPauseReplayId), this);
    addToolBar(timelineBar_);

    QMenu* view = menuBar()->actions().at(1)->menu();
    QAction* first = view->actions().isEmpty() ? nullptr : view->actions().first();
    QAction* toggleBar = bar->toggleViewAction();
    toggleBar->setText(QStringLiteral("&Toolbar"));
    toggleBar->setData(kToolBarId);
    view->insertAction(first, toggleBar);
    QAction* toggleStatus = new QAction(QStringLiteral("Status &Bar"), this);
    toggleStatus->setCheckable(true);
    toggleStatus->setChecked(true);
    toggleStatus->setData(kStatusBarId);
    connect(toggleStatus, &QAction::toggled, this, [this](bool shown) {
        statusBar()->setVisible(shown);
        secondStatusBar_->setVisible(shown);
    });
    view->insertAction(first, toggleStatus);
    view->insertSeparator(first);
    // Ours, after the items the users know, which keep their places.
    view->addSeparator();
    view->addAction(Action(kLinkHealthId));
}

void CMainFrame::BuildHealthDock() {
    healthDock_ = new CLinkHealthDock(context_, this);
    addDockWidget(Qt::RightDockWidgetArea, healthDock_);
    QAction* toggle = healthDock_->toggleViewAction();
    toggle->setText(QStringLiteral("Link &Health"));
    toggle->setStatusTip(QStringLiteral("Show or hide the rates, ages and failed checks of the messages"));
    toggle->setData(kLinkHealthId);
    actions_[kLinkHealthId] = toggle;
    // Hidden before the window is first shown, a dock does not say so to its action.
    healthDock_->setVisible(context_.showLinkHealth);
    toggle->setChecked(context_.showLinkHealth);
    connect(toggle, &QAction::toggled, this, [this](bool shown) { context_.showLinkHealth = shown; });
}

void CMainFrame::BuildStatusBars() {
    statusBar()->showMessage(QStringLiteral("Ready"));
    // People leave loggers running for days: the bar shows that they still write.
    logPane_ = new QLabel(this);
    logPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(logPane_);
    for (const int id : {kFixPaneId, kTimePaneId, kPortPaneId}) {
        auto* pane = new QLabel(this);
        pane->setMinimumWidth(kPaneWidth);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(pane);
        panes_[id] = pane;
    }
    panes_.at(kTimePaneId)->setMinimumWidth(2 * kPaneWidth);
    SetPortPane(QStringLiteral("Not Open"));
    for (int i = 0; i < 3; ++i) {
        secondStatusBar_->addWidget(new QLabel(secondStatusBar_), i == 0 ? 1 : 0);
    }
}

}  // namespace zarnmon
