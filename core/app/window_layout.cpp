#include "core/app/window_layout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>

namespace zarnmon {

namespace {

// Less than this much of a window on a screen cannot be grabbed with the mouse.
constexpr int kMinVisible = 40;
// A cascade step leaves at least this much of the area to the window.
constexpr int kMinCascadeRoom = 200;

LayoutSize Clamped(const LayoutSize& size, int width, int height) {
    return {std::clamp(size.width, 1, std::max(1, width)), std::clamp(size.height, 1, std::max(1, height))};
}

// Rows left to right at the preferred sizes; nullopt when they run past the bottom.
std::optional<std::vector<LayoutRect>> Rows(const LayoutRect& area, std::span<const LayoutSize> preferred) {
    std::vector<LayoutRect> rects;
    int x = 0;
    int y = 0;
    int rowHeight = 0;
    for (const LayoutSize& wanted : preferred) {
        const LayoutSize size = Clamped(wanted, area.width, area.height);
        if (x > 0 && x + size.width > area.width) {
            x = 0;
            y += rowHeight;
            rowHeight = 0;
        }
        if (y + size.height > area.height) {
            return std::nullopt;
        }
        rects.push_back({area.x + x, area.y + y, size.width, size.height});
        x += size.width;
        rowHeight = std::max(rowHeight, size.height);
    }
    return rects;
}

std::vector<LayoutRect> Grid(const LayoutRect& area, std::span<const LayoutSize> preferred, int columns) {
    const int count = static_cast<int>(preferred.size());
    const int rows = (count + columns - 1) / columns;
    const int cellWidth = area.width / columns;
    const int cellHeight = area.height / rows;
    std::vector<LayoutRect> rects;
    for (int i = 0; i < count; ++i) {
        const LayoutSize size = Clamped(preferred[static_cast<std::size_t>(i)], cellWidth, cellHeight);
        rects.push_back(
            {area.x + (i % columns) * cellWidth, area.y + (i / columns) * cellHeight, size.width, size.height});
    }
    return rects;
}

std::int64_t ShownArea(std::span<const LayoutRect> rects) {
    std::int64_t sum = 0;
    for (const LayoutRect& rect : rects) {
        sum += static_cast<std::int64_t>(rect.width) * rect.height;
    }
    return sum;
}

std::optional<int> ReadInt(std::string_view& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{}) {
        return std::nullopt;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (!text.empty() && text.front() == ',') {
        text.remove_prefix(1);
    }
    return value;
}

}  // namespace

bool LayoutRect::Contains(const LayoutRect& other) const {
    return other.x >= x && other.y >= y && other.Right() <= Right() && other.Bottom() <= Bottom();
}

LayoutRect LayoutRect::Intersection(const LayoutRect& other) const {
    const int left = std::max(x, other.x);
    const int top = std::max(y, other.y);
    return {left, top, std::max(0, std::min(Right(), other.Right()) - left),
            std::max(0, std::min(Bottom(), other.Bottom()) - top)};
}

std::vector<LayoutRect> CascadeLayout(const LayoutRect& area, std::span<const LayoutSize> preferred, int step) {
    const int room = std::min(area.width, area.height) - kMinCascadeRoom;
    const int steps = step > 0 ? std::max(1, room / step + 1) : 1;
    std::vector<LayoutRect> rects;
    for (std::size_t i = 0; i < preferred.size(); ++i) {
        const int offset = static_cast<int>(i % static_cast<std::size_t>(steps)) * step;
        const LayoutSize size = Clamped(preferred[i], area.width, area.height);
        // A window too big for its step moves back rather than shrinking.
        rects.push_back({area.x + std::min(offset, area.width - size.width),
                         area.y + std::min(offset, area.height - size.height), size.width, size.height});
    }
    return rects;
}

std::vector<LayoutRect> TileLayout(const LayoutRect& area, std::span<const LayoutSize> preferred) {
    if (preferred.empty()) {
        return {};
    }
    if (auto rows = Rows(area, preferred)) {
        return *rows;
    }
    std::vector<LayoutRect> best;
    const int count = static_cast<int>(preferred.size());
    for (int columns = 1; columns <= count; ++columns) {
        std::vector<LayoutRect> grid = Grid(area, preferred, columns);
        if (best.empty() || ShownArea(grid) > ShownArea(best)) {
            best = std::move(grid);
        }
    }
    return best;
}

std::optional<WindowPlacement> LoadWindowPlacement(const CSettingsStore& store, std::string_view key) {
    const std::optional<std::string> value = store.Find(kWindowPlacementSection, key);
    if (!value) {
        return std::nullopt;
    }
    std::string_view text = *value;
    std::array<int, 5> fields{};
    for (int& field : fields) {
        const std::optional<int> read = ReadInt(text);
        if (!read) {
            return std::nullopt;
        }
        field = *read;
    }
    if (!text.empty() || fields[2] <= 0 || fields[3] <= 0) {
        return std::nullopt;
    }
    return WindowPlacement{{fields[0], fields[1], fields[2], fields[3]}, fields[4] != 0};
}

void SaveWindowPlacement(CSettingsStore& store, std::string_view key, const WindowPlacement& placement) {
    const LayoutRect& r = placement.rect;
    store.SetString(kWindowPlacementSection, key,
                    std::to_string(r.x) + ',' + std::to_string(r.y) + ',' + std::to_string(r.width) + ',' +
                        std::to_string(r.height) + ',' + (placement.maximized ? '1' : '0'));
}

bool OnSomeScreen(const LayoutRect& rect, std::span<const LayoutRect> screens) {
    return std::ranges::any_of(screens, [&rect](const LayoutRect& screen) {
        const LayoutRect shown = screen.Intersection(rect);
        return shown.width >= std::min(kMinVisible, rect.width) && shown.height >= std::min(kMinVisible, rect.height);
    });
}

}  // namespace zarnmon
