// "Open Receiver" driven as a user drives it: the receiver picked by the text
// of its entry, the fields typed into, OK clicked; then the link the choice
// makes is opened against the simulator, so a wrong mapping shows as the
// wrong receiver, not as a wrong enum value.

#include "gui/app/open_receiver_dialog.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "gui/link/replay_link.h"
#include "tests/gui/link/link_test_support.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon::test {
namespace {

using Kind = CLinkRecorder::Kind;

// A dialog on screen, as the main frame shows it.
class OpenReceiverDialog : public ::testing::Test {
protected:
    void SetUp() override {
        LinkSettings current;
        current.device = "/dev/pts/77";
        current.baud = 57600;
        dialog_ = std::make_unique<COpenReceiverDialog>(current);
        dialog_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    }

    // Picks the receiver list's entry with this text.
    void Choose(const QString& text) { ChooseIn(dialog_->KindBox(), text); }
    static void ChooseIn(QComboBox& box, const QString& text) {
        const int index = box.findText(text);
        ASSERT_GE(index, 0) << "no entry " << text.toStdString();
        box.setCurrentIndex(index);
    }
    // Selects what a field holds, deletes it and types text.
    static void TypeOver(QLineEdit& edit, const QString& text) {
        edit.setFocus();
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClicks(&edit, text);
    }
    static void TypeOver(QSpinBox& box, const QString& text) {
        box.setFocus();
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, text);
    }
    void ClickOk() { QTest::mouseClick(dialog_->OkButton(), Qt::LeftButton); }
    [[nodiscard]] bool Accepted() const { return !dialog_->isVisible() && dialog_->result() == QDialog::Accepted; }

    std::unique_ptr<COpenReceiverDialog> dialog_;
    QTemporaryDir dir_;
};

TEST_F(OpenReceiverDialog, TypedDevicePathAndBaud_AreTheSerialChoice) {
    EXPECT_EQ(dialog_->PortBox().currentText(), QStringLiteral("/dev/pts/77")) << "unlisted paths stay as typed";
    EXPECT_EQ(dialog_->BaudBox().currentText(), QStringLiteral("57600"));

    TypeOver(*dialog_->PortBox().lineEdit(), QString());
    EXPECT_FALSE(dialog_->OkButton()->isEnabled()) << "no port, no OK";
    EXPECT_FALSE(dialog_->Problem().isEmpty());

    TypeOver(*dialog_->PortBox().lineEdit(), QStringLiteral("/dev/ttyUSB3"));
    TypeOver(*dialog_->BaudBox().lineEdit(), QStringLiteral("115200"));
    EXPECT_TRUE(dialog_->Problem().isEmpty()) << dialog_->Problem().toStdString();
    ClickOk();
    ASSERT_TRUE(Accepted());
    const LinkChoice choice = dialog_->Choice();
    EXPECT_EQ(choice.kind, LinkChoice::Kind::Serial);
    EXPECT_EQ(choice.device, QStringLiteral("/dev/ttyUSB3"));
    EXPECT_EQ(choice.baud, 115200u);
}

TEST_F(OpenReceiverDialog, BaudOfZeroOrNone_IsRefusedWithTheReasonShown) {
    TypeOver(*dialog_->PortBox().lineEdit(), QStringLiteral("/dev/ttyUSB0"));
    for (const QString& typed : {QStringLiteral("0"), QString(), QStringLiteral("9999999")}) {
        SCOPED_TRACE(typed.toStdString());
        TypeOver(*dialog_->BaudBox().lineEdit(), typed);
        EXPECT_FALSE(dialog_->OkButton()->isEnabled());
        EXPECT_TRUE(dialog_->Problem().contains(QStringLiteral("baud rate"))) << dialog_->Problem().toStdString();
        EXPECT_TRUE(dialog_->ProblemLabel().isVisible());
        ClickOk();
        EXPECT_FALSE(Accepted()) << "refused, not replaced by a default";
    }

    TypeOver(*dialog_->BaudBox().lineEdit(), QStringLiteral("4800"));
    EXPECT_FALSE(dialog_->ProblemLabel().isVisible());
    ClickOk();
    ASSERT_TRUE(Accepted());
    EXPECT_EQ(dialog_->Choice().baud, 4800u);
}

TEST_F(OpenReceiverDialog, Simulator_ChosenByItsTextIsTheSimulator) {
    Choose(QStringLiteral("Built-in simulator"));
    EXPECT_FALSE(dialog_->PortBox().isVisible());
    ClickOk();
    ASSERT_TRUE(Accepted());
    EXPECT_EQ(dialog_->Choice().kind, LinkChoice::Kind::Simulator);
    EXPECT_EQ(MakeLink(dialog_->Choice())->displayName(), QStringLiteral("Built-in simulator"));
}

TEST_F(OpenReceiverDialog, Tcp_ChosenByItsTextOpensALinkToTheServer) {
    const quint16 port = FreePort();
    ASSERT_NE(port, 0);
    CSimProcess sim({"--tcp", QString::number(port), "--enable", "1"});
    ASSERT_EQ(sim.Address(), QStringLiteral("127.0.0.1:%1").arg(port));

    Choose(QStringLiteral("TCP receiver..."));
    EXPECT_TRUE(dialog_->HostEdit().isVisible()) << "the TCP page is shown";
    EXPECT_FALSE(dialog_->ReplayFileEdit().isVisible());
    TypeOver(dialog_->HostEdit(), QString());
    EXPECT_FALSE(dialog_->OkButton()->isEnabled()) << "no host, no OK";
    TypeOver(dialog_->HostEdit(), QStringLiteral("127.0.0.1"));
    TypeOver(dialog_->TcpPortBox(), QString::number(port));
    EXPECT_TRUE(dialog_->OkButton()->isEnabled()) << dialog_->Problem().toStdString();
    ClickOk();
    ASSERT_TRUE(Accepted());

    const LinkChoice choice = dialog_->Choice();
    EXPECT_EQ(choice.kind, LinkChoice::Kind::Tcp);
    const std::unique_ptr<CLink> link = MakeLink(choice);
    EXPECT_EQ(link->displayName(), sim.Address());
    CLinkRecorder recorder(*link);
    Decoder decoder;
    recorder.onBytes = [&decoder](const QByteArray& chunk) { decoder.Feed(chunk); };
    ASSERT_TRUE(link->open());
    EXPECT_TRUE(WaitFor([&] { return decoder.Has(Slots::Msg1); }));
    EXPECT_EQ(recorder.Count(Kind::Error), 0);
}

