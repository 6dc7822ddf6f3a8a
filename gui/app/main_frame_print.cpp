// The main window's print commands: print setup, and for the active view
// print, print preview, and saving it as a PDF or a PNG picture.

#include <QKeySequence>

#include "core/link/link_housekeeping.h"
#include "gui/app/main_frame.h"
#include "gui/state/latin1.h"

namespace zarnmon {

QString CMainFrame::PrintHeaderOf(const QMdiSubWindow& window) const {
    return PrintHeader(window.windowTitle(), Latin1(TimePaneText(context_.dispatcher)));
}

template <typename Act>
void CMainFrame::WithActiveView(Act act) {
    QMdiSubWindow* window = mdiArea_->activeSubWindow();
    if (window != nullptr && window->widget() != nullptr) {
        act(*window->widget(), *window);
    }
}

void CMainFrame::BuildPrintActions() {
    connect(AddCommand(kPrintSetupId, QStringLiteral("P&rint Setup..."),
                       "Change the printer and printing options\nPrint Setup"),
            &QAction::triggered, this, [this] { printer_.Setup(this); });
    QAction* print = AddCommand(kPrintId, QStringLiteral("&Print..."), "Print the active document\nPrint");
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, [this] {
        WithActiveView(
            [this](QWidget& view, const QMdiSubWindow& window) { printer_.Print(view, PrintHeaderOf(window), this); });
    });
    connect(AddCommand(kPrintPreviewId, QStringLiteral("Print Pre&view"), "Display full pages\nPrint Preview"),
            &QAction::triggered, this, [this] {
                WithActiveView([this](QWidget& view, const QMdiSubWindow& window) {
                    printer_.Preview(view, PrintHeaderOf(window), this);
                });
            });
    connect(
        AddCommand(kSaveAsPdfId, QStringLiteral("&Save as PDF..."), "Save the active view as a PDF file\nSave as PDF"),
        &QAction::triggered, this, [this] {
            WithActiveView([this](QWidget& view, const QMdiSubWindow& window) {
                printer_.SaveAsPdf(view, PrintHeaderOf(window), window.objectName(), this);
            });
        });
    connect(AddCommand(kSaveAsImageId, QStringLiteral("Save as &Image..."),
                       "Save the active view as a PNG picture\nSave as Image"),
            &QAction::triggered, this, [this] {
                WithActiveView([this](QWidget& view, const QMdiSubWindow& window) {
                    printer_.SaveAsImage(view, window.objectName(), this);
                });
            });
}

void CMainFrame::UpdatePrintCommands() {
    const bool active = mdiArea_->activeSubWindow() != nullptr;
    for (const int id : {kPrintId, kPrintPreviewId, kSaveAsPdfId, kSaveAsImageId}) {
        Action(id)->setEnabled(active);
    }
}

}  // namespace zarnmon
