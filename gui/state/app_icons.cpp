#include "gui/state/app_icons.h"

#include "gui/state/svg_icon.h"

namespace zarnmon {

QIcon ApplicationIcon() { return SvgIcon(QStringLiteral(":/icons/zarnmon.svg")); }

QIcon FailedTestIcon() { return SvgIcon(QStringLiteral(":/icons/zarnmon-failed.svg")); }

}  // namespace zarnmon
