// The File menu's recent recordings: what was replayed comes back first in
// the menu and the profile, four at most, and choosing one replays it again.

#include <QMenuBar>
#include <QMessageBox>
#include <filesystem>

#include <gtest/gtest.h>

#include "gui/link/replay_link.h"
#include "support/sim_recording.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

class RecentRecordingsTest : public ::testing::Test, public test::FrameFixture {
protected:
    // A short recording of the simulated receiver under name.
    QString Recording(const std::string& name) {
        const std::filesystem::path made = test::WriteSimRecording(dir_, {.seconds = 3});
        const std::filesystem::path path = dir_.File(name);
        std::filesystem::rename(made, path);
        return QString::fromStdString(path.string());
    }

    bool Replay(const QString& path) {
        LinkChoice choice;
        choice.kind = LinkChoice::Kind::Replay;
        choice.replayFile = path;
        return frame->ConnectTo(choice);
    }

    [[nodiscard]] QMenu& FileMenu() const { return *frame->menuBar()->actions().at(0)->menu(); }

    // The visible texts of the File menu from the first recent entry on.
    [[nodiscard]] QStringList RecentTail() const {
        QStringList texts;
        bool recent = false;
        for (const QAction* action : FileMenu().actions()) {
            recent = recent || action == frame->RecentFiles().Entry(0);
            if (recent && action->isVisible() && !action->isSeparator()) {
                texts << action->text();
            }
        }
        return texts;
    }

    test::TempDir dir_;
};

TEST_F(RecentRecordingsTest, Replays_AreListedNewestFirstFourAtMostBeforeExit) {
    EXPECT_EQ(RecentTail(), QStringList{QStringLiteral("E&xit")}) << "nothing replayed yet";
    std::vector<QString> paths;
    for (const char* name : {"a.zbin", "b.zbin", "c.zbin", "d.zbin", "e.zbin"}) {
        paths.push_back(Recording(name));
        ASSERT_TRUE(Replay(paths.back()));
    }
    ASSERT_TRUE(Replay(paths[2]));

    const QStringList tail = RecentTail();
    ASSERT_EQ(tail.size(), 5) << tail.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(tail[0].startsWith(QStringLiteral("&1 ")) && tail[0].endsWith(QStringLiteral("c.zbin")))
        << tail[0].toStdString();
    EXPECT_TRUE(tail[1].startsWith(QStringLiteral("&2 ")) && tail[1].endsWith(QStringLiteral("e.zbin")))
        << tail[1].toStdString();
    EXPECT_TRUE(tail[3].startsWith(QStringLiteral("&4 ")) && tail[3].endsWith(QStringLiteral("b.zbin")))
        << tail[3].toStdString();
    EXPECT_EQ(tail[4], QStringLiteral("E&xit"));
    EXPECT_EQ(settings.GetString("Recent File List", "File1", ""), paths[2].toStdString());
    EXPECT_EQ(settings.GetString("Recent File List", "File4", ""), paths[1].toStdString()) << "a.zbin fell off";
}

TEST_F(RecentRecordingsTest, ChoosingAnEntry_ReplaysThatRecordingAgain) {
    const QString first = Recording("first.zbin");
    const QString second = Recording("second.zbin");
    ASSERT_TRUE(Replay(first));
    ASSERT_TRUE(Replay(second));

    frame->RecentFiles().Entry(1)->trigger();
    auto* replay = qobject_cast<CReplayLink*>(frame->Link());
    ASSERT_NE(replay, nullptr);
    EXPECT_EQ(replay->displayName(), QStringLiteral("Replay of first.zbin"));
    EXPECT_TRUE(RunUntil([this] { return context.dispatcher.Handler(Slots::Msg1).LastLength() > 0; }))
        << "the recording plays";
    EXPECT_EQ(frame->RecentFiles().Files().Entries().front(), first.toStdString());
}

TEST_F(RecentRecordingsTest, MissingRecording_IsTakenOffTheListWithAMessage) {
    const QString kept = Recording("kept.zbin");
    const QString gone = Recording("gone.zbin");
    ASSERT_TRUE(Replay(kept));
    ASSERT_TRUE(Replay(gone));
    std::filesystem::remove(gone.toStdString());

    QString message;
    test::AnswerNextModal<QMessageBox>([&message](QMessageBox& box) {
        message = box.text();
        box.accept();
    });
    frame->RecentFiles().Entry(0)->trigger();
    EXPECT_TRUE(message.contains(QStringLiteral("gone.zbin"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("removed"))) << message.toStdString();
    EXPECT_EQ(frame->RecentFiles().Files().Entries(), std::vector<std::string>{kept.toStdString()});
    EXPECT_FALSE(frame->RecentFiles().Entry(1)->isVisible());
    EXPECT_EQ(settings.GetString("Recent File List", "File2", "?"), "") << "the profile forgets it too";
    auto* replay = qobject_cast<CReplayLink*>(frame->Link());
    ASSERT_NE(replay, nullptr);
    EXPECT_EQ(replay->displayName(), QStringLiteral("Replay of gone.zbin")) << "the link in use stays";
}

}  // namespace
}  // namespace zarnmon
