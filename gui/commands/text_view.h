#pragma once

// "View of Text Messages": the receiver's text lines as they arrive, in
// three scrolling boxes: replies and beacon replies ("1020"), NMEA
// sentences ("1019") and RTCM lines ("1021"). Every line is read from its
// handler's history, so a burst between two notifications loses nothing;
// each box drops its oldest text as it grows. Pause freezes the boxes so a
// moving stream can be read and copied: the lines keep arriving (and
// trimming) behind them and show when the boxes run again. The view turns
// no receiver message on or off.

#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/commands/history_reader.h"
#include "core/commands/text_lines.h"
#include "gui/state/edit_target.h"
#include "gui/state/form_view.h"

namespace zarnmon {

class CViewText final : public CFormView, public IEditTarget {
    Q_OBJECT

public:
    enum Box : std::uint8_t { Messages, Nmea, Rtcm, BoxCount };

    explicit CViewText(const ViewServices& services, QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override { return {640, 620}; }

    [[nodiscard]] QPlainTextEdit& Edit(Box box) const { return *boxes_.at(box).edit; }
    // The box's text as it holds it, each line ended by "\r\n", also while paused.
    [[nodiscard]] const std::string& Text(Box box) const { return boxes_.at(box).text; }
    [[nodiscard]] QPushButton& PauseButton() const { return *pause_; }

    // Copy takes the selection of the box that had the focus last; the boxes
    // are read-only, so Cut never applies and Paste has nowhere to go.
    [[nodiscard]] EditAbility Ability() const override;
    void Copy() override;
    void Cut() override;
    void Paste() override {}

protected:
    void OnRxMessage(int slot) override;
    void OnRefreshTick() override {}
    // A record of lines, not values that could be taken for live ones.
    [[nodiscard]] bool GreysStaleValues() const override { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TextBox {
        QPlainTextEdit* edit = nullptr;
        std::string text;
        // Lines went into text while the boxes were paused.
        bool behind = false;
    };
    struct Feed {
        int slot;
        Box box;
        CHistoryReader reader;
    };

    // Puts what lines just appended to the box's text on the screen.
    void Show(TextBox& box, const BoxAppend& appended);
    void SetPaused(bool paused);
    // The edit shows the box's whole text, with the caret at its end.
    static void ShowWhole(TextBox& box);

    std::array<TextBox, BoxCount> boxes_;
    std::vector<Feed> feeds_;
    QPlainTextEdit* lastFocus_ = nullptr;
    QPushButton* pause_ = nullptr;
    bool paused_ = false;
};

}  // namespace zarnmon
