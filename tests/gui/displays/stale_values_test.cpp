// Values whose messages have stopped are greyed, in the drawn views and in
// the forms alike, from the moment the 6000 ms rule says so until new data
// arrives; views that keep a record of lines are left as they are.

#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include "gui/commands/text_view.h"
#include "gui/displays/channel_view.h"
#include "gui/displays/gps_view.h"
#include "gui/state/color_ref.h"
#include "gui/state/statistics_view.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

using test::CellHasColor;

// StaleText() as the layouts write colours.
constexpr std::uint32_t kStaleGrey = 0x808080;

class StaleValuesTest : public ::testing::Test, public test::ViewContext {
protected:
    // Whether the drawing has any black in it: the solution boxes' outlines
    // and texts are black while live, no darker than grey when stale.
    [[nodiscard]] static bool DrawnInBlack(CElementView& view) {
        const QImage picture = view.Picture();
        return CellHasColor(picture, picture.rect(), colors::kBlack);
    }
};

TEST_F(StaleValuesTest, DrawnView_GreyFromTheSixThousandthMillisecondUntilNewData) {
    CViewGPS view(services);
    view.resize(720, 120);
    view.show();
    view.InitialUpdate();
    clock.Advance(60000);
    Ticks(view, 1);
    EXPECT_FALSE(view.ShowsStale()) << "nothing received: no value to take for live";
    EXPECT_TRUE(DrawnInBlack(view));

    Feed(CBinFrameBuilder(1));
    clock.Advance(5999);
    Ticks(view, 1);
    EXPECT_FALSE(view.ShowsStale());
    EXPECT_TRUE(DrawnInBlack(view));

    test::CPaintRecorder painted(*view.viewport());
    painted.Take();
    clock.Advance(1);
    Ticks(view, 1);
    EXPECT_TRUE(view.ShowsStale());
    EXPECT_FALSE(DrawnInBlack(view));
    const QImage picture = view.Picture();
    EXPECT_TRUE(CellHasColor(picture, view.Box(3).Rect().ToQRect(), kStaleGrey));
    EXPECT_TRUE(painted.Take().contains(view.viewport()->rect())) << "repainted whole when it turned stale";

    Ticks(view, 1);
    EXPECT_TRUE(painted.Take().isEmpty()) << "staying stale repaints nothing";

    Feed(CBinFrameBuilder(2));
    EXPECT_FALSE(view.ShowsStale()) << "fresh with the next message";
    EXPECT_TRUE(DrawnInBlack(view));
    EXPECT_TRUE(painted.Take().contains(view.viewport()->rect()));
}

TEST_F(StaleValuesTest, TwoMessages_StaleOnlyOnceTheNewerHasStopped) {
    CViewChannel view(services);
    view.InitialUpdate();
    Feed(CBinFrameBuilder(99));
    clock.Advance(4000);
    Feed(CBinFrameBuilder(89));
    clock.Advance(5999);
    Ticks(view, 1);
    EXPECT_FALSE(view.ShowsStale()) << "message 99 stopped 10 s ago, but 89 still flows";
    clock.Advance(1);
    Ticks(view, 1);
    EXPECT_TRUE(view.ShowsStale());

    context.dispatcher.ClearAll();
    Ticks(view, 1);
    EXPECT_FALSE(view.ShowsStale()) << "a new connection's empty view shows no old values";
}

TEST_F(StaleValuesTest, Form_TextsGreyWhileStaleAndBackWithNewData) {
    CViewStatistics view(services);
    const QLineEdit* field = view.findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    const QColor live = field->palette().color(QPalette::Text);
    ASSERT_NE(live, StaleText());

    Feed(CBinFrameBuilder(97));
    clock.Advance(5999);
    Ticks(view, 1);
    EXPECT_FALSE(view.ShowsStale());
    EXPECT_EQ(field->palette().color(QPalette::Text), live);
    clock.Advance(1);
    Ticks(view, 1);
    EXPECT_TRUE(view.ShowsStale());
    EXPECT_EQ(field->palette().color(QPalette::Text), StaleText());

    Feed(CBinFrameBuilder(97));
    EXPECT_FALSE(view.ShowsStale());
    EXPECT_EQ(field->palette().color(QPalette::Text), live);
}

TEST_F(StaleValuesTest, TextView_KeepsItsLinesAsTheyAre) {
    CViewText view(services);
    const QPlainTextEdit* box = view.findChild<QPlainTextEdit*>();
    ASSERT_NE(box, nullptr);
    const QColor live = box->palette().color(QPalette::Text);
    FeedLine("$GPGGA,1,2,3*00\r\n");
    clock.Advance(6000);
    Ticks(view, 1);
    ASSERT_TRUE(view.ShowsStale());
    EXPECT_EQ(box->palette().color(QPalette::Text), live);
}

}  // namespace
}  // namespace zarnmon
