#pragma once

// The base of the views that are forms of controls (the monitor, the
// statistics): the handlers' notifications and the refresh tick reach them
// as they reach the drawn views, and the form is shown whole, with scroll
// bars when its window is smaller. When the messages the view subscribed to
// have stopped, its texts turn grey, so nobody reads a stale value as live.

#include <QScrollArea>

#include "gui/state/view_services.h"
#include "gui/state/view_subscriptions.h"

namespace zarnmon {

class CFormView : public QScrollArea {
    Q_OBJECT

public:
    explicit CFormView(const ViewServices& services, QWidget* parent = nullptr);

    // Whether the texts are grey: the view's messages have stopped.
    [[nodiscard]] bool ShowsStale() const { return subscriptions_.Stale(); }

protected:
    [[nodiscard]] CAppContext& Context() const { return services_.context; }
    [[nodiscard]] CMsgDispatcher& Dispatcher() const { return services_.context.dispatcher; }
    [[nodiscard]] IReceiverControl& Receiver() const { return services_.receiver; }
    [[nodiscard]] CViewSubscriptions& Subscriptions() { return subscriptions_; }
    // The widget the view lays its controls out on.
    [[nodiscard]] QWidget& Form() const { return *form_; }

    // A stored message of a handler the view subscribed to.
    virtual void OnRxMessage(int slot) = 0;
    // The refresh tick, once a second.
    virtual void OnRefreshTick() = 0;
    // False for views that keep a record of lines rather than show values.
    [[nodiscard]] virtual bool GreysStaleValues() const { return true; }

    bool event(QEvent* event) override;

private:
    void ShowStaleness(bool stale);

    ViewServices services_;
    CViewSubscriptions subscriptions_;
    QWidget* form_ = nullptr;
};

}  // namespace zarnmon
