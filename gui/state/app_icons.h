#pragma once

// The program's icons, drawn rather than shipped as pictures: the
// application's own, and the one the main window wears while the monitor
// test has failed, so that a failure shows in the task bar.

#include <QIcon>

namespace zarnmon {

[[nodiscard]] QIcon ApplicationIcon();
[[nodiscard]] QIcon FailedTestIcon();

}  // namespace zarnmon
