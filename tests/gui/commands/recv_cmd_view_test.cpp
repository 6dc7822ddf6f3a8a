#include "gui/commands/recv_cmd_view.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "core/commands/command_send.h"
#include "core/link/frame_builder.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

// The page on screen, driven as a user drives it.
class CommandPageTest : public ::testing::Test, public test::ViewContext {
protected:
    CommandPageTest() { page_ = Show(); }

    std::unique_ptr<CViewRecvCmd> Show() {
        auto page = std::make_unique<CViewRecvCmd>(services);
        page->resize(800, 700);
        page->show();
        page->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(page.get()));
        return page;
    }

    [[nodiscard]] QLineEdit& Entry() const { return *page_->CommandBox().lineEdit(); }

    // Replaces what the command box holds by typing.
    void Type(const QString& text) {
        Entry().setFocus();
        Entry().selectAll();
        QTest::keyClick(&Entry(), Qt::Key_Backspace);
        QTest::keyClicks(&Entry(), text);
    }
    void Key(Qt::Key key) { QTest::keyClick(&Entry(), key); }
    void TypeAndSend(const QString& text) {
        Type(text);
        Key(Qt::Key_Return);
    }

    // A line from the receiver, handled as the event loop handles it.
    void Receive(std::string_view line) {
        context.dispatcher.Feed(test::AsBytes(TextLine(line)));
        QCoreApplication::processEvents();
    }

    [[nodiscard]] QString Reply() const { return page_->ReplyBox().toPlainText(); }
    [[nodiscard]] QStringList History() const {
        QStringList items;
        for (int i = 0; i < page_->CommandBox().count(); ++i) {
            items << page_->CommandBox().itemText(i);
        }
        return items;
    }
    [[nodiscard]] QStringList VisibleCommands() const {
        QStringList shown;
        for (int row = 0; row < page_->CommandList().count(); ++row) {
            if (!page_->CommandList().item(row)->isHidden()) {
                shown << page_->CommandList().item(row)->text();
            }
        }
        return shown;
    }
    // The command list's entry with this text, where a user sees it.
    [[nodiscard]] QPoint PlaceOf(const QString& syntax) const {
        const QList<QListWidgetItem*> items = page_->CommandList().findItems(syntax, Qt::MatchExactly);
        EXPECT_EQ(items.size(), 1) << syntax.toStdString();
        page_->CommandList().scrollToItem(items.front());
        return page_->CommandList().visualItemRect(items.front()).center();
    }

    // A double click as the mouse makes it: a click, then the second press.
    void DoubleClick(const QString& syntax) {
        const QPoint place = PlaceOf(syntax);
        QTest::mouseClick(page_->CommandList().viewport(), Qt::LeftButton, {}, place);
        QTest::mouseDClick(page_->CommandList().viewport(), Qt::LeftButton, {}, place);
    }

    std::unique_ptr<CViewRecvCmd> page_;
};

TEST_F(CommandPageTest, Controls_CarryTheirIdsAndTexts) {
    for (const char* id : {"1013", "1014", "1015", "1016", "1018", "1054"}) {
        EXPECT_NE(page_->findChild<QWidget*>(QString::fromLatin1(id)), nullptr) << id;
    }
    EXPECT_EQ(page_->SendButton().text(), QStringLiteral("Send"));
    EXPECT_TRUE(page_->SendButton().isDefault());
    EXPECT_EQ(page_->BeaconBox().text(), QStringLiteral("Show Beacon Reply"));
    EXPECT_TRUE(page_->BeaconBox().isChecked());
    EXPECT_TRUE(page_->ReplyBox().isReadOnly());
    EXPECT_EQ(page_->CommandList().count(), 32);
    EXPECT_EQ(page_->CommandList().item(0)->text(), QStringLiteral("$JBAUD,r[,OTHER]"));
    EXPECT_EQ(page_->CommandList().item(31)->text(), QStringLiteral("$JWAASPRN[,sv1[,sv2]]"));
    EXPECT_TRUE(page_->CommandList().selectedItems().isEmpty()) << "no entry is selected at first";
    QStringList groups;
    for (const QGroupBox* group : page_->findChildren<QGroupBox*>()) {
        groups << group->title();
    }
    EXPECT_EQ(groups, (QStringList{"Send To Receiver", "Command List and Help"}));
}

