#include "gui/app/open_receiver_dialog.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

TEST(OpenReceiverDialog, TypedDevicePath_IsTheChoiceWithItsBaud) {
    LinkSettings current;
    current.device = "/dev/pts/77";
    current.baud = 57600;
    COpenReceiverDialog dialog(current);
    EXPECT_EQ(dialog.PortBox().currentText(), QStringLiteral("/dev/pts/77")) << "unlisted paths stay as typed";
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    const LinkChoice choice = dialog.Choice();
    EXPECT_EQ(choice.kind, LinkChoice::Kind::Serial);
    EXPECT_EQ(choice.device, QStringLiteral("/dev/pts/77"));
    EXPECT_EQ(choice.baud, 57600u);

    dialog.PortBox().setEditText(QString());
    EXPECT_FALSE(dialog.OkButton()->isEnabled()) << "no port, no OK";
    dialog.BaudBox().setEditText(QStringLiteral("115200"));
    dialog.PortBox().setEditText(QStringLiteral("/dev/ttyUSB3"));
    EXPECT_EQ(dialog.Choice().device, QStringLiteral("/dev/ttyUSB3"));
    EXPECT_EQ(dialog.Choice().baud, 115200u);
}

TEST(OpenReceiverDialog, OtherReceivers_NeedWhatTheyConnectTo) {
    COpenReceiverDialog dialog(LinkSettings{});
    dialog.KindBox().setCurrentIndex(static_cast<int>(LinkChoice::Kind::Simulator));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.Choice().kind, LinkChoice::Kind::Simulator);

    dialog.KindBox().setCurrentIndex(static_cast<int>(LinkChoice::Kind::Replay));
    EXPECT_FALSE(dialog.OkButton()->isEnabled()) << "a replay needs a file";
    dialog.ReplayFileEdit().setText(QStringLiteral("/tmp/day.zbin"));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.Choice().replayFile, QStringLiteral("/tmp/day.zbin"));
    EXPECT_EQ(dialog.Choice().replaySpeed, ReplaySpeed::RealTime);

    dialog.KindBox().setCurrentIndex(static_cast<int>(LinkChoice::Kind::Tcp));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    EXPECT_EQ(dialog.Choice().host, QStringLiteral("127.0.0.1"));
}

}  // namespace
}  // namespace zarnmon
