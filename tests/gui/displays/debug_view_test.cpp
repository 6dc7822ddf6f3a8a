#include "gui/displays/debug_view.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "gui/state/configure_debug_log_dialog.h"
#include "support/temp_dir.h"
#include "tests/gui/displays/view_test_support.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Answers the save dialog the log toggle shows with a file name.
void ChooseFileNext(const std::filesystem::path& path) {
    test::AnswerNextModal<QFileDialog>([path](QFileDialog& dialog) {
        // Typed into the name box, as a user does: selectFile leaves the box
        // alone while it has the focus, and whether it has depends on timing.
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(path.string()));
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        buttons->button(QDialogButtonBox::Save)->click();
    });
}

class DebugViewTest : public ::testing::Test, public test::ViewContext {
protected:
    DebugViewTest() {
        view.resize(900, 700);
        view.show();
        view.InitialUpdate();
        QCoreApplication::processEvents();
        view.UpdateAll();
        painted.Take();
    }

    [[nodiscard]] QRegion LineArea(int row) const { return view.Line(row).Rect().ToQRect(); }
    // The line as painted, its text read at paint time.
    [[nodiscard]] QImage LinePicture(int row) { return view.Picture().copy(view.Line(row).Rect().ToQRect()); }
    [[nodiscard]] static bool HasInk(const QImage& image) {
        return test::CellHasColor(image, image.rect(), colors::kBlack);
    }

    CViewDbgMsg view{services};
    test::CPaintRecorder painted{*view.viewport()};
};

TEST_F(DebugViewTest, ThirtyTwoLinesThatAllChangeAtTheFirstPass) {
    EXPECT_EQ(view.Extent(), QSize(840, 616));
    ASSERT_EQ(view.Elements().Count(), 32U);
    EXPECT_EQ(view.Line(0).Rect(), (ElementRect{20, 20, 820, 38}));
    EXPECT_EQ(view.Line(31).Rect(), (ElementRect{20, 578, 820, 596}));

    CViewDbgMsg fresh(services);
    EXPECT_EQ(fresh.Line(4).LastSeen(), CDrawDebug::kNeverSeen);
    EXPECT_EQ(fresh.UpdateAll(), CViewDbgMsg::kLines);
    EXPECT_EQ(fresh.Line(4).LastSeen(), 0U);
    EXPECT_EQ(fresh.UpdateAll(), 0);
}

TEST_F(DebugViewTest, ALineOfSlot5RepaintsOnlyLine5) {
    FeedLine("$RX,5,7,abc\r\n");
    EXPECT_EQ(painted.Take(), LineArea(5));
    EXPECT_EQ(view.Line(5).LastSeen(), 1U);
    EXPECT_EQ(context.dispatcher.Rx().RxSlot(5), "7,abc");
    EXPECT_TRUE(HasInk(LinePicture(5)));
    EXPECT_FALSE(HasInk(LinePicture(4)));
    EXPECT_FALSE(HasInk(LinePicture(6)));

    // A number out of range is not filed and tells nobody.
    FeedLine("$RX,32,lost\r\n");
    EXPECT_TRUE(painted.Take().isEmpty());
}

TEST_F(DebugViewTest, AfterAConnectLinesThatHadCountsRepaintOnceWithTheirOldText) {
    FeedLine("$RX,2,two\r\n");
    FeedLine("$RX,5,five\r\n");
    FeedLine("$RX,5,five again\r\n");
    const QImage before = LinePicture(5);
    painted.Take();

    context.dispatcher.ClearAll();
    QCoreApplication::processEvents();
    EXPECT_EQ(painted.Take(), LineArea(2) + LineArea(5));
    EXPECT_EQ(view.Line(5).LastSeen(), 0U);
    EXPECT_EQ(LinePicture(5), before);
    EXPECT_TRUE(HasInk(before));

    view.UpdateAll();
    EXPECT_TRUE(painted.Take().isEmpty());
}

TEST_F(DebugViewTest, KeepsRxOutputOnEveryFourthTickAndSwitchesItOffOnCloseOnlyWithAutoConfigure) {
    Ticks(view, 4);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JASC,X,1\r"});
    sender.sent.clear();

    std::make_unique<CViewDbgMsg>(services).reset();
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JASC,X,0\r"});
    sender.sent.clear();
    context.autoConfigure = false;
    std::make_unique<CViewDbgMsg>(services).reset();
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(DebugViewTest, LogDebugDataWritesNewMessagesOfTheMaskWhileChecked) {
    const test::TempDir dir;
    const auto path = dir.File("debug.log");
    FeedLine("$RX,1,before the log\r\n");
    test::AnswerNextModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    view.LogDebugDataAction().trigger();
    EXPECT_FALSE(view.DebugLog().IsOpen());
    EXPECT_FALSE(view.LogDebugDataAction().isChecked());

    ChooseFileNext(path);
    view.LogDebugDataAction().trigger();
    ASSERT_TRUE(view.DebugLog().IsOpen());
    EXPECT_TRUE(view.LogDebugDataAction().isChecked());

    // The first write catches up on what changed since the view was made.
    FeedLine("$RX,3,three\r\n");
    EXPECT_EQ(ReadFile(path), "Msg-1\tbefore the log\r\nMsg-3\tthree\r\n");

    context.debugLogMask.Set(0x0002, settings);
    FeedLine("$RX,1,not selected\r\n");
    FeedLine("$RX,2,selected\r\n");
    EXPECT_EQ(ReadFile(path), "Msg-1\tbefore the log\r\nMsg-3\tthree\r\nMsg-2\tselected\r\n");

    view.LogDebugDataAction().trigger();
    EXPECT_FALSE(view.DebugLog().IsOpen());
    EXPECT_FALSE(view.LogDebugDataAction().isChecked());
    FeedLine("$RX,2,after\r\n");
    EXPECT_EQ(ReadFile(path), "Msg-1\tbefore the log\r\nMsg-3\tthree\r\nMsg-2\tselected\r\n");
}

TEST_F(DebugViewTest, AFileThatCannotBeOpenedIsReportedAndLeavesTheLogOff) {
    const test::TempDir dir;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    test::AnswerNextModal<QMessageBox>([&](QMessageBox& box) {
        text = box.text();
        icon = box.icon();
        box.accept();
    });
    EXPECT_FALSE(view.StartDebugLog(QString::fromStdString(dir.File("missing/debug.log").string())));
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Failed to open file.  Make sure that it is not open in another application.")))
        << text.toStdString();
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_FALSE(view.DebugLog().IsOpen());
    EXPECT_FALSE(view.LogDebugDataAction().isChecked());
}

TEST_F(DebugViewTest, ConfigureShowsTheProgramWideMaskAndKeepsTheChoice) {
    context.debugLogMask.Set(0x0001, settings);
    bool firstOnly = false;
    test::AnswerNextModal<CConfigureDebugLogDialog>([&](CConfigureDebugLogDialog& dialog) {
        firstOnly = dialog.MessageCheckBox(1).isChecked() && !dialog.MessageCheckBox(2).isChecked();
        dialog.MessageCheckBox(16).setChecked(true);
        dialog.accept();
    });
    view.ConfigureDebugLogAction().trigger();
    EXPECT_TRUE(firstOnly);
    EXPECT_EQ(context.debugLogMask.Get(settings), 0x8001U);
    EXPECT_EQ(settings.GetString("LogSettings", "DebugLogMask", ""), "8001");
}

}  // namespace
}  // namespace zarnmon
