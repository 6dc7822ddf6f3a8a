// Keys desktop users expect of the main window beyond the standard
// accelerators: Ctrl+Q quits and F1 opens the About box.

#include <QTest>

#include <gtest/gtest.h>

#include "gui/app/about_dialog.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

class MainFrameKeysTest : public ::testing::Test, public test::FrameFixture {
protected:
    MainFrameKeysTest() {
        frame->show();
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
};

TEST_F(MainFrameKeysTest, CtrlQ_ClosesTheMainWindowAndRemembersItsWindows) {
    ASSERT_TRUE(frame->isVisible());
    QTest::keyClick(frame.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(settings.Find("OpenWindows", "GPSVw")) << "closed as Exit closes it";
}

TEST_F(MainFrameKeysTest, F1_OpensTheAboutBox) {
    QString title;
    test::AnswerNextModal<CAboutDialog>([&title](CAboutDialog& dialog) {
        title = dialog.windowTitle();
        dialog.reject();
    });
    QTest::keyClick(frame.get(), Qt::Key_F1);
    EXPECT_EQ(title, QStringLiteral("About ZarnMon"));
}

}  // namespace
}  // namespace zarnmon