TEST_F(CommandPageTest, J4String_GoesOutBehindJoffTypedInEitherCase) {
    TypeAndSend(QStringLiteral("$J4STRING,OTHER"));
    Type(QStringLiteral("$j4string,other"));
    QTest::mouseClick(&page_->SendButton(), Qt::LeftButton);
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JOFF\r$J4STRING,OTHER\r", "$JOFF\r$j4string,other\r"}));
    EXPECT_EQ(receiver.status, QStringLiteral("Message Sent"));
}

TEST_F(CommandPageTest, EnterOnTheCommandList_SendsTheCommandBoxAsTheDefaultButton) {
    Type(QStringLiteral("$JT"));
    QTest::mouseClick(page_->CommandList().viewport(), Qt::LeftButton, {}, PlaceOf(QStringLiteral("$JSAVE")));
    QTest::keyClick(&page_->CommandList(), Qt::Key_Return);
    EXPECT_EQ(sender.sent, (std::vector<std::string>{"$JT\r"}));
}

TEST_F(CommandPageTest, TypedRate_BecomesTheRateKeptUpButNotForTheOtherPortOrZero) {
    TypeAndSend(QStringLiteral("$JBIN,99,5"));
    EXPECT_EQ(context.dispatcher.EnableCommand(Slots::Msg99), "$JBIN,99,5\r");
    TypeAndSend(QStringLiteral("$JBIN,99,0"));
    TypeAndSend(QStringLiteral("$JBIN,99,1,OTHER"));
    EXPECT_EQ(context.dispatcher.EnableCommand(Slots::Msg99), "$JBIN,99,5\r");
}

TEST_F(CommandPageTest, History_RecordsABAAndRepeatsNoTopEntryForTheRun) {
    for (const char* typed : {"$JI", "$JI", "$JT", "$JI"}) {
        TypeAndSend(QString::fromLatin1(typed));
    }
    EXPECT_EQ(History(), (QStringList{"$JI", "$JT", "$JI"}));
    EXPECT_EQ(sender.sent.size(), 4U) << "a repeated command is still sent";

    // The history outlives the page: the next one starts on the latest command.
    page_.reset();
    page_ = Show();
    EXPECT_EQ(History(), (QStringList{"$JI", "$JT", "$JI"}));
    EXPECT_EQ(page_->CommandBox().currentText(), QStringLiteral("$JI"));
}

TEST_F(CommandPageTest, EmptyCommand_IsAnInvalidEntryAndSendsNothing) {
    TypeAndSend(QString());
    EXPECT_EQ(Reply(), QStringLiteral("Invalid Entry"));
    EXPECT_EQ(receiver.status, QStringLiteral("Invalid Entry"));
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_TRUE(History().isEmpty());
}

TEST_F(CommandPageTest, ClosedLink_StillSaysSentAndKeepsTheHistoryEntry) {
    sender.linkOpen = false;
    TypeAndSend(QStringLiteral("$JI"));
    EXPECT_EQ(sender.shown, std::vector<bool>{true}) << "the sender tells the user the link is closed";
    EXPECT_EQ(receiver.status, QStringLiteral("Message Sent"));
    EXPECT_EQ(History(), QStringList{"$JI"});
}

TEST_F(CommandPageTest, WithoutAMainFrame_SendDoesNothing) {
    context.dispatcher.SetSender(nullptr);
    TypeAndSend(QStringLiteral("$JI"));
    EXPECT_TRUE(History().isEmpty());
    EXPECT_TRUE(receiver.status.isEmpty());
}

TEST_F(CommandPageTest, Replies_ShowForSixSecondsAfterTheSend) {
    TypeAndSend(QStringLiteral("$JI"));
    clock.Advance(5900);
    Receive("$>JI,1,1,7");
    EXPECT_EQ(Reply(), QStringLiteral("$>JI,1,1,7\n"));
    clock.Advance(200);
    Receive("$>JT,SIM");
    EXPECT_EQ(Reply(), QStringLiteral("$>JI,1,1,7\n")) << "6.1 s after the send";

    // The next send starts a new reply with only what arrives after it.
    TypeAndSend(QStringLiteral("$JT"));
    EXPECT_TRUE(Reply().isEmpty());
    Receive("$>JT,SIM2");
    EXPECT_EQ(Reply(), QStringLiteral("$>JT,SIM2\n"));
}

