#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "gui/app/main_frame.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/link/fake_link.h"

namespace zarnmon {
namespace {

QByteArray Bytes(const std::vector<std::uint8_t>& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size()));
}

class LogControlTest : public ::testing::Test, public test::FrameFixture {
protected:
    LogControlTest() {
        auto link = std::make_unique<test::CFakeLink>();
        fake = link.get();
        frame->ConnectLink(std::move(link), QStringLiteral("Fake"));
    }

    CommandLine WithLogs(const QString& dataLog, const QString& binaryLog) const {
        CommandLine commandLine;
        commandLine.portGiven = true;
        commandLine.dataLogName = dataLog.toStdString();
        commandLine.binaryLogName = binaryLog.toStdString();
        return commandLine;
    }

    QTemporaryDir dir;
    test::CFakeLink* fake = nullptr;
};

TEST_F(LogControlTest, CommandLineLogs_RecordEveryChunkAndARowPerMessage1) {
    const QString dataPath = dir.filePath(QStringLiteral("Run.log"));
    const QString binaryPath = dir.filePath(QStringLiteral("Raw.bin"));
    frame->Logs().StartFromCommandLine(WithLogs(dataPath, binaryPath));

    QByteArray sent;
    for (int second = 0; second < 3; ++second) {
        CBinFrameBuilder msg1(1);
        msg1.Set(msg1::GpsWeek, std::uint16_t{2400}).Set(msg1::GpsTimeOfWeek, 100000.0 + second);
        const QByteArray chunk = Bytes(msg1.Build()) + QByteArray("$GPGGA,1\r\n");
        sent += chunk;
        fake->feed(chunk);
        QCoreApplication::processEvents();
        clock.Advance(1001);  // rows are paced by the clock: one a second
    }
    frame->UpdateUi();
    EXPECT_TRUE(frame->Action(CMainFrame::kDataLogId)->isChecked());
    EXPECT_TRUE(frame->Action(CMainFrame::kBinaryLogId)->isChecked());

    QFile binary(binaryPath);
    ASSERT_TRUE(binary.open(QIODevice::ReadOnly));
    EXPECT_EQ(binary.readAll(), sent) << "written as received, flushed at once";
    QFile data(dataPath);
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = data.readAll().split('\n');
    EXPECT_EQ(lines.size(), 5) << "header, three rows and the end";
    EXPECT_TRUE(lines.front().startsWith("UTCDay\tUTCtime"));
}

TEST_F(LogControlTest, FailingWrite_ClosesTheLogAndTellsTheUserOnce) {
    if (!QFile::exists(QStringLiteral("/dev/full"))) {
        GTEST_SKIP() << "needs /dev/full";
    }
    frame->Logs().StartFromCommandLine(WithLogs(QString(), QStringLiteral("/dev/full")));
    ASSERT_TRUE(frame->Logs().BinaryLogOpen());
    for (int i = 0; i < 3; ++i) {
        fake->feed(QByteArray(600, 'x'));
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(frame->Logs().BinaryLogOpen());
    const auto boxes = frame->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.front()->text().contains(QStringLiteral("/dev/full")));
    frame->UpdateUi();
    EXPECT_FALSE(frame->Action(CMainFrame::kBinaryLogId)->isChecked());
}

}  // namespace
}  // namespace zarnmon

namespace zarnmon {
namespace {

TEST_F(LogControlTest, CommandLineLogThatCannotOpen_IsReportedWithFileAndReason) {
    const QString path = dir.filePath(QStringLiteral("no/such/dir/run.log"));
    frame->Logs().StartFromCommandLine(WithLogs(path, QString()));
    EXPECT_FALSE(frame->Logs().DataLogRecording());
    const auto boxes = frame->findChildren<QMessageBox*>();
    ASSERT_EQ(boxes.size(), 1);
    const QString text = boxes.front()->text();
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Failed to open file.  Make sure that it is not open in another application.")));
    EXPECT_TRUE(text.contains(path + QStringLiteral(": No such file or directory"))) << text.toStdString();
}

}  // namespace
}  // namespace zarnmon
