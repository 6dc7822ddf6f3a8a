#include "gui/app/doc_template.h"

#include <algorithm>
#include <memory>

#include "gui/state/latin1.h"

namespace zarnmon {

CChildFrame::CChildFrame(QWidget* parent) : QMdiSubWindow(parent) { setAttribute(Qt::WA_DeleteOnClose); }

CMultiDocTempSpecial::CMultiDocTempSpecial(const ViewType& type, ViewFactory factory)
    : type_(type), factory_(std::move(factory)) {}

std::vector<CBaseDoc*> CMultiDocTempSpecial::Documents() const {
    std::erase_if(documents_, [](const QPointer<CBaseDoc>& d) { return d.isNull(); });
    std::vector<CBaseDoc*> open;
    for (const auto& document : documents_) {
        open.push_back(document.data());
    }
    return open;
}

CBaseDoc* CMultiDocTempSpecial::FindOpenDocument() const {
    const QString description = Latin1(type_.description);
    for (CBaseDoc* document : Documents()) {
        if (document->Title() == description) {
            return document;
        }
    }
    return nullptr;
}

CChildFrame* CMultiDocTempSpecial::OpenNew(QMdiArea& area, const ViewServices& services) {
    if (!factory_) {
        return nullptr;
    }
    // The document lives as long as its window: the frame is its parent.
    auto frame = std::make_unique<CChildFrame>();
    CBaseDoc* document =
        type_.document == DocKind::ZarnMonDoc ? new CZarnMonDoc(frame.get()) : new CBaseDoc(frame.get());
    const QString description = Latin1(type_.description);
    if (!document->InitNewDocument(description)) {
        return nullptr;
    }
    QWidget* view = factory_(*document, services, frame.get());
    document->SetFirstView(view);
    frame->setWidget(view);
    frame->setWindowTitle(description);
    frame->setObjectName(Latin1(type_.key));
    documents_.emplace_back(document);
    CChildFrame* shown = frame.release();
    area.addSubWindow(shown);
    shown->show();
    return shown;
}

}  // namespace zarnmon
