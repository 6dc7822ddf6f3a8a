#pragma once

// "View of NEU Errors": the north, east and up errors of the receiver's
// position against the reference as three scrolling strip charts, with the
// current errors and the DOPs as numbers. The samples come from the
// program-wide history, which the main frame feeds from start-up: the view
// replays what the history holds when it is set up and then, on each
// message 1, reads the samples stored since (it polls the history's count,
// so the core never calls into a window). Its own menu configures the time
// span and vertical range ("Configure NEU Graph").

#include <QLabel>
#include <QLineEdit>
#include <array>
#include <cstdint>

#include "gui/state/form_view.h"
#include "gui/state/strip_chart.h"

class QAction;

namespace zarnmon {

class CViewNEUerrors final : public CFormView {
    Q_OBJECT

public:
    static constexpr int kConfigureGraphId = 32797;
    enum Field { kNorth = 0, kEast, kUp, kPdop, kHdop, kVdop, kFields };

    explicit CViewNEUerrors(const ViewServices& services, QWidget* parent = nullptr);

    // North, East, Up from top to bottom.
    [[nodiscard]] const CStripChart& Chart(std::size_t index) const { return *charts_.at(index); }
    [[nodiscard]] QString FieldText(Field field) const { return fields_.at(static_cast<std::size_t>(field))->text(); }
    [[nodiscard]] QString ScaleLabelText() const { return scaleLabel_->text(); }
    [[nodiscard]] QAction& ConfigureAction() const { return *configure_; }
    [[nodiscard]] QSize sizeHint() const override { return {820, 620}; }

    // "Configure Graph Settings": the dialog, then the history and the charts
    // on the new settings.
    void ConfigureGraph();
    // Makes sure a reference exists: loaded from the profile, else asked for
    // until one is given or the user cancels. Runs once, after opening.
    void EnsureReference();

protected:
    void OnRxMessage(int slot) override;
    void OnRefreshTick() override;

private:
    // Labels, scales and the history's samples from its oldest.
    void SetUp();
    // The samples the history stored since the last look.
    void ReadNewSamples();
    void AddSample(const NeuSample& sample);
    void ShowFields();

    std::array<CStripChart*, 3> charts_{};
    std::array<QLineEdit*, kFields> fields_{};
    QLabel* scaleLabel_ = nullptr;
    QAction* configure_ = nullptr;
    std::uint64_t seen_ = 0;
};

}  // namespace zarnmon
