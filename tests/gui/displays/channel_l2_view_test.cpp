#include "gui/displays/channel_l2_view.h"

#include <gtest/gtest.h>

#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

std::size_t Base(int k) { return msg100::kChannelsOffset + static_cast<std::size_t>(k) * l2chan::kRecordSize; }

class ChannelL2ViewTest : public ::testing::Test, public test::ViewContext {
protected:
    ChannelL2ViewTest() { view->InitialUpdate(); }

    [[nodiscard]] const std::string& Text(int row, int column) const { return view->Cell(row, column).Text(); }
    void Tick(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            PostRefreshTick(view.get());
            QCoreApplication::processEvents();
        }
    }

    std::unique_ptr<CViewChannelL2> view = std::make_unique<CViewChannelL2>(services);
};

TEST_F(ChannelL2ViewTest, GeometryAndIdleRows) {
    EXPECT_EQ(view->Extent(), QSize(700, 300));
    EXPECT_EQ(view->Elements().Count(), 12U * 13U);
    EXPECT_EQ(view->Cell(12, 11).Borders(), borders::kBottom | borders::kRight);
    EXPECT_EQ(view->Cell(1, 9).Align(), TextAlign::Left);

    CBinFrameBuilder frame(100);
    frame.Set(l2chan::Prn, std::uint8_t{7}, Base(0));
    Feed(frame);
    EXPECT_EQ(Text(1, 0), " 1");
    EXPECT_EQ(view->Cell(1, 0).Color(), colors::kBlue);
    EXPECT_EQ(Text(2, 0), " 2");
    EXPECT_EQ(view->Cell(2, 0).Color(), colors::kBlack);
    for (int column = 1; column < 12; ++column) {
        EXPECT_EQ(Text(2, column), "---") << column;
    }
}

TEST_F(ChannelL2ViewTest, ResolutionFlagRelabelsAndRescales) {
    CBinFrameBuilder frame(100);
    const std::size_t base = Base(0);
    frame.Set(l2chan::Prn, std::uint8_t{7}, base)
        .Set(l2chan::C1mL1, std::int16_t{1234}, base)
        .Set(l2chan::P2mP1, std::int16_t{-250}, base)
        .Set(l2chan::L2mL1, std::int16_t{15}, base)
        .Set(l2chan::L2Nco, std::int16_t{-300}, base)
        .Set(l2chan::L1PCnoRaw, std::uint16_t{1}, base)
        .Set(l2chan::L2CnoRaw, std::uint16_t{2000}, base)
        .Set(l2chan::L1PFlags, std::uint8_t{0x41}, base)
        .Set(l2chan::L2Flags, std::uint8_t{0x0F}, base);
    Feed(frame);
    EXPECT_EQ(Text(0, 4), "C1-L1");
    EXPECT_EQ(Text(0, 5), "P2-L1");
    EXPECT_EQ(Text(1, 4), "12.340");
    EXPECT_EQ(Text(1, 2), "-2.5");
    EXPECT_EQ(Text(1, 6), "1.5");
    EXPECT_EQ(Text(1, 7), "-300");
    EXPECT_EQ(Text(1, 8), "0.0");
    EXPECT_EQ(Text(1, 10), "20.7");
    EXPECT_EQ(Text(1, 9), "CP  ");
    EXPECT_EQ(Text(1, 11), "CCBF");

    frame.Set(msg100::L2Status, std::uint8_t{0x10});
    test::CPaintRecorder painted(*view->viewport());
    view->show();
    painted.Take();
    Feed(frame);
    EXPECT_EQ(Text(0, 4), "PRes2");
    EXPECT_EQ(Text(0, 5), "DiffC2");
    EXPECT_EQ(Text(1, 4), "1.23");
    // The two relabelled headers and the rescaled value, nothing else.
    EXPECT_EQ(painted.Take(), QRegion(view->Cell(0, 4).Rect().ToQRect()) + view->Cell(0, 5).Rect().ToQRect() +
                                  view->Cell(1, 4).Rect().ToQRect());
}

TEST_F(ChannelL2ViewTest, SwitchesMessage100OffOnCloseOnlyWhenItTurnedItOn) {
    Tick(4);
    EXPECT_TRUE(view->TurnedOnHere());
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JBIN,100,1\r"});
    view.reset();
    EXPECT_EQ(sender.sent.back(), "$JBIN,100,0\r");
}

TEST_F(ChannelL2ViewTest, LeavesAFlowingMessage100OnWhenItCloses) {
    Feed(CBinFrameBuilder(100));
    Tick(4);
    EXPECT_FALSE(view->TurnedOnHere());
    view.reset();
    for (const std::string& command : sender.sent) {
        EXPECT_NE(command, "$JBIN,100,0\r");
    }
}

}  // namespace
}  // namespace zarnmon
