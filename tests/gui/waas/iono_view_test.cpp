#include "gui/waas/iono_view.h"

#include <QApplication>
#include <QImage>
#include <memory>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"
#include "tests/core/waas/waas_test_messages.h"
#include "tests/gui/displays/view_test_support.h"
#include "tests/support/recorders.h"
#include "tests/support/sbas_capture.h"

namespace zarnmon {
namespace {

constexpr IonoRegion kJapan = kIonoZones[2].region;
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);

// White, the land's grey, the coast's grey or a blend of them: nothing of a
// square's blue.
bool Unpainted(QRgb pixel) {
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) &&
           qGray(pixel) >= qGray(CLandLayer::kCoastColor);
}

// The real MSAS/KASS/GAGAN broadcasts of tests/data/sbas, as message-80 frames.
std::vector<std::vector<std::uint8_t>> CapturedFrames() {
    std::vector<std::vector<std::uint8_t>> frames;
    for (const test::SbasCaptureLine& line : test::ReadSbasCapture("sbas_l1_2023-11-04_subset.txt")) {
        frames.push_back(test::Msg80Frame(line.prn, line.words));
    }
    EXPECT_GT(frames.size(), 250U);
    return frames;
}

class IonoViewTest : public ::testing::Test {
protected:
    void Feed(std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to && i < frames.size(); ++i) {
            context.waas.ProcessWaasRecord(frames[i]);
        }
    }
    std::unique_ptr<CViewIono> OpenJapan(bool extendMap = true) {
        context.ionoCoverage = IonoCoverage{kJapan, extendMap};
        auto view = std::make_unique<CViewIono>(services);
        view->InitialUpdate();
        return view;
    }
    int Expected(const CDrawIono& square, bool extendMap = true) const {
        return IonoSquareValue(context.waas.IonoDelayAt(square.Longitude(), square.Latitude(), extendMap));
    }
    static int Drawn(const CViewIono& view) {
        int drawn = 0;
        for (std::size_t i = 0; i < view.Elements().Count(); ++i) {
            drawn += static_cast<const CDrawIono&>(view.Elements().At(i)).Value() != 0 ? 1 : 0;
        }
        return drawn;
    }
    static QImage Render(CViewIono& view) {
        const int frame = 2 * view.frameWidth();
        view.resize(view.Extent() + QSize(frame, frame));
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    void Notify(CViewIono& view) {
        QCoreApplication::postEvent(&view, new CRxMessageEvent(&context.dispatcher.Handler(Slots::Msg80)));
        QCoreApplication::processEvents();
    }
    static void Tick(CViewIono& view) {
        PostRefreshTick(&view);
        QCoreApplication::processEvents();
    }

    CManualTickClock clock;
    CSettingsStore settings;
    CAppContext context{settings, clock};
    test::CFakeReceiverControl receiver;
    ViewServices services{context, receiver};
    std::vector<std::vector<std::uint8_t>> frames = CapturedFrames();
};

TEST_F(IonoViewTest, DefaultCoverage_SeventyByFortySquaresFromTheNorthWest) {
    CViewIono view(services);
    view.InitialUpdate();
    ASSERT_EQ(context.ionoCoverage, IonoCoverage{});
    EXPECT_EQ(view.Layout().Columns(), 70);
    EXPECT_EQ(view.Layout().Rows(), 40);
    ASSERT_EQ(view.SquareCount(), 2800);
    EXPECT_EQ(view.Extent(), QSize(922, 562));
    // Creation order: row by row from the north, west to east.
    const auto& first = static_cast<const CDrawIono&>(view.Elements().At(0));
    EXPECT_EQ(first.Rect(), (ElementRect{55, 55, 67, 67}));
    EXPECT_EQ(first.Longitude(), -179.0);
    EXPECT_EQ(first.Latitude(), 79.0);
    EXPECT_EQ(view.Elements().At(1).Rect(), (ElementRect{67, 55, 79, 67}));
    EXPECT_EQ(view.Elements().At(70).Rect(), (ElementRect{55, 67, 67, 79}));
    EXPECT_EQ(view.Square(69, 39).Rect(), (ElementRect{883, 523, 895, 535}));
    EXPECT_EQ(view.Square(69, 39).Latitude(), 1.0);
    EXPECT_EQ(Drawn(view), 0);
}

