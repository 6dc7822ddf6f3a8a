#include "gui/displays/channel_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>

#include <gtest/gtest.h>

#include "gui/displays/channel_cells.h"
#include "gui/state/latin1.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

using test::CellHasColor;

constexpr int kColumns = 13;

// A message 99 whose channel k (0-based) tracks prn on channel number k.
struct ChannelRecordFields {
    int k;
    std::uint8_t prn;
    std::uint8_t ephState = 2;
    std::uint8_t ephFlag = 1;
    std::int8_t elevation = 30;
};

void SetRecord(CBinFrameBuilder& frame, std::size_t base, std::uint8_t channel, const ChannelRecordFields& fields) {
    frame.Set(chan::Channel, channel, base)
        .Set(chan::Prn, fields.prn, base)
        .Set(chan::EphState, fields.ephState, base)
        .Set(chan::EphFlag, fields.ephFlag, base)
        .Set(chan::Elevation, fields.elevation, base);
}

std::size_t Msg99Base(int k) { return msg99::kChannelsOffset + static_cast<std::size_t>(k) * chan::kRecordSize; }
std::size_t Msg89Base(int k) { return msg89::kChannelsOffset + static_cast<std::size_t>(k) * chan::kRecordSize; }

CBinFrameBuilder Msg99With(std::initializer_list<ChannelRecordFields> records) {
    CBinFrameBuilder frame(99);
    for (const ChannelRecordFields& fields : records) {
        SetRecord(frame, Msg99Base(fields.k), static_cast<std::uint8_t>(fields.k), fields);
    }
    return frame;
}

class ChannelViewTest : public ::testing::Test, public test::ViewContext {
protected:
    ChannelViewTest() {
        view.resize(800, 500);
        view.show();
        view.InitialUpdate();
    }

    [[nodiscard]] const std::string& Text(int row, int column) const { return view.Cell(row, column).Text(); }
    [[nodiscard]] std::vector<std::string> RowTexts(int row) const {
        std::vector<std::string> texts;
        for (int column = 0; column < kColumns; ++column) {
            texts.push_back(Text(row, column));
        }
        return texts;
    }
    [[nodiscard]] QImage Render() { return view.viewport()->grab().toImage(); }
    // The cell's area on screen without its border lines.
    [[nodiscard]] QRect Inside(int row, int column) const {
        return view.Cell(row, column).Rect().ToQRect().adjusted(2, 2, -2, -2).translated(-view.ScrollOffset());
    }

    CViewChannel view{services};
};

TEST_F(ChannelViewTest, TableGeometryHeadersAndEmptyRows) {
    EXPECT_EQ(view.Extent(), QSize(700, 360));
    EXPECT_EQ(view.Elements().Count(), 16U * kColumns);
    EXPECT_EQ(view.Cell(0, 0).Rect(), (ElementRect{20, 20, 70, 40}));
    EXPECT_EQ(view.Cell(13, 12).Rect(), (ElementRect{620, 280, 680, 300}));
    EXPECT_EQ(view.Cell(0, 0).Borders(), borders::kTop | borders::kBottom | borders::kLeft);
    EXPECT_EQ(view.Cell(12, 5).Borders(), borders::kBottom);
    EXPECT_EQ(view.Cell(15, 12).Borders(), borders::kBottom | borders::kRight);
    EXPECT_EQ(view.Cell(7, 6).Borders(), 0);
    EXPECT_EQ(view.Cell(3, 11).Align(), TextAlign::Left);
    EXPECT_EQ(view.Cell(3, 10).Align(), TextAlign::Right);

    Feed(CBinFrameBuilder(99));
    EXPECT_EQ(RowTexts(0), (std::vector<std::string>{" CH", "SV", "ELV", "AZI", "Dopp", "NCO", "UERE", "SF", "PosRes",
                                                     "VelRes", "DiffC", "LOCK", "SNR"}));
    // An idle row still numbers its channel.
    EXPECT_EQ(Text(4, 0), "   4");
    EXPECT_EQ(Text(4, 1), "---");
    EXPECT_EQ(Text(15, 12), "---");
}

