#include "gui/state/neu_view.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"
#include "core/link/bin_catalogue.h"
#include "gui/state/neu_graph_dialog.h"
#include "gui/state/user_location_dialog.h"
#include "tests/gui/displays/view_test_support.h"
#include "tests/gui/state/modal_helper.h"

namespace zarnmon {
namespace {

constexpr double kRefLatitude = 51.0;
constexpr double kRefLongitude = -114.0;
constexpr float kRefHeight = 1000.0F;

// The field a label names, as a user finds it.
QLineEdit& FieldLabelled(QDialog& dialog, const QString& text) {
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text() == text) {
            if (auto* edit = qobject_cast<QLineEdit*>(label->buddy())) {
                return *edit;
            }
        }
    }
    ADD_FAILURE() << "no field labelled " << text.toStdString();
    static QLineEdit none;
    return none;
}

void TypeInto(QLineEdit& edit, const QString& text) {
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, text);
}

void PressOk(QDialog& dialog) {
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

class NeuViewTest : public ::testing::Test, public test::ViewContext {
protected:
    NeuViewTest() {
        context.reference.SetPosition({kRefLatitude, kRefLongitude, kRefHeight});
        context.reference.ComputeDegreeFactors(kRefLatitude, kRefHeight);
        context.reference.MarkValid();
        context.neuHistory.Configure(kNeuSampleScale, 30, 50);
    }
    ~NeuViewTest() override { delete area; }

    CViewNEUerrors& Open() {
        area = new QMdiArea;
        view = new CViewNEUerrors(services);
        area->addSubWindow(view);
        area->resize(900, 700);
        area->show();
        QCoreApplication::processEvents();
        return *view;
    }

    // A message 1 north of the reference by `north` metres, offered to the
    // history as the main frame does, then notified to the view.
    void Fix(double timeOfWeek, double north) {
        CBinFrameBuilder b(msg1::kId);
        b.Set(msg1::GpsTimeOfWeek, timeOfWeek)
            .Set(msg1::Latitude, kRefLatitude + north / context.reference.MetersPerDegreeLatitude())
            .Set(msg1::Longitude, kRefLongitude)
            .Set(msg1::Height, kRefHeight);
        context.dispatcher.Feed(b.Build());
        (void)context.neuHistory.AddNeuSample(Msg1View(context.dispatcher.Handler(Slots::Msg1).LastMessage()),
                                              context.reference);
        QCoreApplication::processEvents();
    }

    QMdiArea* area = nullptr;
    CViewNEUerrors* view = nullptr;
};

TEST_F(NeuViewTest, ThirtyMinutesAtHalfAMetre_SixtySecondsPerTickOnTheFineScale) {
    context.neuHistory.Configure(kNeuSampleScale, 30, 5);
    const CViewNEUerrors& neu = Open();
    EXPECT_EQ(neu.Chart(0).Title(), QStringLiteral("North Error (m x 10)"));
    EXPECT_EQ(neu.Chart(1).Title(), QStringLiteral("East Error (m x 10)"));
    EXPECT_EQ(neu.Chart(2).Title(), QStringLiteral("Up Error (m x 10)"));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(neu.Chart(i).Caption(), QStringLiteral("60 Sec/Tick"));
        EXPECT_EQ(neu.Chart(i).Geometry().capacity, 900);
        EXPECT_EQ(neu.Chart(i).Geometry().extent, 5 * kNeuSampleScale);
    }
    EXPECT_EQ(neu.ScaleLabelText(), QStringLiteral("Meters x 10"));
    EXPECT_EQ(neu.ConfigureAction().text(), QStringLiteral("Configure Graph Settings"));
    EXPECT_EQ(neu.ConfigureAction().data().toInt(), 32797);
}

TEST_F(NeuViewTest, FiveMetres_WholeMetresAndTheHistorySoFarAtOnce) {
    for (int i = 0; i < 10; ++i) {
        Fix(1000.0 + 2.0 * i, 0.25 * i);
    }
    const CViewNEUerrors& neu = Open();
    EXPECT_EQ(neu.ScaleLabelText(), QStringLiteral("Meters x 1"));
    EXPECT_EQ(neu.Chart(0).Title(), QStringLiteral("North Error (m)"));
    EXPECT_EQ(neu.Chart(0).Points().Points().size(), 10U) << "the past is replayed when the plot opens";
    EXPECT_EQ(neu.FieldText(CViewNEUerrors::kNorth), QStringLiteral("2.2500"));
    EXPECT_EQ(neu.FieldText(CViewNEUerrors::kEast), QStringLiteral("0.0000"));

    Fix(1020.0, 1.5);
    EXPECT_EQ(neu.Chart(0).Points().Points().size(), 11U) << "a new sample arrives with its message 1";
    EXPECT_EQ(neu.Chart(1).Points().Points().size(), 11U);
    EXPECT_EQ(neu.FieldText(CViewNEUerrors::kNorth), QStringLiteral("1.5000"));
    const ChartPoint& last = neu.Chart(0).Points().Points().back();
    EXPECT_EQ(last.y, neu.Chart(0).Geometry().PointY(24)) << "1.5 m is 24 sample units";
    EXPECT_TRUE(last.lineTo);
}

