// The profile is written when a dialog that changes it closes with OK, so a
// crash or a kill later keeps the change; Cancel writes nothing.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/app/command_line.h"
#include "gui/app/open_receiver_dialog.h"
#include "gui/state/configure_data_log_dialog.h"
#include "gui/state/configure_debug_log_dialog.h"
#include "gui/state/neu_graph_dialog.h"
#include "gui/state/user_location_dialog.h"
#include "gui/waas/iono_map_dialogs.h"
#include "gui/waas/iono_view.h"
#include "tests/gui/app/frame_fixture.h"
#include "tests/gui/state/modal_helper.h"
#include "tests/support/temp_dir.h"

namespace zarnmon::test {
namespace {

namespace fs = std::filesystem;

class ProfileWriteTest : public FrameFixture, public ::testing::Test {
protected:
    ProfileWriteTest() { EXPECT_TRUE(settings.Load(path_).ok); }

    // The file as the next start would read it; nullopt while there is none.
    [[nodiscard]] std::optional<CSettingsStore> Written() const {
        if (!fs::exists(path_)) {
            return std::nullopt;
        }
        CSettingsStore written;
        EXPECT_TRUE(written.Load(path_).ok);
        return written;
    }

    // Answers the connect dialog with a serial device; the open that follows
    // fails (the device is not there) and its message box is answered too.
    void ConnectSerial(const QString& device, const QString& baud) {
        AnswerNextModal<COpenReceiverDialog>([device, baud](COpenReceiverDialog& dialog) {
            dialog.PortBox().setCurrentIndex(-1);
            dialog.PortBox().setEditText(device);
            dialog.BaudBox().setEditText(baud);
            AnswerNextModal<QMessageBox>([](QMessageBox& box) { box.accept(); });
            dialog.accept();
        });
        frame->Connect();
    }

    TempDir dir_;
    const fs::path path_ = dir_.File("zarnmon.ini");
};

TEST_F(ProfileWriteTest, StateDialogs_OkWritesTheProfileCancelDoesNot) {
    LogSettings options;
    {
        CConfigureDataLogDialog dialog(options, settings);
        dialog.IntervalEdit().setText(QStringLiteral("45"));
        dialog.reject();
        EXPECT_FALSE(Written()) << "Cancel";
        dialog.accept();
        ASSERT_TRUE(Written());
        EXPECT_EQ(Written()->GetInt(kLogSettings, kIntervalKey, 0), 45);
    }
    {
        CUserLocationDialog dialog(context.reference, context.dispatcher, settings);
        dialog.LatitudeEdit().setText(QStringLiteral("51.5"));
        dialog.LongitudeEdit().setText(QStringLiteral("-0.25"));
        dialog.HeightEdit().setText(QStringLiteral("12"));
        dialog.reject();
        EXPECT_FALSE(Written()->Find(kLocation, kLatitudeKey)) << "Cancel";
        dialog.accept();
        EXPECT_DOUBLE_EQ(Written()->GetDouble(kLocation, kLatitudeKey, 0.0), 51.5);
    }
    {
        std::uint32_t mask = kDefaultDebugLogMask;
        CConfigureDebugLogDialog dialog(mask, settings);
        dialog.MessageCheckBox(1).setChecked(false);
        dialog.reject();
        EXPECT_FALSE(Written()->Find(kLogSettings, kDebugLogMaskKey)) << "Cancel";
        dialog.accept();
        EXPECT_EQ(LoadDebugLogMask(*Written()), mask);
        EXPECT_NE(mask, kDefaultDebugLogMask);
    }
    {
        CNeuGraphDialog dialog(PlotSettings{}, settings);
        dialog.MinutesEdit().setText(QStringLiteral("90"));
        dialog.reject();
        EXPECT_FALSE(Written()->Find(kPlotSettings, kMinutesKey)) << "Cancel";
        dialog.accept();
        EXPECT_EQ(Written()->GetInt(kPlotSettings, kMinutesKey, 0), 90);
    }
    {
        CIonoCoverageDialog dialog(IonoCoverage{}, settings);
        dialog.ExtendMapBox().setChecked(false);
        dialog.reject();
        EXPECT_FALSE(Written()->Find(kIonoMapCoverage, kExtendMapKey)) << "Cancel";
        dialog.accept();
        EXPECT_EQ(Written()->GetInt(kIonoMapCoverage, kExtendMapKey, -1), 0);
    }
}

TEST_F(ProfileWriteTest, IonoScaleDialog_OkWritesTheScale) {
    frame->OpenView(152);
    auto* view = frame->findChild<CViewIono*>();
    ASSERT_NE(view, nullptr);
    QAction* scale = nullptr;
    for (QAction* action : view->findChildren<QAction*>()) {
        scale = action->text() == QStringLiteral("Iono Map &Scale ...") ? action : scale;
    }
    ASSERT_NE(scale, nullptr);

    AnswerNextModal<CIonoScaleDialog>([](CIonoScaleDialog& dialog) { dialog.reject(); });
    scale->trigger();
    EXPECT_FALSE(Written()) << "Cancel";

    AnswerNextModal<CIonoScaleDialog>([](CIonoScaleDialog& dialog) {
        dialog.ValueEdit().setText(QStringLiteral("4"));
        dialog.accept();
    });
    scale->trigger();
    ASSERT_TRUE(Written());
    EXPECT_EQ(Written()->GetInt(kViewSettings, kIonoScaleKey, 0), context.ionoScale);
    EXPECT_NE(context.ionoScale, kIonoStartScale);
}

TEST_F(ProfileWriteTest, ConnectDialog_KeepsANumberedPortAsPortAndAnyOtherDeviceAsDevice) {
    // A numbered port that is not on this machine, so nothing real is opened.
    int port = 3;
    while (port < kMaxPort && fs::exists(PortDevicePath(port))) {
        ++port;
    }
    ASSERT_FALSE(fs::exists(PortDevicePath(port)));

    AnswerNextModal<COpenReceiverDialog>([](COpenReceiverDialog& dialog) { dialog.reject(); });
    frame->Connect();
    EXPECT_FALSE(Written()) << "Cancel";

    ConnectSerial(QString::fromStdString(PortDevicePath(port)), QStringLiteral("115200"));
    EXPECT_EQ(context.link.port, port);
    EXPECT_EQ(context.link.baud, 115200U);
    ASSERT_TRUE(Written());
    EXPECT_EQ(Written()->GetInt(kCommSettings, kPortKey, 0), port);
    EXPECT_EQ(Written()->GetInt(kCommSettings, kBaudKey, 0), 115200);
    EXPECT_FALSE(Written()->Find(kCommSettings, kDeviceKey));

    const std::string adapter = (dir_.Path() / "ttyUSB0").string();
    ConnectSerial(QString::fromStdString(adapter), QStringLiteral("9600"));
    EXPECT_EQ(context.link.device, adapter);
    const CommSettings next = LoadCommSettings(*Written());
    EXPECT_EQ(next.device, adapter);
    EXPECT_EQ(next.port, port) << "Port keeps its last number";
    EXPECT_EQ(next.baud, 9600);
}

}  // namespace
}  // namespace zarnmon::test
