#pragma once

// The scrolling view every element-based display is built on. It owns the
// view's elements and its subscriptions, paints the elements that meet the
// exposed area on a white background, repaints only elements that changed,
// and runs the refresh tick's countdown: every fourth tick it asks for the
// messages the view needs to be switched on again. When the messages it
// subscribed to have stopped, the whole view is drawn greyed, so nobody reads
// a stale value as a live one.
//
// Copy puts the view's texts on the clipboard as tab-separated lines, what a
// spreadsheet or a bug report takes; there is nothing to cut or paste.
//
// Coordinates: one logical unit is one pixel, y down; the scroll offset is
// applied between logical and device coordinates.

#include <QAbstractScrollArea>
#include <QImage>
#include <QSize>
#include <utility>
#include <vector>

#include "gui/displays/drawing_element.h"
#include "gui/state/edit_target.h"
#include "gui/state/view_services.h"
#include "gui/state/view_subscriptions.h"

namespace zarnmon {

class CElementView : public QAbstractScrollArea, public IEditTarget {
    Q_OBJECT

public:
    explicit CElementView(const ViewServices& services, QWidget* parent = nullptr);
    ~CElementView() override;

    // Sets the scroll extent, subscribes and fits the frame; runs once, at
    // the first show, or earlier when called.
    void InitialUpdate();

    [[nodiscard]] QSize Extent() const { return extent_; }
    [[nodiscard]] const CElementList& Elements() const { return elements_; }
    // Whether the view is drawn greyed: its messages have stopped.
    [[nodiscard]] bool ShowsStale() const { return subscriptions_.Stale(); }
    [[nodiscard]] QPoint ScrollOffset() const;
    // Updates every element and repaints those that changed; returns how many.
    int UpdateAll();
    // The whole scroll extent drawn on white, however little the window shows.
    [[nodiscard]] QImage Picture();
    // The whole scroll extent on white onto the painter's device, one logical
    // unit to one unit of the painter's coordinates: the screen, a picture and
    // a printer get the same drawing. The font goes in pixels, so a printer's
    // resolution does not enlarge the text on top of the painter's scale.
    void PaintExtent(QPainter& painter);
    // Repaints a logical rectangle.
    void InvalidateLogical(const QRect& rect);

    // What Copy puts on the clipboard: by default the elements' texts.
    [[nodiscard]] virtual QString CopiedText() const;
    // Whether Copy has anything to copy; asked on every pass over the
    // commands' states, so it does not build the text.
    [[nodiscard]] virtual bool HasCopiedText() const { return elements_.HasText(); }
    // Copy while there is text to copy.
    [[nodiscard]] EditAbility Ability() const override;
    void Copy() override;
    void Cut() override {}
    void Paste() override {}

protected:
    [[nodiscard]] CAppContext& Context() const { return services_.context; }
    [[nodiscard]] IReceiverControl& Receiver() const { return services_.receiver; }
    [[nodiscard]] CMsgDispatcher& Dispatcher() const { return services_.context.dispatcher; }
    [[nodiscard]] CElementList& MutableElements() { return elements_; }

    void SetExtent(QSize extent);
    // Called from OnInitialUpdate.
    void SubscribeTo(int slot);
    // For a view that reacts to each message, not only to what the handlers hold now.
    void NotifyEveryMessage() { subscriptions_.NotifyEveryMessage(); }

    // The view's part of the initial update: subscriptions and extent.
    virtual void OnInitialUpdate() = 0;
    // A stored message of a handler the view subscribed to.
    virtual void OnRxMessage(int slot) = 0;
    // Before the elements of an update pass compute their texts.
    virtual void OnBeforeUpdate() {}
    // The refresh tick, once a second. The default runs the countdown.
    virtual void OnRefreshTick();
    // The slots switched on again every fourth tick while auto-configure is on.
    [[nodiscard]] virtual std::vector<int> KeptOnSlots() const { return {}; }
    // Whether the frame is sized to the scroll extent at the initial update.
    [[nodiscard]] virtual bool FitsFrame() const { return true; }
    // Painting under and on top of the elements, in logical coordinates.
    virtual void PaintUnder(QPainter& /*painter*/, const QRect& /*clip*/) {}
    virtual void PaintOver(QPainter& /*painter*/, const QRect& /*clip*/) {}
    // True on every fourth call, starting with the fourth.
    bool CountDown() { return subscriptions_.CountDown(); }
    // The view's frame gained or lost activation.
    virtual void OnActivation() {}

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void showEvent(QShowEvent* event) override;

private:
    void PaintContent(QPainter& painter, const QRect& clip, const QFont& font);
    void UpdateScrollBars();
    void FitFrame();

    ViewServices services_;
    CElementList elements_;
    CViewSubscriptions subscriptions_;
    QSize extent_;
    bool initialised_ = false;
};

}  // namespace zarnmon
