#pragma once

// "Configure Debug Log": which of the receiver's debug messages 1..16 the
// debug log writes. Box n shows bit n - 1 of DebugLogMask; OK rebuilds the
// mask from the boxes (bits 16..31 become 0) and writes "DebugLogMask" as
// upper-case hexadecimal.

#include <QDialog>
#include <array>
#include <cstdint>

#include "core/app/settings_store.h"
#include "core/state/debug_log.h"

class QCheckBox;

namespace zarnmon {

class CConfigureDebugLogDialog final : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMessages = 16;

    // A mask the caller keeps (already loaded).
    CConfigureDebugLogDialog(std::uint32_t& mask, CSettingsStore& settings, QWidget* parent = nullptr);
    // The program-wide mask, loaded from the settings at its first use.
    CConfigureDebugLogDialog(CDebugLogMask& mask, CSettingsStore& settings, QWidget* parent = nullptr);

    // The mask the boxes show now.
    [[nodiscard]] std::uint32_t MaskFromBoxes() const;
    // Box for debug message n, 1..16.
    [[nodiscard]] QCheckBox& MessageCheckBox(int n) const;

    void accept() override;

private:
    struct Initial {
        std::uint32_t mask;
    };
    CConfigureDebugLogDialog(Initial initial, CSettingsStore& settings, QWidget* parent);

    CSettingsStore& settings_;
    std::uint32_t* plainMask_ = nullptr;
    CDebugLogMask* sharedMask_ = nullptr;
    std::array<QCheckBox*, kMessages> boxes_{};
};

}  // namespace zarnmon
