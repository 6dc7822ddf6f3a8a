#include "gui/displays/alman_view.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "gui/displays/grid_cell.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

using Texts = std::array<std::string, 5>;

struct AlmanacEntry {
    int sv;  // 0-based
    std::uint8_t status = 2;
    std::uint8_t health = 1;
    std::int8_t elevation = 0;
    std::uint8_t azimuthHalf = 0;
    std::int16_t doppler = 0;
    std::uint8_t updates = 0;
};

// A message 98 with up to eight entries, naming lastPrn as the latest.
CBinFrameBuilder Msg98With(std::initializer_list<AlmanacEntry> entries, std::uint8_t lastPrn = 0,
                           std::uint8_t ionoValid = 0) {
    CBinFrameBuilder frame(98);
    std::size_t base = 0;
    for (const AlmanacEntry& entry : entries) {
        frame.Set(alm::SvIndex, static_cast<std::uint8_t>(entry.sv), base)
            .Set(alm::AlmStatus, entry.status, base)
            .Set(alm::AlmHealth, entry.health, base)
            .Set(alm::Elevation, entry.elevation, base)
            .Set(alm::AzimuthHalf, entry.azimuthHalf, base)
            .Set(alm::Doppler, entry.doppler, base)
            .Set(alm::UpdateCount, entry.updates, base);
        base += alm::kRecordSize;
    }
    // Records left over name satellite 32, which has no entry.
    for (; base < std::size_t{msg98::kRecordCount} * alm::kRecordSize; base += alm::kRecordSize) {
        frame.Set(alm::SvIndex, std::uint8_t{32}, base);
    }
    frame.Set(msg98::LastAlmPrn, lastPrn).Set(msg98::IonoValid, ionoValid);
    return frame;
}

class AlmanViewTest : public ::testing::Test, public test::ViewContext {
protected:
    AlmanViewTest() {
        view.resize(900, 400);
        view.show();
        view.InitialUpdate();
        QCoreApplication::processEvents();
    }

    [[nodiscard]] const Texts& TextsOf(int index) const { return view.Cell(index).Content().texts; }
    [[nodiscard]] QRegion CellArea(int index) const { return view.Cell(index).Rect().ToQRect(); }

    CViewAlman view{services};
};

TEST_F(AlmanViewTest, ThreeBlocksOfTwelveWithHeadersAndBorders) {
    EXPECT_EQ(view.Extent(), QSize(820, 300));
    ASSERT_EQ(view.Elements().Count(), std::size_t{CViewAlman::kCells});
    EXPECT_EQ(view.Cell(0).Rect(), (ElementRect{20, 40, 280, 60}));
    EXPECT_EQ(view.Cell(13).Rect(), (ElementRect{280, 60, 540, 80}));
    EXPECT_EQ(view.Cell(-3).Rect(), (ElementRect{540, 20, 800, 40}));
    // The four cells after the last satellite fill the end of block 2.
    EXPECT_EQ(view.Cell(32).Rect(), (ElementRect{540, 200, 800, 220}));
    EXPECT_EQ(view.Cell(35).Rect(), (ElementRect{540, 260, 800, 280}));

    EXPECT_EQ(view.Cell(-1).Borders(), borders::kLeft | borders::kTop | borders::kBottom);
    EXPECT_EQ(view.Cell(-3).Borders(), borders::kAll);
    EXPECT_EQ(view.Cell(0).Borders(), borders::kLeft | borders::kTop);
    EXPECT_EQ(view.Cell(5).Borders(), borders::kLeft);
    EXPECT_EQ(view.Cell(23).Borders(), borders::kLeft | borders::kBottom);
    EXPECT_EQ(view.Cell(24).Borders(), borders::kLeft | borders::kTop | borders::kRight);
    EXPECT_EQ(view.Cell(35).Borders(), borders::kLeft | borders::kBottom | borders::kRight);

    EXPECT_EQ(TextsOf(-2), (Texts{"SV STATUS", "ELV", "AZI", "DOPP", "UpCnt"}));
    // The headers and the empty cells never change; the satellites and the
    // iono cell change at the first pass only.
    CViewAlman fresh(services);
    EXPECT_EQ(fresh.UpdateAll(), CDrawAlman::kSatellites + 1);
    EXPECT_EQ(fresh.UpdateAll(), 0);
}

TEST_F(AlmanViewTest, StatusTextsAndNoDataForSatellitesWithoutAlmanac) {
    Feed(Msg98With(
        {{.sv = 6, .status = 0},
         {.sv = 7, .status = 4},
         {.sv = 8, .status = 1, .elevation = 5},
         {.sv = 11, .status = 2, .health = 3, .elevation = -7, .azimuthHalf = 150, .doppler = -2345, .updates = 17}}));
    EXPECT_EQ(TextsOf(6), (Texts{" 7, NoInfo", "---", "---", "---", "---"}));
    EXPECT_EQ(TextsOf(7), (Texts{" 8, NoSuch", "---", "---", "---", "---"}));
    EXPECT_EQ(TextsOf(8), (Texts{" 9, ", "5", "0", "0", "0"}));
    EXPECT_EQ(TextsOf(11), (Texts{"12, A", "-7", "300", "-2345", "17"}));
    // No message has reached satellite 32's entry yet.
    EXPECT_EQ(TextsOf(31), (Texts{"32, NoInfo", "---", "---", "---", "---"}));
    EXPECT_EQ(TextsOf(32), Texts{});
}

