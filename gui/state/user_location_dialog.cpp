#include "gui/state/user_location_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/link/bin_catalogue.h"
#include "gui/state/dialog_parts.h"

namespace zarnmon {

namespace {

constexpr int kRefreshMs = 1000;

QString Text(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

CUserLocationDialog::CUserLocationDialog(CReferencePosition& reference, const CMsgDispatcher& dispatcher,
                                         CSettingsStore& settings, QWidget* parent)
    : QDialog(parent), reference_(reference), dispatcher_(dispatcher), settings_(settings) {
    if (!reference_.IsValid()) {
        // Sets the valid flag itself when the stored (or receiver's) position is complete.
        LoadReferencePosition(reference_, settings_,
                              PositionOf(Msg1View(dispatcher_.Handler(Slots::Msg1).LastMessage())));
    }

    setWindowTitle(QStringLiteral("User Location"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    latitude_ = new QLineEdit(this);
    longitude_ = new QLineEdit(this);
    height_ = new QLineEdit(this);
    grid->addWidget(new QLabel(QStringLiteral("Lat (deg)"), this), 0, 0);
    grid->addWidget(latitude_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Lon (deg)"), this), 1, 0);
    grid->addWidget(longitude_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("(Negative is West)"), this), 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Height (m)"), this), 2, 0);
    grid->addWidget(height_, 2, 1);
    layout->addLayout(grid);

    auto* snapRow = new QHBoxLayout;
    snapShot_ = new QPushButton(QStringLiteral("Snap Shot"), this);
    snapShot_->setAutoDefault(false);
    connect(snapShot_, &QPushButton::clicked, this, &CUserLocationDialog::SnapShot);
    snapRow->addWidget(snapShot_);
    snapNote_ = new QLabel(this);
    snapNote_->setWordWrap(true);
    snapRow->addWidget(snapNote_, 1);
    layout->addLayout(snapRow);

    error_ = RefusalLabel(*this);
    layout->addWidget(error_);
    layout->addWidget(OkCancelButtons(*this));

    ShowPosition({reference_.Latitude(), reference_.Longitude(), reference_.Height()});
    RefreshSnapShot();
    connect(&refresh_, &QTimer::timeout, this, &CUserLocationDialog::RefreshSnapShot);
    refresh_.start(kRefreshMs);
}

std::optional<FieldError> CUserLocationDialog::Validate(const QString& latitude, const QString& longitude,
                                                        const QString& height) {
    if (auto message = CheckNumber(latitude, -CReferencePosition::kMaxLatitude, CReferencePosition::kMaxLatitude)) {
        return FieldError{kLatitudeField, *message};
    }
    if (auto message = CheckNumber(longitude, -CReferencePosition::kMaxLongitude, CReferencePosition::kMaxLongitude)) {
        return FieldError{kLongitudeField, *message};
    }
    // The height has no range here; it only has to be a number.
    if (auto message = CheckNumber(height)) {
        return FieldError{kHeightField, *message};
    }
    return std::nullopt;
}

std::optional<FieldError> CUserLocationDialog::Validate() const {
    return Validate(latitude_->text(), longitude_->text(), height_->text());
}

bool CUserLocationDialog::HasReceiverPosition() const { return dispatcher_.Handler(Slots::Msg1).LastLength() > 0; }

void CUserLocationDialog::SnapShot() {
    if (!HasReceiverPosition()) {
        return;
    }
    ShowPosition(PositionOf(Msg1View(dispatcher_.Handler(Slots::Msg1).LastMessage())));
}

QString CUserLocationDialog::SnapShotNote() const { return snapNote_->text(); }

QString CUserLocationDialog::ErrorText() const { return error_->text(); }

void CUserLocationDialog::accept() {
    if (const auto error = Validate()) {
        ShowRefusal(*error_, FieldEdit(error->field), error->message);
        return;
    }
    const GeoPosition position{*ReadNumber(latitude_->text()), *ReadNumber(longitude_->text()),
                               *ReadNumber(height_->text())};
    reference_.SetPosition(position);
    reference_.ComputeDegreeFactors(position.latitude, position.height);
    SaveReferencePosition(reference_, settings_);
    SaveProfileNow(settings_);
    refresh_.stop();
    QDialog::accept();
}

void CUserLocationDialog::ShowPosition(const GeoPosition& position) {
    latitude_->setText(Text(FormatLatLon(position.latitude)));
    longitude_->setText(Text(FormatLatLon(position.longitude)));
    height_->setText(Text(FormatHeight(position.height)));
}

void CUserLocationDialog::RefreshSnapShot() {
    const bool has = HasReceiverPosition();
    snapShot_->setEnabled(has);
    snapNote_->setText(has ? QString()
                           : QStringLiteral("No position from the receiver yet (binary message 1): nothing to take."));
}

QLineEdit& CUserLocationDialog::FieldEdit(int field) const {
    switch (field) {
        case kLongitudeField:
            return *longitude_;
        case kHeightField:
            return *height_;
        default:
            return *latitude_;
    }
}

}  // namespace zarnmon
