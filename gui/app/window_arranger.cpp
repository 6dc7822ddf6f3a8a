#include "gui/app/window_arranger.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <vector>

#include "core/app/window_layout.h"
#include "gui/displays/element_view.h"

namespace zarnmon {

namespace {

// Window-list entries are told from the menu's own commands by this.
constexpr char kWindowListProperty[] = "zarnmonWindowList";

LayoutRect ToLayout(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }
QRect ToQt(const LayoutRect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }

std::vector<QMdiSubWindow*> NormalWindows(const QMdiArea& area) {
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder)) {
        if (window->isVisible() && !window->isMinimized()) {
            windows.push_back(window);
        }
    }
    return windows;
}

template <typename Layout>
void Arrange(QMdiArea& area, Layout layout) {
    const std::vector<QMdiSubWindow*> windows = NormalWindows(area);
    std::vector<LayoutSize> preferred;
    for (QMdiSubWindow* window : windows) {
        if (window->isMaximized()) {
            window->showNormal();
        }
        const QSize size = PreferredSize(*window);
        preferred.push_back({size.width(), size.height()});
    }
    const std::vector<LayoutRect> rects = layout(ToLayout(area.viewport()->rect()), preferred);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        windows[i]->setGeometry(ToQt(rects[i]));
        windows[i]->raise();
    }
}

std::string KeyOf(const QMdiSubWindow& window) { return window.objectName().toStdString(); }

}  // namespace

QSize PreferredSize(const QMdiSubWindow& window) {
    const QWidget* view = window.widget();
    if (view == nullptr) {
        return window.size();
    }
    const auto* elements = qobject_cast<const CElementView*>(view);
    const QSize wanted = elements != nullptr
                             ? elements->Extent() + QSize(2 * elements->frameWidth(), 2 * elements->frameWidth())
                             : view->sizeHint();
    // The title and borders surround the view.
    return wanted.expandedTo(view->minimumSizeHint()) + (window.size() - window.contentsRect().size());
}

void CascadeWindows(QMdiArea& area) {
    const int step = area.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &area);
    Arrange(area, [step](const LayoutRect& rect, const std::vector<LayoutSize>& preferred) {
        return CascadeLayout(rect, preferred, step);
    });
}

void TileWindows(QMdiArea& area) { Arrange(area, TileLayout); }

void ArrangeIcons(QMdiArea& area) {
    const QRect bounds = area.viewport()->rect();
    QPoint at(0, bounds.bottom() + 1);
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized()) {
            continue;
        }
        const QSize size = window->size();
        if (at.x() > 0 && at.x() + size.width() > bounds.width()) {
            at = {0, at.y() - size.height()};
        }
        if (at.x() == 0) {
            at.ry() -= size.height();
        }
        window->move(at);
        at.rx() += size.width();
    }
}

void FillWindowList(QMenu& menu, QMdiArea& area) {
    for (QAction* action : menu.actions()) {
        if (action->property(kWindowListProperty).toBool()) {
            menu.removeAction(action);
            action->deleteLater();
        }
    }
    const QList<QMdiSubWindow*> windows = area.subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) {
        return;
    }
    menu.addSeparator()->setProperty(kWindowListProperty, true);
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        QString title = window->windowTitle();
        QAction* entry = menu.addAction(QStringLiteral("&%1 %2").arg(++number).arg(title.replace('&', "&&")));
        entry->setProperty(kWindowListProperty, true);
        entry->setCheckable(true);
        entry->setChecked(window == area.activeSubWindow());
        QObject::connect(entry, &QAction::triggered, &area, [&area, window] {
            if (window->isMinimized()) {
                window->showNormal();
            }
            area.setActiveSubWindow(window);
        });
    }
}

void RestorePlacement(const CSettingsStore& settings, QMainWindow& frame) {
    const std::optional<WindowPlacement> stored = LoadWindowPlacement(settings, kMainWindowPlacementKey);
    if (!stored) {
        return;
    }
    std::vector<LayoutRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(ToLayout(screen->availableGeometry()));
    }
    if (!OnSomeScreen(stored->rect, screens)) {
        return;
    }
    frame.setGeometry(ToQt(stored->rect));
    if (stored->maximized) {
        frame.setWindowState(frame.windowState() | Qt::WindowMaximized);
    }
}

void RestorePlacement(const CSettingsStore& settings, QMdiSubWindow& window, const QMdiArea& area) {
    const QRect bounds = area.viewport()->rect();
    const std::optional<WindowPlacement> stored = LoadWindowPlacement(settings, KeyOf(window));
    if (stored && OnSomeScreen(stored->rect, std::vector{ToLayout(bounds)})) {
        window.setGeometry(ToQt(stored->rect));
        return;
    }
    // Never past the area's edge, however big the view.
    QRect placed(window.pos(), window.size().boundedTo(bounds.size()));
    placed.moveRight(std::min(placed.right(), bounds.right()));
    placed.moveBottom(std::min(placed.bottom(), bounds.bottom()));
    window.setGeometry(placed);
}

void SavePlacement(CSettingsStore& settings, const QMainWindow& frame) {
    const QRect normal = frame.isMaximized() ? frame.normalGeometry() : frame.geometry();
    if (normal.isValid()) {
        SaveWindowPlacement(settings, kMainWindowPlacementKey, {ToLayout(normal), frame.isMaximized()});
    }
}

void SavePlacement(CSettingsStore& settings, const QMdiSubWindow& window) {
    if (window.isMinimized() || window.isMaximized() || window.objectName().isEmpty()) {
        return;
    }
    SaveWindowPlacement(settings, KeyOf(window), {ToLayout(window.geometry()), false});
}

}  // namespace zarnmon
