#pragma once

// Where windows go: the child windows' arrangements (cascade, tile) computed
// from each window's preferred size and the area they share, and the
// remembered placement of a window between runs.
//
// The arrangements keep a window at its preferred size wherever the area
// allows and never place one past the area's edge; a window the area cannot
// hold is cut to fit and scrolls. Placements come back from a profile that
// may have been edited by hand or written on another machine with other
// screens: one that does not scan, or that lies off every screen, is not used.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/app/settings_store.h"

namespace zarnmon {

struct LayoutSize {
    int width = 0;
    int height = 0;
};

struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    [[nodiscard]] int Right() const { return x + width; }
    [[nodiscard]] int Bottom() const { return y + height; }
    [[nodiscard]] bool Contains(const LayoutRect& other) const;
    // The overlap, empty (zero width or height) when there is none.
    [[nodiscard]] LayoutRect Intersection(const LayoutRect& other) const;
    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

// Each window step further right and down than the one before, at its
// preferred size as far as the area holds it; the stair starts again at the
// top left when it would leave too little room.
[[nodiscard]] std::vector<LayoutRect> CascadeLayout(const LayoutRect& area, std::span<const LayoutSize> preferred,
                                                    int step);
// Side by side without overlap: in rows at the preferred sizes when they all
// fit, else in the grid of equal cells that cuts the least off them.
[[nodiscard]] std::vector<LayoutRect> TileLayout(const LayoutRect& area, std::span<const LayoutSize> preferred);

inline constexpr std::string_view kWindowPlacementSection = "WindowPlacement";

struct WindowPlacement {
    LayoutRect rect;
    bool maximized = false;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// "x,y,width,height,maximized" under key; nullopt when missing or unusable.
[[nodiscard]] std::optional<WindowPlacement> LoadWindowPlacement(const CSettingsStore& store, std::string_view key);
void SaveWindowPlacement(CSettingsStore& store, std::string_view key, const WindowPlacement& placement);

// True when enough of rect shows on one of the screens to be grabbed there.
[[nodiscard]] bool OnSomeScreen(const LayoutRect& rect, std::span<const LayoutRect> screens);

}  // namespace zarnmon
