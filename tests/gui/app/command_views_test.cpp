// The command page and the text view in the program: opened by their
// commands, talking to the built-in simulator, driving the edit commands,
// and remembered among the open windows.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include "gui/app/main_frame.h"
#include "gui/app/view_registry.h"
#include "gui/commands/recv_cmd_view.h"
#include "gui/commands/text_view.h"
#include "gui/displays/channel_view.h"
#include "gui/displays/gps_view.h"
#include "tests/gui/app/frame_fixture.h"

namespace zarnmon {
namespace {

constexpr int kCommandPage = 134;
constexpr int kTextView = 136;
constexpr int kChannelView = 129;
constexpr int kGpsView = 137;
constexpr int kCommandPageCommand = 32779;
constexpr int kCutId = 57635;
constexpr int kCopyId = 57634;
constexpr int kPasteId = 57637;

class CommandViewsTest : public ::testing::Test, public test::FrameFixture {
protected:
    CommandViewsTest() { frame->show(); }

    // The view of a template, opened by its command.
    template <typename View>
    View& Opened(int templateId) {
        frame->OpenView(templateId);
        QCoreApplication::processEvents();
        auto* view = qobject_cast<View*>(frame->MdiArea().currentSubWindow()->widget());
        EXPECT_NE(view, nullptr);
        return *view;
    }
    [[nodiscard]] QStringList WindowKeys() const {
        QStringList keys;
        for (const QMdiSubWindow* window : frame->MdiArea().subWindowList()) {
            keys << window->objectName();
        }
        return keys;
    }
    static void TypeAndSend(CViewRecvCmd& page, const QString& command) {
        QLineEdit& entry = *page.CommandBox().lineEdit();
        entry.setFocus();
        entry.selectAll();
        QTest::keyClick(&entry, Qt::Key_Backspace);
        QTest::keyClicks(&entry, command);
        QTest::keyClick(&entry, Qt::Key_Return);
    }
    [[nodiscard]] bool Enabled(int id) const {
        frame->UpdateUi();
        return frame->Action(id)->isEnabled();
    }
};

TEST_F(CommandViewsTest, CommandPage_IsOfferedOnlyWhileTheLinkIsOpen) {
    EXPECT_FALSE(Enabled(kCommandPageCommand));
    EXPECT_TRUE(Enabled(32780)) << "the text view needs no link";
    ConnectSimulator();
    EXPECT_TRUE(Enabled(kCommandPageCommand));
}

TEST_F(CommandViewsTest, CommandPage_SendsToTheSimulatorAndShowsItsReplyAndTheTextViewItsSentences) {
    ConnectSimulator();
    const CViewText& text = Opened<CViewText>(kTextView);
    CViewRecvCmd& page = Opened<CViewRecvCmd>(kCommandPage);
    TypeAndSend(page, QStringLiteral("$JSHOW,CONF"));
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("Message Sent"));
    const QString reply = QStringLiteral("$>JSHOW,CONF,N,0.0,10.0,5,A,0,60,W");
    ASSERT_TRUE(RunSecondsUntil([&] { return page.ReplyBox().toPlainText().contains(reply); }, 5));
    // Other replies may come too (the frame asks for the receiver's identity); this one answers the command.
    const QList<QTextEdit::ExtraSelection> marks = page.ReplyBox().extraSelections();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks.front().cursor.selectedText(), reply);
    EXPECT_TRUE(text.Edit(CViewText::Messages).toPlainText().contains(QStringLiteral("$>JSHOW,CONF,N")));

    TypeAndSend(page, QStringLiteral("$JASC,GPGGA,1"));
    ASSERT_TRUE(RunSecondsUntil([&] { return text.Edit(CViewText::Nmea).toPlainText().count("$GPGGA") >= 3; }, 10));
}

TEST_F(CommandViewsTest, EachView_OpensOnceAndItsCommandBringsItForward) {
    ConnectSimulator();
    const CViewRecvCmd& page = Opened<CViewRecvCmd>(kCommandPage);
    Opened<CViewText>(kTextView);
    EXPECT_EQ(&Opened<CViewRecvCmd>(kCommandPage), &page);
    Opened<CViewText>(kTextView);
    EXPECT_EQ(WindowKeys(), (QStringList{"RCommand", "TextVw"}));
    EXPECT_EQ(frame->MdiArea().currentSubWindow()->objectName(), QStringLiteral("TextVw"));
    // Each form opens whole, without scroll bars.
    for (const QMdiSubWindow* window : frame->MdiArea().subWindowList()) {
        const auto* form = qobject_cast<const QScrollArea*>(window->widget());
        ASSERT_NE(form, nullptr);
        EXPECT_FALSE(form->horizontalScrollBar()->isVisible()) << window->objectName().toStdString();
        EXPECT_FALSE(form->verticalScrollBar()->isVisible()) << window->objectName().toStdString();
    }
}