TEST_F(IonoViewTest, StoredCoverage_IsReadOnceAndNormalised) {
    settings.SetInt(kIonoMapCoverage, kLeftKey, -95);
    settings.SetInt(kIonoMapCoverage, kTopKey, 47);
    settings.SetInt(kIonoMapCoverage, kRightKey, -15);
    settings.SetInt(kIonoMapCoverage, kBottomKey, -12);
    settings.SetInt(kIonoMapCoverage, kExtendMapKey, 0);
    auto view = std::make_unique<CViewIono>(services);
    EXPECT_EQ(context.ionoCoverage, (IonoCoverage{{-100, 50, -10, -20}, false}));
    EXPECT_EQ(view->Layout().Columns(), 45);
    EXPECT_EQ(view->Layout().Rows(), 35);

    view.reset();
    settings.SetInt(kIonoMapCoverage, kLeftKey, 100);
    view = std::make_unique<CViewIono>(services);
    EXPECT_EQ(view->Layout().Region().left, -100);
}

TEST_F(IonoViewTest, Notification_RecomputesOnTheFourthTickAfterItOnly) {
    Feed(0, frames.size());
    auto view = OpenJapan();
    for (int i = 0; i < 6; ++i) {
        Tick(*view);
    }
    EXPECT_EQ(Drawn(*view), 0) << "ticks without new data";

    Notify(*view);
    for (int tick = 1; tick <= 3; ++tick) {
        Tick(*view);
        EXPECT_EQ(Drawn(*view), 0) << "tick " << tick;
        Notify(*view);  // later data does not restart the count
    }
    Tick(*view);
    EXPECT_GT(Drawn(*view), 100);
    for (int row = 0; row < view->Layout().Rows(); ++row) {
        for (int column = 0; column < view->Layout().Columns(); ++column) {
            SCOPED_TRACE(testing::Message() << "column " << column << " row " << row);
            EXPECT_EQ(view->Square(column, row).Value(), Expected(view->Square(column, row)));
        }
    }
}

TEST_F(IonoViewTest, Recompute_InvalidatesExactlyTheSquaresWhoseValueChanged) {
    Feed(0, frames.size() / 2);
    auto view = OpenJapan();
    const int first = view->Recompute();
    EXPECT_EQ(first, Drawn(*view));
    EXPECT_GT(first, 0);
    EXPECT_EQ(view->Recompute(), 0);

    Feed(frames.size() / 2, frames.size());
    int changed = 0;
    for (int row = 0; row < view->Layout().Rows(); ++row) {
        for (int column = 0; column < view->Layout().Columns(); ++column) {
            changed += Expected(view->Square(column, row)) != view->Square(column, row).Value() ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 0);
    EXPECT_EQ(view->Recompute(), changed);
}

TEST_F(IonoViewTest, BoxesAboveTheScale_RepaintWhereverTheyReach) {
    Feed(0, frames.size() / 2);
    auto view = OpenJapan();
    view->Recompute();
    view->SetScale(64);  // 4 m: most boxes outgrow their cells
    Render(*view);
    view->show();
    std::vector<QRect> before;
    for (std::size_t i = 0; i < view->Elements().Count(); ++i) {
        before.push_back(static_cast<const CDrawIono&>(view->Elements().At(i)).PaintedRect());
    }
    test::CPaintRecorder painted(*view->viewport());
    painted.Take();

    Feed(frames.size() / 2, frames.size());
    view->Recompute();
    const QRegion region = painted.Take();
    // Big boxes at the edge reach beyond what the view shows.
    const QRect shown = view->viewport()->rect();
    int overflowing = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const auto& square = static_cast<const CDrawIono&>(view->Elements().At(i));
        const QRect after = square.PaintedRect();
        if (after == before[i]) {
            continue;
        }
        EXPECT_TRUE((QRegion(before[i].intersected(shown)) - region).isEmpty()) << i;
        EXPECT_TRUE((QRegion(after.intersected(shown)) - region).isEmpty()) << i;
        if (after.width() > square.Rect().Width()) {
            ++overflowing;
            // Repainting a neighbour's cell draws this box again.
            EXPECT_TRUE(square.Intersects(square.Rect().ToQRect().translated(square.Rect().Width(), 0)));
        }
    }
    EXPECT_GT(overflowing, 0);
}

