#include "gui/displays/element_view.h"

#include <QClipboard>
#include <QFontInfo>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>

#include "gui/state/color_ref.h"
#include "gui/state/latin1.h"

namespace zarnmon {

CElementView::CElementView(const ViewServices& services, QWidget* parent)
    : QAbstractScrollArea(parent), services_(services), subscriptions_(services.context.dispatcher, this) {
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

CElementView::~CElementView() = default;

void CElementView::InitialUpdate() {
    if (initialised_) {
        return;
    }
    initialised_ = true;
    OnInitialUpdate();
    // A view opened after its messages stopped starts grey.
    subscriptions_.TakeStaleness();
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

QString CElementView::CopiedText() const { return Latin1(elements_.TabSeparated()); }

EditAbility CElementView::Ability() const { return {.copy = HasCopiedText(), .cut = false, .paste = false}; }

void CElementView::Copy() { QGuiApplication::clipboard()->setText(CopiedText()); }

void CElementView::SetExtent(QSize extent) {
    extent_ = extent;
    UpdateScrollBars();
}

void CElementView::SubscribeTo(int slot) { subscriptions_.Subscribe(slot); }

void CElementView::OnRefreshTick() { subscriptions_.KeepOn(KeptOnSlots(), Context().autoConfigure); }

bool CElementView::event(QEvent* event) {
    // Notifications of handlers the view does not show are not its business.
    return subscriptions_.Dispatch(
               *event, [this](int slot) { OnRxMessage(slot); }, [this] { OnRefreshTick(); },
               [this](bool /*stale*/) { viewport()->update(); }) ||
           QAbstractScrollArea::event(event);
}

void CElementView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint offset = ScrollOffset();
    painter.translate(-offset);
    PaintContent(painter, event->rect().translated(offset), font());
}

QImage CElementView::Picture() {
    QImage image(extent_, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintExtent(painter);
    return image;
}

void CElementView::PaintExtent(QPainter& painter) {
    const QRect all(QPoint(0, 0), extent_);
    painter.fillRect(all, Qt::white);
    QFont pixelFont = font();
    pixelFont.setPixelSize(QFontInfo(font()).pixelSize());
    PaintContent(painter, all, pixelFont);
}

void CElementView::PaintContent(QPainter& painter, const QRect& clip, const QFont& font) {
    painter.setFont(font);
    PaintUnder(painter, clip);
    elements_.PaintAll(painter, clip);
    PaintOver(painter, clip);
    if (subscriptions_.Stale()) {
        painter.fillRect(clip, StaleWash());
    }
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
