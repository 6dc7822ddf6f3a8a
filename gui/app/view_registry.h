#pragma once

// Every view the program has, in one place: its row of the view table, the
// text of its View menu entry, its tool-bar button and the view class that
// opens in its window. The View menu, the tool bar, the document templates,
// the reopening of "OpenWindows" and the snapshot run are all built from
// this list, so a new view is one entry here plus its own files.

#include <QIcon>
#include <cstdint>
#include <string_view>
#include <vector>

#include "gui/app/doc_template.h"

namespace zarnmon {

// What a view's command needs beyond the view existing.
enum class ViewAvailability : std::uint8_t {
    Always,
    WhileLinkOpen,  // the command page talks to the receiver
    WithWaas,       // the iono map needs WAAS messages to decode
};

struct ViewDescriptor {
    int templateId;             // its row of the view table
    std::string_view menuText;  // the View menu lists the views in this list's order
    std::string_view glyph;     // the tool-bar button's text while the view has no drawn icon
    // Tool-bar place as group * 10 + position in the group; 0: not on the tool bar.
    int toolBarPlace;
    ViewAvailability availability;
    // Empty while the view is not part of the program: its command stays disabled.
    ViewFactory factory;

    [[nodiscard]] const ViewType& Type() const;
    // The tool-bar button's picture, which the view's window wears too: the
    // drawing named after the view's key, else a tile reading `glyph`.
    [[nodiscard]] QIcon Icon() const;
};

[[nodiscard]] const std::vector<ViewDescriptor>& ViewDescriptors();
// The command page, which the Control menu offers too.
inline constexpr int kCommandPageTemplate = 134;
// The descriptor of a view-table row; every row has one.
[[nodiscard]] const ViewDescriptor& DescriptorOf(int templateId);

// One template per row of the view table, in table order.
[[nodiscard]] std::vector<CMultiDocTempSpecial> MakeTemplates();

}  // namespace zarnmon
