// The replay timeline as a user meets it: under the tool bar while a raw log
// plays, its buttons, keys and slider moving the replay, the views showing
// the receiver as it was at the place reached, and the logs writing every
// part of the recording once however the replay was moved about.

#include <QFile>
#include <QProcess>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "core/link/msg_dispatcher.h"
#include "gui/app/replay_timeline_bar.h"
#include "gui/displays/debug_view.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/link/replay_recording.h"

namespace zarnmon {
namespace {

constexpr int kDebugViewTemplate = 139;

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ReplayTimelineTest : public ::testing::Test, public test::FrameFixture {
protected:
    ReplayTimelineTest() {
        frame->show();
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }

    // Replays seconds of the simulated receiver's outputs, paused at the
    // start and paced by the test's clock.
    CReplayLink& Replay(int seconds, const std::string& outputs) {
        log_ = test::RecordSimulator(seconds, outputs);
        path_ = dir_.filePath(QStringLiteral("run.zbin"));
        EXPECT_TRUE(test::WriteFile(path_, log_));
        return Reconnect();
    }
    // The same recording again, as a new connection.
    CReplayLink& Reconnect() {
        auto link = std::make_unique<CReplayLink>(path_, ReplaySpeed::RealTime);
        link->setClock(clock);
        link->pause();
        CReplayLink& replay = *link;
        EXPECT_TRUE(frame->ConnectLink(std::move(link), replay.displayName()));
        QObject::connect(&replay, &CReplayLink::rewound, &replay, [this] { ++rewinds_; });
        QObject::connect(&replay, &CReplayLink::catchingUp, &replay, [this](bool on) { moves_ += on ? 1 : 0; });
        QCoreApplication::processEvents();
        return replay;
    }

    [[nodiscard]] CReplayTimelineBar& Bar() const { return frame->Timeline(); }
    // The bar's button that reads text.
    [[nodiscard]] QToolButton* Button(const QString& text) const {
        for (QToolButton* button : Bar().findChildren<QToolButton*>()) {
            if (button->text() == text) {
                return button;
            }
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        return nullptr;
    }
    void Click(const QString& text) {
        QTest::mouseClick(Button(text), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(frame.get(), key, modifiers);
        QCoreApplication::processEvents();
    }
    [[nodiscard]] bool Paused() const { return frame->Action(CMainFrame::kPauseReplayId)->isChecked(); }

    QTemporaryDir dir_;
    QString path_;
    QByteArray log_;
    int rewinds_ = 0;
    int moves_ = 0;
};

TEST_F(ReplayTimelineTest, Timeline_IsShownWhileAReplayIsOpenAndOnlyThen) {
    EXPECT_FALSE(Bar().isVisible());
    Replay(60, "1,2,99");
    EXPECT_TRUE(Bar().isVisible());
    EXPECT_EQ(Bar().TimeText(), QStringLiteral("---")) << "no time before the first message";
    EXPECT_EQ(Bar().ElapsedText(), QStringLiteral("00:00 / 00:59"));
    EXPECT_EQ(Button(QStringLiteral("Play"))->toolTip(), QStringLiteral("Play or pause the replay (Space)"));

    ConnectSimulator();
    EXPECT_FALSE(Bar().isVisible()) << "another connection ends the replay";

    CReplayLink& replay = Reconnect();
    EXPECT_TRUE(Bar().isVisible());
    replay.setSpeed(ReplaySpeed::Fastest);
    Click(QStringLiteral("Play"));
    ASSERT_TRUE(RunUntil([this] { return !frame->LinkOpen(); }));
    EXPECT_FALSE(Bar().isVisible()) << "the end of the recording ends the replay";
}

TEST_F(ReplayTimelineTest, Buttons_StepSeekAndSwitchAsTheyRead) {
    CReplayLink& replay = Replay(60, "1,2,99");
    const CReplayTimeline& timeline = replay.timeline();
    const auto& ends = timeline.Index().MessageEnds();

    Click(QStringLiteral("Play"));
    EXPECT_FALSE(replay.isPaused());
    EXPECT_FALSE(Paused());
    Click(QStringLiteral("Pause"));
    EXPECT_TRUE(replay.isPaused());
    Click(QStringLiteral("Start"));
    EXPECT_EQ(replay.playedBytes(), 0);

    Click(QStringLiteral("Play"));
    Click(QStringLiteral("+1 msg"));
    EXPECT_TRUE(replay.isPaused()) << "a step pauses";
    EXPECT_TRUE(Paused());
    EXPECT_NE(Button(QStringLiteral("Play")), nullptr);
    // Playing for a moment may have delivered the first second.
    Click(QStringLiteral("Start"));
    Click(QStringLiteral("+1 msg"));
    EXPECT_EQ(timeline.Position(), ends[0]);
    Click(QStringLiteral("+1 msg"));
    EXPECT_EQ(timeline.Position(), ends[1]);
    Click(QStringLiteral("-1 msg"));
    EXPECT_EQ(timeline.Position(), ends[0]);

    for (int second = 1; second <= 3; ++second) {
        Click(QStringLiteral("+1 s"));
    }
    EXPECT_EQ(timeline.PlayMs(), 3000);
    EXPECT_EQ(Bar().ElapsedText(), QStringLiteral("00:03 / 00:59"));
    frame->UpdateUi();
    EXPECT_EQ(Bar().TimeText(), frame->PaneText(CMainFrame::kTimePaneId)) << "the time as the views show it";
    Click(QStringLiteral("-1 s"));
    EXPECT_EQ(timeline.PlayMs(), 2000);

    Click(QStringLiteral("End"));
    EXPECT_EQ(replay.playedBytes(), replay.totalBytes());
    EXPECT_TRUE(frame->LinkOpen()) << "paused at the end, not ended";
    EXPECT_EQ(Bar().ElapsedText(), QStringLiteral("00:59 / 00:59"));
    Click(QStringLiteral("Start"));
    EXPECT_EQ(replay.playedBytes(), 0);
    EXPECT_EQ(Bar().TimeText(), QStringLiteral("---"));

    Click(
        QString::fromLatin1("\xD7"
                            "10"));
    EXPECT_EQ(replay.speed(), ReplaySpeed::Times10);
    Click(QStringLiteral("Max"));
    EXPECT_EQ(replay.speed(), ReplaySpeed::Fastest);
    Click(
        QString::fromLatin1("\xD7"
                            "1"));
    EXPECT_EQ(replay.speed(), ReplaySpeed::RealTime);
    Click(QStringLiteral("Loop"));
    EXPECT_TRUE(replay.loops());
    Click(QStringLiteral("Loop"));
    EXPECT_FALSE(replay.loops());
}

TEST_F(ReplayTimelineTest, Keys_DoWhatTheToolTipsSay) {
    CReplayLink& replay = Replay(30, "1,2,99");
    const CReplayTimeline& timeline = replay.timeline();
    Key(Qt::Key_Space);
    EXPECT_FALSE(replay.isPaused());
    Key(Qt::Key_Space);
    EXPECT_TRUE(replay.isPaused());
    Key(Qt::Key_Home);
    Key(Qt::Key_Right);
    EXPECT_EQ(timeline.Position(), timeline.Index().MessageEnds()[0]);
    Key(Qt::Key_Right, Qt::ControlModifier);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(timeline.PlayMs(), 2000);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(timeline.PlayMs(), 1000);
    const std::size_t atOneSecond = timeline.Position();
    Key(Qt::Key_Left);
    EXPECT_EQ(timeline.Position(), timeline.Index().PreviousMessageEnd(atOneSecond));
    Key(Qt::Key_End);
    EXPECT_TRUE(timeline.AtEnd());
    Key(Qt::Key_Home);
    EXPECT_EQ(timeline.Position(), 0u);
}

TEST_F(ReplayTimelineTest, SliderDrag_PreviewsWhileHeldAndSeeksOnceWhenLetGo) {
    CReplayLink& replay = Replay(120, "1,2,99");
    QSlider& slider = Bar().Slider();
    // Where the handle is now.
    const auto handle = [&slider] {
        QStyleOptionSlider option;
        option.initFrom(&slider);
        option.orientation = slider.orientation();
        option.minimum = slider.minimum();
        option.maximum = slider.maximum();
        option.sliderPosition = slider.sliderPosition();
        option.sliderValue = slider.value();
        return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider).center();
    };
    const auto drag = [&slider](QPoint from, int toX) {
        const QPoint to(toX, from.y());
        QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(&slider, (from + to) / 2);
        QTest::mouseMove(&slider, to);
        QCoreApplication::processEvents();
        return to;
    };

    const QString timeBefore = Bar().ElapsedText();
    const QPoint to = drag(handle(), slider.width() * 3 / 5);
    EXPECT_TRUE(slider.isSliderDown());
    EXPECT_EQ(moves_, 0) << "nothing moves while the slider is held";
    EXPECT_EQ(replay.playedBytes(), 0);
    EXPECT_NE(Bar().ElapsedText(), timeBefore) << "the labels preview the place";
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, to);
    QCoreApplication::processEvents();

    EXPECT_EQ(moves_, 1);
    EXPECT_EQ(rewinds_, 0);
    const std::int64_t reached = replay.timeline().PlayMs();
    EXPECT_GT(reached, 50'000);
    EXPECT_LT(reached, 90'000);
    EXPECT_EQ(replay.timeline().Position(), replay.timeline().OffsetAtMs(slider.value()));
    EXPECT_EQ(slider.value(), reached) << "the handle settles on the second reached";
    EXPECT_TRUE(replay.isPaused()) << "a drag leaves the replay as it was";

    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, drag(handle(), slider.width() / 5));
    QCoreApplication::processEvents();
    EXPECT_EQ(moves_, 2);
    EXPECT_EQ(rewinds_, 1) << "going back starts again from nothing";
    EXPECT_LT(replay.timeline().PlayMs(), reached);
}

TEST_F(ReplayTimelineTest, SeekBack_ShowsTheReceiverAndHistoriesAsAStraightReplayHadThem) {
    context.reference.SetPosition({51.0447, -114.0719, 1000.0});
    context.reference.ComputeDegreeFactors(51.0447, 1000.0);
    context.reference.MarkValid();
    frame->SetWaasProcessing(true);
    CReplayLink& replay = Replay(120, "all");
    const CMsgDispatcher& dispatcher = context.dispatcher;

    const std::size_t middle = replay.timeline().OffsetAtMs(60'000);
    replay.seek(static_cast<qint64>(middle));
    QCoreApplication::processEvents();
    const QByteArray msg1(reinterpret_cast<const char*>(dispatcher.Handler(Slots::Msg1).LastMessage().data()),
                          static_cast<qsizetype>(dispatcher.Handler(Slots::Msg1).LastLength()));
    const std::uint64_t samples = context.neuHistory.Stored();
    const IonoGrid grid = context.waas.Grid();
    const std::uint32_t now = context.clock.Now();
    const std::uint32_t debugCount = dispatcher.Rx().RxCount(5);
    frame->UpdateUi();
    const QString shownTime = frame->PaneText(CMainFrame::kTimePaneId);
    ASSERT_GT(samples, 30u);

    replay.seek(replay.totalBytes());
    replay.seek(static_cast<qint64>(middle));
    QCoreApplication::processEvents();
    EXPECT_EQ(rewinds_, 1);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(dispatcher.Handler(Slots::Msg1).LastMessage().data()),
                         static_cast<qsizetype>(dispatcher.Handler(Slots::Msg1).LastLength())),
              msg1);
    EXPECT_EQ(context.neuHistory.Stored(), samples);
    EXPECT_EQ(context.clock.Now(), now);
    EXPECT_EQ(dispatcher.Rx().RxCount(5), debugCount);
    bool sameGrid = true;
    for (std::size_t band = 0; band < grid.igp.size(); ++band) {
        sameGrid = sameGrid && grid.igp[band] == context.waas.Grid().igp[band];
    }
    EXPECT_TRUE(sameGrid) << "the iono grid as it was at that time";
    frame->UpdateUi();
    EXPECT_EQ(frame->PaneText(CMainFrame::kTimePaneId), shownTime);
    EXPECT_EQ(Bar().TimeText(), shownTime);

    ASSERT_EQ(dispatcher.GpsUtcOffset().Get(), 18);
    replay.seek(0);
    EXPECT_EQ(dispatcher.GpsUtcOffset().Get(), 0) << "as when the replay began, before a message told it";
    EXPECT_EQ(dispatcher.Handler(Slots::Msg1).LastLength(), 0u);
}

TEST_F(ReplayTimelineTest, Logs_AfterMovingBackAndForth_HoldEveryMessageOnce) {
    const auto stepThrough = [](CReplayLink& replay, std::size_t to) {
        while (replay.timeline().Position() < to) {
            replay.step(ReplayStep::MessageForward);
            QCoreApplication::processEvents();
        }
    };
    const auto debugView = [this]() -> CViewDbgMsg& {
        frame->OpenView(kDebugViewTemplate);
        QCoreApplication::processEvents();
        return *qobject_cast<CViewDbgMsg*>(frame->MdiArea().currentSubWindow()->widget());
    };

    // Moved about, with every log open, in the program's first replay: the
    // data log compares with the converter's, which starts from nothing too.
    CReplayLink& moved = Replay(40, "1,2,99,X");
    ASSERT_TRUE(debugView().StartDebugLog(dir_.filePath(QStringLiteral("moved-debug.log"))));
    ASSERT_TRUE(frame->Logs().DataLog().Start(dir_.filePath(QStringLiteral("moved.log")).toStdString(), false));
    CommandLine commandLine;
    commandLine.replayFile = path_.toStdString();
    commandLine.binaryLogName = dir_.filePath(QStringLiteral("moved.bin")).toStdString();
    frame->Logs().StartFromCommandLine(commandLine);
    const std::size_t size = moved.timeline().Size();
    stepThrough(moved, size * 3 / 5);
    Key(Qt::Key_Home);
    stepThrough(moved, size / 5);
    moved.seek(static_cast<qint64>(size / 2));
    moved.seek(static_cast<qint64>(size / 10));
    stepThrough(moved, size);
    EXPECT_EQ(rewinds_, 2);
    frame->Logs().OnConnect();  // closes the logs as the next connection would
    // A new view for the next replay: one that saw this one would catch up on it.
    frame->MdiArea().closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Straight through, one message at a time: the debug log to compare with.
    CReplayLink& straight = Reconnect();
    ASSERT_TRUE(debugView().StartDebugLog(dir_.filePath(QStringLiteral("straight-debug.log"))));
    stepThrough(straight, straight.timeline().Size());
    debugView().ToggleDebugLog();

    EXPECT_EQ(ReadAll(dir_.filePath(QStringLiteral("moved.bin"))), log_) << "every byte once, in order";
    const QByteArray debugLog = ReadAll(dir_.filePath(QStringLiteral("moved-debug.log")));
    EXPECT_GT(debugLog.count('\n'), 100);
    EXPECT_EQ(debugLog, ReadAll(dir_.filePath(QStringLiteral("straight-debug.log"))));

    const QString converted = dir_.filePath(QStringLiteral("converted.log"));
    QProcess cli;
    cli.start(QStringLiteral(ZARNMON_CLI_PROGRAM), {QStringLiteral("datalog"), path_, QStringLiteral("-o"), converted});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0);
    const QByteArray dataLog = ReadAll(dir_.filePath(QStringLiteral("moved.log")));
    EXPECT_GT(dataLog.count('\n'), 35) << "a row a second of receiver time";
    EXPECT_EQ(dataLog.count('\n'), ReadAll(converted).count('\n'));
    EXPECT_EQ(dataLog, ReadAll(converted));
}

TEST_F(ReplayTimelineTest, Loop_StartsAgainAtTheEndAndPlaysOn) {
    CReplayLink& replay = Replay(5, "1,99");
    Click(QStringLiteral("Loop"));
    Click(QStringLiteral("Max"));
    Click(QStringLiteral("Play"));
    ASSERT_TRUE(RunUntil([this] { return rewinds_ >= 2; }));
    EXPECT_TRUE(frame->LinkOpen());
    EXPECT_TRUE(Bar().isVisible());
    EXPECT_TRUE(replay.loops());
}

}  // namespace
}  // namespace zarnmon
