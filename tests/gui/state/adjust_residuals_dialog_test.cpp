#include "gui/state/adjust_residuals_dialog.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

// Runs the toggle with the "Adjust Residuals" dialog answered by choose.
void ToggleAnsweringDialog(CResidualAdjust& adjust, bool resolution, bool* startedOnTimesTen,
                           std::function<void(CAdjustResidualsDialog&)> choose) {
    test::AnswerNextModal<CAdjustResidualsDialog>([=](CAdjustResidualsDialog& dialog) {
        *startedOnTimesTen = dialog.TimesTen();
        choose(dialog);
    });
    ToggleResidualAdjust(adjust, resolution, nullptr);
}

void ToggleAnsweringQuestion(CResidualAdjust& adjust, QMessageBox::StandardButton answer, QString* asked) {
    test::AnswerNextModal<QMessageBox>([=](QMessageBox& box) {
        *asked = box.text();
        box.button(answer)->click();
    });
    ToggleResidualAdjust(adjust, false, nullptr);
}

TEST(AdjustResidualsDialogTest, Texts_AndStartingChoice) {
    CAdjustResidualsDialog normal(false);
    EXPECT_EQ(normal.windowTitle(), QStringLiteral("Adjust Residuals"));
    EXPECT_EQ(normal.NormalButton().text(), QStringLiteral("Adjust for normal Zarn Reveivers"));
    EXPECT_EQ(normal.TimesTenButton().text(), QStringLiteral("Adjust for RTK Receivers (reporting residuals x 10)"));
    EXPECT_FALSE(normal.TimesTen());
    CAdjustResidualsDialog rtk(true);
    EXPECT_TRUE(rtk.TimesTen());
}

TEST(AdjustResidualsDialogTest, TimesTenChosen_StartsAdjustingTimesTen) {
    CResidualAdjust adjust;
    bool startedOnTimesTen = true;
    ToggleAnsweringDialog(adjust, false, &startedOnTimesTen, [](CAdjustResidualsDialog& dialog) {
        dialog.TimesTenButton().setChecked(true);
        dialog.accept();
    });
    EXPECT_FALSE(startedOnTimesTen);
    EXPECT_TRUE(adjust.Adjusting());
    EXPECT_TRUE(adjust.TimesTen());
}

TEST(AdjustResidualsDialogTest, FineResolutionReceiver_NeverTimesTen) {
    CResidualAdjust adjust;
    adjust.Start(true, false);
    adjust.Stop();
    bool startedOnTimesTen = true;
    ToggleAnsweringDialog(adjust, true, &startedOnTimesTen, [](CAdjustResidualsDialog& dialog) {
        dialog.TimesTenButton().setChecked(true);
        dialog.accept();
    });
    EXPECT_FALSE(startedOnTimesTen);
    EXPECT_TRUE(adjust.Adjusting());
    EXPECT_FALSE(adjust.TimesTen());
}

TEST(AdjustResidualsDialogTest, Cancelled_StaysOff) {
    CResidualAdjust adjust;
    bool startedOnTimesTen = false;
    ToggleAnsweringDialog(adjust, false, &startedOnTimesTen, [](CAdjustResidualsDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(adjust.Adjusting());
}

TEST(AdjustResidualsDialogTest, WhileAdjusting_AsksStopAndOnlyYesStops) {
    CResidualAdjust adjust;
    adjust.Start(true, false);
    QString asked;
    ToggleAnsweringQuestion(adjust, QMessageBox::No, &asked);
    EXPECT_EQ(asked, QStringLiteral("Stop Adjusting?"));
    EXPECT_TRUE(adjust.Adjusting());

    ToggleAnsweringQuestion(adjust, QMessageBox::Yes, &asked);
    EXPECT_FALSE(adjust.Adjusting());
    // The choice is kept for the next start.
    EXPECT_TRUE(adjust.DialogStartsOnTimesTen(false));
}

}  // namespace
}  // namespace zarnmon