TEST_F(OpenReceiverDialog, Replay_ChosenByItsTextPlaysTheRecordingFromItsFirstMessage) {
    const QString path = dir_.filePath(QStringLiteral("day.zbin"));
    ASSERT_EQ(QProcess::execute(QStringLiteral(ZARNMON_SIM_PROGRAM),
                                {"--out", path, "--seconds", "3", "--enable", "all", "--quiet"}),
              0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray recording = file.readAll();
    ASSERT_FALSE(recording.isEmpty());

    Choose(QStringLiteral("Replay raw log..."));
    EXPECT_TRUE(dialog_->ReplayFileEdit().isVisible()) << "the replay page is shown";
    EXPECT_FALSE(dialog_->OkButton()->isEnabled()) << "a replay needs a file";
    TypeOver(dialog_->ReplayFileEdit(), path);
    ChooseIn(dialog_->ReplaySpeedBox(), QStringLiteral("As fast as possible"));
    EXPECT_TRUE(dialog_->OkButton()->isEnabled()) << dialog_->Problem().toStdString();
    ClickOk();
    ASSERT_TRUE(Accepted());

    const LinkChoice choice = dialog_->Choice();
    EXPECT_EQ(choice.kind, LinkChoice::Kind::Replay);
    EXPECT_EQ(choice.replaySpeed, ReplaySpeed::Fastest);
    const std::unique_ptr<CLink> link = MakeLink(choice);
    ASSERT_NE(qobject_cast<CReplayLink*>(link.get()), nullptr) << link->displayName().toStdString();
    CLinkRecorder recorder(*link);
    ASSERT_TRUE(link->open());
    ASSERT_TRUE(WaitFor([&] { return recorder.Count(Kind::Closed) > 0; }, 20000));
    EXPECT_EQ(recorder.received.left(64), recording.left(64)) << "the recording's first message first";
    EXPECT_EQ(recorder.received, recording);
}

TEST_F(OpenReceiverDialog, ReplaySpeeds_AreChosenByTheirText) {
    Choose(QStringLiteral("Replay raw log..."));
    ChooseIn(dialog_->ReplaySpeedBox(), QStringLiteral("Real time (x1)"));
    EXPECT_EQ(dialog_->Choice().replaySpeed, ReplaySpeed::RealTime);
    ChooseIn(dialog_->ReplaySpeedBox(), QStringLiteral("Ten times (x10)"));
    EXPECT_EQ(dialog_->Choice().replaySpeed, ReplaySpeed::Times10);
    ChooseIn(dialog_->ReplaySpeedBox(), QStringLiteral("As fast as possible"));
    EXPECT_EQ(dialog_->Choice().replaySpeed, ReplaySpeed::Fastest);
}

TEST_F(OpenReceiverDialog, ReplayOfAMissingFileOrAFolder_IsRefusedWithTheReasonShown) {
    Choose(QStringLiteral("Replay raw log..."));
    TypeOver(dialog_->ReplayFileEdit(), dir_.filePath(QStringLiteral("no-such.zbin")));
    EXPECT_FALSE(dialog_->OkButton()->isEnabled());
    EXPECT_TRUE(dialog_->ProblemLabel().isVisible());
    EXPECT_TRUE(dialog_->Problem().contains(QStringLiteral("no such file"))) << dialog_->Problem().toStdString();
    EXPECT_TRUE(dialog_->Problem().contains(QStringLiteral("no-such.zbin")));
    ClickOk();
    EXPECT_FALSE(Accepted());

    TypeOver(dialog_->ReplayFileEdit(), dir_.path());
    EXPECT_FALSE(dialog_->OkButton()->isEnabled());
    EXPECT_TRUE(dialog_->Problem().contains(QStringLiteral("folder"))) << dialog_->Problem().toStdString();
}

TEST_F(OpenReceiverDialog, ReplayFileGoneBeforeOk_IsRefusedInAMessageBox) {
    const QString path = dir_.filePath(QStringLiteral("short.zbin"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_GT(file.write("$GPGGA,,,,,,0,,,,,,,,*66\r\n"), 0);
    }
    Choose(QStringLiteral("Replay raw log..."));
    TypeOver(dialog_->ReplayFileEdit(), path);
    ASSERT_TRUE(dialog_->OkButton()->isEnabled()) << dialog_->Problem().toStdString();
    ASSERT_TRUE(QFile::remove(path));

    QString shown;
    AnswerNextModal<QMessageBox>([&shown](QMessageBox& box) {
        shown = box.text();
        box.accept();
    });
    ClickOk();
    EXPECT_TRUE(shown.contains(QStringLiteral("no such file"), Qt::CaseInsensitive)) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("short.zbin"))) << shown.toStdString();
    EXPECT_FALSE(Accepted());
    EXPECT_FALSE(dialog_->OkButton()->isEnabled()) << "the page says why now";
}

}  // namespace
}  // namespace zarnmon::test
