#include "gui/commands/text_view.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <utility>

#include "gui/commands/read_only_box.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

// An entry is read into a buffer of this size, its terminating zero included.
constexpr std::size_t kEntryBytes = 4096;

struct BoxLayout {
    CViewText::Box box;
    const char* title;
    const char* id;
};
constexpr std::array<BoxLayout, CViewText::BoxCount> kBoxLayouts{{
    {CViewText::Messages, "Messages and Reply's", "1020"},
    {CViewText::Nmea, "NMEA", "1019"},
    {CViewText::Rtcm, "RTCM", "1021"},
}};

// Which handler's lines go to which box.
constexpr std::array<std::pair<int, CViewText::Box>, 4> kFeeds{{
    {Slots::ReplyHandler, CViewText::Messages},
    {Slots::BeaconReplyHandler, CViewText::Messages},
    {Slots::NmeaHandler, CViewText::Nmea},
    {Slots::RtcmHandler, CViewText::Rtcm},
}};

}  // namespace

CViewText::CViewText(const ViewServices& services, QWidget* parent) : CFormView(services, parent) {
    auto* layout = new QVBoxLayout(&Form());
    auto* controls = new QHBoxLayout;
    pause_ = new QPushButton(QStringLiteral("Pause"), &Form());
    pause_->setObjectName(QStringLiteral("Pause"));
    pause_->setCheckable(true);
    pause_->setToolTip(QStringLiteral("Hold the boxes still; lines received meanwhile show when they run again"));
    controls->addWidget(pause_);
    controls->addStretch(1);
    layout->addLayout(controls);
    for (const BoxLayout& part : kBoxLayouts) {
        auto* group = new QGroupBox(QString::fromLatin1(part.title), &Form());
        auto* inside = new QVBoxLayout(group);
        QPlainTextEdit* edit = ReadOnlyBox(part.id, group);
        edit->installEventFilter(this);
        inside->addWidget(edit);
        layout->addWidget(group, 1);
        boxes_.at(part.box).edit = edit;
    }
    lastFocus_ = boxes_[Nmea].edit;
    connect(pause_, &QPushButton::toggled, this, &CViewText::SetPaused);

    feeds_.reserve(kFeeds.size());
    for (const auto& [slot, box] : kFeeds) {
        Subscriptions().Subscribe(slot);
        Feed& feed = feeds_.emplace_back(Feed{slot, box, CHistoryReader(kEntryBytes)});
        // Only lines that arrive from now on are shown.
        feed.reader.CatchUp(Dispatcher().Handler(slot));
    }
}

void CViewText::OnRxMessage(int slot) {
    for (Feed& feed : feeds_) {
        if (feed.slot == slot) {
            TextBox& box = boxes_.at(feed.box);
            // The lines go into the box's text one by one and onto the screen
            // together: laying out the edit is the expensive part.
            BoxAppend together;
            feed.reader.ReadNew(Dispatcher().Handler(slot), [&box, &together](std::string_view line) {
                const BoxAppend appended = AppendToBox(box.text, line);
                together.added += appended.added;
                together.trimmed += appended.trimmed;
            });
            Show(box, together);
        }
    }
}

void CViewText::Show(TextBox& box, const BoxAppend& appended) {
    if (appended.added == 0) {
        return;
    }
    if (paused_) {
        box.behind = true;
    } else if (appended.trimmed > 0) {
        ShowWhole(box);
    } else {
        box.edit->moveCursor(QTextCursor::End);
        box.edit->insertPlainText(Latin1(std::string_view(box.text).substr(box.text.size() - appended.added)));
        box.edit->ensureCursorVisible();
    }
}

void CViewText::ShowWhole(TextBox& box) {
    box.edit->setPlainText(Latin1(box.text));
    box.edit->moveCursor(QTextCursor::End);
    box.edit->ensureCursorVisible();
    box.behind = false;
}

void CViewText::SetPaused(bool paused) {
    paused_ = paused;
    if (paused) {
        return;
    }
    for (TextBox& box : boxes_) {
        if (box.behind) {
            ShowWhole(box);
        }
    }
}

bool CViewText::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (const TextBox& box : boxes_) {
            if (watched == box.edit) {
                lastFocus_ = box.edit;
            }
        }
    }
    return CFormView::eventFilter(watched, event);
}

EditAbility CViewText::Ability() const { return {lastFocus_->textCursor().hasSelection(), false, false}; }

void CViewText::Copy() { lastFocus_->copy(); }

// Reaches the box as the command always did; a read-only box keeps its text.
void CViewText::Cut() { lastFocus_->cut(); }

}  // namespace zarnmon
