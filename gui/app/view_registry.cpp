#include "gui/app/view_registry.h"

#include <algorithm>
#include <stdexcept>

#include "gui/app/command_icon.h"
#include "gui/commands/recv_cmd_view.h"
#include "gui/commands/text_view.h"
#include "gui/displays/alman_view.h"
#include "gui/displays/channel_l2_view.h"
#include "gui/displays/channel_view.h"
#include "gui/displays/debug_view.h"
#include "gui/displays/gps_view.h"
#include "gui/displays/heading_view.h"
#include "gui/displays/lband_view.h"
#include "gui/displays/sky_view.h"
#include "gui/state/latin1.h"
#include "gui/state/monitor_view.h"
#include "gui/state/neu_view.h"
#include "gui/state/scatter_view.h"
#include "gui/state/statistics_view.h"
#include "gui/waas/iono_view.h"

namespace zarnmon {

namespace {

template <typename View>
ViewFactory FactoryOf() {
    return [](CBaseDoc& /*document*/, const ViewServices& services, QWidget* frame) -> QWidget* {
        return new View(services, frame);
    };
}

const ViewType& RowOf(int templateId) {
    const auto* row = std::ranges::find(kViewTypes, templateId, &ViewType::templateId);
    if (row == kViewTypes.end()) {
        throw std::logic_error("a view descriptor names no row of the view table");
    }
    return *row;
}

}  // namespace

const ViewType& ViewDescriptor::Type() const { return RowOf(templateId); }

QIcon ViewDescriptor::Icon() const { return CommandIcon(Latin1(Type().key), Latin1(glyph)); }

const std::vector<ViewDescriptor>& ViewDescriptors() {
    using enum ViewAvailability;
    static const std::vector<ViewDescriptor> descriptors{
        {137, "View &GPS Solution", "GPS", 10, Always, FactoryOf<CViewGPS>()},
        {129, "View &Channel Data", "Ch", 11, Always, FactoryOf<CViewChannel>()},
        {160, "View L&2Channel Data", "L2", 12, Always, FactoryOf<CViewChannelL2>()},
        {138, "View &Almanac", "Alm", 13, Always, FactoryOf<CViewAlman>()},
        {136, "View &Text Messages", "Txt", 15, Always, FactoryOf<CViewText>()},
        {139, "View &Debug Info", "Dbg", 30, Always, FactoryOf<CViewDbgMsg>()},
        {141, "View &Statistics", "Sta", 16, Always, FactoryOf<CViewStatistics>()},
        {142, "View &LBand", "LB", 14, Always, FactoryOf<CViewLBand>()},
        {148, "View NEU Error &Plot", "NEU", 17, Always, FactoryOf<CViewNEUerrors>()},
        {158, "View &Heading", "Hdg", 0, Always, FactoryOf<CViewHeading>()},
        {152, "View WAAS &Iono", "Ion", 40, WithWaas, FactoryOf<CViewIono>()},
        {134, "View C&ommand Page", "Cmd", 20, WhileLinkOpen, FactoryOf<CViewRecvCmd>()},
        {146, "View Zarn &Monitor", "Mon", 31, Always, FactoryOf<CViewMonitor>()},
        {161, "View Hori&zontal Scatter", "Sct", 18, Always, FactoryOf<CViewScatter>()},
        {162, "View S&ky and Signal", "Sky", 19, Always, FactoryOf<CViewSky>()},
    };
    return descriptors;
}

const ViewDescriptor& DescriptorOf(int templateId) {
    const auto& descriptors = ViewDescriptors();
    const auto descriptor = std::ranges::find(descriptors, templateId, &ViewDescriptor::templateId);
    if (descriptor == descriptors.end()) {
        throw std::logic_error("a row of the view table has no view descriptor");
    }
    return *descriptor;
}

std::vector<CMultiDocTempSpecial> MakeTemplates() {
    std::vector<CMultiDocTempSpecial> templates;
    templates.reserve(kViewTypes.size());
    for (const ViewType& type : kViewTypes) {
        templates.emplace_back(type, DescriptorOf(type.templateId).factory);
    }
    return templates;
}

}  // namespace zarnmon
