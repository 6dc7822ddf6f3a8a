#pragma once

// Printing a view. One routine lays a view out on a page: a header line with
// the view's title and the receiver's time, below it the view's whole extent
// scaled to the page with its aspect kept. A data view draws its elements
// straight onto the device, as it does on screen; a form is rendered as a
// sharp picture. Printing, the preview, the PDF file and the snapshot run all
// go through it.

#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QRectF>
#include <QString>
#include <memory>

class QPaintDevice;
class QWidget;

namespace zarnmon {

// "title   receiver time" for the top of the page.
[[nodiscard]] QString PrintHeader(const QString& title, const QString& receiverTime);

// size scaled into area with its aspect kept, centred across the top.
[[nodiscard]] QRectF FitToPage(const QSize& size, const QRectF& area);

// view on the whole of device's page. False when nothing could be painted
// there (a printer that did not start, a file that cannot be written).
bool PrintView(QWidget& view, const QString& header, QPaintDevice& device);

// The view's whole extent at ratio device pixels per pixel, as the screen shows it.
[[nodiscard]] QImage ViewImage(QWidget& view, qreal ratio);

// The view's whole extent as a PNG at path, at the screen's device pixel ratio.
bool SaveViewAsImage(QWidget& view, const QString& path);

// A4 across, with half an inch of margin: the views are wider than tall.
[[nodiscard]] QPageLayout DefaultPageLayout();

// view as a PDF file at path; the page as layout has it.
bool SaveViewAsPdf(QWidget& view, const QString& header, const QString& path,
                   const QPageLayout& layout = DefaultPageLayout());

// The program's printer: its settings last from one print to the next.
class CViewPrinter {
public:
    CViewPrinter();

    // The framework's setup dialog for page and printer.
    void Setup(QWidget* parent);
    // The print dialog, then the page.
    void Print(QWidget& view, const QString& header, QWidget* parent);
    // The page in the preview window, from which it can be printed.
    void Preview(QWidget& view, const QString& header, QWidget* parent);
    // Ask for a file name, name.pdf or name.png offered; false when the
    // file could not be written.
    bool SaveAsPdf(QWidget& view, const QString& header, const QString& name, QWidget* parent);
    bool SaveAsImage(QWidget& view, const QString& name, QWidget* parent);

    [[nodiscard]] QPrinter& Printer() { return *printer_; }

private:
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace zarnmon
