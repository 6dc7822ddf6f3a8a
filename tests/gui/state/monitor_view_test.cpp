#include "gui/state/monitor_view.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"
#include "gui/state/app_icons.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

const QColor kNavy(0, 0, 128);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);

[[nodiscard]] QImage IconPicture(const QIcon& icon) { return icon.pixmap(32, 32).toImage(); }

// The monitor in a window of its own, as the main frame shows it.
class MonitorViewTest : public ::testing::Test, public test::ViewContext {
protected:
    MonitorViewTest() {
        settings.SetString(kThresholds, "StartupMinutes", "1");
        area.setWindowIcon(ApplicationIcon());
        view = new CViewMonitor(services);
        window = area.addSubWindow(view);
        window->setAttribute(Qt::WA_DeleteOnClose);
        area.show();
        QCoreApplication::processEvents();
    }

    // One second: a message 99 arrives (the receiver is there) and the tick runs.
    void SecondWithMessage99() {
        clock.Advance(1000);
        Feed(CBinFrameBuilder(99));
        PostRefreshTick(view);
        QCoreApplication::processEvents();
    }

    QMdiArea area;
    CViewMonitor* view = nullptr;
    QMdiSubWindow* window = nullptr;
};

TEST_F(MonitorViewTest, Opened_PreparesWithAYellowRectangularStatusAndLightsOffAfterATick) {
    EXPECT_EQ(view->Test().State(), MonitorState::Preparing);
    EXPECT_EQ(view->StatusBox().toPlainText(), QStringLiteral("Preparing For Test\n"));
    EXPECT_TRUE(view->StatusBox().isReadOnly());
    for (std::size_t i = 0; i < CViewMonitor::kLights; ++i) {
        EXPECT_EQ(view->Light(i).Color(), QColor(192, 192, 192)) << "unlit until the first tick, light " << i;
        EXPECT_EQ(view->Light(i).LampShape(), CIndicatorLamp::Shape::Ellipse);
    }
    PostRefreshTick(view);
    QCoreApplication::processEvents();
    for (std::size_t i = 0; i < CViewMonitor::kLights; ++i) {
        EXPECT_EQ(view->Light(i).Color(), kNavy) << "no L-band receiver: light " << i << " is off";
    }
    EXPECT_EQ(view->StatusLight().Color(), kYellow);
    EXPECT_EQ(view->StatusLight().LampShape(), CIndicatorLamp::Shape::Rectangle);
    EXPECT_EQ(view->ResetButton().text(), QStringLiteral("&Reset Test"));
}

TEST_F(MonitorViewTest, FailedTest_TurnsTheStatusRedAndTheWindowIconUntilReset) {
    // The receiver talks but never gets ready: after a minute the startup fails.
    for (int second = 0; second < 70 && view->Test().State() != MonitorState::Failed; ++second) {
        SecondWithMessage99();
    }
    ASSERT_EQ(view->Test().State(), MonitorState::Failed);
    EXPECT_EQ(view->StatusLight().Color(), kRed);
    EXPECT_TRUE(view->StatusBox().toPlainText().contains(QStringLiteral(": Failed Startup Timeout ( >1 min)")));
    EXPECT_EQ(IconPicture(area.windowIcon()), IconPicture(FailedTestIcon()));

    QTest::mouseClick(&view->ResetButton(), Qt::LeftButton);
    EXPECT_EQ(view->Test().State(), MonitorState::Preparing);
    EXPECT_EQ(view->StatusLight().Color(), kYellow);
    EXPECT_EQ(IconPicture(area.windowIcon()), IconPicture(ApplicationIcon()));
}

TEST_F(MonitorViewTest, ClosingAFailedTest_RestoresTheApplicationIcon) {
    for (int second = 0; second < 70 && view->Test().State() != MonitorState::Failed; ++second) {
        SecondWithMessage99();
    }
    ASSERT_EQ(IconPicture(area.windowIcon()), IconPicture(FailedTestIcon()));
    window->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(IconPicture(area.windowIcon()), IconPicture(ApplicationIcon()));
}

}  // namespace
}  // namespace zarnmon
