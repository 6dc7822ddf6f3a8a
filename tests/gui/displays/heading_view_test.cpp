#include "gui/displays/heading_view.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPicture>
#include <QScrollBar>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "gui/state/latin1.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

constexpr QPoint kCentre(180, 180);

std::string HeadingSentence(double degrees) { return NmeaSentence("HEHDT," + FormatFixed(degrees, 1) + ",T"); }
std::string CourseSentence(double degrees) {
    return NmeaSentence("GPVTG," + FormatFixed(degrees, 1) + ",T,,M,12.00,N,22.22,K,A");
}

// The number after the first comma, as the receiver wrote it.
double FirstField(const std::string& line) { return std::strtod(line.c_str() + line.find(',') + 1, nullptr); }

class HeadingViewTest : public ::testing::Test, public test::ViewContext {
protected:
    HeadingViewTest() { Open(); }

    void Open() {
        view = std::make_unique<CViewHeading>(services);
        view->InitialUpdate();
    }
    void FeedText(std::string_view text) {
        context.dispatcher.Feed(test::AsBytes(text));
        QCoreApplication::processEvents();
    }
    void Tick(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            PostRefreshTick(view.get());
            QCoreApplication::processEvents();
        }
    }
    [[nodiscard]] double Heading() const { return view->Reader().Heading(); }

    // A real capture line by line through the dispatcher: after each line
    // the view shows the last heading sentence's value, or before the first
    // one the last course.
    void ReplayCapture(const std::string& file) {
        std::ifstream in(std::string(ZARNMON_TEST_DATA) + "/nmea/" + file, std::ios::binary);
        ASSERT_TRUE(in) << file;
        std::stringstream whole;
        whole << in.rdbuf();
        std::istringstream lines(test::WithCrLf(whole.str()));
        double expected = 0.0;
        bool headingSeen = false;
        int headings = 0;
        for (std::string line; std::getline(lines, line);) {
            line += '\n';
            SCOPED_TRACE(line);
            if (line.starts_with("$HEHDT") || line.starts_with("$GPHDT")) {
                expected = FirstField(line);
                headingSeen = true;
                ++headings;
            } else if (line.starts_with("$GPVTG") && !headingSeen) {
                expected = FirstField(line);
            }
            FeedText(line);
            ASSERT_EQ(Heading(), expected);
        }
        EXPECT_GT(headings, 3);
        EXPECT_EQ(view->HeadingText(), Latin1("HEADING=" + FormatFixed(expected, 1) + "\xB0"));
    }

    std::unique_ptr<CViewHeading> view;
};

std::array<QPoint, 3> FromCentre(const HeadingNeedle& needle) {
    return {needle.points[0] - needle.centre, needle.points[1] - needle.centre, needle.points[2] - needle.centre};
}

TEST(HeadingNeedle, NorthAndEastPointsTruncateTowardZero) {
    const HeadingNeedle north = NeedleFor(0.0);
    EXPECT_EQ(north.centre, kCentre);
    EXPECT_EQ(FromCentre(north), (std::array<QPoint, 3>{QPoint(-6, -99), QPoint(0, -150), QPoint(6, -99)}));
    EXPECT_EQ(north.area, QRect(QPoint(172, 28), QPoint(188, 182)));

    const HeadingNeedle east = NeedleFor(90.0);
    EXPECT_EQ(FromCentre(east), (std::array<QPoint, 3>{QPoint(99, -6), QPoint(150, 0), QPoint(99, 6)}));
    EXPECT_EQ(east.area, QRect(QPoint(178, 172), QPoint(332, 188)));

    // South-west: both offsets negative, still truncated toward zero.
    EXPECT_EQ(FromCentre(NeedleFor(225.0))[1], QPoint(-106, 106));
}