TEST_F(AlmanViewTest, MarkerMovesWithTheLatestSatelliteAndRepaintsBothCells) {
    const auto entries = {AlmanacEntry{.sv = 2}, AlmanacEntry{.sv = 11}};
    Feed(Msg98With(entries, 12));
    for (int index = 0; index < CDrawAlman::kSatellites; ++index) {
        EXPECT_EQ(view.Cell(index).Content().highlight, index == 11) << "cell " << index;
    }
    const QColor green(0, 255, 0);
    QImage picture = view.Picture();
    EXPECT_EQ(picture.pixelColor(view.Cell(11).MarkerRect().center()), green);
    // Row 12 of block 0 spans y 260..279: the square is 8 pixels about its middle.
    EXPECT_EQ(view.Cell(11).MarkerRect(), QRect(22, 266, 8, 8));
    EXPECT_EQ(picture.pixelColor(22, 266), green);
    EXPECT_EQ(picture.pixelColor(29, 273), green);
    EXPECT_NE(picture.pixelColor(30, 273), green);
    EXPECT_NE(picture.pixelColor(29, 274), green);

    test::CPaintRecorder painted(*view.viewport());
    painted.Take();
    Feed(Msg98With(entries, 3));
    EXPECT_EQ(painted.Take(), CellArea(11) + CellArea(2));
    EXPECT_TRUE(view.Cell(2).Content().highlight);
    EXPECT_FALSE(view.Cell(11).Content().highlight);
    picture = view.Picture();
    EXPECT_EQ(picture.pixelColor(view.Cell(2).MarkerRect().center()), green);
    EXPECT_EQ(picture.pixelColor(view.Cell(11).MarkerRect().center()), QColor(Qt::white));

    // The same satellite again: nothing to repaint.
    Feed(Msg98With(entries, 3));
    EXPECT_TRUE(painted.Take().isEmpty());
}

TEST_F(AlmanViewTest, IonoCellFollowsTheValidFlag) {
    Feed(Msg98With({}, 0, 1));
    EXPECT_EQ(TextsOf(CDrawAlman::kIonoIndex)[0], "IONO: Valid");
    test::CPaintRecorder painted(*view.viewport());
    painted.Take();
    Feed(Msg98With({}, 0, 0));
    EXPECT_EQ(TextsOf(CDrawAlman::kIonoIndex)[0], "IONO: Invalid");
    EXPECT_EQ(painted.Take(), CellArea(CDrawAlman::kIonoIndex));
}

TEST_F(AlmanViewTest, KeepsMessage98OnEveryFourthTick) {
    for (int tick = 1; tick <= 4; ++tick) {
        PostRefreshTick(&view);
        QCoreApplication::processEvents();
        EXPECT_EQ(sender.sent.size(), tick < 4 ? 0U : 1U) << "tick " << tick;
    }
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JBIN,98,1\r"});
}

TEST_F(AlmanViewTest, ClosingSwitchesMessage98OffOnlyWithAutoConfigure) {
    std::make_unique<CViewAlman>(services).reset();
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JBIN,98,0\r"});
    sender.sent.clear();
    context.autoConfigure = false;
    std::make_unique<CViewAlman>(services).reset();
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(AlmanViewTest, CopyLaysTheThreeBlocksSideBySideRowByRow) {
    Feed(Msg98With({{.sv = 11, .status = 2, .elevation = -7, .azimuthHalf = 150, .doppler = -2345, .updates = 17}}, 0,
                   1));
    EXPECT_TRUE(view.Ability().copy);
    EXPECT_FALSE(view.Ability().paste);
    view.Copy();
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n');
    ASSERT_EQ(lines.size(), CDrawAlman::kRowsPerBlock + 2);
    const QString header = QStringLiteral("SV STATUS\tELV\tAZI\tDOPP\tUpCnt");
    EXPECT_EQ(lines[0], QStringList({header, header, header}).join(u'\t'));
    // Row 12 of each block: satellites 12, 24 and the empty cell under 32.
    EXPECT_EQ(lines[12], QStringLiteral("12, A\t-7\t300\t-2345\t17\t24, NoInfo\t---\t---\t---\t---\t\t\t\t\t"));
    EXPECT_TRUE(lines[10].endsWith(QStringLiteral("\tIONO: Valid\t\t\t\t"))) << lines[10].toStdString();
    EXPECT_TRUE(lines[13].isEmpty());
}

}  // namespace
}  // namespace zarnmon
