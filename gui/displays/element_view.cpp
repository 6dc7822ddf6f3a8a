#include "gui/displays/element_view.h"

#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>

namespace zarnmon {

namespace {

constexpr int kTicksPerRequest = 3;

}  // namespace

CElementView::CElementView(const ViewServices& services, QWidget* parent)
    : QAbstractScrollArea(parent), services_(services) {
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

CElementView::~CElementView() {
    for (const auto& [handler, id] : subscriptions_) {
        handler->Unsubscribe(id);
    }
}

void CElementView::InitialUpdate() {
    if (initialised_) {
        return;
    }
    initialised_ = true;
    OnInitialUpdate();
    if (FitsFrame()) {
        FitFrame();
    }
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        connect(frame, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
            if ((before ^ now).testFlag(Qt::WindowActive)) {
                OnActivation();
            }
        });
    }
}

QPoint CElementView::ScrollOffset() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

int CElementView::UpdateAll() {
    OnBeforeUpdate();
    return elements_.UpdateAll([this](const ElementRect& rect) { InvalidateLogical(rect.ToQRect()); });
}

void CElementView::InvalidateLogical(const QRect& rect) { viewport()->update(rect.translated(-ScrollOffset())); }

void CElementView::SetExtent(QSize extent) {
    extent_ = extent;
    UpdateScrollBars();
}

void CElementView::SubscribeTo(int slot) {
    CMsgHandler& handler = Dispatcher().Handler(slot);
    subscriptions_.emplace_back(&handler, handler.Subscribe(&poster_));
}

void CElementView::OnRefreshTick() {
    if (!CountDown() || !Context().autoConfigure) {
        return;
    }
    for (const int slot : KeptOnSlots()) {
        Dispatcher().EnsureState(slot, true, false);
    }
}

bool CElementView::CountDown() {
    if (countdown_ > 0) {
        --countdown_;
        return false;
    }
    countdown_ = kTicksPerRequest;
    return true;
}

bool CElementView::event(QEvent* event) {
    if (event->type() == CRxMessageEvent::Type()) {
        const CMsgHandler* handler = static_cast<CRxMessageEvent*>(event)->Handler();
        const bool subscribed = std::ranges::any_of(
            subscriptions_, [handler](const auto& subscription) { return subscription.first == handler; });
        if (subscribed) {
            OnRxMessage(Dispatcher().SlotOf(handler));
        }
        return true;
    }
    if (event->type() == CRefreshTickEvent::Type()) {
        OnRefreshTick();
        return true;
    }
    return QAbstractScrollArea::event(event);
}

void CElementView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint offset = ScrollOffset();
    painter.translate(-offset);
    PaintContent(painter, event->rect().translated(offset));
}

QImage CElementView::Picture() {
    QImage image(extent_, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintContent(painter, QRect(QPoint(0, 0), extent_));
    return image;
}

void CElementView::PaintContent(QPainter& painter, const QRect& clip) {
    painter.setFont(font());
    PaintUnder(painter, clip);
    elements_.PaintAll(painter, clip);
    PaintOver(painter, clip);
}

void CElementView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CElementView::scrollContentsBy(int /*dx*/, int /*dy*/) { viewport()->update(); }

void CElementView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    InitialUpdate();
}

void CElementView::UpdateScrollBars() {
    // Scroll bars that are shown shrink the viewport: when the extent fits
    // the whole area they must go, or they would keep themselves needed.
    const QSize whole = maximumViewportSize();
    const bool fits = extent_.width() <= whole.width() && extent_.height() <= whole.height();
    const QSize page = fits ? whole : viewport()->size();
    horizontalScrollBar()->setPageStep(page.width());
    verticalScrollBar()->setPageStep(page.height());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setRange(0, std::max(0, extent_.width() - page.width()));
    verticalScrollBar()->setRange(0, std::max(0, extent_.height() - page.height()));
}

void CElementView::FitFrame() {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame == nullptr) {
        resize(extent_ + QSize(2 * frameWidth(), 2 * frameWidth()));
        return;
    }
    // The frame's title and borders surround its contents; this widget's own
    // border is added to the extent.
    const QSize decoration = frame->size() - frame->contentsRect().size();
    frame->resize(extent_ + QSize(2 * frameWidth(), 2 * frameWidth()) + decoration);
}

}  // namespace zarnmon
