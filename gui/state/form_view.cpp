#include "gui/state/form_view.h"

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
               *event, [this](int slot) { OnRxMessage(slot); }, [this] { OnRefreshTick(); }) ||
           QScrollArea::event(event);
}

}  // namespace zarnmon
