#pragma once

// The "&Window" menu's commands and the placement of windows between runs.
// Cascade and tile keep each view at its preferred size (a data view's whole
// extent, a form's size hint) where the area allows; a view the area cannot
// hold is cut to fit and scrolls. Placements go to the profile's own section
// under the main window's name and each view's "OpenWindows" key.

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include "core/app/settings_store.h"

namespace zarnmon {

// The key of the main window's placement.
inline constexpr std::string_view kMainWindowPlacementKey = "ZarnMon";

// The size window needs to show all of its view.
[[nodiscard]] QSize PreferredSize(const QMdiSubWindow& window);

void CascadeWindows(QMdiArea& area);
// Also the first start's arrangement: no view hides another or leaves the area.
void TileWindows(QMdiArea& area);
// Lines the minimised windows up along the bottom of the area.
void ArrangeIcons(QMdiArea& area);

// Replaces the window list at the end of menu (after its own commands): one
// entry per open view, "&1 title", the active one checked.
void FillWindowList(QMenu& menu, QMdiArea& area);

// The main window's stored placement, unless it would be off every screen.
void RestorePlacement(const CSettingsStore& settings, QMainWindow& frame);
// A view's stored placement, unless it would be outside its area; else the
// view is cut to the area.
void RestorePlacement(const CSettingsStore& settings, QMdiSubWindow& window, const QMdiArea& area);
void SavePlacement(CSettingsStore& settings, const QMainWindow& frame);
// Nothing for a minimised or maximised view: its last normal place stays.
void SavePlacement(CSettingsStore& settings, const QMdiSubWindow& window);

}  // namespace zarnmon
