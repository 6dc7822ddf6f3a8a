// A recording replayed in the window program as fast as it goes gives the
// same data log and the same ionospheric grid as the offline converters give
// from the same file: the program runs on the recording's own time and
// every stored WAAS message reaches the decoder.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/link/msg_dispatcher.h"
#include "core/waas/waas_decoder.h"
#include "tests/gui/app/frame_fixture.h"

namespace zarnmon {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool RunProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The grid the converters build: every stored message 80 decoded as it is stored.
class CReferenceGrid final : public IStoreTap {
public:
    explicit CReferenceGrid(const QByteArray& recording) {
        dispatcher_.SetStoreTap(this);
        dispatcher_.Feed(std::span(reinterpret_cast<const std::uint8_t*>(recording.constData()),
                                   static_cast<std::size_t>(recording.size())));
    }
    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        if (&handler == &dispatcher_.Handler(Slots::Msg80)) {
            (void)decoder_.ProcessWaasRecord(bytes);
        }
    }
    [[nodiscard]] const IonoGrid& Grid() const { return decoder_.Grid(); }

private:
    CManualTickClock clock_;
    CMsgDispatcher dispatcher_{clock_};
    CWaasDecoder decoder_{nullptr};
};

class ReplayRunTest : public ::testing::Test, public test::FrameFixture {};

TEST_F(ReplayRunTest, FastestReplay_AgreesWithTheConverters) {
    QTemporaryDir dir;
    const QString recording = dir.filePath(QStringLiteral("run.zbin"));
    ASSERT_TRUE(RunProgram(QStringLiteral(ZARNMON_SIM_PROGRAM),
                           {QStringLiteral("--out"), recording, QStringLiteral("--seconds"), QStringLiteral("300"),
                            QStringLiteral("--enable"), QStringLiteral("all")}));

    frame->SetWaasProcessing(true);
    LinkChoice choice;
    choice.kind = LinkChoice::Kind::Replay;
    choice.replayFile = recording;
    choice.replaySpeed = ReplaySpeed::Fastest;
    ASSERT_TRUE(frame->ConnectTo(choice));
    CommandLine commandLine;
    commandLine.replayFile = recording.toStdString();
    commandLine.dataLogName = dir.filePath(QStringLiteral("program.log")).toStdString();
    frame->Logs().StartFromCommandLine(commandLine);
    ASSERT_TRUE(RunUntil([this] { return !frame->LinkOpen(); }, 60000));
    frame->Logs().OnConnect();  // closes the logs as the next connection would

    const QString converted = dir.filePath(QStringLiteral("converted.log"));
    ASSERT_TRUE(RunProgram(QStringLiteral(ZARNMON_CLI_PROGRAM),
                           {QStringLiteral("datalog"), recording, QStringLiteral("-o"), converted}));
    const QByteArray programLog = ReadAll(dir.filePath(QStringLiteral("program.log")));
    EXPECT_GT(programLog.count('\n'), 250) << "a row a second of receiver time";
    EXPECT_EQ(programLog, ReadAll(converted));

    const CReferenceGrid reference(ReadAll(recording));
    const IonoGrid& grid = context.waas.Grid();
    int received = 0;
    for (int band = 0; band < IonoGrid::kBands; ++band) {
        for (int entry = 0; entry < IonoGrid::kEntriesPerBand; ++entry) {
            const auto b = static_cast<std::size_t>(band);
            const auto e = static_cast<std::size_t>(entry);
            ASSERT_EQ(grid.igp[b][e], reference.Grid().igp[b][e]) << "band " << band << " entry " << entry;
            received += grid.igp[b][e] != IonoGrid::kNeverReceived ? 1 : 0;
        }
    }
    EXPECT_GT(received, 100) << "the broadcast filled the grid";
}

}  // namespace
}  // namespace zarnmon
