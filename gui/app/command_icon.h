#pragma once

// The pictures of the commands on the tool bar, which the view windows wear
// too: a drawing named after the command, or a tile with the command's
// short text while it has no drawing yet.

#include <QIcon>
#include <QString>

namespace zarnmon {

// The drawing ":/icons/<name>.svg", else a tile reading `glyph`.
[[nodiscard]] QIcon CommandIcon(const QString& name, const QString& glyph);

}  // namespace zarnmon