TEST_F(ChannelViewTest, ARecordOnAnotherChannelShowsNoDataButIsStillColoured) {
    CBinFrameBuilder frame(99);
    SetRecord(frame, Msg99Base(2), 7, {.k = 2, .prn = 9, .ephFlag = 0});
    Feed(frame);
    EXPECT_EQ(Text(3, 1), "---");
    EXPECT_EQ(Text(3, 12), "---");
    EXPECT_EQ(Text(3, 0), "   3");
    EXPECT_EQ(view.Cell(3, 0).Color(), colors::kCyan);
}

TEST_F(ChannelViewTest, ColumnZeroColoursByUse) {
    // Row 5: PRN 17 with an ephemeris not flagged, not used: cyan, blank letter.
    Feed(Msg99With({{.k = 4, .prn = 17, .ephFlag = 0}, {.k = 5, .prn = 18}, {.k = 6, .prn = 19, .ephState = 1}}));
    EXPECT_EQ(Text(5, 0), "   5");
    EXPECT_EQ(view.Cell(5, 0).Color(), colors::kCyan);
    EXPECT_EQ(Text(6, 0), "U  6");
    EXPECT_EQ(view.Cell(6, 0).Color(), colors::kBlue);
    EXPECT_EQ(view.Cell(7, 0).Color(), colors::kBlue);
    EXPECT_EQ(view.Cell(8, 0).Color(), colors::kBlack);
    QImage image = Render();
    EXPECT_TRUE(CellHasColor(image, Inside(5, 0), colors::kCyan));
    EXPECT_TRUE(CellHasColor(image, Inside(6, 0), colors::kBlue));
    EXPECT_FALSE(CellHasColor(image, Inside(6, 0), colors::kCyan));

    // Used according to message 2, which flows: dark green at the next pass.
    CBinFrameBuilder msg2(2);
    msg2.Set(msg2::UsedMask, std::uint32_t{1} << 16);
    Feed(msg2);
    Feed(Msg99With({{.k = 4, .prn = 17, .ephFlag = 0}, {.k = 5, .prn = 18}, {.k = 6, .prn = 19, .ephState = 1}}));
    EXPECT_EQ(view.Cell(5, 0).Color(), colors::kDarkGreen);
    image = Render();
    EXPECT_TRUE(CellHasColor(image, Inside(5, 0), colors::kDarkGreen));

    // Message 2 gone: back to cyan at the next pass.
    context.dispatcher.Handler(Slots::Msg2).Clear();
    Feed(Msg99With({{.k = 4, .prn = 17, .ephFlag = 0}}));
    EXPECT_EQ(view.Cell(5, 0).Color(), colors::kCyan);
}

TEST_F(ChannelViewTest, SbasRowsTurnGreenOnlyThroughMessage89) {
    // Message 2 says PRN 129 is used (bits 5-9 hold 9, bit 2 set): not enough for rows 13-15.
    CBinFrameBuilder msg2(2);
    msg2.Set(msg2::SbasMask, static_cast<std::uint16_t>((9U << 5) | 0x04U));
    Feed(msg2);
    CBinFrameBuilder msg89(89);
    SetRecord(msg89, Msg89Base(0), 12, {.k = 0, .prn = 129, .ephFlag = 1});
    SetRecord(msg89, Msg89Base(1), 13, {.k = 1, .prn = 135, .ephFlag = 1});
    Feed(msg89);
    Feed(CBinFrameBuilder(99));
    EXPECT_EQ(Text(13, 1), "129");
    EXPECT_EQ(view.Cell(13, 0).Color(), colors::kBlue);

    msg89.Set(msg89::SbasUsedMask, std::uint8_t{0x02});
    Feed(msg89);
    EXPECT_EQ(view.Cell(13, 0).Color(), colors::kBlue);
    EXPECT_EQ(view.Cell(14, 0).Color(), colors::kDarkGreen);
}

