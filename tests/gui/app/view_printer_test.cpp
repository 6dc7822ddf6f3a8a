// Printing the views: every view the program has, fed by the built-in
// simulator, printed onto a page, into a PDF file and saved as a picture; and
// the print commands where the users look for them.

#include "gui/app/view_printer.h"

#include <QFile>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"
#include "gui/app/main_frame.h"
#include "gui/displays/element_view.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

// A landscape A4 page at 150 dots per inch, as a printer would offer it.
constexpr int kPageWidth = 1754;
constexpr int kPageHeight = 1240;
constexpr int kDotsPerMetre = 5906;

QImage BlankPage() {
    QImage page(kPageWidth, kPageHeight, QImage::Format_RGB32);
    page.setDotsPerMeterX(kDotsPerMetre);
    page.setDotsPerMeterY(kDotsPerMetre);
    page.fill(Qt::white);
    return page;
}

// The bounding box of what is not white in rows [top, bottom).
QRect InkBounds(const QImage& image, int top, int bottom) {
    QRect bounds;
    for (int y = top; y < bottom; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFFu) != 0xFFFFFFu) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

class ViewPrinterTest : public ::testing::Test, public test::FrameFixture {
protected:
    // Long enough for the simulator to fill every view.
    static constexpr int kSeconds = 8;

    ViewPrinterTest() {
        // The NEU views find the simulator's place stored and ask nothing.
        settings.SetString(kLocation, "Latitude", "51.04470000");
        settings.SetString(kLocation, "Longitude", "-114.07190000");
        settings.SetString(kLocation, "Height", "1048.0000");
        frame->show();
        ConnectSimulator();
        for (const ViewDescriptor& view : ViewDescriptors()) {
            if (view.factory) {
                frame->OpenView(view.templateId);
            }
        }
        for (int second = 0; second < kSeconds; ++second) {
            TickSecond();
        }
    }

    [[nodiscard]] QList<QMdiSubWindow*> Windows() const { return frame->MdiArea().subWindowList(); }
};

TEST_F(ViewPrinterTest, EveryViewFillsItsPageBelowTheHeaderWithItsAspectKept) {
    ASSERT_GE(Windows().size(), 14);
    for (QMdiSubWindow* window : Windows()) {
        SCOPED_TRACE(window->objectName().toStdString());
        QImage page = BlankPage();
        ASSERT_TRUE(PrintView(*window->widget(), frame->PrintHeaderOf(*window), page));

        // The header: ten points of text across the top.
        const int headerBottom = kPageHeight / 20;
        const QRect header = InkBounds(page, 0, headerBottom);
        EXPECT_FALSE(header.isEmpty()) << "no header line";
        EXPECT_LT(header.height(), headerBottom);

        // The view below it, scaled up to the page: it reaches across most of
        // the page one way, and stays inside the view's place on the page.
        const QRect body = InkBounds(page, headerBottom, kPageHeight);
        ASSERT_FALSE(body.isEmpty()) << "a blank page";
        EXPECT_TRUE(body.width() > kPageWidth / 2 || body.height() > kPageHeight / 2)
            << body.width() << "x" << body.height();
        const QImage picture = ViewImage(*window->widget(), 1.0);
        const QRectF place = FitToPage(picture.size(), QRectF(0, header.top(), kPageWidth, kPageHeight));
        EXPECT_LE(body.right(), qCeil(place.right()) + 1);
        EXPECT_GE(body.left(), qFloor(place.left()) - 1);
    }
}

TEST(FitToPage, KeepsTheAspectAndCentresAcrossTheTop) {
    EXPECT_EQ(FitToPage(QSize(600, 300), QRectF(0, 50, 1000, 1000)), QRectF(0, 50, 1000, 500));
    EXPECT_EQ(FitToPage(QSize(300, 600), QRectF(0, 0, 1000, 500)), QRectF(375, 0, 250, 500));
    EXPECT_EQ(FitToPage(QSize(400, 200), QRectF(10, 10, 200, 100)), QRectF(10, 10, 200, 100));
}

TEST(PrintHeader, NamesTheViewAndTheReceiversTime) {
    EXPECT_EQ(PrintHeader(QStringLiteral("View of GPS Solution"), QStringLiteral("12/06/26 15:47:31")),
              QStringLiteral("View of GPS Solution    12/06/26 15:47:31"));
    EXPECT_EQ(PrintHeader(QStringLiteral("Heading"), {}), QStringLiteral("Heading"));
}

