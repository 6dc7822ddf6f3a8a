#pragma once

// "Data Flow Control": switch the receiver's messages on and off by hand,
// and the auto-configure switch. The rows follow what actually flows, once a
// second, until the user touches one of them.

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QTimer>
#include <array>

#include "core/link/msg_dispatcher.h"

namespace zarnmon {

class CDataFlowDialog final : public QDialog {
    Q_OBJECT

public:
    struct Row {
        const char* label;
        int slot;
    };
    static constexpr std::array<Row, 9> kRows = {{
        {"GPS Pos (bin msg 1)", Slots::Msg1},
        {"Dops (bin msg 2)", Slots::Msg2},
        {"GPS Diag (bin msg 99)", Slots::Msg99},
        {"Sats/Almanac (bin msg 98)", Slots::Msg98},
        {"Process Stats (bin msg 97)", Slots::Msg97},
        {"Cd/Cr Phase (bin msg 96)", Slots::Msg96},
        {"Ephemeris (bin msg 95)", Slots::Msg95},
        {"WAAS Binary (bin msg 80)", Slots::Msg80},
        {"L-Band Diag1 (asc msg D1)", Slots::Rd1Handler},
    }};

    CDataFlowDialog(CMsgDispatcher& dispatcher, bool& autoConfigure, QWidget* parent = nullptr);

    // The row's "On" button is checked.
    [[nodiscard]] bool RowOn(int slot) const;
    void SetRow(int slot, bool on);
    [[nodiscard]] QCheckBox& AutoConfigureBox() { return *autoConfigureBox_; }

    void accept() override;

private:
    void RefreshRows();

    CMsgDispatcher& dispatcher_;
    bool& autoConfigure_;
    std::array<QButtonGroup*, kRows.size()> groups_{};
    QCheckBox* autoConfigureBox_ = nullptr;
    bool msg100On_ = false;
    QTimer refresh_;
};

}  // namespace zarnmon
