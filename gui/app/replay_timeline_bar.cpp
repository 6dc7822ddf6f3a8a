#include "gui/app/replay_timeline_bar.h"

#include <QActionGroup>
#include <QSignalBlocker>
#include <algorithm>
#include <limits>

#include "core/link/gps_time.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

int SliderValue(std::int64_t ms) {
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

}  // namespace

CReplayTimelineBar::CReplayTimelineBar(QAction& pause, QWidget* parent)
    : QToolBar(QStringLiteral("Replay Timeline"), parent), pause_(pause) {
    setObjectName(QStringLiteral("ReplayTimeline"));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Shown exactly while a replay is open, not at the user's choice.
    toggleViewAction()->setVisible(false);

    playPause_ = AddButton(QStringLiteral("Pause"), QStringLiteral("Play or pause the replay (Space)"),
                           QKeySequence(Qt::Key_Space));
    connect(playPause_, &QAction::triggered, &pause_, &QAction::toggle);
    connect(&pause_, &QAction::toggled, this,
            [this](bool paused) { playPause_->setText(paused ? QStringLiteral("Play") : QStringLiteral("Pause")); });
    addSeparator();
    connect(AddButton(QStringLiteral("Start"), QStringLiteral("Go to the start of the recording (Home)"),
                      QKeySequence(Qt::Key_Home)),
            &QAction::triggered, this, [this] {
                if (link_) {
                    link_->seek(0);
                }
            });
    for (const auto& [text, tip, key, step] :
         {std::tuple{"-1 s", "Step back one second (Ctrl+Left)", QKeySequence(Qt::CTRL | Qt::Key_Left),
                     ReplayStep::SecondBack},
          std::tuple{"-1 msg", "Step back one message (Left)", QKeySequence(Qt::Key_Left), ReplayStep::MessageBack},
          std::tuple{"+1 msg", "Step forward one message (Right)", QKeySequence(Qt::Key_Right),
                     ReplayStep::MessageForward},
          std::tuple{"+1 s", "Step forward one second (Ctrl+Right)", QKeySequence(Qt::CTRL | Qt::Key_Right),
                     ReplayStep::SecondForward}}) {
        const ReplayStep chosen = step;
        connect(AddButton(QString::fromLatin1(text), QString::fromLatin1(tip), key), &QAction::triggered, this,
                [this, chosen] { Step(chosen); });
    }
    connect(AddButton(QStringLiteral("End"), QStringLiteral("Go to the end of the recording (End)"),
                      QKeySequence(Qt::Key_End)),
            &QAction::triggered, this, &CReplayTimelineBar::GoToEnd);
    addSeparator();

    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setToolTip(QStringLiteral("Drag to another time of the recording"));
    // The arrow keys step the replay; the slider takes none.
    slider_->setFocusPolicy(Qt::NoFocus);
    slider_->setMinimumWidth(120);
    slider_->setSingleStep(1000);
    slider_->setPageStep(60 * 1000);
    slider_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    addWidget(slider_);
    connect(slider_, &QSlider::sliderMoved, this, [this](int value) {
        if (link_) {
            ShowTimeAt(link_->timeline().OffsetAtMs(value));
        }
    });
    connect(slider_, &QSlider::sliderReleased, this, [this] {
        if (link_) {
            link_->seekToMs(slider_->value());
        }
    });
    connect(slider_, &QSlider::valueChanged, this, &CReplayTimelineBar::OnSliderValue);
    time_ = new QLabel(this);
    time_->setToolTip(QStringLiteral("The receiver's time (UTC)"));
    elapsed_ = new QLabel(this);
    elapsed_->setToolTip(QStringLiteral("Time played and length of the recording (minutes:seconds)"));
    for (QLabel* label : {time_, elapsed_}) {
        label->setContentsMargins(8, 0, 4, 0);
        addWidget(label);
    }
    addSeparator();

    auto* speeds = new QActionGroup(this);
    for (const auto& [action, text, tip, speed] :
         {std::tuple{&times1_,
                     "\xD7"
                     "1",
                     "Real time, at the receiver's own pace", ReplaySpeed::RealTime},
          std::tuple{&times10_,
                     "\xD7"
                     "10",
                     "Ten times real time", ReplaySpeed::Times10},
          std::tuple{&fastest_, "Max", "As fast as possible", ReplaySpeed::Fastest}}) {
        const ReplaySpeed chosen = speed;
        *action = AddButton(QString::fromLatin1(text), QString::fromLatin1(tip), {});
        (*action)->setCheckable(true);
        speeds->addAction(*action);
        connect(*action, &QAction::triggered, this, [this, chosen] { SetSpeed(chosen); });
    }
    addSeparator();
    loop_ = AddButton(QStringLiteral("Loop"),
                      QStringLiteral("Start again from the beginning at the end of the recording"), {});
    loop_->setCheckable(true);
    connect(loop_, &QAction::toggled, this, [this](bool on) {
        if (link_) {
            link_->setLoop(on);
        }
    });
    hide();
}

