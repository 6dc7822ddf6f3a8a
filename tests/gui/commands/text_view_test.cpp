#include "gui/commands/text_view.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QTest>
#include <memory>

#include <gtest/gtest.h>

#include "core/commands/text_lines.h"
#include "core/link/frame_builder.h"
#include "gui/state/latin1.h"
#include "tests/gui/displays/view_test_support.h"

namespace zarnmon {
namespace {

class TextViewTest : public ::testing::Test, public test::ViewContext {
protected:
    TextViewTest() {
        // Lines from before the view opened are not shown.
        Receive(NmeaSentence("GPGGA,before"));
        view_ = std::make_unique<CViewText>(services);
        view_->resize(700, 800);
        view_->show();
        view_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view_.get()));
    }

    // Bytes from the receiver in one chunk, then the notifications they posted.
    void Receive(std::string_view bytes) {
        context.dispatcher.Feed(test::AsBytes(bytes));
        QCoreApplication::processEvents();
    }
    [[nodiscard]] QString Shown(CViewText::Box box) const { return view_->Edit(box).toPlainText(); }
    // What a box shows for the text it holds: the edit ends each line with a paragraph break.
    [[nodiscard]] QString ShownFor(CViewText::Box box) const {
        return Latin1(view_->Text(box)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    static std::string Gga(int n) {
        return NmeaSentence("GPGGA," + std::to_string(n) + ",4807.038,N,01131.000,E,1,08");
    }
    void TogglePause() { QTest::mouseClick(&view_->PauseButton(), Qt::LeftButton); }

    std::unique_ptr<CViewText> view_;
};

TEST_F(TextViewTest, Boxes_CarryTheirIdsInTheirGroups) {
    for (const auto& [box, id, title] :
         {std::tuple{CViewText::Messages, "1020", "Messages and Reply's"}, std::tuple{CViewText::Nmea, "1019", "NMEA"},
          std::tuple{CViewText::Rtcm, "1021", "RTCM"}}) {
        QPlainTextEdit& edit = view_->Edit(box);
        EXPECT_EQ(edit.objectName(), QString::fromLatin1(id));
        EXPECT_TRUE(edit.isReadOnly());
        ASSERT_NE(qobject_cast<QGroupBox*>(edit.parentWidget()), nullptr);
        EXPECT_EQ(static_cast<QGroupBox*>(edit.parentWidget())->title(), QString::fromLatin1(title));
    }
    EXPECT_TRUE(Shown(CViewText::Nmea).isEmpty());
}

TEST_F(TextViewTest, Lines_GoToTheirBoxesAndRepliesMeetBeaconRepliesInArrivalOrder) {
    Receive(TextLine("$>JI,1") + TextLine("Y~rtcm line") + Gga(1) + TextLine("$CRMSS,3") + TextLine("fAmore rtcm") +
            TextLine("$>JT,SIM"));
    EXPECT_EQ(Shown(CViewText::Nmea), Latin1(Gga(1)).chopped(2) + QStringLiteral("\n"));
    EXPECT_EQ(Shown(CViewText::Rtcm), QStringLiteral("Y~rtcm line\nfAmore rtcm\n"));
    // Per handler in arrival order; the two handlers in the order of their notifications.
    EXPECT_EQ(Shown(CViewText::Messages), QStringLiteral("$>JI,1\n$>JT,SIM\n$CRMSS,3\n"));
    EXPECT_EQ(view_->Text(CViewText::Rtcm), "Y~rtcm line\r\nfAmore rtcm\r\n");
}

TEST_F(TextViewTest, BurstOfTenSentencesInOneNotification_ShowsAllInOrder) {
    std::string burst;
    QString expected;
    for (int i = 0; i < 10; ++i) {
        burst += Gga(i);
        expected += Latin1(Gga(i)).chopped(2) + QStringLiteral("\n");
    }
    context.dispatcher.Feed(test::AsBytes(burst));
    // The ten notifications arrive as one.
    QCoreApplication::removePostedEvents(view_.get(), CRxMessageEvent::Type());
    QCoreApplication::postEvent(view_.get(), new CRxMessageEvent(&context.dispatcher.Handler(Slots::NmeaHandler)));
    QCoreApplication::processEvents();
    EXPECT_EQ(Shown(CViewText::Nmea), expected);
}

TEST_F(TextViewTest, BurstAcrossTheLimit_ShowsTheTrimmedBoxWholeWithTheBurstAtItsEnd) {
    // Lines one at a time up to just below the limit, then a burst that
    // trims the box halfway through: the edit shows the box as it is now.
    for (int i = 0; view_->Text(CViewText::Nmea).size() + Gga(i).size() <= kBoxLimit; ++i) {
        Receive(Gga(i));
    }
    const QString before = Shown(CViewText::Nmea);
    std::string burst;
    for (int i = 0; i < 12; ++i) {
        burst += Gga(5000 + i);
    }
    Receive(burst);
    EXPECT_EQ(Shown(CViewText::Nmea), ShownFor(CViewText::Nmea));
    EXPECT_LT(view_->Text(CViewText::Nmea).size(), kBoxLimit) << "trimmed";
    EXPECT_TRUE(Shown(CViewText::Nmea).endsWith(Latin1(burst).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))));
    EXPECT_FALSE(Shown(CViewText::Nmea).startsWith(before.left(100)));
}