TEST_F(CommandPageTest, BurstOfRepliesInOneNotification_ShowsEveryLineInOrder) {
    TypeAndSend(QStringLiteral("$JSHOW"));
    std::string burst;
    for (int i = 0; i < 12; ++i) {
        burst += TextLine("$>JSHOW," + std::to_string(i));
    }
    context.dispatcher.Feed(test::AsBytes(burst));
    // The twelve notifications arrive as one.
    QCoreApplication::removePostedEvents(page_.get(), CRxMessageEvent::Type());
    QCoreApplication::postEvent(page_.get(), new CRxMessageEvent(&context.dispatcher.Handler(Slots::ReplyHandler)));
    QCoreApplication::processEvents();
    EXPECT_EQ(page_->ReplyBox().blockCount(), 13);
    EXPECT_TRUE(Reply().startsWith(QStringLiteral("$>JSHOW,0\n$>JSHOW,1\n")));
    EXPECT_TRUE(Reply().endsWith(QStringLiteral("$>JSHOW,11\n")));
}

TEST_F(CommandPageTest, BeaconRepliesReadWhileTheBoxIsClear_AreNeverShown) {
    QTest::keyClick(&page_->BeaconBox(), Qt::Key_Space);
    EXPECT_FALSE(context.showBeaconReply);
    TypeAndSend(QStringLiteral("$JI"));
    Receive("$CRMSS,1");
    EXPECT_TRUE(Reply().isEmpty());

    QTest::keyClick(&page_->BeaconBox(), Qt::Key_Space);
    Receive("$>JI,1");
    Receive("$CRMSS,2");
    EXPECT_EQ(Reply(), QStringLiteral("$>JI,1\n$CRMSS,2\n"));

    // The flag outlives the page.
    QTest::keyClick(&page_->BeaconBox(), Qt::Key_Space);
    page_ = Show();
    EXPECT_FALSE(page_->BeaconBox().isChecked());
}

TEST_F(CommandPageTest, Acknowledgement_IsHighlightedWhileTheReplyTextStaysTheReceivers) {
    TypeAndSend(QStringLiteral("$jbin,99,1"));
    Receive("$>JI,1");
    // An acknowledgement comes as a "$PC" sentence, which goes to the beacon replies.
    context.dispatcher.Feed(test::AsBytes(NmeaSentence("PCSI,ACK,JBIN,99,1")));
    QCoreApplication::processEvents();
    const QStringList lines = Reply().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("$>JI,1"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("$PCSI,ACK,JBIN,99,1*")));

    const QList<QTextEdit::ExtraSelection> marks = page_->ReplyBox().extraSelections();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks.front().cursor.selectedText(), lines[1]);

    page_->ReplyBox().setFocus();
    page_->ReplyBox().selectAll();
    page_->Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), Reply());

    TypeAndSend(QStringLiteral("$JSHOW,CONF"));
    Receive("$>JSHOW,CONF,N,0.0,10.0,5,A,0,60,W");
    Receive("$>ERR,JSHOW,CONF");
    ASSERT_EQ(page_->ReplyBox().extraSelections().size(), 1);
    EXPECT_EQ(page_->ReplyBox().extraSelections().front().cursor.selectedText(),
              QStringLiteral("$>JSHOW,CONF,N,0.0,10.0,5,A,0,60,W"));
}

TEST_F(CommandPageTest, CommandList_SelectShowsHelpAndDoubleClickTakesTheSyntax) {
    const QPoint jbin = PlaceOf(QStringLiteral("$JBIN,msg,r[,OTHER]"));
    QTest::mouseClick(page_->CommandList().viewport(), Qt::LeftButton, {}, jbin);
    const QStringList help = page_->HelpBox().toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(help.size(), 13);
    EXPECT_EQ(help.front(),
              QStringLiteral("Turn on/off binary message. r =  0, 0.2, 1 or 5 Hz  (0 turns message off)"));
    EXPECT_EQ(help[2], QStringLiteral(" 1 = Navigation Data (0.2, 1 or 5 Hz) "));
    EXPECT_EQ(help.back(), QStringLiteral("EXAMPLE:  turn on msg 99 at 1 Hz     $JBIN,99,1"));
    EXPECT_TRUE(page_->CommandBox().currentText().isEmpty()) << "a single click only shows the help";

    DoubleClick(QStringLiteral("$JI"));
    EXPECT_EQ(page_->CommandBox().currentText(), QStringLiteral("$JI"));
    EXPECT_EQ(page_->HelpBox().toPlainText().split(QLatin1Char('\n')).front(),
              QStringLiteral("display receiver information"));
    DoubleClick(QStringLiteral("$JBIN,msg,r[,OTHER]"));
    EXPECT_EQ(page_->CommandBox().currentText(), QStringLiteral("$JBIN,msg,r[,OTHER]"))
        << "placeholders included, for the user to edit";
}