TEST_F(CommandViewsTest, EditCommands_FollowTheActiveView) {
    ConnectSimulator();
    QApplication::clipboard()->setText(QStringLiteral("$JT"));
    CViewRecvCmd& page = Opened<CViewRecvCmd>(kCommandPage);
    page.CommandBox().lineEdit()->setFocus();
    QTest::keyClicks(page.CommandBox().lineEdit(), QStringLiteral("$JI"));
    EXPECT_FALSE(Enabled(kCopyId));
    EXPECT_TRUE(Enabled(kPasteId));
    page.CommandBox().lineEdit()->selectAll();
    EXPECT_TRUE(Enabled(kCopyId));
    EXPECT_TRUE(Enabled(kCutId));
    frame->Action(kPasteId)->trigger();
    EXPECT_EQ(page.CommandBox().currentText(), QStringLiteral("$JT"));

    // The reply box takes Copy but never Cut; Paste still goes into the command box.
    TypeAndSend(page, QString());
    page.ReplyBox().setFocus();
    page.ReplyBox().selectAll();
    EXPECT_TRUE(Enabled(kCopyId));
    EXPECT_FALSE(Enabled(kCutId));
    frame->Action(kCopyId)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Invalid Entry"));
    frame->Action(kPasteId)->trigger();
    EXPECT_EQ(page.CommandBox().currentText(), QStringLiteral("Invalid Entry"));

    // The text view offers Copy alone.
    CViewText& text = Opened<CViewText>(kTextView);
    text.Edit(CViewText::Nmea).setFocus();
    text.Edit(CViewText::Nmea).setPlainText(QStringLiteral("$GPGGA"));
    text.Edit(CViewText::Nmea).selectAll();
    EXPECT_TRUE(Enabled(kCopyId));
    EXPECT_FALSE(Enabled(kCutId));
    EXPECT_FALSE(Enabled(kPasteId));
}

TEST_F(CommandViewsTest, EditCommands_CopyTheActiveDataViewAsTextAndCannotCutOrPaste) {
    ConnectSimulator();
    CViewGPS& gps = Opened<CViewGPS>(kGpsView);
    Opened<CViewChannel>(kChannelView);
    for (int second = 0; second < 3; ++second) {
        TickSecond();
    }
    QApplication::clipboard()->setText(QStringLiteral("before"));
    EXPECT_TRUE(Enabled(kCopyId));
    EXPECT_FALSE(Enabled(kCutId));
    EXPECT_FALSE(Enabled(kPasteId));
    frame->Action(kCopyId)->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral(" CH\tSV\tELV\t")))
        << QApplication::clipboard()->text().toStdString();

    frame->MdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(gps.parentWidget()));
    frame->Action(kCopyId)->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("Lat\t")))
        << QApplication::clipboard()->text().toStdString();
}

// Every view the program has, the command page among them: each is written
// to "OpenWindows" when the main window closes and opens again at the next
// start.
TEST_F(CommandViewsTest, EveryView_IsRememberedAndReopensAtTheNextStart) {
    // A configured location: the NEU plot asks for one otherwise.
    context.reference.SetPosition({51.0, -114.0, 1000.0});
    context.reference.ComputeDegreeFactors(51.0, 1000.0);
    context.reference.MarkValid();
    ConnectSimulator();
    QStringList opened;
    for (const ViewDescriptor& descriptor : ViewDescriptors()) {
        ASSERT_TRUE(descriptor.factory) << std::string(descriptor.Type().key);
        frame->OpenView(descriptor.templateId);
        opened << QString::fromLatin1(descriptor.Type().key.data(),
                                      static_cast<qsizetype>(descriptor.Type().key.size()));
    }
    QCoreApplication::processEvents();
    frame->close();
    for (const QString& key : opened) {
        EXPECT_EQ(settings.GetInt("OpenWindows", key.toStdString(), -1), 1) << key.toStdString();
    }
    frame.reset();

    settings.SetInt("OpenWindows", "AutoOpen", 1);
    std::vector<CMultiDocTempSpecial> templates = MakeTemplates();
    CMainFrame next(context, templates);
    for (const int templateId : ViewsToReopen(settings)) {
        next.OpenView(templateId);
    }
    QStringList reopened;
    for (const QMdiSubWindow* window : next.MdiArea().subWindowList()) {
        reopened << window->objectName();
        EXPECT_NE(window->widget(), nullptr);
    }
    opened.sort();
    reopened.sort();
    EXPECT_EQ(reopened, opened);
}

}  // namespace
}  // namespace zarnmon
