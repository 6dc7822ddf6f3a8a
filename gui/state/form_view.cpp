#include "gui/state/form_view.h"

#include "gui/state/color_ref.h"

namespace zarnmon {

CFormView::CFormView(const ViewServices& services, QWidget* parent)
    : QScrollArea(parent), services_(services), subscriptions_(services.context.dispatcher, this) {
    form_ = new QWidget(this);
    setWidget(form_);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
}

bool CFormView::event(QEvent* event) {
    return subscriptions_.Dispatch(
               *event, [this](int slot) { OnRxMessage(slot); }, [this] { OnRefreshTick(); },
               [this](bool stale) { ShowStaleness(stale); }) ||
           QScrollArea::event(event);
}

void CFormView::ShowStaleness(bool stale) {
    if (!GreysStaleValues()) {
        return;
    }
    if (!stale) {
        // A palette that sets nothing makes the form inherit its window's again.
        form_->setPalette(QPalette());
        return;
    }
    QPalette grey = form_->palette();
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        grey.setColor(role, StaleText());
    }
    form_->setPalette(grey);
}

}  // namespace zarnmon