TEST_F(ChannelViewTest, ValueColumnsOfATrackedChannel) {
    CBinFrameBuilder frame(99);
    const std::size_t base = Msg99Base(0);
    SetRecord(frame, base, 0, {.k = 0, .prn = 5, .elevation = -3});
    frame.Set(chan::AzimuthHalf, std::uint8_t{150}, base)
        .Set(chan::Doppler, std::int16_t{-1234}, base)
        .Set(chan::Nco, std::int16_t{-32768}, base)
        .Set(chan::UraIndex, std::uint8_t{0xFF}, base)
        .Set(chan::Sf, std::uint8_t{3}, base)
        .Set(chan::PosResid, std::int16_t{1234}, base)
        .Set(chan::VelResid, std::int16_t{-7}, base)
        .Set(chan::DiffCorr, std::int16_t{-1005}, base)
        .Set(chan::TrackFlags, std::uint8_t{0x42}, base)
        .Set(chan::CnoRaw, std::uint16_t{1}, base);
    SetRecord(frame, Msg99Base(1), 1, {.k = 1, .prn = 6, .ephState = 3});
    frame.Set(chan::UraIndex, std::uint8_t{3}, Msg99Base(1)).Set(chan::TrackFlags, std::uint8_t{0x0F}, Msg99Base(1));
    frame.Set(chan::CnoRaw, std::uint16_t{2000}, Msg99Base(1));
    Feed(frame);

    EXPECT_EQ(RowTexts(1), (std::vector<std::string>{"U  1", " 5", "-3", "300", "-1234", "-32768", "9999.0", "3",
                                                     "123.4", "-0.7", "-10.1", " X  ", "0.0"}));
    // An ephemeris that is not usable gives no range accuracy.
    EXPECT_EQ(Text(2, 6), "0.0");
    EXPECT_EQ(Text(2, 11), "CCBF");
    EXPECT_EQ(Text(2, 12), FormatFixed(L1CnoDbHz(2000), 1));

    // The fine-resolution flag of message 99 changes the residual's scale.
    frame.Set(msg99::NavStatus, std::uint8_t{0x10});
    Feed(frame);
    EXPECT_EQ(Text(1, 8), "1.23");
}

TEST_F(ChannelViewTest, AdjustedResidualsReplaceTheReportedOnes) {
    context.reference.SetPosition({51.0, -114.0, 1000.0});
    context.reference.ComputeDegreeFactors(51.0, 1000.0);
    context.reference.MarkValid();
    context.residualAdjust.Start(false, false);
    CBinFrameBuilder msg2(2);
    msg2.Set(msg2::UsedMask, std::uint32_t{0x3});
    Feed(msg2);
    CBinFrameBuilder frame = Msg99With({{.k = 0, .prn = 1, .elevation = 40}, {.k = 1, .prn = 2, .elevation = 60}});
    frame.Set(chan::PosResid, std::int16_t{25}, Msg99Base(0)).Set(chan::PosResid, std::int16_t{-40}, Msg99Base(1));
    Feed(frame);
    const ChannelResiduals& residuals = context.residualAdjust.Residuals();
    EXPECT_EQ(Text(1, 8), FormatFixed(residuals[0], 1));
    EXPECT_EQ(Text(2, 8), FormatFixed(residuals[1], 1));
    EXPECT_NE(Text(1, 8), "2.5");
}

