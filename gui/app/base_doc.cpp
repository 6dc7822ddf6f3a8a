#include "gui/app/base_doc.h"

#include "gui/state/rx_event.h"

namespace zarnmon {

CBaseDoc::CBaseDoc(QObject* parent) : QObject(parent) {}

bool CBaseDoc::InitNewDocument(const QString& title) {
    if (!title.isEmpty()) {
        name_ = title;
        title_ = title;
    }
    creating_ = 1;
    const bool created = OnNewDocument();
    creating_ = 0;
    return created;
}

void CBaseDoc::PostRefreshTick() { zarnmon::PostRefreshTick(firstView_.data()); }

}  // namespace zarnmon