TEST_F(ViewPrinterTest, EveryViewPrintsToAPdfFileAndSavesAsAPictureOfItsWholeExtent) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (QMdiSubWindow* window : Windows()) {
        SCOPED_TRACE(window->objectName().toStdString());
        QWidget& view = *window->widget();
        const QString pdf = dir.filePath(window->objectName() + QStringLiteral(".pdf"));
        ASSERT_TRUE(SaveViewAsPdf(view, frame->PrintHeaderOf(*window), pdf));
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.read(5) == "%PDF-");
        EXPECT_GT(file.size(), 2000);

        const QString png = dir.filePath(window->objectName() + QStringLiteral(".png"));
        ASSERT_TRUE(SaveViewAsImage(view, png));
        const QImage saved(png);
        ASSERT_FALSE(saved.isNull());
        const QSize whole = ViewImage(view, 1.0).size();
        EXPECT_EQ(saved.size(), whole * view.devicePixelRatioF());
        if (const auto* elements = qobject_cast<const CElementView*>(&view)) {
            EXPECT_EQ(whole, elements->Extent()) << "a data view saves its whole extent";
        }
        // A sharper screen gets more pixels of the same picture.
        EXPECT_EQ(ViewImage(view, 2.0).size(), whole * 2);
    }
}

TEST_F(ViewPrinterTest, APdfThatCannotBeWrittenIsReported) {
    QMdiSubWindow* window = Windows().first();
    EXPECT_FALSE(SaveViewAsPdf(*window->widget(), {}, QStringLiteral("/nonexistent/dir/view.pdf")));
}

TEST_F(ViewPrinterTest, PrintCommandsStandInTheFileMenuAndOnTheToolBar) {
    const QMenu* file = frame->menuBar()->actions().first()->menu();
    QStringList texts;
    for (const QAction* action : file->actions()) {
        texts << action->text();
    }
    const qsizetype waas = texts.indexOf(QStringLiteral("Let Zarnmon Process &WAAS"));
    ASSERT_GE(waas, 0);
    EXPECT_EQ(texts.indexOf(QStringLiteral("&Print...")), waas + 2) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(texts.indexOf(QStringLiteral("Print Pre&view")), waas + 3);
    EXPECT_EQ(texts.indexOf(QStringLiteral("P&rint Setup...")), waas + 4);
    EXPECT_GT(texts.indexOf(QStringLiteral("&Save as PDF...")), waas + 4);
    EXPECT_GT(texts.indexOf(QStringLiteral("Save as &Image...")), waas + 4);
    EXPECT_LT(texts.indexOf(QStringLiteral("Save as &Image...")), texts.indexOf(QStringLiteral("E&xit")));
    EXPECT_EQ(frame->Action(CMainFrame::kPrintId)->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));

    const QList<QAction*> buttons = frame->findChild<QToolBar*>(QStringLiteral("Toolbar"))->actions();
    const qsizetype about = buttons.indexOf(frame->Action(57664));
    ASSERT_GE(about, 2);
    EXPECT_EQ(buttons.at(about - 1), frame->Action(CMainFrame::kPrintId));
    EXPECT_TRUE(buttons.at(about - 2)->isSeparator());

    // They act on the active view: without one there is nothing to print.
    const std::initializer_list<int> onView{CMainFrame::kPrintId, CMainFrame::kPrintPreviewId, CMainFrame::kSaveAsPdfId,
                                            CMainFrame::kSaveAsImageId};
    frame->UpdateUi();
    for (const int id : onView) {
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    }
    frame->MdiArea().closeAllSubWindows();
    frame->UpdateUi();
    for (const int id : onView) {
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(frame->Action(CMainFrame::kPrintSetupId)->isEnabled());
}

TEST_F(ViewPrinterTest, PrintPreviewShowsTheActiveViewOnOnePageAndPrintSetupOpens) {
    bool previewed = false;
    test::AnswerNextModal<QPrintPreviewDialog>([&previewed](QPrintPreviewDialog& dialog) {
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        ASSERT_NE(preview, nullptr);
        preview->updatePreview();
        EXPECT_EQ(preview->pageCount(), 1);
        previewed = true;
        dialog.reject();
    });
    frame->Action(CMainFrame::kPrintPreviewId)->trigger();
    EXPECT_TRUE(previewed);

    bool setUp = false;
    test::AnswerNextModal<QPageSetupDialog>([&setUp](QPageSetupDialog& dialog) {
        setUp = true;
        dialog.reject();
    });
    frame->Action(CMainFrame::kPrintSetupId)->trigger();
    EXPECT_TRUE(setUp);
}

}  // namespace
}  // namespace zarnmon
