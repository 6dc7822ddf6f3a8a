#include "core/app/view_table.h"

#include <algorithm>

#include "core/app/settings_keys.h"

namespace zarnmon {

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

bool OpenWindowsStored(const CSettingsStore& store) {
    return store.Find(kOpenWindows, kAutoOpenKey).has_value() ||
           std::ranges::any_of(kViewTypes,
                               [&store](const ViewType& row) { return store.Find(kOpenWindows, row.key).has_value(); });
}

void SaveOpenWindows(CSettingsStore& store, const std::function<bool(const ViewType&)>& isOpen) {
    for (const ViewType& row : kViewTypes) {
        store.SetInt(kOpenWindows, row.key, isOpen(row) ? 1 : 0);
    }
}

}  // namespace zarnmon
