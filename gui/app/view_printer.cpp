#include "gui/app/view_printer.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QScrollArea>
#include <algorithm>

#include "gui/displays/element_view.h"

namespace zarnmon {

namespace {

// A form is printed as a picture: this many device pixels per screen pixel
// keep its text sharp on paper.
constexpr qreal kFormRatio = 3.0;
constexpr qreal kHeaderPoints = 10.0;
constexpr qreal kPointsPerInch = 72.0;
constexpr qreal kMarginPoints = kPointsPerInch / 2;

// What of the view is printed: a form's whole form, not the part its window shows.
QWidget& PrintedWidget(QWidget& view) {
    auto* scroll = qobject_cast<QScrollArea*>(&view);
    return scroll != nullptr && scroll->widget() != nullptr ? *scroll->widget() : view;
}

QSize PrintedSize(QWidget& view) {
    if (auto* elements = qobject_cast<CElementView*>(&view)) {
        return elements->Extent();
    }
    return PrintedWidget(view).size();
}

void ReportFailure(QWidget* parent, const QString& what) {
    QMessageBox::warning(parent, QStringLiteral("ZarnMon"), what);
}

}  // namespace

QRectF FitToPage(const QSize& size, const QRectF& area) {
    const qreal scale = std::min(area.width() / size.width(), area.height() / size.height());
    const QSizeF scaled = QSizeF(size) * scale;
    return {QPointF(area.left() + (area.width() - scaled.width()) / 2, area.top()), scaled};
}

QString PrintHeader(const QString& title, const QString& receiverTime) {
    return receiverTime.isEmpty() ? title : title + QStringLiteral("    ") + receiverTime;
}

bool PrintView(QWidget& view, const QString& header, QPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const QRectF page(0, 0, device.width(), device.height());
    QFont font = view.font();
    font.setPixelSize(std::max(1, qRound(kHeaderPoints * device.logicalDpiY() / kPointsPerInch)));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const qreal line = painter.fontMetrics().lineSpacing();
    painter.drawText(QRectF(page.left(), page.top(), page.width(), line), Qt::AlignLeft | Qt::AlignVCenter, header);

    const QSize size = PrintedSize(view);
    const QRectF body = page.adjusted(0, 2 * line, 0, 0);
    if (size.isEmpty() || body.isEmpty()) {
        return true;
    }
    const QRectF target = FitToPage(size, body);
    if (auto* elements = qobject_cast<CElementView*>(&view)) {
        // The view's own drawing, straight onto the device.
        painter.translate(target.topLeft());
        painter.scale(target.width() / size.width(), target.height() / size.height());
        painter.setClipRect(QRect(QPoint(0, 0), size));
        elements->PaintExtent(painter);
    } else {
        painter.drawImage(target, ViewImage(view, kFormRatio));
    }
    return painter.end();
}

QImage ViewImage(QWidget& view, qreal ratio) {
    const QSize size = PrintedSize(view);
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    if (auto* elements = qobject_cast<CElementView*>(&view)) {
        QPainter painter(&image);
        elements->PaintExtent(painter);
    } else {
        PrintedWidget(view).render(&image);
    }
    return image;
}

QPageLayout DefaultPageLayout() {
    return {QPageSize(QPageSize::A4), QPageLayout::Landscape,
            QMarginsF(kMarginPoints, kMarginPoints, kMarginPoints, kMarginPoints)};
}

bool SaveViewAsPdf(QWidget& view, const QString& header, const QString& path, const QPageLayout& layout) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(layout);
    printer.setDocName(header);
    return PrintView(view, header, printer);
}

bool SaveViewAsImage(QWidget& view, const QString& path) {
    return ViewImage(view, view.devicePixelRatioF()).save(path, "PNG");
}

CViewPrinter::CViewPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setPageLayout(DefaultPageLayout());
}

void CViewPrinter::Setup(QWidget* parent) {
    QPageSetupDialog dialog(printer_.get(), parent);
    dialog.exec();
}

void CViewPrinter::Print(QWidget& view, const QString& header, QWidget* parent) {
    QPrintDialog dialog(printer_.get(), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    printer_->setDocName(header);
    if (!PrintView(view, header, *printer_)) {
        ReportFailure(parent, QStringLiteral("Printing %1 failed").arg(header));
    }
}

void CViewPrinter::Preview(QWidget& view, const QString& header, QWidget* parent) {
    QPrintPreviewDialog dialog(printer_.get(), parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&view, &header](QPrinter* printer) { PrintView(view, header, *printer); });
    dialog.exec();
}

bool CViewPrinter::SaveAsPdf(QWidget& view, const QString& header, const QString& name, QWidget* parent) {
    const QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Save as PDF"), name + QStringLiteral(".pdf"), QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty()) {
        return true;
    }
    if (!SaveViewAsPdf(view, header, path, printer_->pageLayout())) {
        ReportFailure(parent, QStringLiteral("Cannot write %1").arg(path));
        return false;
    }
    return true;
}

bool CViewPrinter::SaveAsImage(QWidget& view, const QString& name, QWidget* parent) {
    const QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Save as Image"), name + QStringLiteral(".png"), QStringLiteral("PNG images (*.png)"));
    if (path.isEmpty()) {
        return true;
    }
    if (!SaveViewAsImage(view, path)) {
        ReportFailure(parent, QStringLiteral("Cannot write %1").arg(path));
        return false;
    }
    return true;
}

}  // namespace zarnmon
