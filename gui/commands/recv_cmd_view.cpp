#include "gui/commands/recv_cmd_view.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>

#include "core/commands/command_catalogue.h"
#include "core/commands/command_send.h"
#include "gui/commands/read_only_box.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

// Reply lines are read as the page has always read them: cut to 1023 characters.
constexpr std::size_t kReplyEntryBytes = 1024;
const QColor kAcknowledgedBackground(0xD8, 0xF0, 0xD8);
const QColor kAcknowledgedText(0x00, 0x60, 0x00);

bool IsEnter(const QKeyEvent& key) { return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter; }

}  // namespace

CViewRecvCmd::CViewRecvCmd(const ViewServices& services, QWidget* parent)
    : CFormView(services, parent), replies_(kReplyEntryBytes), beaconReplies_(kReplyEntryBytes) {
    auto* layout = new QVBoxLayout(&Form());
    layout->addWidget(BuildSendGroup(), 1);
    layout->addWidget(BuildCatalogueGroup(), 1);

    for (const CommandEntry& entry : CommandCatalogue()) {
        list_->addItem(Latin1(entry.syntax));
    }
    // Every syntax reads whole without scrolling sideways.
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + list_->verticalScrollBar()->sizeHint().width() +
                           2 * list_->frameWidth() + 4);
    for (const std::string& sent : Context().commandHistory.Entries()) {
        command_->addItem(Latin1(sent));
    }
    if (command_->count() > 0) {
        command_->setCurrentIndex(0);
    }
    beacon_->setChecked(Context().showBeaconReply);
    lastFocus_ = command_;

    for (const int slot : {Slots::ReplyHandler, Slots::BeaconReplyHandler}) {
        Subscriptions().Subscribe(slot);
    }
    replies_.CatchUp(Dispatcher().Handler(Slots::ReplyHandler));
    beaconReplies_.CatchUp(Dispatcher().Handler(Slots::BeaconReplyHandler));
    sendTick_ = Context().clock.Now();

    connect(send_, &QPushButton::clicked, this, &CViewRecvCmd::Send);
    connect(beacon_, &QCheckBox::toggled, this, [this](bool on) { Context().showBeaconReply = on; });
    connect(list_, &QListWidget::itemSelectionChanged, this, &CViewRecvCmd::ShowSelectedHelp);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](const QListWidgetItem* item) {
        SetCommandText(Latin1(CommandCatalogue()[static_cast<std::size_t>(list_->row(item))].syntax));
        command_->setFocus();
    });
    // Only what the user types narrows the list; a command taken from the
    // history or the list leaves it as it was.
    connect(command_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& typed) {
        walk_ = -1;
        FilterList(typed);
    });
    for (QObject* watched : std::initializer_list<QObject*>{command_, command_->lineEdit(), reply_}) {
        watched->installEventFilter(this);
    }
}

QWidget* CViewRecvCmd::BuildSendGroup() {
    auto* group = new QGroupBox(QStringLiteral("Send To Receiver"), &Form());
    auto* grid = new QGridLayout(group);

    command_ = new QComboBox(group);
    command_->setObjectName(QStringLiteral("1014"));
    command_->setEditable(true);
    // The page keeps the history itself: Enter sends and records, nothing
    // else changes the list, and no completer rewrites what is typed.
    command_->setInsertPolicy(QComboBox::NoInsert);
    command_->setDuplicatesEnabled(true);
    command_->setCompleter(nullptr);
    command_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* message = new QLabel(QStringLiteral("Message:"), group);
    message->setBuddy(command_);

    send_ = new QPushButton(QStringLiteral("Send"), group);
    send_->setObjectName(QStringLiteral("1015"));
    send_->setDefault(true);

    reply_ = ReadOnlyBox("1018", group);
    auto* replyLabel = new QLabel(QStringLiteral("Reply:"), group);
    replyLabel->setBuddy(reply_);

    beacon_ = new QCheckBox(QStringLiteral("Show Beacon Reply"), group);
    beacon_->setObjectName(QStringLiteral("1054"));

    grid->addWidget(message, 0, 0);
    grid->addWidget(command_, 0, 1);
    grid->addWidget(send_, 0, 2);
    grid->addWidget(replyLabel, 1, 0, Qt::AlignTop);
    grid->addWidget(reply_, 1, 1, 1, 2);
    grid->addWidget(beacon_, 2, 1);
    grid->setRowStretch(1, 1);
    return group;
}

