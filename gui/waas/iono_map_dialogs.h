#pragma once

// The iono map's three dialogs.
//
// "Iono Map Scale" sets the delay at which neighbouring boxes touch, typed in
// metres (4 to 32) and kept in sixteenths of a metre. "Iono Map Coverage"
// picks the map's region: a service-area preset or a custom rectangle, which
// "Configure Iono Map Borders" edits as two corners of unsigned degrees with
// a hemisphere each. Typed text is checked on OK: out of range or no number
// keeps the dialog open with the reason shown and the field selected, so
// that tests read the reason without a modal box.
//
// The coverage dialog writes the region keys and "ExtendMap" on OK; the map
// view takes the new coverage from it and rebuilds itself.

#include <QDialog>
#include <array>
#include <optional>

#include "core/app/settings_store.h"
#include "core/waas/iono_map.h"
#include "gui/state/field_check.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zarnmon {

class CIonoScaleDialog final : public QDialog {
    Q_OBJECT

public:
    // scale in sixteenths of a metre.
    explicit CIonoScaleDialog(int scale, QWidget* parent = nullptr);

    [[nodiscard]] static std::optional<FieldError> Validate(const QString& metres);

    [[nodiscard]] QLineEdit& ValueEdit() const { return *value_; }
    // Why OK was refused last; empty until it was.
    [[nodiscard]] QString ErrorText() const;
    // The entry's scale once accepted; the opening scale before.
    [[nodiscard]] int Scale() const { return scale_; }

    void accept() override;

private:
    int scale_;
    QLineEdit* value_ = nullptr;
    QLabel* error_ = nullptr;
};

class CIonoBordersDialog final : public QDialog {
    Q_OBJECT

public:
    // In the order the corners are laid out and checked.
    enum Field { kTopField = 0, kLeftField = 1, kBottomField = 2, kRightField = 3 };
    static constexpr int kFields = 4;

    explicit CIonoBordersDialog(const IonoRegion& region, QWidget* parent = nullptr);

    // Degrees without sign: latitudes 0..90, longitudes 0..180.
    [[nodiscard]] static std::optional<FieldError> Validate(const std::array<QString, kFields>& texts);
    [[nodiscard]] std::optional<FieldError> Validate() const;

    [[nodiscard]] QLineEdit& Edit(Field field) const { return *fields_[field].edit; }
    // South for a latitude field, West for a longitude field.
    [[nodiscard]] QRadioButton& NegativeRadio(Field field) const { return *fields_[field].negative; }
    [[nodiscard]] QRadioButton& PositiveRadio(Field field) const { return *fields_[field].positive; }
    [[nodiscard]] QString ErrorText() const;
    // Whole degrees, signed by the radios; the opening region until accepted.
    [[nodiscard]] const IonoRegion& Region() const { return region_; }

    void accept() override;

private:
    struct FieldWidgets {
        QLineEdit* edit = nullptr;
        QRadioButton* positive = nullptr;
        QRadioButton* negative = nullptr;
    };

    void AddField(Field field, const QString& positive, const QString& negative, int value, QGridLayout& grid, int row);
    [[nodiscard]] int ReadField(Field field) const;

    IonoRegion region_;
    std::array<FieldWidgets, kFields> fields_{};
    QLabel* error_ = nullptr;
};

class CIonoCoverageDialog : public QDialog {
    Q_OBJECT

public:
    // current: the coverage the map has now (already loaded).
    CIonoCoverageDialog(const IonoCoverage& current, CSettingsStore& settings, QWidget* parent = nullptr);

    // 0..3 a preset of kIonoZones, kCustomZone the custom rectangle.
    [[nodiscard]] int Zone() const { return zone_; }
    [[nodiscard]] const IonoRegion& CustomRegion() const { return custom_; }
    // The custom rectangle came from the borders dialog in this dialog.
    [[nodiscard]] bool CustomDefined() const { return customDefined_; }
    [[nodiscard]] QRadioButton& ZoneRadio(int zone) const { return *radios_[zone]; }
    [[nodiscard]] QPushButton& DefineCustomButton() const { return *defineCustom_; }
    [[nodiscard]] QCheckBox& ExtendMapBox() const { return *extendMap_; }
    // The coverage the map is to use once accepted; the opening one before.
    [[nodiscard]] const IonoCoverage& Coverage() const { return coverage_; }

    // As a click on the zone's radio.
    void ChooseZone(int zone);
    // "Define Custom ...": the borders dialog on the custom rectangle; its
    // result goes to ApplyBorders.
    void DefineCustom();
    // A rectangle the borders dialog accepted.
    void ApplyBorders(const IonoRegion& region);

    void accept() override;

protected:
    // Runs the borders dialog modally; nullopt when cancelled. Tests replace
    // it to answer without a modal loop.
    [[nodiscard]] virtual std::optional<IonoRegion> RunBordersDialog(const IonoRegion& custom);

private:
    void SelectZone(int zone);

    CSettingsStore& settings_;
    IonoCoverage coverage_;
    IonoRegion custom_;
    bool customDefined_ = false;
    int zone_ = kCustomZone;
    std::array<QRadioButton*, kCustomZone + 1> radios_{};
    QPushButton* defineCustom_ = nullptr;
    QCheckBox* extendMap_ = nullptr;
};

}  // namespace zarnmon
