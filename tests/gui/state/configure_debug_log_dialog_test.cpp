#include "gui/state/configure_debug_log_dialog.h"

#include <QCheckBox>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"

namespace zarnmon {
namespace {

TEST(ConfigureDebugLogDialogTest, Mask0001_OnlyBox1Checked) {
    CSettingsStore settings;
    std::uint32_t mask = 0x0001;
    CConfigureDebugLogDialog dialog(mask, settings);
    for (int n = 1; n <= CConfigureDebugLogDialog::kMessages; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(dialog.MessageCheckBox(n).isChecked(), n == 1);
        EXPECT_EQ(dialog.MessageCheckBox(n).text(), QStringLiteral("Log Message %1").arg(n));
    }
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Configure Debug Log"));
}

TEST(ConfigureDebugLogDialogTest, Ok_MaskFromBoxesSavedAsUpperHex) {
    CSettingsStore settings;
    std::uint32_t mask = 0x0001;
    CConfigureDebugLogDialog dialog(mask, settings);
    dialog.MessageCheckBox(12).setChecked(true);
    dialog.MessageCheckBox(16).setChecked(true);
    dialog.accept();

    EXPECT_EQ(mask, 0x8801U);
    EXPECT_EQ(settings.Find(kLogSettings, kDebugLogMaskKey).value(), "8801");
}

TEST(ConfigureDebugLogDialogTest, DefaultAllBits_ShowsAllAndOkDropsHighBits) {
    CSettingsStore settings;
    CDebugLogMask mask;
    CConfigureDebugLogDialog dialog(mask, settings);
    for (int n = 1; n <= CConfigureDebugLogDialog::kMessages; ++n) {
        EXPECT_TRUE(dialog.MessageCheckBox(n).isChecked());
    }
    dialog.accept();

    EXPECT_EQ(mask.Get(settings), 0xFFFFU);
    EXPECT_EQ(settings.Find(kLogSettings, kDebugLogMaskKey).value(), "FFFF");
}

TEST(ConfigureDebugLogDialogTest, StoredMask_LoadedAtFirstUseAndRoundTrips) {
    CSettingsStore settings;
    settings.SetString(kLogSettings, kDebugLogMaskKey, "1");
    CDebugLogMask mask;
    {
        CConfigureDebugLogDialog dialog(mask, settings);
        EXPECT_TRUE(dialog.MessageCheckBox(1).isChecked());
        EXPECT_FALSE(dialog.MessageCheckBox(2).isChecked());
        dialog.accept();
    }
    EXPECT_EQ(settings.Find(kLogSettings, kDebugLogMaskKey).value(), "1");
    CConfigureDebugLogDialog again(mask, settings);
    EXPECT_EQ(again.MaskFromBoxes(), 0x0001U);
}

}  // namespace
}  // namespace zarnmon
