#include "gui/displays/gps_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "gui/state/latin1.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

using Values = std::array<std::string, 3>;

class GpsViewTest : public ::testing::Test, public test::ViewContext {
protected:
    GpsViewTest() { view.InitialUpdate(); }

    [[nodiscard]] const Values& ValuesOf(int box) const { return view.Box(box).Values(); }

    CViewGPS view{services};
};

TEST_F(GpsViewTest, BoxesAndZeroMessages) {
    EXPECT_EQ(view.Extent(), QSize(705, 100));
    EXPECT_EQ(view.Box(0).Rect(), (ElementRect{5, 5, 145, 95}));
    EXPECT_EQ(view.Box(4).Rect(), (ElementRect{580, 5, 700, 95}));
    EXPECT_EQ(view.Box(3).Labels(), (Values{"NavMode", "No.Used(mask)", "Std. Dev. pseudo"}));

    context.dispatcher.ClearAll();
    QCoreApplication::processEvents();
    view.UpdateAll();
    EXPECT_EQ(ValuesOf(0), (Values{"0.0000000", "0.0000000", "0.000"}));
    EXPECT_EQ(ValuesOf(1), (Values{"0.00", "0.00", "0.00"}));
    EXPECT_EQ(ValuesOf(2), (Values{"0.0", "0.0", "0"}));
    EXPECT_EQ(ValuesOf(3), (Values{"No Fix", "0 (0)", "0.00"}));
    EXPECT_EQ(ValuesOf(4), (Values{"01/06/80", "00:00:00", "0"}));
}

TEST_F(GpsViewTest, SolutionValues) {
    CBinFrameBuilder msg2(2);
    msg2.Set(msg2::UsedMask, std::uint32_t{0x080C4F31}).Set(msg2::Hdop, std::uint16_t{12}).Set(msg2::Vdop, 25);
    Feed(msg2);
    CBinFrameBuilder msg1(1);
    msg1.Set(msg1::Latitude, 51.04470123)
        .Set(msg1::Longitude, -114.07190129)
        .Set(msg1::Height, 1048.4567F)
        .Set(msg1::VelNorth, 0.0F)
        .Set(msg1::VelEast, -3.0F)
        .Set(msg1::VelUp, 0.25F)
        .Set(msg1::NavMode, std::uint16_t{0x84})
        .Set(msg1::NumSats, std::uint8_t{12})
        .Set(msg1::AgeOfDiff, std::uint8_t{7})
        .Set(msg1::StdDevResid, 1.234F);
    Feed(msg1);
    EXPECT_EQ(ValuesOf(0), (Values{"51.0447012", "-114.0719013", "1048.457"}));
    EXPECT_EQ(view.Box(0).Color(), colors::kBlue);
    EXPECT_EQ(ValuesOf(1), (Values{"3.00", "270.00", "0.25"}));
    EXPECT_EQ(ValuesOf(2), (Values{"1.2", "2.5", "7"}));
    EXPECT_EQ(ValuesOf(3), (Values{"3-D DIFF", "12 (80C4F31)", "1.23"}));

    // A speed too small to have a direction.
    msg1.Set(msg1::VelNorth, 0.00005F).Set(msg1::VelEast, 0.00005F).Set(msg1::ExtAgeOfDiff, std::uint16_t{300});
    msg1.Set(msg1::NavMode, std::uint16_t{0x04});
    Feed(msg1);
    EXPECT_EQ(ValuesOf(1)[1], "0.00");
    EXPECT_EQ(ValuesOf(2)[2], "300");
    EXPECT_EQ(view.Box(0).Color(), colors::kBlack);
}

TEST_F(GpsViewTest, TimeBoxAppliesTheUtcOffsetAcrossAWeek) {
    context.dispatcher.GpsUtcOffset().Set(-18);
    CBinFrameBuilder msg1(1);
    // Sunday 00:00:00 of week 2400 is 2026-01-04.
    msg1.Set(msg1::GpsWeek, std::uint16_t{2399}).Set(msg1::GpsTimeOfWeek, 604782.0);
    Feed(msg1);
    EXPECT_EQ(ValuesOf(4)[0], "01/04/26");
    EXPECT_EQ(ValuesOf(4)[1], "00:00:00");
}

TEST_F(GpsViewTest, DateAndTimeSplitAtTheFirstBlank) {
    EXPECT_EQ(SplitDateTime("01/06/80  00:00:00").date, "01/06/80");
    EXPECT_EQ(SplitDateTime("01/06/80  00:00:00").time, "00:00:00");
    EXPECT_EQ(SplitDateTime("  whole").date, "whole");
    EXPECT_EQ(SplitDateTime("  whole").time, "whole");
}

