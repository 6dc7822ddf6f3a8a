#pragma once

// "View of Statistics": the receiver's processing statistics from message 97
// and two counters of the program, as read-only fields in two frames,
// reloaded on every message 97.

#include <QLineEdit>
#include <array>

#include "core/state/statistics.h"
#include "gui/state/form_view.h"

namespace zarnmon {

class CViewStatistics final : public CFormView {
    Q_OBJECT

public:
    static constexpr std::size_t kFields = 7;

    explicit CViewStatistics(const ViewServices& services, QWidget* parent = nullptr);
    // Message 97 goes off again with the view, unless the user controls the messages.
    ~CViewStatistics() override;

    // The fields' texts from top to bottom.
    [[nodiscard]] QString FieldText(std::size_t field) const { return fields_.at(field)->text(); }

protected:
    void OnRxMessage(int slot) override;
    void OnRefreshTick() override;

private:
    void Show(const ReceiverStatistics& statistics);

    std::array<QLineEdit*, kFields> fields_{};
};

}  // namespace zarnmon