TEST_F(HeadingViewTest, StartsNorthOnADialOf360Pixels) {
    EXPECT_EQ(view->Extent(), QSize(360, 360));
    EXPECT_EQ(Heading(), 0.0);
    EXPECT_EQ(view->HeadingText(), QStringLiteral("HEADING=0.0") + QChar(0xB0));
    EXPECT_EQ(FromCentre(view->Needle()), FromCentre(NeedleFor(0.0)));
    EXPECT_EQ(view->TextRect(), QRect(5, 5, 120, 30));
    EXPECT_EQ(context.dispatcher.Handler(Slots::NmeaHandler).SubscriberCount(), 1U);
}

TEST_F(HeadingViewTest, FrameFitsTheWholeDial) {
    QMdiArea area;
    area.resize(800, 600);
    auto* heading = new CViewHeading(services);
    area.addSubWindow(heading);
    area.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(heading->viewport()->size(), QSize(360, 360));
    EXPECT_EQ(heading->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(heading->verticalScrollBar()->maximum(), 0);
}

TEST_F(HeadingViewTest, HeadingSentencesTurnTheNeedleAndShowOneDecimal) {
    FeedText(HeadingSentence(90.0));
    EXPECT_EQ(Heading(), 90.0);
    EXPECT_EQ(FromCentre(view->Needle()), FromCentre(NeedleFor(90.0)));

    FeedText(NmeaSentence("GPHDT,359.96,T"));
    EXPECT_EQ(Heading(), 359.96);
    EXPECT_EQ(view->HeadingText(), QStringLiteral("HEADING=360.0") + QChar(0xB0));
    EXPECT_EQ(view->Needle().points, NeedleFor(359.96).points);

    // Other sentences are not headings.
    FeedText(NmeaSentence("GPGGA,120000.00,5102.68200,N,11404.31400,W,1,08,1.0,1048.0,M,,M,,"));
    EXPECT_EQ(Heading(), 359.96);
}

TEST_F(HeadingViewTest, EmptyHeadingFieldHoldsOffAndResetsTheCountdownButKeepsTheHeading) {
    FeedText(HeadingSentence(45.0));
    for (int i = 0; i < 5; ++i) {
        FeedText(CourseSentence(10.0));
    }
    Tick(2);
    ASSERT_EQ(view->Reader().HoldOff(), 15);
    ASSERT_EQ(view->Reader().Countdown(), 3);

    FeedText(NmeaSentence("HEHDT,,T"));
    EXPECT_EQ(Heading(), 45.0);
    EXPECT_EQ(view->Reader().HoldOff(), CHeadingReader::kHoldOff);
    EXPECT_EQ(view->Reader().Countdown(), CHeadingReader::kCountdown);

    // Numbers without a direction leave it too.
    FeedText(NmeaSentence("HEHDT,inf,T") + NmeaSentence("HEHDT,nan,T"));
    EXPECT_EQ(Heading(), 45.0);
    EXPECT_EQ(view->Needle().points, NeedleFor(45.0).points);
}

TEST_F(HeadingViewTest, CourseIsUsedFirstAndOnlyOnThe21stCourseAfterTheLastHeading) {
    FeedText(CourseSentence(200.0));
    EXPECT_EQ(Heading(), 200.0) << "no heading sentence yet: the course stands in";

    // A heading a second, a course a second: the course never wins.
    for (int second = 0; second < 60; ++second) {
        SCOPED_TRACE(second);
        FeedText(HeadingSentence(10.0 + second));
        FeedText(CourseSentence(300.0));
        EXPECT_EQ(Heading(), 10.0 + second);
    }
    // Heading sentences stop. The last second's course was the first after
    // the last heading: up to the 20th they are skipped, the 21st shows.
    for (int course = 2; course <= CHeadingReader::kHoldOff; ++course) {
        FeedText(CourseSentence(100.0 + course));
    }
    EXPECT_EQ(Heading(), 69.0);
    EXPECT_EQ(view->Reader().HoldOff(), 0);
    FeedText(CourseSentence(121.0));
    EXPECT_EQ(Heading(), 121.0);
}

TEST_F(HeadingViewTest, OnlySentencesAfterTheInitialUpdateAreRead) {
    for (int i = 0; i < 5; ++i) {
        FeedText(HeadingSentence(77.0));
    }
    Open();
    const CMsgHandler& nmea = context.dispatcher.Handler(Slots::NmeaHandler);
    EXPECT_EQ(view->Reader().ReadIndex(), nmea.HistoryWriteIndex());
    EXPECT_EQ(Heading(), 0.0) << "what was there before the view opened";

    // A burst arrives before the view hears of it: each sentence is read once, in order.
    context.dispatcher.Feed(test::AsBytes(HeadingSentence(12.0) + CourseSentence(250.0) + HeadingSentence(13.0)));
    EXPECT_EQ(Heading(), 0.0);
    QCoreApplication::processEvents();
    EXPECT_EQ(Heading(), 13.0);
    EXPECT_EQ(view->Reader().HoldOff(), CHeadingReader::kHoldOff);
    EXPECT_EQ(view->Reader().ReadIndex(), nmea.HistoryWriteIndex());
}

TEST_F(HeadingViewTest, CountdownAsksForTheSentencesAndClosingSwitchesThemOff) {
    const std::vector<std::string> on{"$JASC,GPVTG,1\r", "$JASC,HEHDT,1\r"};
    Tick(3);
    EXPECT_TRUE(sender.sent.empty());
    Tick(1);
    EXPECT_EQ(sender.sent, on);
    EXPECT_EQ(sender.shown, (std::vector<bool>{false, false}));
    EXPECT_TRUE(view->Reader().CommandsSent());

    // Every sixth tick while nothing usable arrives.
    Tick(5);
    EXPECT_EQ(sender.sent.size(), 2U);
    Tick(1);
    EXPECT_EQ(sender.sent.size(), 4U);

    // A sentence puts the next request six ticks away.
    Tick(3);
    FeedText(HeadingSentence(5.0));
    Tick(5);
    EXPECT_EQ(sender.sent.size(), 4U);
    Tick(1);
    EXPECT_EQ(sender.sent.size(), 6U);

    sender.sent.clear();
    view.reset();
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JASC,GPVTG,0\r", "$JASC,HEHDT,0\r"}));
    EXPECT_EQ(context.dispatcher.Handler(Slots::NmeaHandler).SubscriberCount(), 0U);
}

TEST_F(HeadingViewTest, WithoutAutoConfigureOrAnythingAskedForNothingIsSent) {
    // Closed before the first request: nothing to switch off.
    view.reset();
    EXPECT_TRUE(sender.sent.empty());

    context.autoConfigure = false;
    Open();
    Tick(12);
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_FALSE(view->Reader().CommandsSent());
    view.reset();
    EXPECT_TRUE(sender.sent.empty());

    // Asked for, then auto-configure goes off: the user controls the messages now.
    context.autoConfigure = true;
    Open();
    Tick(4);
    ASSERT_EQ(sender.sent.size(), 2U);
    context.autoConfigure = false;
    view.reset();
    EXPECT_EQ(sender.sent.size(), 2U);

    // No main frame: nothing sent, nothing to switch off.
    context.autoConfigure = true;
    context.dispatcher.SetSender(nullptr);
    Open();
    Tick(4);
    EXPECT_FALSE(view->Reader().CommandsSent());
}

TEST_F(HeadingViewTest, RepaintsTheTextAndTheOldAndNewNeedle) {
    view->resize(400, 400);
    view->show();
    test::CPaintRecorder painted(*view->viewport());
    painted.Take();
    const QRect line = view->TextRect();
    EXPECT_EQ(line.topLeft(), QPoint(5, 5));
    EXPECT_EQ(line.height(), view->fontMetrics().height()) << "one line once painted";
    EXPECT_EQ(line.width(), view->fontMetrics().horizontalAdvance(QStringLiteral("HEADING=888.8") + QChar(0xB0)));

    FeedText(HeadingSentence(90.0));
    EXPECT_EQ(painted.Take(), QRegion(line) + QRegion(NeedleFor(0.0).area | NeedleFor(90.0).area));

    // Scrolled, the same areas are repainted where they now show.
    view->resize(200, 150);
    QCoreApplication::processEvents();
    view->horizontalScrollBar()->setValue(60);
    view->verticalScrollBar()->setValue(40);
    painted.Take();
    FeedText(HeadingSentence(180.0));
    const QRegion expected = QRegion(line) + QRegion(NeedleFor(90.0).area | NeedleFor(180.0).area);
    EXPECT_EQ(painted.Take(), expected.translated(-60, -40).intersected(view->viewport()->rect()));
}

// Pixels 150 px from the centre at 30 degrees.
constexpr QRect kOnTheCircle(254, 49, 3, 3);

bool IsBlue(const QImage& image, QPoint at) { return test::CellHasColor(image, QRect(at, at), colors::kBlue); }

TEST_F(HeadingViewTest, BlueFillLiesWhereTheNeedlePoints) {
    FeedText(HeadingSentence(0.0));
    QImage north = view->Picture();
    EXPECT_TRUE(IsBlue(north, {180, 60}));
    EXPECT_TRUE(IsBlue(north, {180, 120}));
    EXPECT_FALSE(IsBlue(north, {195, 120}));
    EXPECT_FALSE(IsBlue(north, {250, 180}));
    EXPECT_TRUE(test::CellHasColor(north, QRect(178, 178, 5, 5), colors::kRed)) << "the centre dot";
    EXPECT_TRUE(test::CellHasColor(north, kOnTheCircle, colors::kBlue)) << "the dial's circle";

    FeedText(HeadingSentence(90.0));
    const QImage east = view->Picture();
    EXPECT_FALSE(IsBlue(east, {180, 120}));
    EXPECT_TRUE(IsBlue(east, {250, 180}));
    EXPECT_TRUE(IsBlue(east, {300, 180}));
    EXPECT_FALSE(IsBlue(east, {250, 195}));

    // Twice the pixels on a high-DPI device, the same logical geometry.
    QImage sharp(view->Extent() * 2, QImage::Format_RGB32);
    sharp.setDevicePixelRatio(2.0);
    sharp.fill(Qt::white);
    QPainter sharpPainter(&sharp);
    view->Render(sharpPainter);
    sharpPainter.end();
    EXPECT_TRUE(IsBlue(sharp, {500, 360}));
    EXPECT_TRUE(IsBlue(sharp, {600, 360}));
    EXPECT_FALSE(IsBlue(sharp, {500, 390}));
    EXPECT_FALSE(IsBlue(sharp, {360, 240}));

    // On a device that cannot copy bits (a printer, a metafile) only the outline.
    QPicture recording;
    QPainter recorder(&recording);
    view->Render(recorder);
    recorder.end();
    QImage printed(view->Extent(), QImage::Format_RGB32);
    printed.fill(Qt::white);
    QPainter player(&printed);
    player.drawPicture(0, 0, recording);
    player.end();
    EXPECT_FALSE(IsBlue(printed, {260, 180}));
    EXPECT_TRUE(test::CellHasColor(printed, QRect(229, 175, 3, 4), colors::kBlue)) << "the outline";
    EXPECT_TRUE(test::CellHasColor(printed, kOnTheCircle, colors::kBlue));
}

TEST_F(HeadingViewTest, ReplaysRealHeadingCaptures) {
    {
        SCOPED_TRACE("HEHDT among GPVTG");
        ReplayCapture("saab-r4.log");
    }
    Open();
    {
        SCOPED_TRACE("GPHDT among 25 Hz attitude sentences");
        ReplayCapture("rst39.log");
    }
}

TEST_F(HeadingViewTest, CopyGivesTheHeadingLine) {
    FeedText(HeadingSentence(123.4));
    EXPECT_TRUE(view->Ability().copy);
    EXPECT_FALSE(view->Ability().cut);
    view->Copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("HEADING=123.4") + QChar(0xB0) + u'\n');
}

}  // namespace
}  // namespace zarnmon
