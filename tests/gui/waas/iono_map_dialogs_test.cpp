#include "gui/waas/iono_map_dialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

constexpr IonoRegion kUserRectangle{-95, 47, -15, -12};  // 95W..15W, 12S..47N

IonoRegion StoredRegion(const CSettingsStore& settings) {
    return {settings.GetInt(kIonoMapCoverage, kLeftKey, 999), settings.GetInt(kIonoMapCoverage, kTopKey, 999),
            settings.GetInt(kIonoMapCoverage, kRightKey, 999), settings.GetInt(kIonoMapCoverage, kBottomKey, 999)};
}

// Answers "Define Custom ..." with a fixed borders result instead of a modal dialog.
class AnsweredCoverageDialog final : public CIonoCoverageDialog {
public:
    AnsweredCoverageDialog(const IonoCoverage& current, CSettingsStore& settings, std::optional<IonoRegion> answer)
        : CIonoCoverageDialog(current, settings), answer_(answer) {}

private:
    std::optional<IonoRegion> RunBordersDialog(const IonoRegion& /*custom*/) override { return answer_; }
    std::optional<IonoRegion> answer_;
};

TEST(IonoScaleDialogTest, OutOfRangeEntry_StaysOpenWithTheReason) {
    CIonoScaleDialog dialog(kIonoStartScale);
    EXPECT_EQ(dialog.ValueEdit().text(), QStringLiteral("8"));
    for (const char* text : {"3.99", "32.01", "eight", ""}) {
        SCOPED_TRACE(text);
        dialog.ValueEdit().setText(QString::fromLatin1(text));
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.ErrorText(), QStringLiteral("Enter a number between 4 and 32."));
        EXPECT_EQ(dialog.Scale(), kIonoStartScale);
    }
}

