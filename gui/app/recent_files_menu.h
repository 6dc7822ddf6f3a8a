#pragma once

// The File menu's recent recordings: "&1 name" … before "E&xit", as desktop
// programs show them, kept in the profile as the list is changed.

#include <QAction>
#include <QMenu>
#include <QObject>
#include <array>

#include "core/app/recent_files.h"

namespace zarnmon {

class CRecentFilesMenu final : public QObject {
    Q_OBJECT

public:
    // Appends the entries (hidden while unused) and their separator to menu.
    CRecentFilesMenu(CSettingsStore& settings, QMenu& menu, QObject* parent);

    // A recording replayed: it goes first.
    void Add(const QString& path);
    void Remove(const QString& path);
    [[nodiscard]] const CRecentFiles& Files() const { return files_; }
    // The entry for index 0 is "&1 …".
    [[nodiscard]] QAction* Entry(std::size_t index) const { return entries_.at(index); }

signals:
    void chosen(const QString& path);

private:
    void Show();

    CSettingsStore& settings_;
    CRecentFiles files_;
    std::array<QAction*, CRecentFiles::kMaxEntries> entries_{};
    QAction* separator_ = nullptr;
};

}  // namespace zarnmon