TEST_F(IonoViewTest, CoverageChange_RebuildsEmptySquaresThatFollowItsExtendFlag) {
    Feed(0, frames.size());
    CViewIono view(services);
    view.InitialUpdate();
    view.Recompute();

    const IonoCoverage strict{kJapan, false};
    view.SetCoverage(strict);
    EXPECT_EQ(context.ionoCoverage, strict);
    ASSERT_EQ(view.SquareCount(), 35 * 30);
    EXPECT_EQ(view.Extent(), QSize(35 * 20 + 82, 30 * 20 + 82));
    EXPECT_EQ(view.Square(0, 0).Rect(), (ElementRect{55, 55, 75, 75}));
    EXPECT_EQ(Drawn(view), 0);

    view.Recompute();
    int extrapolated = 0;
    for (int row = 0; row < 30; ++row) {
        for (int column = 0; column < 35; ++column) {
            const CDrawIono& square = view.Square(column, row);
            EXPECT_EQ(square.Value(), Expected(square, false));
            extrapolated += Expected(square, true) != square.Value() ? 1 : 0;
        }
    }
    EXPECT_GT(extrapolated, 0) << "the flag must make a difference here";
}

TEST_F(IonoViewTest, CoverageChange_ProjectsTheLandOntoTheNewMapsPixels) {
    // Whether the view's coast has a vertex on the pixel, to a millionth.
    const auto coastAt = [](const CViewIono& view, QPointF pixel) {
        const QPainterPath& coast = view.Land().Coasts();
        for (int i = 0; i < coast.elementCount(); ++i) {
            if (std::abs(coast.elementAt(i).x - pixel.x()) < 1e-6 &&
                std::abs(coast.elementAt(i).y - pixel.y()) < 1e-6) {
                return true;
            }
        }
        return false;
    };
    // The outline's northern tip of Scotland, 3.0W 58.63N, and a point of
    // Tierra del Fuego's coast near Cape Horn, 67.29W 55.3S.
    CViewIono view(services);
    view.InitialUpdate();
    // Europe, 13 pixels a square from 60W 90N: 57 degrees east and 31.37
    // south of the corner.
    const QPointF scotland(55 + 6.5 * 57, 55 + 6.5 * 31.37);
    EXPECT_FALSE(coastAt(view, scotland)) << "not on the North American map";
    view.SetCoverage({kIonoZones[1].region, true});
    EXPECT_TRUE(coastAt(view, scotland));

    // 80W to 30W, 60S to 0: 25 pixels a square.
    view.SetCoverage({NormaliseRegion({-80, 0, -30, -60}), true});
    ASSERT_EQ(view.Layout().CellSide(), 25);
    EXPECT_TRUE(coastAt(view, {55 + 12.5 * 12.71, 55 + 12.5 * 55.3}));
    EXPECT_FALSE(coastAt(view, scotland));
}

