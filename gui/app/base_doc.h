#pragma once

// The documents of the view windows. The receiver's state lives in the
// message handlers, not here: a document only names its window and knows
// its first view, which the main frame's refresh tick reaches once a second.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace zarnmon {

class CBaseDoc : public QObject {
    Q_OBJECT

public:
    explicit CBaseDoc(QObject* parent = nullptr);

    // Runs when a view window is created for the document; true to go on.
    virtual bool OnNewDocument() { return true; }
    // Names the document (an empty title keeps the default) and runs OnNewDocument.
    bool InitNewDocument(const QString& title);
    // Posts the refresh tick to the first view.
    void PostRefreshTick();

    void SetFirstView(QWidget* view) { firstView_ = view; }
    [[nodiscard]] QWidget* FirstView() const { return firstView_.data(); }
    [[nodiscard]] const QString& Title() const { return title_; }
    [[nodiscard]] const QString& Name() const { return name_; }
    [[nodiscard]] bool IsCreating() const { return creating_ != 0; }

private:
    QString name_;
    QString title_ = QStringLiteral("Untitled");
    int creating_ = 0;
    QPointer<QWidget> firstView_;
};

// The document of the data views.
class CZarnMonDoc final : public CBaseDoc {
    Q_OBJECT

public:
    using CBaseDoc::CBaseDoc;
};

}  // namespace zarnmon
