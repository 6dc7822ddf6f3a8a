#pragma once

// The recent-recordings list of the File menu: the raw recordings replayed
// last, newest first, each at most once, four at most. It lives in the
// profile as "Recent File List"/"File1".."File4"; an empty or missing key
// ends nothing, it is only skipped, so a hand-edited list with gaps still
// reads back in order.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/settings_store.h"

namespace zarnmon {

inline constexpr std::string_view kRecentFileSection = "Recent File List";

class CRecentFiles {
public:
    static constexpr std::size_t kMaxEntries = 4;

    // Newest first.
    [[nodiscard]] const std::vector<std::string>& Entries() const { return entries_; }

    // Puts path first; an earlier entry of the same path goes, and the oldest
    // falls off when the list is full. An empty path changes nothing.
    void Add(std::string_view path);
    // False when path was not in the list.
    bool Remove(std::string_view path);

    void Load(const CSettingsStore& store);
    // Every key is written, the unused ones empty, so no stale entry survives.
    void Save(CSettingsStore& store) const;

private:
    std::vector<std::string> entries_;
};

// "File1" for index 0.
[[nodiscard]] std::string RecentFileKey(std::size_t index);

}  // namespace zarnmon