QWidget* CViewRecvCmd::BuildCatalogueGroup() {
    auto* group = new QGroupBox(QStringLiteral("Command List and Help"), &Form());
    auto* row = new QHBoxLayout(group);
    list_ = new QListWidget(group);
    list_->setObjectName(QStringLiteral("1013"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    help_ = ReadOnlyBox("1016", group);
    help_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    row->addWidget(list_, 1);
    row->addWidget(help_, 2);
    return group;
}

void CViewRecvCmd::Send() {
    // Without a main frame there is nothing to send through.
    ICommandSender* sender = Dispatcher().Sender();
    if (sender == nullptr) {
        return;
    }
    const std::string typed = Latin1Bytes(command_->currentText());
    if (typed.empty()) {
        ShowInvalidEntry();
        return;
    }
    reply_->clear();
    if (Context().commandHistory.Record(typed)) {
        command_->insertItem(0, Latin1(typed));
        command_->setCurrentIndex(0);
    }
    walk_ = -1;
    sendTick_ = Context().clock.Now();
    replyText_.clear();
    replies_.CatchUp(Dispatcher().Handler(Slots::ReplyHandler));
    beaconReplies_.CatchUp(Dispatcher().Handler(Slots::BeaconReplyHandler));
    lastSent_ = CutAtLineEnd(typed);
    // A closed link is reported by the sender itself; the page says it sent.
    (void)SendTypedCommand(typed, Dispatcher(), *sender);
    Receiver().ShowStatusMessage(Latin1(kMessageSent));
}

void CViewRecvCmd::ShowInvalidEntry() {
    reply_->setPlainText(Latin1(kInvalidEntry));
    reply_->setExtraSelections({});
    Receiver().ShowStatusMessage(Latin1(kInvalidEntry));
}

void CViewRecvCmd::OnRxMessage(int slot) {
    if (slot != Slots::ReplyHandler && slot != Slots::BeaconReplyHandler) {
        return;
    }
    // Replies after the window would never be shown (the next send clears
    // them), so they are read and passed over: a page left open for days
    // does not grow.
    const bool shown = WithinReplyWindow(sendTick_, Context().clock.Now());
    ReadReplies(slot, shown);
    if (shown) {
        ShowReplies();
    }
}

void CViewRecvCmd::ReadReplies(int slot, bool shown) {
    const bool beacon = slot == Slots::BeaconReplyHandler;
    // A beacon reply read while the box is clear is passed over for good.
    const bool keep = shown && (!beacon || Context().showBeaconReply);
    (beacon ? beaconReplies_ : replies_).ReadNew(Dispatcher().Handler(slot), [this, keep](std::string_view line) {
        if (keep) {
            replyText_ += line;
        }
    });
}

void CViewRecvCmd::ShowReplies() {
    reply_->setPlainText(Latin1(replyText_));
    QList<QTextEdit::ExtraSelection> marks;
    for (QTextBlock block = reply_->document()->begin(); block.isValid(); block = block.next()) {
        if (!AcknowledgesCommand(Latin1Bytes(block.text()), lastSent_)) {
            continue;
        }
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        mark.format.setBackground(kAcknowledgedBackground);
        mark.format.setForeground(kAcknowledgedText);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    reply_->setExtraSelections(marks);
}

void CViewRecvCmd::ShowSelectedHelp() {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (!selected.isEmpty()) {
        help_->setPlainText(Latin1(CommandCatalogue()[static_cast<std::size_t>(list_->row(selected.front()))].help));
    }
}

void CViewRecvCmd::FilterList(const QString& typed) {
    const std::vector<std::size_t> shown = MatchingEntries(Latin1Bytes(typed));
    for (int row = 0; row < list_->count(); ++row) {
        list_->item(row)->setHidden(std::ranges::find(shown, static_cast<std::size_t>(row)) == shown.end());
    }
}

void CViewRecvCmd::WalkHistory(int step) {
    const std::vector<std::string>& sent = Context().commandHistory.Entries();
    const int next = walk_ + step;
    if (next < -1 || next >= static_cast<int>(sent.size())) {
        return;
    }
    if (walk_ == -1) {
        typedBeforeWalk_ = command_->currentText();
    }
    walk_ = next;
    SetCommandText(next == -1 ? typedBeforeWalk_ : Latin1(sent[static_cast<std::size_t>(next)]));
}

bool CViewRecvCmd::CompleteName() {
    const std::optional<std::string> completed = CompleteCommandName(Latin1Bytes(command_->currentText()));
    if (!completed) {
        return false;
    }
    SetCommandText(Latin1(*completed));
    walk_ = -1;
    FilterList(command_->currentText());
    return true;
}

void CViewRecvCmd::SetCommandText(const QString& text) {
    command_->setEditText(text);
    command_->lineEdit()->end(false);
}

bool CViewRecvCmd::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        lastFocus_ = watched == reply_ ? static_cast<QWidget*>(reply_) : command_;
    } else if (event->type() == QEvent::KeyPress && watched != reply_) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if ((key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0) {
            switch (key.key()) {
                case Qt::Key_Up:
                    WalkHistory(1);
                    return true;
                case Qt::Key_Down:
                    WalkHistory(-1);
                    return true;
                case Qt::Key_Tab:
                    // Nothing to complete: Tab moves on as usual.
                    return CompleteName();
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    Send();
                    return true;
                default:
                    break;
            }
        }
    }
    return CFormView::eventFilter(watched, event);
}

void CViewRecvCmd::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(*event)) {
        Send();
        return;
    }
    CFormView::keyPressEvent(event);
}

EditAbility CViewRecvCmd::Ability() const {
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    const bool paste = clipboard != nullptr && clipboard->hasText();
    if (EntryHadFocus()) {
        const bool selected = command_->lineEdit()->hasSelectedText();
        return {selected, selected, paste};
    }
    return {reply_->textCursor().hasSelection(), false, paste};
}

void CViewRecvCmd::Copy() {
    if (EntryHadFocus()) {
        command_->lineEdit()->copy();
    } else {
        reply_->copy();
    }
}

void CViewRecvCmd::Cut() {
    // The reply is the receiver's: cutting from it copies.
    if (EntryHadFocus()) {
        command_->lineEdit()->cut();
    } else {
        reply_->copy();
    }
}

void CViewRecvCmd::Paste() { command_->lineEdit()->paste(); }

}  // namespace zarnmon
