#pragma once

// A view type: its row of the view table, the document and child frame it
// opens in, and the factory of its view. A view type whose view is not part
// of the program yet has no factory: its command stays disabled rather than
// opening an empty window.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <functional>
#include <vector>

#include "core/app/view_table.h"
#include "gui/app/base_doc.h"

namespace zarnmon {

struct ViewServices;

// The frame of every view window.
class CChildFrame final : public QMdiSubWindow {
    Q_OBJECT

public:
    explicit CChildFrame(QWidget* parent = nullptr);
};

// Makes a view as a child of frame.
using ViewFactory = std::function<QWidget*(CBaseDoc& document, const ViewServices& services, QWidget* frame)>;

class CMultiDocTempSpecial {
public:
    CMultiDocTempSpecial(const ViewType& type, ViewFactory factory);

    [[nodiscard]] const ViewType& Type() const { return type_; }
    [[nodiscard]] bool Available() const { return static_cast<bool>(factory_); }
    // The open documents of this type, in the order they were opened.
    [[nodiscard]] std::vector<CBaseDoc*> Documents() const;
    // The open document titled with the row's description, if any.
    [[nodiscard]] CBaseDoc* FindOpenDocument() const;
    // A new document and view in a new child frame of area; null when the
    // type has no view or the document refused to open.
    CChildFrame* OpenNew(QMdiArea& area, const ViewServices& services);

private:
    ViewType type_;
    ViewFactory factory_;
    mutable std::vector<QPointer<CBaseDoc>> documents_;
};

}  // namespace zarnmon
