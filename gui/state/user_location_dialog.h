#pragma once

// "User Location": the reference position that position errors are taken
// against. The user types latitude, longitude and height, or takes the
// receiver's current position with "Snap Shot". OK stores the values in the
// reference, derives its metres-per-degree factors and writes the "Location"
// keys; it does not make an invalid reference valid (the next load does).
// Typed text is checked on OK: a latitude outside -90..90, a longitude
// outside -180..180 or text that is no number keeps the dialog open with the
// reason shown and the field selected.

#include <QDialog>
#include <QTimer>
#include <optional>

#include "core/app/settings_store.h"
#include "core/link/msg_dispatcher.h"
#include "core/state/reference_position.h"
#include "gui/state/field_check.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zarnmon {

class CUserLocationDialog final : public QDialog {
    Q_OBJECT

public:
    enum Field { kLatitudeField = 0, kLongitudeField = 1, kHeightField = 2 };

    // When the reference is not valid it is loaded from the settings first
    // (a missing key defaults to the receiver's current position).
    CUserLocationDialog(CReferencePosition& reference, const CMsgDispatcher& dispatcher, CSettingsStore& settings,
                        QWidget* parent = nullptr);

    // The first field whose text is refused, with the reason.
    [[nodiscard]] static std::optional<FieldError> Validate(const QString& latitude, const QString& longitude,
                                                            const QString& height);
    [[nodiscard]] std::optional<FieldError> Validate() const;

    // A message 1 has arrived since the link was opened.
    [[nodiscard]] bool HasReceiverPosition() const;
    // "Snap Shot": the fields take the last message 1's position; nothing
    // happens when there is none.
    void SnapShot();

    [[nodiscard]] QLineEdit& LatitudeEdit() const { return *latitude_; }
    [[nodiscard]] QLineEdit& LongitudeEdit() const { return *longitude_; }
    [[nodiscard]] QLineEdit& HeightEdit() const { return *height_; }
    [[nodiscard]] QPushButton& SnapShotButton() const { return *snapShot_; }
    // Why Snap Shot is disabled; empty while it is enabled.
    [[nodiscard]] QString SnapShotNote() const;
    // Why OK was refused last; empty until it was.
    [[nodiscard]] QString ErrorText() const;

    void accept() override;

private:
    void ShowPosition(const GeoPosition& position);
    void RefreshSnapShot();
    [[nodiscard]] QLineEdit& FieldEdit(int field) const;

    CReferencePosition& reference_;
    const CMsgDispatcher& dispatcher_;
    CSettingsStore& settings_;
    QLineEdit* latitude_ = nullptr;
    QLineEdit* longitude_ = nullptr;
    QLineEdit* height_ = nullptr;
    QPushButton* snapShot_ = nullptr;
    QLabel* snapNote_ = nullptr;
    QLabel* error_ = nullptr;
    // Messages keep arriving while the dialog is open: Snap Shot follows them.
    QTimer refresh_;
};

}  // namespace zarnmon
