#pragma once

// The tool bar under the main one while a raw log is replayed: the
// receiver's time as the views show it, the play time reached and the
// length of the log ("02:30 / 60:00"), a slider over the log's time to seek
// with, steps of one message and one second, the start and the end, the
// three speeds and the loop switch.
//
// Keys, wherever the focus is in the main window (an editor keeps its own):
// Space plays or pauses, Left and Right step one message, Ctrl+Left and
// Ctrl+Right one second, Home and End go to the start and the end. A step
// and the end pause the replay, so what they show stays on the screen;
// the slider and the start leave it playing or paused as it was.
//
// Play and pause go through the main window's "Pause Replay" command, so
// the menu and the bar always agree. The slider seeks when it is let go,
// not while it is dragged: going back replays the log from its start, and
// one move is enough.

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QSlider>
#include <QToolBar>

#include "gui/link/replay_link.h"

namespace zarnmon {

class CReplayTimelineBar final : public QToolBar {
    Q_OBJECT

public:
    // pause is the main window's checkable "Pause Replay" command.
    CReplayTimelineBar(QAction& pause, QWidget* parent);

    // Follows link, or hides when null.
    void Attach(CReplayLink* link);

    [[nodiscard]] QSlider& Slider() const { return *slider_; }
    [[nodiscard]] QString TimeText() const { return time_->text(); }
    [[nodiscard]] QString ElapsedText() const { return elapsed_->text(); }

private:
    QAction* AddButton(const QString& text, const QString& toolTip, const QKeySequence& key);
    void Step(ReplayStep step);
    void GoToEnd();
    void SetSpeed(ReplaySpeed speed);
    // Shows where the replay stands.
    void ShowPosition();
    // Shows what the labels would read at offset: the slider's preview too.
    void ShowTimeAt(std::size_t offset);
    void OnSliderValue(int value);

    QAction& pause_;
    QPointer<CReplayLink> link_;
    QAction* playPause_ = nullptr;
    QAction* times1_ = nullptr;
    QAction* times10_ = nullptr;
    QAction* fastest_ = nullptr;
    QAction* loop_ = nullptr;
    QSlider* slider_ = nullptr;
    QLabel* time_ = nullptr;
    QLabel* elapsed_ = nullptr;
};

}  // namespace zarnmon
