#include "gui/app/view_registry.h"

#include "gui/displays/channel_l2_view.h"
#include "gui/displays/channel_view.h"
#include "gui/displays/gps_view.h"
#include "gui/waas/iono_view.h"

namespace zarnmon {

namespace {

template <typename View>
ViewFactory FactoryOf() {
    return [](CBaseDoc& /*document*/, CAppContext& context, QWidget* frame) -> QWidget* {
        return new View(context, frame);
    };
}

}  // namespace

ViewFactory ViewFactoryFor(int templateId) {
    switch (templateId) {
        case 129:
            return FactoryOf<CViewChannel>();
        case 160:
            return FactoryOf<CViewChannelL2>();
        case 137:
            return FactoryOf<CViewGPS>();
        case 152:
            return FactoryOf<CViewIono>();
        default:
            return {};
    }
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