TEST_F(GpsViewTest, NeuModeNeedsAValidReferenceAndRelabelsTheFirstBox) {
    CBinFrameBuilder msg1(1);
    msg1.Set(msg1::Latitude, 51.001).Set(msg1::Longitude, -114.0).Set(msg1::Height, 1010.0F);
    Feed(msg1);
    // The stored location makes the reference valid without asking.
    SaveReferencePosition(
        [] {
            CReferencePosition stored;
            stored.SetPosition({51.0, -114.0, 1000.0});
            return stored;
        }(),
        settings);
    view.ToggleNeuErrors();
    ASSERT_TRUE(context.showNeuErrors);
    EXPECT_TRUE(view.ShowNeuErrorsAction().isChecked());
    EXPECT_EQ(view.Box(0).Labels(), (Values{"N Error", "E Error", "U Error"}));
    view.UpdateAll();
    EXPECT_EQ(ValuesOf(0)[1], "0.000");
    EXPECT_EQ(ValuesOf(0)[2], "10.000");
    EXPECT_NEAR(std::stod(ValuesOf(0)[0]), 111.25, 0.1);

    // No position yet: nothing to measure.
    msg1.Set(msg1::Longitude, 0.0);
    Feed(msg1);
    EXPECT_EQ(ValuesOf(0), (Values{"", "", ""}));

    view.ToggleNeuErrors();
    EXPECT_FALSE(context.showNeuErrors);
    EXPECT_EQ(view.Box(0).Labels(), (Values{"Lat", "Lon", "Height"}));
}

TEST_F(GpsViewTest, WhilePositionIsSilentEveryTickRedraws) {
    CBinFrameBuilder msg2(2);
    msg2.Set(msg2::Hdop, std::uint16_t{15});
    Feed(msg2);
    EXPECT_EQ(ValuesOf(2)[0], "");
    PostRefreshTick(&view);
    QCoreApplication::processEvents();
    EXPECT_EQ(ValuesOf(2)[0], "1.5");

    // Once the position flows, message 1 sets the pace.
    Feed(CBinFrameBuilder(1));
    msg2.Set(msg2::Hdop, std::uint16_t{20});
    Feed(msg2);
    PostRefreshTick(&view);
    QCoreApplication::processEvents();
    EXPECT_EQ(ValuesOf(2)[0], "1.5");
}

TEST_F(GpsViewTest, ActivationAsksForASilentPosition) {
    QMdiArea area;
    auto* gps = new CViewGPS(services);
    QMdiSubWindow* gpsFrame = area.addSubWindow(gps);
    QMdiSubWindow* otherFrame = area.addSubWindow(new QWidget);
    area.show();
    QCoreApplication::processEvents();
    sender.sent.clear();
    area.setActiveSubWindow(gpsFrame);
    area.setActiveSubWindow(otherFrame);
    // Gaining and losing activation both ask.
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JPOS\r", "$JPOS\r"}));

    Feed(CBinFrameBuilder(1));
    sender.sent.clear();
    area.setActiveSubWindow(gpsFrame);
    EXPECT_TRUE(sender.sent.empty());
}

}  // namespace
}  // namespace zarnmon

namespace zarnmon {
namespace {

// The grey level of each pixel of a row of an image.
std::vector<int> Row(const QImage& image, int y) {
    std::vector<int> row;
    for (int x = 0; x < image.width(); ++x) {
        row.push_back(qGray(image.pixel(x, y)));
    }
    return row;
}

TEST_F(GpsViewTest, NarrowerThanItsExtent_ScrollsLeftToRightWithItsBar) {
    QMdiArea area;
    area.resize(600, 400);
    auto* gps = new CViewGPS(services);
    QMdiSubWindow* frame = area.addSubWindow(gps);
    area.show();
    QCoreApplication::processEvents();
    frame->resize(300, frame->height());
    QCoreApplication::processEvents();
    ASSERT_LT(gps->viewport()->width(), gps->Extent().width());

    QScrollBar* bar = gps->horizontalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value(), bar->minimum()) << "the thumb starts at the left";
    EXPECT_EQ(gps->ScrollOffset().x(), 0);
    // The middle of the first box: its frame, labels and values.
    const int y = (gps->Box(0).Rect().top + gps->Box(0).Rect().bottom) / 2;
    const std::vector<int> before = Row(gps->viewport()->grab().toImage(), y);
    const std::vector<int> whole = Row(gps->Picture(), y);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), whole.begin())) << "the content starts at its left end";

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCoreApplication::processEvents();
    const int step = bar->value() - bar->minimum();
    ASSERT_GT(step, 0) << "the right arrow moves the thumb right";
    EXPECT_EQ(gps->ScrollOffset().x(), step);
    const std::vector<int> after = Row(gps->viewport()->grab().toImage(), y);
    EXPECT_TRUE(std::equal(after.begin(), after.end(), whole.begin() + step)) << "and the content left";
}

TEST_F(GpsViewTest, CopyGivesALabelAndValueLinePerLabelBoxByBox) {
    CBinFrameBuilder msg1(1);
    msg1.Set(msg1::Latitude, 51.04470123).Set(msg1::Longitude, -114.07190129).Set(msg1::Height, 1048.4567F);
    Feed(msg1);
    const EditAbility ability = view.Ability();
    EXPECT_TRUE(ability.copy);
    EXPECT_FALSE(ability.cut || ability.paste);
    view.Copy();
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 15);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{QStringLiteral("Lat\t51.0447012"), QStringLiteral("Lon\t-114.0719013"),
                                            QStringLiteral("Height\t1048.457")}));
    EXPECT_EQ(lines[3], QStringLiteral("Spd\t") + Latin1(ValuesOf(1)[0]));
    EXPECT_EQ(lines[9], QStringLiteral("NavMode\t") + Latin1(ValuesOf(3)[0]));
    EXPECT_EQ(lines[10], QStringLiteral("No.Used(mask)\t") + Latin1(ValuesOf(3)[1]));
    EXPECT_EQ(lines[14], QStringLiteral("NCO Err\t") + Latin1(ValuesOf(4)[2]));
}

}  // namespace
}  // namespace zarnmon