TEST_F(NeuViewTest, Dops_FromMessage2) {
    const CViewNEUerrors& neu = Open();
    CBinFrameBuilder msg2(msg2::kId);
    msg2.Set(msg2::Hdop, std::uint16_t{8}).Set(msg2::Vdop, std::uint16_t{6});
    Feed(msg2);
    EXPECT_EQ(neu.FieldText(CViewNEUerrors::kHdop), QStringLiteral("0.8000"));
    EXPECT_EQ(neu.FieldText(CViewNEUerrors::kVdop), QStringLiteral("0.6000"));
    EXPECT_EQ(neu.FieldText(CViewNEUerrors::kPdop), QStringLiteral("1.0000"));
}

TEST_F(NeuViewTest, ConfigureDialog_TypedByLabelWritesPlotSettingsAndResizesTheHistory) {
    CViewNEUerrors& neu = Open();
    test::AnswerNextModal<CNeuGraphDialog>([](CNeuGraphDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Configure NEU Graph"));
        EXPECT_EQ(FieldLabelled(dialog, QStringLiteral("Meters For Y-Axis:")).text(), QStringLiteral("5.0"));
        TypeInto(FieldLabelled(dialog, QStringLiteral("Meters For Y-Axis:")), QStringLiteral("2.5"));
        TypeInto(FieldLabelled(dialog, QStringLiteral("Minutes Along X-Axis:")), QStringLiteral("60"));
        PressOk(dialog);
    });
    neu.ConfigureAction().trigger();
    EXPECT_EQ(settings.GetString(kPlotSettings, "Minutes", ""), "60");
    EXPECT_EQ(settings.GetString(kPlotSettings, "MaxMeters", ""), "2.5");
    EXPECT_EQ(context.neuHistory.Capacity(), 900);
    EXPECT_EQ(context.neuHistory.Decimation(), 4);
    EXPECT_EQ(neu.Chart(0).Caption(), QStringLiteral("120 Sec/Tick"));
    EXPECT_EQ(neu.Chart(0).Geometry().extent, 3 * kNeuSampleScale) << "25 tenths are 3 whole metres";
}

TEST_F(NeuViewTest, ConfigureDialog_OutOfRangeRefusedAndNothingWritten) {
    CViewNEUerrors& neu = Open();
    test::AnswerNextModal<CNeuGraphDialog>([](CNeuGraphDialog& dialog) {
        TypeInto(FieldLabelled(dialog, QStringLiteral("Meters For Y-Axis:")), QStringLiteral("2500"));
        PressOk(dialog);
        EXPECT_TRUE(dialog.isVisible()) << "2500 m is refused";
        EXPECT_EQ(dialog.ErrorText(), QStringLiteral("Enter a number between 0.1 and 2000."));
        TypeInto(FieldLabelled(dialog, QStringLiteral("Meters For Y-Axis:")), QStringLiteral("1"));
        TypeInto(FieldLabelled(dialog, QStringLiteral("Minutes Along X-Axis:")), QStringLiteral("1441"));
        PressOk(dialog);
        EXPECT_TRUE(dialog.isVisible()) << "1441 minutes are refused";
        EXPECT_EQ(dialog.ErrorText(), QStringLiteral("Enter a number between 1 and 1440."));
        dialog.reject();
    });
    neu.ConfigureAction().trigger();
    EXPECT_EQ(settings.GetString(kPlotSettings, "Minutes", "none"), "none");
    EXPECT_EQ(context.neuHistory.Capacity(), 900);
}

TEST_F(NeuViewTest, NoReference_AskedForOnceAndTakenFromTheDialog) {
    CReferencePosition none;
    context.reference = none;
    test::AnswerNextModal<CUserLocationDialog>([](CUserLocationDialog& dialog) {
        dialog.LatitudeEdit().setText(QStringLiteral("45.5"));
        dialog.LongitudeEdit().setText(QStringLiteral("-75.25"));
        dialog.HeightEdit().setText(QStringLiteral("80"));
        dialog.accept();
    });
    Open();
    EXPECT_TRUE(QTest::qWaitFor([this] { return context.reference.IsValid(); }));
    EXPECT_DOUBLE_EQ(context.reference.Latitude(), 45.5);
    EXPECT_EQ(settings.GetString(kLocation, "Longitude", ""), "-75.25000000");
}

TEST_F(NeuViewTest, NoReference_CancelStopsAsking) {
    CReferencePosition none;
    context.reference = none;
    bool asked = false;
    test::AnswerNextModal<CUserLocationDialog>([&asked](CUserLocationDialog& dialog) {
        asked = true;
        dialog.reject();
    });
    Open();
    EXPECT_TRUE(QTest::qWaitFor([&asked] { return asked; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no second prompt after Cancel";
    EXPECT_FALSE(context.reference.IsValid());
}

}  // namespace
}  // namespace zarnmon
