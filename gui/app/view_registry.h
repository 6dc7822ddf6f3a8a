#pragma once

// The views the program has, by template id. A row of the view table
// without an entry here keeps its command, disabled.

#include <vector>

#include "gui/app/doc_template.h"

namespace zarnmon {

[[nodiscard]] ViewFactory ViewFactoryFor(int templateId);

// One template per row of the view table, in table order.
[[nodiscard]] std::vector<CMultiDocTempSpecial> MakeTemplates();

}  // namespace zarnmon
