#pragma once

// The program's own icons: the application's, and the one the main window
// wears while the monitor test has failed, so that a failure shows in the
// task bar.

#include <QIcon>

namespace zarnmon {

[[nodiscard]] QIcon ApplicationIcon();
[[nodiscard]] QIcon FailedTestIcon();

}  // namespace zarnmon
