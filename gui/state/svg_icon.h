#pragma once

// Icons drawn from the SVG files compiled into the program. Each pixmap is
// rendered from the drawing at exactly the size and pixel density asked
// for, so icons stay sharp on screens of two or three device pixels per
// point; and they are rendered here rather than by the toolkit's SVG icon
// plugin, so they appear even where that plugin is not installed.

#include <QIcon>
#include <QString>

namespace zarnmon {

// The icon of the drawing at `path` (":/icons/..."), or a null icon when
// there is no such drawing or it does not parse.
[[nodiscard]] QIcon SvgIcon(const QString& path);

}  // namespace zarnmon