QAction* CReplayTimelineBar::AddButton(const QString& text, const QString& toolTip, const QKeySequence& key) {
    QAction* action = addAction(text);
    action->setToolTip(toolTip);
    action->setStatusTip(toolTip);
    action->setShortcut(key);
    return action;
}

void CReplayTimelineBar::Attach(CReplayLink* link) {
    if (link_) {
        link_->disconnect(this);
    }
    link_ = link;
    setVisible(link != nullptr);
    if (link == nullptr) {
        return;
    }
    connect(link, &CReplayLink::progressChanged, this, &CReplayTimelineBar::ShowPosition);
    // The loop switch stays as the user left it, from one replay to the next.
    link->setLoop(loop_->isChecked());
    switch (link->speed()) {
        case ReplaySpeed::RealTime:
            times1_->setChecked(true);
            break;
        case ReplaySpeed::Times10:
            times10_->setChecked(true);
            break;
        case ReplaySpeed::Fastest:
            fastest_->setChecked(true);
            break;
    }
    playPause_->setText(pause_.isChecked() ? QStringLiteral("Play") : QStringLiteral("Pause"));
    const QSignalBlocker blocker(slider_);
    slider_->setRange(0, SliderValue(link->timeline().DurationMs()));
    ShowPosition();
}

void CReplayTimelineBar::Step(ReplayStep step) {
    if (link_) {
        pause_.setChecked(true);
        link_->step(step);
    }
}

void CReplayTimelineBar::GoToEnd() {
    if (link_) {
        pause_.setChecked(true);
        link_->seek(link_->totalBytes());
    }
}

void CReplayTimelineBar::SetSpeed(ReplaySpeed speed) {
    if (link_) {
        link_->setSpeed(speed);
    }
}

void CReplayTimelineBar::ShowPosition() {
    // While the slider is held, it and the labels preview where it is.
    if (!link_ || slider_->isSliderDown()) {
        return;
    }
    const QSignalBlocker blocker(slider_);
    slider_->setValue(SliderValue(link_->timeline().PlayMs()));
    ShowTimeAt(link_->timeline().Position());
}

void CReplayTimelineBar::ShowTimeAt(std::size_t offset) {
    const CReplayTimeline& timeline = link_->timeline();
    const CReplayIndex::TimeTag* tag = timeline.Index().TagAt(offset);
    time_->setText(tag != nullptr
                       ? Latin1(UtcDateTimeText(tag->time.week, tag->time.secondsOfWeek, tag->gpsUtcOffset).View())
                       : QStringLiteral("---"));
    elapsed_->setText(QStringLiteral("%1 / %2").arg(Latin1(zarnmon::ElapsedText(timeline.PlayMsAt(offset))),
                                                    Latin1(zarnmon::ElapsedText(timeline.DurationMs()))));
}

void CReplayTimelineBar::OnSliderValue(int value) {
    // A drag seeks once, when it ends; a click beside the handle or a wheel turn at once.
    if (link_ && !slider_->isSliderDown()) {
        link_->seekToMs(value);
    }
}

}  // namespace zarnmon