TEST_F(CommandPageTest, Typing_NarrowsTheCommandList) {
    Type(QStringLiteral("$ja"));
    const QStringList shown = VisibleCommands();
    EXPECT_EQ(shown.size(), 10);
    for (const QString& syntax : shown) {
        EXPECT_TRUE(syntax.startsWith(QStringLiteral("$JA"))) << syntax.toStdString();
    }
    Type(QStringLiteral("$jasc,"));
    EXPECT_EQ(VisibleCommands().size(), 6);
    EXPECT_EQ(VisibleCommands().front(), QStringLiteral("$JASC,GPxxx,r[,OTHER]"));
    Type(QStringLiteral("$JAX"));
    EXPECT_TRUE(VisibleCommands().isEmpty());
    Type(QString());
    EXPECT_EQ(VisibleCommands().size(), 32);
}

TEST_F(CommandPageTest, UpAndDown_WalkTheHistoryAndComeBackToWhatWasTyped) {
    for (const char* typed : {"$JI", "$JT", "$JSHOW"}) {
        TypeAndSend(QString::fromLatin1(typed));
    }
    Type(QStringLiteral("$JAG"));
    const auto walk = [this](Qt::Key key) {
        Key(key);
        return page_->CommandBox().currentText();
    };
    EXPECT_EQ(walk(Qt::Key_Up), QStringLiteral("$JSHOW"));
    EXPECT_EQ(walk(Qt::Key_Up), QStringLiteral("$JT"));
    EXPECT_EQ(walk(Qt::Key_Up), QStringLiteral("$JI"));
    EXPECT_EQ(walk(Qt::Key_Up), QStringLiteral("$JI")) << "the oldest stays";
    EXPECT_EQ(walk(Qt::Key_Down), QStringLiteral("$JT"));
    EXPECT_EQ(walk(Qt::Key_Down), QStringLiteral("$JSHOW"));
    EXPECT_EQ(walk(Qt::Key_Down), QStringLiteral("$JAG"));
    EXPECT_EQ(walk(Qt::Key_Down), QStringLiteral("$JAG"));

    // Typing ends a walk: Up starts again from the newest.
    Key(Qt::Key_Up);
    QTest::keyClicks(&Entry(), QStringLiteral(",9"));
    EXPECT_EQ(walk(Qt::Key_Up), QStringLiteral("$JSHOW"));
    Key(Qt::Key_Return);
    EXPECT_EQ(sender.sent.back(), "$JSHOW\r");
}

TEST_F(CommandPageTest, Tab_CompletesTheCommandNameOrElseMovesOn) {
    Type(QStringLiteral("$jal"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(page_->CommandBox().currentText(), QStringLiteral("$JALT"));
    EXPECT_EQ(VisibleCommands(), QStringList{"$JALT,c,v[,GEOID]"});
    EXPECT_TRUE(page_->CommandBox().hasFocus());

    Type(QStringLiteral("$JA"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(page_->CommandBox().currentText(), QStringLiteral("$JA")) << "five names share no longer start";
    EXPECT_FALSE(page_->CommandBox().hasFocus());
}

TEST_F(CommandPageTest, EditCommands_FollowTheLastFocusedControlAndPasteIntoTheCommandBox) {
    QApplication::clipboard()->clear();
    Type(QStringLiteral("$JI"));
    Entry().selectAll();
    EditAbility ability = page_->Ability();
    EXPECT_TRUE(ability.copy);
    EXPECT_TRUE(ability.cut);
    EXPECT_FALSE(ability.paste) << "the clipboard holds no text";
    page_->Cut();
    EXPECT_TRUE(page_->CommandBox().currentText().isEmpty());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("$JI"));
    EXPECT_TRUE(page_->Ability().paste);

    Key(Qt::Key_Return);  // an empty command: the reply says so
    page_->ReplyBox().setFocus();
    ability = page_->Ability();
    EXPECT_FALSE(ability.copy) << "nothing selected in the reply";
    page_->ReplyBox().selectAll();
    ability = page_->Ability();
    EXPECT_TRUE(ability.copy);
    EXPECT_FALSE(ability.cut) << "the reply is read-only";
    page_->Cut();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Invalid Entry")) << "cutting from the reply copies";
    EXPECT_EQ(Reply(), QStringLiteral("Invalid Entry"));

    page_->Paste();
    EXPECT_EQ(page_->CommandBox().currentText(), QStringLiteral("Invalid Entry"));
    EXPECT_EQ(Reply(), QStringLiteral("Invalid Entry"));
}

}  // namespace
}  // namespace zarnmon
