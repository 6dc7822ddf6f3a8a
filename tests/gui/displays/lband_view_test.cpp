#include "gui/displays/lband_view.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

using Values = std::array<std::string, 3>;

class LBandViewTest : public ::testing::Test, public test::ViewContext {
protected:
    LBandViewTest() { view.InitialUpdate(); }

    [[nodiscard]] const Values& ValuesOf(int box) const { return view.Box(box).Values(); }

    CViewLBand view{services};
};

TEST_F(LBandViewTest, ThreeLabelledBoxesInARow) {
    EXPECT_EQ(view.Extent(), QSize(640, 100));
    EXPECT_EQ(view.Box(0).Rect(), (ElementRect{5, 5, 245, 95}));
    EXPECT_EQ(view.Box(1).Rect(), (ElementRect{245, 5, 425, 95}));
    EXPECT_EQ(view.Box(2).Rect(), (ElementRect{425, 5, 635, 95}));
    EXPECT_EQ(view.Box(0).Labels(), (Values{"Bit Err Rate(BER)", "L-Band AGC", "L-Band UTC"}));
    EXPECT_EQ(view.Box(1).Labels(), (Values{"DSP-ARM Status", "DIFF Status", "Nav Condition"}));
    EXPECT_EQ(view.Box(2).Labels(), (Values{"Spot Beam Freq", "DDS Hz", "Doppler From GEO"}));
}

TEST_F(LBandViewTest, NineFieldsAndTheTimeOfTheLastLine) {
    // Sunday 00:00:00 of week 2400 is 2026-01-04; five days later.
    FeedLine("$RD1,432000.0,2400,1545.4650,0,12-7,45,-17.3,220,0A,1B,3,0x80\r\n");
    EXPECT_EQ(ValuesOf(0), (Values{"12-7", "45", "01/09/26  00:00:00"}));
    EXPECT_EQ(ValuesOf(1), (Values{"0A-1B", "3", "0x80"}));
    EXPECT_EQ(ValuesOf(2), (Values{"1545.4650", "-17.3", "220"}));
}

TEST_F(LBandViewTest, MissingFieldsAreEmptyAndRepaintOnlyWhatChanged) {
    FeedLine("$RD1,432000.0,2400,1545.4650,0,12-7,45,-17.3,220,0A,1B,3,0x80\r\n");
    view.resize(700, 150);
    view.show();
    test::CPaintRecorder painted(*view.viewport());
    painted.Take();

    // Five commas: fields 6 and up are missing.
    FeedLine("$RD1,432000.0,2400,1545.4650,0,12-7\r\n");
    EXPECT_EQ(ValuesOf(0), (Values{"12-7", "", "01/09/26  00:00:00"}));
    EXPECT_EQ(ValuesOf(1), (Values{"-", "", ""}));
    EXPECT_EQ(ValuesOf(2), (Values{"1545.4650", "", ""}));
    EXPECT_EQ(painted.Take(),
              QRegion(view.Box(0).Rect().ToQRect()) + view.Box(1).Rect().ToQRect() + view.Box(2).Rect().ToQRect());

    // Only the frequency differs.
    FeedLine("$RD1,432000.0,2400,1557.8450,0,12-7\r\n");
    EXPECT_EQ(painted.Take(), QRegion(view.Box(2).Rect().ToQRect()));
}

TEST_F(LBandViewTest, FrameFitsTheBoxes) {
    QMdiArea area;
    area.resize(900, 500);
    auto* lband = new CViewLBand(services);
    area.addSubWindow(lband);
    area.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(lband->viewport()->size(), lband->Extent());
}

TEST_F(LBandViewTest, KeepsRd1OnButNeverSwitchesItOff) {
    Ticks(view, 4);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JASC,D1,1\r"});
    sender.sent.clear();
    std::make_unique<CViewLBand>(services).reset();
    EXPECT_TRUE(sender.sent.empty());
}

}  // namespace
}  // namespace zarnmon