TEST_F(TextViewTest, LongRun_KeepsEachBoxBelowItsLimitPlusOneLine) {
    const std::size_t line = Gga(1000).size();
    for (int i = 0; i < 500; ++i) {
        Receive(Gga(1000 + i));
        ASSERT_LE(view_->Text(CViewText::Nmea).size(), kBoxLimit + line) << i;
    }
    EXPECT_EQ(Shown(CViewText::Nmea), ShownFor(CViewText::Nmea));
    EXPECT_TRUE(view_->Text(CViewText::Nmea).ends_with(Gga(1499)));
    EXPECT_GT(view_->Text(CViewText::Nmea).size(), kBoxLimit - kBoxTrim);
    EXPECT_EQ(view_->Edit(CViewText::Nmea).textCursor().position(), Shown(CViewText::Nmea).size())
        << "the caret follows the newest line";
}

TEST_F(TextViewTest, Pause_HoldsTheBoxesAndShowsEveryLineReceivedMeanwhileAfter) {
    Receive(Gga(1));
    const QString before = Shown(CViewText::Nmea);
    TogglePause();
    Receive(Gga(2) + Gga(3));
    Receive(TextLine("$>JI,1"));
    EXPECT_EQ(Shown(CViewText::Nmea), before);
    EXPECT_TRUE(Shown(CViewText::Messages).isEmpty());
    TogglePause();
    EXPECT_EQ(Shown(CViewText::Nmea),
              before + Latin1(Gga(2) + Gga(3)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_EQ(Shown(CViewText::Messages), QStringLiteral("$>JI,1\n"));
}

TEST_F(TextViewTest, Pause_KeepsWhatItHoldsBoundedByTheSameTrimming) {
    TogglePause();
    for (int i = 0; i < 500; ++i) {
        Receive(Gga(i));
    }
    EXPECT_TRUE(Shown(CViewText::Nmea).isEmpty());
    EXPECT_LE(view_->Text(CViewText::Nmea).size(), kBoxLimit + Gga(499).size());
    TogglePause();
    EXPECT_EQ(Shown(CViewText::Nmea), ShownFor(CViewText::Nmea));
    EXPECT_TRUE(Shown(CViewText::Nmea).endsWith(Latin1(Gga(499)).chopped(2) + QStringLiteral("\n")));
}

TEST_F(TextViewTest, Copy_TakesTheLastFocusedBoxAndCutIsNeverOffered) {
    Receive(Gga(7) + TextLine("$>JI,1"));
    EditAbility ability = view_->Ability();
    EXPECT_FALSE(ability.copy) << "nothing selected in the NMEA box, which has the focus at first";
    view_->Edit(CViewText::Nmea).selectAll();
    ability = view_->Ability();
    EXPECT_TRUE(ability.copy);
    EXPECT_FALSE(ability.cut);
    EXPECT_FALSE(ability.paste);
    view_->Cut();
    EXPECT_EQ(Shown(CViewText::Nmea), ShownFor(CViewText::Nmea)) << "the box is read-only";
    view_->Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), ShownFor(CViewText::Nmea));

    view_->Edit(CViewText::Messages).setFocus();
    EXPECT_FALSE(view_->Ability().copy) << "the reply box selects nothing";
    view_->Edit(CViewText::Messages).selectAll();
    view_->Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("$>JI,1\n"));
}

}  // namespace
}  // namespace zarnmon
