#include "core/app/recent_files.h"

#include <algorithm>

namespace zarnmon {

std::string RecentFileKey(std::size_t index) { return "File" + std::to_string(index + 1); }

void CRecentFiles::Add(std::string_view path) {
    if (path.empty()) {
        return;
    }
    Remove(path);
    entries_.insert(entries_.begin(), std::string(path));
    if (entries_.size() > kMaxEntries) {
        entries_.resize(kMaxEntries);
    }
}

bool CRecentFiles::Remove(std::string_view path) { return std::erase(entries_, path) > 0; }

void CRecentFiles::Load(const CSettingsStore& store) {
    entries_.clear();
    for (std::size_t i = 0; i < kMaxEntries; ++i) {
        const std::string path = store.GetString(kRecentFileSection, RecentFileKey(i), "");
        // A hand-edited list may name a file twice: the first (newest) counts.
        if (!path.empty() && std::ranges::find(entries_, path) == entries_.end()) {
            entries_.push_back(path);
        }
    }
}

void CRecentFiles::Save(CSettingsStore& store) const {
    for (std::size_t i = 0; i < kMaxEntries; ++i) {
        store.SetString(kRecentFileSection, RecentFileKey(i), i < entries_.size() ? entries_[i] : std::string());
    }
}

}  // namespace zarnmon