TEST_F(IonoViewTest, Painting_BlueBoxWhereASquareHasAValueAndTheTitleAtTheTop) {
    Feed(0, frames.size());
    auto view = OpenJapan();
    view->SetScale(512);  // 32 m: no box outgrows its cell
    view->Recompute();
    const QImage image = Render(*view);

    for (int row = 0; row < view->Layout().Rows(); ++row) {
        for (int column = 0; column < view->Layout().Columns(); ++column) {
            SCOPED_TRACE(testing::Message() << "column " << column << " row " << row);
            const CDrawIono& square = view->Square(column, row);
            const ElementRect& r = square.Rect();
            const IonoSquareShape shape = IonoSquareGeometry({r.left, r.top, r.right, r.bottom}, square.Value(), 512);
            if (shape.box) {
                EXPECT_EQ(image.pixel(shape.box->left, shape.box->top), kBlue);
                EXPECT_EQ(image.pixel(shape.box->right - 1, shape.box->bottom - 1), kBlue);
                EXPECT_TRUE(Unpainted(image.pixel(r.right - 1, r.bottom - 1)));
            } else if (shape.pixelCount > 0) {
                EXPECT_EQ(image.pixel(shape.pixels[0].x, shape.pixels[0].y), kBlue);
            } else {
                EXPECT_TRUE(Unpainted(image.pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2)));
            }
        }
    }
    int title = 0;
    for (int y = 8; y < 32; ++y) {
        for (int x = view->Extent().width() / 2 - 100; x < view->Extent().width() / 2 + 100; ++x) {
            title += image.pixel(x, y) != kWhite ? 1 : 0;
        }
    }
    EXPECT_GT(title, 100);
    EXPECT_EQ(qGray(image.pixel(55, 300)), 0) << "left edge of the map";
}

TEST_F(IonoViewTest, Painting_LandInLightGreyUnderTheMapOnlyAndTheSeaWhite) {
    CViewIono view(services);  // North America, 6 pixels a degree from 180W 80N
    view.InitialUpdate();
    const QImage image = Render(view);
    const auto at = [&](double longitude, double latitude) {
        return image.pixel(qRound(view.Layout().XOf(longitude)), qRound(view.Layout().YOf(latitude)));
    };
    EXPECT_EQ(at(-100, 50), CLandLayer::kLandColor) << "Saskatchewan";
    EXPECT_EQ(at(-75, 5), CLandLayer::kLandColor) << "Colombia";
    EXPECT_EQ(at(-150, 30), kWhite) << "the Pacific";
    EXPECT_EQ(at(-45, 30), kWhite) << "the Atlantic";
    EXPECT_EQ(at(-88, 25), kWhite) << "the Gulf of Mexico";
    // Chukotka, which the atlas keeps with Asia across 180 degrees, lies at
    // the map's north-west corner and stops at its edge.
    EXPECT_EQ(at(-178, 67), CLandLayer::kLandColor);
    EXPECT_EQ(at(-182, 67), kWhite);

    int coast = 0;
    for (int y = 55; y < 535; ++y) {
        for (int x = 55; x < 895; ++x) {
            const QRgb pixel = image.pixel(x, y);
            coast += qGray(pixel) < qGray(CLandLayer::kLandColor) && qGray(pixel) >= qGray(CLandLayer::kCoastColor) &&
                             qRed(pixel) == qBlue(pixel)
                         ? 1
                         : 0;
        }
    }
    EXPECT_GT(coast, 2000) << "the coasts of the Americas, drawn in a light grey";
}

TEST_F(IonoViewTest, Painting_ASquareOverLandHidesIt) {
    Feed(0, frames.size());
    auto view = OpenJapan();
    view->SetScale(512);
    const QImage land = Render(*view);
    view->Recompute();
    const QImage squares = Render(*view);
    int overLand = 0;
    for (int row = 0; row < view->Layout().Rows(); ++row) {
        for (int column = 0; column < view->Layout().Columns(); ++column) {
            const ElementRect& r = view->Square(column, row).Rect();
            const IonoSquareShape shape =
                IonoSquareGeometry({r.left, r.top, r.right, r.bottom}, view->Square(column, row).Value(), 512);
            if (!shape.box) {
                continue;
            }
            const QPoint centre((shape.box->left + shape.box->right) / 2, (shape.box->top + shape.box->bottom) / 2);
            if (land.pixel(centre) == CLandLayer::kLandColor) {
                SCOPED_TRACE(testing::Message() << "column " << column << " row " << row);
                ++overLand;
                EXPECT_EQ(squares.pixel(centre), kBlue);
            }
        }
    }
    EXPECT_GT(overLand, 20) << "Japan, Korea and China under the squares";
}

