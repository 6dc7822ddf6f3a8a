#pragma once

#include <QRect>

#include "core/waas/iono_map.h"

namespace zarnmon {

// The map geometry's rectangles have exclusive right and bottom edges, as
// QRect's width and height count them.
[[nodiscard]] inline QRect ToQRect(const IonoRect& rect) { return {rect.left, rect.top, rect.Width(), rect.Height()}; }

}  // namespace zarnmon
