#include "gui/app/recent_files_menu.h"

#include <QDir>
#include <QFontMetrics>

namespace zarnmon {

namespace {

// Long paths keep their start and the file name.
constexpr int kEntryWidth = 360;

}  // namespace

CRecentFilesMenu::CRecentFilesMenu(CSettingsStore& settings, QMenu& menu, QObject* parent)
    : QObject(parent), settings_(settings) {
    files_.Load(settings_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        QAction* entry = menu.addAction(QString());
        connect(entry, &QAction::triggered, this, [this, i] {
            if (i < files_.Entries().size()) {
                emit chosen(QString::fromStdString(files_.Entries()[i]));
            }
        });
        entries_[i] = entry;
    }
    separator_ = menu.addSeparator();
    Show();
}

void CRecentFilesMenu::Add(const QString& path) {
    files_.Add(path.toStdString());
    files_.Save(settings_);
    Show();
}

void CRecentFilesMenu::Remove(const QString& path) {
    files_.Remove(path.toStdString());
    files_.Save(settings_);
    Show();
}

void CRecentFilesMenu::Show() {
    const std::vector<std::string>& paths = files_.Entries();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        QAction* entry = entries_[i];
        entry->setVisible(i < paths.size());
        if (i < paths.size()) {
            const QString path = QDir::toNativeSeparators(QString::fromStdString(paths[i]));
            const QString shown = QFontMetrics(entry->font()).elidedText(path, Qt::ElideMiddle, kEntryWidth);
            entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QString(shown).replace('&', "&&")));
            entry->setStatusTip(QStringLiteral("Replay %1").arg(path));
        }
    }
    separator_->setVisible(!paths.empty());
}

}  // namespace zarnmon
