#include "gui/state/configure_data_log_dialog.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "core/link/tick_clock.h"
#include "gui/state/user_location_dialog.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

TEST(ConfigureDataLogValidateTest, IntervalOutsideRangeOrNoInteger_Refused) {
    for (const char* text : {"3601", "-1", "", "abc", "1.5", "99999999999"}) {
        SCOPED_TRACE(text);
        const auto message = CConfigureDataLogDialog::ValidateInterval(QString::fromLatin1(text));
        ASSERT_TRUE(message.has_value());
        EXPECT_EQ(*message, QStringLiteral("Enter an integer between 0 and 3600."));
    }
    for (const char* text : {"0", "3600", " 25 "}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(CConfigureDataLogDialog::ValidateInterval(QString::fromLatin1(text)).has_value());
    }
}

TEST(ConfigureDataLogDialogTest, Construction_ReadsStoredKeysOverCurrentOptions) {
    CSettingsStore settings;
    settings.SetInt(kLogSettings, kIntervalKey, 30);
    settings.SetInt(kLogSettings, kFullLogKey, 1);
    LogSettings options;
    options.autoLog = true;  // e.g. from the command line; no key stored
    CConfigureDataLogDialog dialog(options, settings);

    EXPECT_EQ(options.interval, 30);
    EXPECT_TRUE(options.fullLog);
    EXPECT_TRUE(options.autoLog);
    EXPECT_FALSE(options.logErrors);
    EXPECT_EQ(dialog.IntervalEdit().text(), QStringLiteral("30"));
    EXPECT_TRUE(dialog.FullLogBox().isChecked());
    EXPECT_TRUE(dialog.AutoLogBox().isChecked());
    EXPECT_FALSE(dialog.LogErrorsBox().isChecked());
    EXPECT_EQ(dialog.LogErrorsBox().text(), QStringLiteral("Log N-E-Up Errors"));
    EXPECT_EQ(dialog.FullLogBox().text(), QStringLiteral("Detailed Log"));
    EXPECT_EQ(dialog.AutoLogBox().text(), QStringLiteral("Automatic 1 day file names"));
}

TEST(ConfigureDataLogDialogTest, Ok_WritesOptionsAndLogSettingsKeys) {
    CSettingsStore settings;
    LogSettings options;
    CConfigureDataLogDialog dialog(options, settings);
    dialog.LogErrorsBox().setChecked(true);
    dialog.AutoLogBox().setChecked(true);
    dialog.IntervalEdit().setText(QStringLiteral("120"));
    dialog.accept();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(options.logErrors);
    EXPECT_FALSE(options.fullLog);
    EXPECT_EQ(options.interval, 120);
    EXPECT_TRUE(options.autoLog);
    EXPECT_EQ(settings.Find(kLogSettings, kLogErrorsKey).value(), "1");
    EXPECT_EQ(settings.Find(kLogSettings, kFullLogKey).value(), "0");
    EXPECT_EQ(settings.Find(kLogSettings, kIntervalKey).value(), "120");
    EXPECT_EQ(settings.Find(kLogSettings, kAutoLogKey).value(), "1");
}

TEST(ConfigureDataLogDialogTest, OkWithIntervalOutOfRange_StaysOpenSaysWhyAndWritesNothing) {
    CSettingsStore settings;
    LogSettings options;
    CConfigureDataLogDialog dialog(options, settings);
    dialog.IntervalEdit().setText(QStringLiteral("3601"));
    dialog.accept();

    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ErrorText(), QStringLiteral("Enter an integer between 0 and 3600."));
    EXPECT_EQ(options.interval, kDefaultInterval);
    EXPECT_FALSE(settings.Find(kLogSettings, kIntervalKey).has_value());
}

TEST(ConfigureDataLogDialogTest, SpinArrows_StayWithinZeroTo3600) {
    CSettingsStore settings;
    LogSettings options;
    CConfigureDataLogDialog dialog(options, settings);
    dialog.IntervalEdit().setText(QStringLiteral("0"));
    dialog.StepInterval(-1);
    EXPECT_EQ(dialog.IntervalEdit().text(), QStringLiteral("0"));
    dialog.IntervalEdit().setText(QStringLiteral("3599"));
    dialog.StepInterval(5);
    EXPECT_EQ(dialog.IntervalEdit().text(), QStringLiteral("3600"));
    dialog.IntervalEdit().setText(QStringLiteral("junk"));
    dialog.StepInterval(1);
    EXPECT_EQ(dialog.IntervalEdit().text(), QStringLiteral("1"));
}

TEST(ConfigureDataLogDialogTest, OkWithLogErrorsAndNoReference_OpensUserLocation) {
    CManualTickClock clock;
    CMsgDispatcher dispatcher{clock};
    CSettingsStore settings;
    CReferencePosition reference;
    LogSettings options;
    bool locationShown = false;
    test::AnswerNextModal<CConfigureDataLogDialog>([&](CConfigureDataLogDialog& dialog) {
        test::AnswerNextModal<CUserLocationDialog>([&](CUserLocationDialog& location) {
            locationShown = true;
            location.reject();
        });
        dialog.LogErrorsBox().setChecked(true);
        dialog.accept();
    });

    EXPECT_TRUE(RunConfigureDataLog(options, reference, dispatcher, settings, nullptr));
    EXPECT_TRUE(locationShown);
    EXPECT_TRUE(options.logErrors);
}

}  // namespace
}  // namespace zarnmon
