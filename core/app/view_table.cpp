#include "core/app/view_table.h"

#include <algorithm>

#include "core/app/settings_keys.h"

namespace zarnmon {

namespace {

template <typename Matches>
std::optional<ViewType> FindView(Matches matches) {
    const auto* row = std::find_if(kViewTypes.begin(), kViewTypes.end(), matches);
    if (row == kViewTypes.end()) {
        return std::nullopt;
    }
    return *row;
}

}  // namespace

std::optional<ViewType> FindViewByCommand(int commandId) {
    return FindView([commandId](const ViewType& row) { return row.commandId == commandId; });
}

std::optional<ViewType> FindViewByTemplate(int templateId) {
    return FindView([templateId](const ViewType& row) { return row.templateId == templateId; });
}

std::optional<ViewType> FindViewByKey(std::string_view key) {
    return FindView([key](const ViewType& row) { return row.key == key; });
}

PromptParts SplitPrompt(std::string_view prompt) {
    const auto newline = prompt.find('\n');
    if (newline == std::string_view::npos) {
        return {prompt, {}};
    }
    return {prompt.substr(0, newline), prompt.substr(newline + 1)};
}

std::string_view TemplateString(std::string_view templateStrings, DocString field) {
    auto index = static_cast<int>(field);
    while (index > 0) {
        const auto newline = templateStrings.find('\n');
        if (newline == std::string_view::npos) {
            return {};
        }
        templateStrings.remove_prefix(newline + 1);
        --index;
    }
    return templateStrings.substr(0, templateStrings.find('\n'));
}

std::vector<int> ViewsToReopen(const CSettingsStore& store) {
    if (store.GetInt(kOpenWindows, kAutoOpenKey, kDefaultAutoOpen) == 0) {
        return {kDefaultOpenTemplates.begin(), kDefaultOpenTemplates.end()};
    }
    std::vector<int> templates;
    for (const ViewType& row : kViewTypes) {
        if (store.GetInt(kOpenWindows, row.key, 0) != 0) {
            templates.push_back(row.templateId);
        }
    }
    return templates;
}

void SaveOpenWindows(CSettingsStore& store, const std::function<bool(const ViewType&)>& isOpen) {
    for (const ViewType& row : kViewTypes) {
        store.SetInt(kOpenWindows, row.key, isOpen(row) ? 1 : 0);
    }
}

}  // namespace zarnmon
