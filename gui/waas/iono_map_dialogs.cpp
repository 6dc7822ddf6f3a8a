#include "gui/waas/iono_map_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "gui/state/dialog_parts.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;

// A real number as a user would type it: "8", "12.5".
QString NumberText(double value) { return QLocale::c().toString(value, 'g', 15); }

}  // namespace

CIonoScaleDialog::CIonoScaleDialog(int scale, QWidget* parent) : QDialog(parent), scale_(scale) {
    setWindowTitle(QStringLiteral("Iono Map Scale"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Iono Scale Value"), this);
    auto* groupLayout = new QVBoxLayout(group);
    auto* prompt = new QLabel(QStringLiteral("Enter the value at which the Iono map squares will touch"), group);
    prompt->setWordWrap(true);
    groupLayout->addWidget(prompt);
    value_ = new QLineEdit(NumberText(IonoScaleMetres(scale)), group);
    groupLayout->addWidget(value_);
    layout->addWidget(group);
    error_ = RefusalLabel(*this);
    layout->addWidget(error_);
    layout->addWidget(OkCancelButtons(*this));
}

std::optional<FieldError> CIonoScaleDialog::Validate(const QString& metres) {
    if (auto message = CheckNumber(metres, kMinIonoScaleMetres, kMaxIonoScaleMetres)) {
        return FieldError{0, *message};
    }
    return std::nullopt;
}

QString CIonoScaleDialog::ErrorText() const { return error_->text(); }

void CIonoScaleDialog::accept() {
    if (const auto error = Validate(value_->text())) {
        ShowRefusal(*error_, *value_, error->message);
        return;
    }
    scale_ = IonoScaleFromMetres(*ReadNumber(value_->text()));
    QDialog::accept();
}

CIonoBordersDialog::CIonoBordersDialog(const IonoRegion& region, QWidget* parent) : QDialog(parent), region_(region) {
    setWindowTitle(QStringLiteral("Configure Iono Map Borders"));
    auto* layout = new QVBoxLayout(this);

    auto* upperLeft = new QGroupBox(QStringLiteral("Upper Left Corner"), this);
    auto* upperGrid = new QGridLayout(upperLeft);
    AddField(kTopField, QStringLiteral("North"), QStringLiteral("South"), region.top, *upperGrid, 0);
    AddField(kLeftField, QStringLiteral("East"), QStringLiteral("West"), region.left, *upperGrid, 1);
    layout->addWidget(upperLeft);

    auto* lowerRight = new QGroupBox(QStringLiteral("Lower Right Corner"), this);
    auto* lowerGrid = new QGridLayout(lowerRight);
    AddField(kBottomField, QStringLiteral("North"), QStringLiteral("South"), region.bottom, *lowerGrid, 0);
    AddField(kRightField, QStringLiteral("East"), QStringLiteral("West"), region.right, *lowerGrid, 1);
    layout->addWidget(lowerRight);

    error_ = RefusalLabel(*this);
    layout->addWidget(error_);
    layout->addWidget(OkCancelButtons(*this));
}

void CIonoBordersDialog::AddField(Field field, const QString& positive, const QString& negative, int value,
                                  QGridLayout& grid, int row) {
    QWidget* group = grid.parentWidget();
    FieldWidgets& widgets = fields_[field];
    widgets.edit = new QLineEdit(QString::number(std::llabs(value)), group);
    widgets.positive = new QRadioButton(positive, group);
    widgets.negative = new QRadioButton(negative, group);
    // Both pairs share the group box: each needs its own exclusive group.
    auto* pair = new QButtonGroup(group);
    pair->addButton(widgets.positive);
    pair->addButton(widgets.negative);
    (value < 0 ? widgets.negative : widgets.positive)->setChecked(true);
    const bool latitude = field == kTopField || field == kBottomField;
    grid.addWidget(new QLabel(latitude ? QStringLiteral("Latitude") : QStringLiteral("Longitude"), group), row, 0);
    grid.addWidget(widgets.edit, row, 1);
    grid.addWidget(widgets.positive, row, 2);
    grid.addWidget(widgets.negative, row, 3);
}

std::optional<FieldError> CIonoBordersDialog::Validate(const std::array<QString, kFields>& texts) {
    for (int field = 0; field < kFields; ++field) {
        const bool latitude = field == kTopField || field == kBottomField;
        if (auto message = CheckNumber(texts[field], 0.0, latitude ? kMaxLatitude : kMaxLongitude)) {
            return FieldError{field, *message};
        }
    }
    return std::nullopt;
}

std::optional<FieldError> CIonoBordersDialog::Validate() const {
    std::array<QString, kFields> texts;
    for (int field = 0; field < kFields; ++field) {
        texts[field] = fields_[field].edit->text();
    }
    return Validate(texts);
}

QString CIonoBordersDialog::ErrorText() const { return error_->text(); }

int CIonoBordersDialog::ReadField(Field field) const {
    // Whole degrees: the map's region has no finer resolution.
    const int degrees = static_cast<int>(*ReadNumber(fields_[field].edit->text()));
    return fields_[field].negative->isChecked() ? -degrees : degrees;
}

void CIonoBordersDialog::accept() {
    if (const auto error = Validate()) {
        ShowRefusal(*error_, *fields_[error->field].edit, error->message);
        return;
    }
    region_ = {ReadField(kLeftField), ReadField(kTopField), ReadField(kRightField), ReadField(kBottomField)};
    QDialog::accept();
}

CIonoCoverageDialog::CIonoCoverageDialog(const IonoCoverage& current, CSettingsStore& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), coverage_(current), custom_(current.region) {
    setWindowTitle(QStringLiteral("Iono Map Coverage"));
    auto* layout = new QVBoxLayout(this);

    auto* zones = new QGroupBox(QStringLiteral("Zones"), this);
    auto* zonesLayout = new QVBoxLayout(zones);
    for (int zone = 0; zone <= kCustomZone; ++zone) {
        const QString text = zone == kCustomZone ? Latin1(kCustomZoneText) : Latin1(kIonoZones[zone].text);
        radios_[zone] = new QRadioButton(text, zones);
        connect(radios_[zone], &QRadioButton::clicked, this, [this, zone] { ChooseZone(zone); });
        zonesLayout->addWidget(radios_[zone]);
    }
    defineCustom_ = new QPushButton(QStringLiteral("Define &Custom ..."), zones);
    defineCustom_->setAutoDefault(false);
    connect(defineCustom_, &QPushButton::clicked, this, &CIonoCoverageDialog::DefineCustom);
    zonesLayout->addWidget(defineCustom_);
    layout->addWidget(zones);

    extendMap_ = new QCheckBox(QStringLiteral("Extend Map"), this);
    extendMap_->setChecked(current.extendMap);
    layout->addWidget(extendMap_);
    auto* extendNote = new QLabel(
        QStringLiteral("Extend Map to allow Zarnmon to extrapolate ionosphere 5 to 10 degrees beyond grid points"),
        this);
    extendNote->setWordWrap(true);
    extendNote->setBuddy(extendMap_);
    layout->addWidget(extendNote);

    layout->addWidget(OkCancelButtons(*this));
    SelectZone(ZoneOf(current.region));
}

void CIonoCoverageDialog::ChooseZone(int zone) {
    if (zone < 0 || zone > kCustomZone) {
        return;
    }
    // A preset is where a custom rectangle starts from.
    if (zone != kCustomZone) {
        custom_ = kIonoZones[zone].region;
    }
    SelectZone(zone);
}

void CIonoCoverageDialog::DefineCustom() {
    if (const auto region = RunBordersDialog(custom_)) {
        ApplyBorders(*region);
    }
}

void CIonoCoverageDialog::ApplyBorders(const IonoRegion& region) {
    custom_ = NormaliseRegion(region);
    const int zone = ZoneOf(custom_);
    SelectZone(zone);
    if (zone == kCustomZone) {
        customDefined_ = true;
    }
}

void CIonoCoverageDialog::accept() {
    if (zone_ != kCustomZone) {
        coverage_.region = kIonoZones[zone_].region;
    } else if (customDefined_) {
        coverage_.region = custom_;
    }
    SaveIonoRegion(settings_, coverage_.region);
    coverage_.extendMap = extendMap_->isChecked();
    SaveExtendMap(settings_, coverage_.extendMap);
    SaveProfileNow(settings_);
    QDialog::accept();
}

std::optional<IonoRegion> CIonoCoverageDialog::RunBordersDialog(const IonoRegion& custom) {
    CIonoBordersDialog dialog(custom, this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Region();
}

void CIonoCoverageDialog::SelectZone(int zone) {
    zone_ = zone;
    radios_[zone]->setChecked(true);
    defineCustom_->setEnabled(zone == kCustomZone);
}

}  // namespace zarnmon
