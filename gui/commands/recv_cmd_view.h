#pragma once

// "Receiver Command Page": the user types a receiver command, or picks one
// from the receiver's command list with its help, sends it over the open
// link, and reads the receiver's replies for six seconds after the send.
//
// The controls carry their ids as object names ("1014" the command box,
// "1015" Send, "1018" the reply, "1054" Show Beacon Reply, "1013" the
// command list, "1016" its help). The command box's list is the run's
// history of sent commands; Up and Down walk it, Tab completes a command
// name, and the command list narrows to the commands the box's text names.
// A reply line that acknowledges the command just sent is highlighted by an
// overlay, so the reply's text stays the receiver's own for Copy.

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdint>
#include <string>

#include "core/commands/history_reader.h"
#include "gui/state/edit_target.h"
#include "gui/state/form_view.h"

namespace zarnmon {

class CViewRecvCmd final : public CFormView, public IEditTarget {
    Q_OBJECT

public:
    explicit CViewRecvCmd(const ViewServices& services, QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override { return {700, 560}; }

    [[nodiscard]] QComboBox& CommandBox() const { return *command_; }
    [[nodiscard]] QPushButton& SendButton() const { return *send_; }
    [[nodiscard]] QPlainTextEdit& ReplyBox() const { return *reply_; }
    [[nodiscard]] QCheckBox& BeaconBox() const { return *beacon_; }
    [[nodiscard]] QListWidget& CommandList() const { return *list_; }
    [[nodiscard]] QPlainTextEdit& HelpBox() const { return *help_; }

    // Sends what the command box holds, as the Send button does.
    void Send();

    // Copy and Cut follow whichever of the command box and the reply had
    // the focus last; Paste always goes into the command box.
    [[nodiscard]] EditAbility Ability() const override;
    void Copy() override;
    void Cut() override;
    void Paste() override;

protected:
    void OnRxMessage(int slot) override;
    void OnRefreshTick() override {}
    // A record of lines, not values that could be taken for live ones.
    [[nodiscard]] bool GreysStaleValues() const override { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Enter anywhere on the page sends, as a dialog's default button would.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* BuildSendGroup();
    QWidget* BuildCatalogueGroup();
    // Reads every new reply line of slot, into the reply text while it is shown.
    void ReadReplies(int slot, bool shown);
    // The reply text, with the lines that acknowledge the last command highlighted.
    void ShowReplies();
    void ShowInvalidEntry();
    void ShowSelectedHelp();
    // Only the commands the box's text names stay in the list.
    void FilterList(const QString& typed);
    // Steps through the history: +1 older, -1 newer; past the newest is
    // what was typed before the walk began.
    void WalkHistory(int step);
    // Completes the command name in the box; false when there is nothing to complete.
    bool CompleteName();
    // Puts text in the command box with the caret at its end.
    void SetCommandText(const QString& text);
    [[nodiscard]] bool EntryHadFocus() const { return lastFocus_ != reply_; }

    QComboBox* command_ = nullptr;
    QPushButton* send_ = nullptr;
    QPlainTextEdit* reply_ = nullptr;
    QCheckBox* beacon_ = nullptr;
    QListWidget* list_ = nullptr;
    QPlainTextEdit* help_ = nullptr;
    // The command box (its edit counts as it) or the reply.
    QWidget* lastFocus_ = nullptr;

    CHistoryReader replies_;
    CHistoryReader beaconReplies_;
    std::string replyText_;
    // The command last sent, as it went out, for marking its acknowledgement.
    std::string lastSent_;
    std::uint32_t sendTick_ = 0;

    // -1 while the box holds typed text, else the history entry it shows.
    int walk_ = -1;
    QString typedBeforeWalk_;
};

}  // namespace zarnmon
