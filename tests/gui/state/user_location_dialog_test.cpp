#include "gui/state/user_location_dialog.h"

#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"
#include "core/link/frame_builder.h"
#include "core/link/tick_clock.h"

namespace zarnmon {
namespace {

std::vector<std::uint8_t> Msg1At(double latitude, double longitude, float height) {
    CBinFrameBuilder b(msg1::kId);
    b.Set(msg1::Latitude, latitude).Set(msg1::Longitude, longitude).Set(msg1::Height, height);
    return b.Build();
}

class UserLocationDialogTest : public ::testing::Test {
protected:
    CManualTickClock clock;
    CMsgDispatcher dispatcher{clock};
    CSettingsStore settings;
    CReferencePosition reference;
};

TEST(UserLocationValidateTest, OutOfRangeOrNoNumber_RefusedWithFieldAndMessage) {
    struct Case {
        const char* lat;
        const char* lon;
        const char* height;
        int field;
        const char* message;
    };
    const Case cases[] = {
        {"90.5", "0", "0", CUserLocationDialog::kLatitudeField, "Enter a number between -90 and 90."},
        {"-90.000001", "0", "0", CUserLocationDialog::kLatitudeField, "Enter a number between -90 and 90."},
        {"north", "0", "0", CUserLocationDialog::kLatitudeField, "Enter a number between -90 and 90."},
        {"12abc", "0", "0", CUserLocationDialog::kLatitudeField, "Enter a number between -90 and 90."},
        {"nan", "0", "0", CUserLocationDialog::kLatitudeField, "Enter a number between -90 and 90."},
        {"10", "-180.01", "0", CUserLocationDialog::kLongitudeField, "Enter a number between -180 and 180."},
        {"10", "", "0", CUserLocationDialog::kLongitudeField, "Enter a number between -180 and 180."},
        {"10", "20", "high", CUserLocationDialog::kHeightField, "Enter a number."},
        {"10", "20", "inf", CUserLocationDialog::kHeightField, "Enter a number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lat) + " / " + c.lon + " / " + c.height);
        const auto error = CUserLocationDialog::Validate(QString::fromLatin1(c.lat), QString::fromLatin1(c.lon),
                                                         QString::fromLatin1(c.height));
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->field, c.field);
        EXPECT_EQ(error->message, QString::fromLatin1(c.message));
    }
}

TEST(UserLocationValidateTest, LimitsAndAnyHeight_Accepted) {
    EXPECT_FALSE(CUserLocationDialog::Validate(QStringLiteral("-90"), QStringLiteral("180"), QStringLiteral("0")));
    EXPECT_FALSE(
        CUserLocationDialog::Validate(QStringLiteral(" 90 "), QStringLiteral("-180"), QStringLiteral("250000.5")));
    EXPECT_FALSE(CUserLocationDialog::Validate(QStringLiteral("-0.5"), QStringLiteral("1e2"), QStringLiteral("-400")));
}

TEST_F(UserLocationDialogTest, Ok_StoresReferenceFactorsAndLocationKeysButNotValid) {
    CUserLocationDialog dialog(reference, dispatcher, settings);
    dialog.LatitudeEdit().setText(QStringLiteral("51.0447"));
    dialog.LongitudeEdit().setText(QStringLiteral("-114.0719"));
    dialog.HeightEdit().setText(QStringLiteral("1048.5"));
    dialog.accept();

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(reference.Latitude(), 51.0447);
    EXPECT_DOUBLE_EQ(reference.Longitude(), -114.0719);
    EXPECT_DOUBLE_EQ(reference.Height(), 1048.5);
    // Hand-computed on the ellipsoid for 51.0447 N, 1048.5 m.
    EXPECT_NEAR(reference.MetersPerDegreeLatitude(), 111267.4325, 1e-4);
    EXPECT_NEAR(reference.MetersPerDegreeLongitude(), 70141.7116, 1e-4);
    EXPECT_EQ(settings.Find(kLocation, kLatitudeKey).value(), "51.04470000");
    EXPECT_EQ(settings.Find(kLocation, kLongitudeKey).value(), "-114.07190000");
    EXPECT_EQ(settings.Find(kLocation, kHeightKey).value(), "1048.5000");
    // OK alone does not make the reference valid; the next load does.
    EXPECT_FALSE(reference.IsValid());
}

TEST_F(UserLocationDialogTest, OkWithBadLatitude_StaysOpenSaysWhyAndStoresNothing) {
    CUserLocationDialog dialog(reference, dispatcher, settings);
    dialog.LatitudeEdit().setText(QStringLiteral("91"));
    dialog.LongitudeEdit().setText(QStringLiteral("10"));
    dialog.accept();

    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ErrorText(), QStringLiteral("Enter a number between -90 and 90."));
    EXPECT_EQ(reference.Latitude(), 0.0);
    EXPECT_FALSE(settings.Find(kLocation, kLatitudeKey).has_value());
}

TEST_F(UserLocationDialogTest, StoredKeys_LoadedValidAndShownInTheirFormats) {
    settings.SetString(kLocation, kLatitudeKey, "45.5");
    settings.SetString(kLocation, kLongitudeKey, "-73.25");
    settings.SetString(kLocation, kHeightKey, "30");
    CUserLocationDialog dialog(reference, dispatcher, settings);

    EXPECT_TRUE(reference.IsValid());
    EXPECT_EQ(dialog.LatitudeEdit().text(), QStringLiteral("45.50000000"));
    EXPECT_EQ(dialog.LongitudeEdit().text(), QStringLiteral("-73.25000000"));
    EXPECT_EQ(dialog.HeightEdit().text(), QStringLiteral("30.0000"));
}

TEST_F(UserLocationDialogTest, NoMessage1_SnapShotDisabledAndExplained) {
    CUserLocationDialog dialog(reference, dispatcher, settings);

    EXPECT_FALSE(dialog.SnapShotButton().isEnabled());
    EXPECT_FALSE(dialog.SnapShotNote().isEmpty());
    dialog.SnapShot();
    EXPECT_EQ(dialog.LatitudeEdit().text(), QStringLiteral("0.00000000"));
}

TEST_F(UserLocationDialogTest, SnapShot_TakesThePositionOfTheLastMessage1) {
    dispatcher.Feed(Msg1At(10.0, 20.0, 5.0f));
    dispatcher.Feed(Msg1At(-33.8688, 151.2093, 58.75f));
    // The receiver's first position becomes the reference when nothing is stored.
    CUserLocationDialog dialog(reference, dispatcher, settings);
    ASSERT_TRUE(dialog.SnapShotButton().isEnabled());
    EXPECT_TRUE(dialog.SnapShotNote().isEmpty());
    EXPECT_TRUE(reference.IsValid());

    dialog.LatitudeEdit().setText(QStringLiteral("1"));
    dialog.LongitudeEdit().setText(QStringLiteral("2"));
    dialog.HeightEdit().setText(QStringLiteral("3"));
    dialog.SnapShotButton().click();

    EXPECT_EQ(dialog.LatitudeEdit().text(), QStringLiteral("-33.86880000"));
    EXPECT_EQ(dialog.LongitudeEdit().text(), QStringLiteral("151.20930000"));
    EXPECT_EQ(dialog.HeightEdit().text(), QStringLiteral("58.7500"));
}

}  // namespace
}  // namespace zarnmon