TEST(IonoScaleDialogTest, AcceptedEntry_BecomesSixteenthsRoundedHalfUp) {
    CIonoScaleDialog dialog(kIonoStartScale);
    dialog.ValueEdit().setText(QStringLiteral("12.34"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Scale(), 197);
}

TEST(IonoBordersDialogTest, Opening_ShowsUnsignedDegreesWithHemispheres) {
    CIonoBordersDialog dialog(kUserRectangle);
    using F = CIonoBordersDialog::Field;
    EXPECT_EQ(dialog.Edit(F::kTopField).text(), QStringLiteral("47"));
    EXPECT_EQ(dialog.Edit(F::kLeftField).text(), QStringLiteral("95"));
    EXPECT_EQ(dialog.Edit(F::kBottomField).text(), QStringLiteral("12"));
    EXPECT_EQ(dialog.Edit(F::kRightField).text(), QStringLiteral("15"));
    EXPECT_TRUE(dialog.PositiveRadio(F::kTopField).isChecked());
    EXPECT_TRUE(dialog.NegativeRadio(F::kLeftField).isChecked());
    EXPECT_TRUE(dialog.NegativeRadio(F::kBottomField).isChecked());
    EXPECT_TRUE(dialog.NegativeRadio(F::kRightField).isChecked());
}

TEST(IonoBordersDialogTest, Ok_TruncatesAndNegatesSouthAndWest) {
    CIonoBordersDialog dialog(kDefaultIonoRegion);
    using F = CIonoBordersDialog::Field;
    dialog.Edit(F::kTopField).setText(QStringLiteral("47.9"));
    dialog.Edit(F::kLeftField).setText(QStringLiteral("95.5"));
    dialog.Edit(F::kBottomField).setText(QStringLiteral("12.99"));
    dialog.NegativeRadio(F::kBottomField).click();
    dialog.Edit(F::kRightField).setText(QStringLiteral("15"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Region(), kUserRectangle);
}

TEST(IonoBordersDialogTest, OutOfRangeEntry_StaysOpenNamingTheField) {
    CIonoBordersDialog dialog(kDefaultIonoRegion);
    dialog.Edit(CIonoBordersDialog::kBottomField).setText(QStringLiteral("90.5"));
    dialog.Edit(CIonoBordersDialog::kRightField).setText(QStringLiteral("181"));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ErrorText(), QStringLiteral("Enter a number between 0 and 90."));
    EXPECT_EQ(dialog.Region(), kDefaultIonoRegion);

    dialog.Edit(CIonoBordersDialog::kBottomField).setText(QStringLiteral("0"));
    dialog.accept();
    EXPECT_EQ(dialog.ErrorText(), QStringLiteral("Enter a number between 0 and 180."));
}

TEST(IonoCoverageDialogTest, Opening_SelectsTheExactPresetElseCustom) {
    CSettingsStore settings;
    CIonoCoverageDialog preset({{-60, 90, 60, 10}, false}, settings);
    EXPECT_EQ(preset.Zone(), 1);
    EXPECT_TRUE(preset.ZoneRadio(1).isChecked());
    EXPECT_FALSE(preset.DefineCustomButton().isEnabled());
    EXPECT_FALSE(preset.ExtendMapBox().isChecked());

    CIonoCoverageDialog custom({{-60, 90, 60, 0}, true}, settings);
    EXPECT_EQ(custom.Zone(), kCustomZone);
    EXPECT_TRUE(custom.DefineCustomButton().isEnabled());
    EXPECT_EQ(custom.CustomRegion(), (IonoRegion{-60, 90, 60, 0}));
}

TEST(IonoCoverageDialogTest, ChoosingAPreset_CopiesItAndDisablesDefineCustom) {
    CSettingsStore settings;
    CIonoCoverageDialog dialog({{-60, 90, 60, 0}, true}, settings);
    dialog.ZoneRadio(2).click();
    EXPECT_EQ(dialog.Zone(), 2);
    EXPECT_EQ(dialog.CustomRegion(), kIonoZones[2].region);
    EXPECT_FALSE(dialog.DefineCustomButton().isEnabled());
}

TEST(IonoCoverageDialogTest, DefinedCustomRectangle_IsNormalisedAndStored) {
    CSettingsStore settings;
    AnsweredCoverageDialog dialog({kDefaultIonoRegion, true}, settings, kUserRectangle);
    dialog.ZoneRadio(kCustomZone).click();
    dialog.DefineCustomButton().click();
    EXPECT_TRUE(dialog.CustomDefined());
    dialog.accept();

    const IonoRegion expected{-100, 50, -10, -20};
    EXPECT_EQ(dialog.Coverage().region, expected);
    EXPECT_EQ(StoredRegion(settings), expected);
}

TEST(IonoCoverageDialogTest, DefineCustom_OpensTheBordersOnTheCustomRectangle) {
    CSettingsStore settings;
    CIonoCoverageDialog dialog({{-60, 90, 60, 0}, true}, settings);
    QString shownBottom;
    test::AnswerNextModal<CIonoBordersDialog>([&](CIonoBordersDialog& borders) {
        shownBottom = borders.Edit(CIonoBordersDialog::kBottomField).text();
        borders.Edit(CIonoBordersDialog::kBottomField).setText(QStringLiteral("12"));
        borders.NegativeRadio(CIonoBordersDialog::kBottomField).click();
        borders.accept();
    });
    dialog.DefineCustomButton().click();
    EXPECT_EQ(shownBottom, QStringLiteral("0"));
    EXPECT_EQ(dialog.CustomRegion(), (IonoRegion{-60, 90, 60, -20}));
    EXPECT_TRUE(dialog.CustomDefined());
}

TEST(IonoCoverageDialogTest, BordersMatchingAPreset_SelectThePreset) {
    CSettingsStore settings;
    CIonoCoverageDialog dialog({{-60, 90, 60, 0}, true}, settings);
    dialog.ApplyBorders({101, 65, 163, 15});
    EXPECT_EQ(dialog.Zone(), 2);
    EXPECT_TRUE(dialog.ZoneRadio(2).isChecked());
    EXPECT_FALSE(dialog.DefineCustomButton().isEnabled());
    EXPECT_FALSE(dialog.CustomDefined());
}

TEST(IonoCoverageDialogTest, OkOnAPreset_WritesItsKeysAndTheFlag) {
    CSettingsStore settings;
    CIonoCoverageDialog dialog({kDefaultIonoRegion, true}, settings);
    dialog.ZoneRadio(3).click();
    dialog.ExtendMapBox().setChecked(false);
    dialog.accept();
    EXPECT_EQ(dialog.Coverage(), (IonoCoverage{kIonoZones[3].region, false}));
    EXPECT_EQ(StoredRegion(settings), kIonoZones[3].region);
    EXPECT_EQ(settings.Find(kIonoMapCoverage, kExtendMapKey).value(), "0");
}

TEST(IonoCoverageDialogTest, CustomNotDefinedHere_KeepsTheRegionButWritesIt) {
    CSettingsStore settings;
    AnsweredCoverageDialog dialog({kDefaultIonoRegion, false}, settings, std::nullopt);
    dialog.ZoneRadio(1).click();
    dialog.ZoneRadio(kCustomZone).click();
    dialog.DefineCustomButton().click();  // cancelled
    dialog.accept();
    EXPECT_EQ(dialog.Coverage(), (IonoCoverage{kDefaultIonoRegion, false}));
    EXPECT_EQ(StoredRegion(settings), kDefaultIonoRegion);
    EXPECT_EQ(settings.Find(kIonoMapCoverage, kExtendMapKey).value(), "0");
}

}  // namespace
}  // namespace zarnmon