TEST_F(ChannelViewTest, OnlyChangedCellsAreRepainted) {
    test::CPaintRecorder painted(*view.viewport());
    Feed(Msg99With({{.k = 0, .prn = 5}, {.k = 1, .prn = 6}}));
    painted.Take();

    // The same message again: nothing to repaint.
    Feed(Msg99With({{.k = 0, .prn = 5}, {.k = 1, .prn = 6}}));
    EXPECT_TRUE(painted.Take().isEmpty());

    // One Doppler value changes: that cell alone.
    CBinFrameBuilder frame = Msg99With({{.k = 0, .prn = 5}, {.k = 1, .prn = 6}});
    frame.Set(chan::Doppler, std::int16_t{77}, Msg99Base(1));
    Feed(frame);
    EXPECT_EQ(painted.Take(), QRegion(view.Cell(2, 4).Rect().ToQRect()));

    // Scrolled, the same cell is found where it now shows.
    view.resize(300, 200);
    QCoreApplication::processEvents();
    view.horizontalScrollBar()->setValue(100);
    view.verticalScrollBar()->setValue(10);
    painted.Take();
    frame.Set(chan::Doppler, std::int16_t{78}, Msg99Base(1));
    Feed(frame);
    EXPECT_EQ(painted.Take(), QRegion(view.Cell(2, 4).Rect().ToQRect().translated(-100, -10)));
}

TEST_F(ChannelViewTest, RefreshTickAsksForItsMessagesOnTheFourthTick) {
    for (int tick = 1; tick <= 4; ++tick) {
        EXPECT_TRUE(sender.sent.empty()) << tick;
        PostRefreshTick(&view);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JBIN,99,1\r", "$JBIN,2,1\r", "$JBIN,89,1\r"}));
}

TEST_F(ChannelViewTest, RefreshTickLeavesMessagesAloneWithoutAutoConfigure) {
    context.autoConfigure = false;
    for (int tick = 1; tick <= 8; ++tick) {
        PostRefreshTick(&view);
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(ChannelViewTest, ClosingTheViewEndsItsSubscriptions) {
    auto other = std::make_unique<CViewChannel>(services);
    other->InitialUpdate();
    EXPECT_EQ(context.dispatcher.Handler(Slots::Msg99).SubscriberCount(), 2U);
    other.reset();
    EXPECT_EQ(context.dispatcher.Handler(Slots::Msg99).SubscriberCount(), 1U);
    EXPECT_EQ(context.dispatcher.Handler(Slots::Msg89).SubscriberCount(), 1U);
}

TEST_F(ChannelViewTest, RecomputeResidualsCommandSitsInTheViewsMenu) {
    QAction& command = view.RecomputeResidualsAction();
    EXPECT_EQ(command.data().toInt(), 32800);
    EXPECT_EQ(command.statusTip(), QStringLiteral("Recompute residuals using Zarnmon's configured Lat-Lon-Height"));
    ASSERT_FALSE(view.actions().isEmpty());
    EXPECT_TRUE(view.actions().first()->menu()->actions().contains(&command));
}

TEST_F(ChannelViewTest, CopyPutsTheHeaderThenEachRowOnTheClipboardTabSeparated) {
    Feed(Msg99With({{.k = 4, .prn = 17, .ephFlag = 0}, {.k = 5, .prn = 18}}));
    EXPECT_TRUE(view.Ability().copy);
    EXPECT_FALSE(view.Ability().cut);
    EXPECT_FALSE(view.Ability().paste);
    view.Copy();
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n');
    ASSERT_EQ(lines.size(), CViewChannel::Layout().rows + 1) << "every line ends in a newline";
    EXPECT_TRUE(lines.back().isEmpty());
    EXPECT_EQ(lines[0], QStringLiteral(" CH\tSV\tELV\tAZI\tDopp\tNCO\tUERE\tSF\tPosRes\tVelRes\tDiffC\tLOCK\tSNR"));
    for (int row = 0; row < CViewChannel::Layout().rows; ++row) {
        QStringList cells;
        for (const std::string& text : RowTexts(row)) {
            cells << Latin1(text);
        }
        EXPECT_EQ(lines[row], cells.join(u'\t')) << row;
    }
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral("U  6\t18\t"))) << lines[6].toStdString();
}

}  // namespace
}  // namespace zarnmon
