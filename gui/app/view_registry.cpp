#include "gui/app/view_registry.h"

namespace zarnmon {

ViewFactory ViewFactoryFor(int /*templateId*/) {
    // The data views register here as they are built.
    return {};
}

std::vector<CMultiDocTempSpecial> MakeTemplates() {
    std::vector<CMultiDocTempSpecial> templates;
    templates.reserve(kViewTypes.size());
    for (const ViewType& type : kViewTypes) {
        templates.emplace_back(type, ViewFactoryFor(type.templateId));
    }
    return templates;
}

}  // namespace zarnmon