TEST_F(IonoViewTest, ScaleChange_ShrinksTheBoxesAndRetitles) {
    Feed(0, frames.size());
    auto view = OpenJapan();
    view->Recompute();
    const QImage touching = Render(*view);
    view->SetScale(512);
    EXPECT_EQ(context.ionoScale, 512);
    const QImage shrunk = Render(*view);

    const auto blue = [](const QImage& image) {
        int count = 0;
        for (int y = 55; y < image.height(); ++y) {
            for (int x = 55; x < image.width(); ++x) {
                count += image.pixel(x, y) == kBlue ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_LT(blue(shrunk) * 8, blue(touching));
    EXPECT_NE(touching.copy(0, 0, touching.width(), 40), shrunk.copy(0, 0, shrunk.width(), 40));
}

TEST_F(IonoViewTest, RepaintOfACornerSquare_DrawsTheLandUnderItAndTheMapEdgeOverIt) {
    auto view = OpenJapan();
    Render(*view);
    QImage image(view->viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::green);
    // The target offset places the region's top-left corner.
    view->viewport()->render(&image, QPoint(55, 55), QRegion(55, 55, 20, 20));
    EXPECT_EQ(qGray(image.pixel(55, 65)), 0);
    EXPECT_EQ(qGray(image.pixel(65, 55)), 0);
    EXPECT_EQ(image.pixel(65, 65), CLandLayer::kLandColor) << "Siberia, under the empty square";
    EXPECT_EQ(image.pixel(30, 30), QColor(Qt::green).rgb()) << "outside the repaint";
}

TEST_F(IonoViewTest, OpenedWithWaasOff_SwitchesItOnAndOffAgainAtClose) {
    auto view = OpenJapan();
    EXPECT_TRUE(receiver.WaasProcessing());
    view.reset();
    EXPECT_FALSE(receiver.WaasProcessing());
}

TEST_F(IonoViewTest, OpenedWithWaasOn_LeavesItOn) {
    receiver.SetWaasProcessing(true);
    OpenJapan().reset();
    EXPECT_TRUE(receiver.WaasProcessing());
}

TEST_F(IonoViewTest, SwitchedOffByHandMeanwhile_StaysOffAtClose) {
    auto view = OpenJapan();
    receiver.SetWaasProcessing(false);
    view.reset();
    EXPECT_FALSE(receiver.WaasProcessing());
}

TEST_F(IonoViewTest, OwnMenu_OffersScaleAndCoverageCommands) {
    CViewIono view(services);
    ASSERT_EQ(view.actions().size(), 1);
    EXPECT_EQ(view.actions().front()->menu(), &view.MapMenu());
    EXPECT_EQ(view.MapMenu().title(), QStringLiteral("&Map Properties"));
    const QList<QAction*> items = view.MapMenu().actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Iono Map &Scale ..."));
    EXPECT_EQ(items[0]->statusTip(), QStringLiteral("Set the scaling on the Iono map squares"));
    EXPECT_EQ(items[0]->data().toInt(), 32805);
    EXPECT_EQ(items[1]->text(), QStringLiteral("Set Coverage &Zone ..."));
    EXPECT_EQ(items[1]->statusTip(), QStringLiteral("Set the rectangular region upon which to display the iono map"));
    EXPECT_EQ(items[1]->data().toInt(), 32806);
}

TEST(IonoFitsOnScreenTest, FrameFitsOnlyWithRoomForBordersScrollBarCaptionAndMenu) {
    const FrameAllowance allowance{4, 16, 20, 20};
    EXPECT_TRUE(FitsOnScreen({922, 562}, {947, 627}, allowance));
    EXPECT_FALSE(FitsOnScreen({922, 562}, {946, 627}, allowance));
    EXPECT_FALSE(FitsOnScreen({922, 562}, {947, 626}, allowance));
}

}  // namespace
}  // namespace zarnmon
