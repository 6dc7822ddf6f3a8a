#pragma once

// "View of Zarn Monitor": the continuous pass/fail test of a receiver with
// L-band corrections, in a window. The test itself is the core's; the view
// shows its four indicator lights, its status light, its report in a
// read-only text box the user can copy from, and wears the failed icon on
// the main window while the test has failed.

#include <QPlainTextEdit>
#include <QPushButton>
#include <array>
#include <memory>

#include "core/state/monitor_test.h"
#include "gui/state/form_view.h"

namespace zarnmon {

// A light of the monitor: its whole area filled with its colour and outlined
// in black, as an ellipse or a rectangle.
class CIndicatorLamp final : public QWidget {
    Q_OBJECT

public:
    enum class Shape : std::uint8_t { Ellipse, Rectangle };

    explicit CIndicatorLamp(QWidget* parent = nullptr);

    void SetShape(Shape shape);
    // Repaints only when the colour changes.
    void SetColor(const QColor& color);
    [[nodiscard]] const QColor& Color() const { return color_; }
    [[nodiscard]] Shape LampShape() const { return shape_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_{192, 192, 192};
    Shape shape_ = Shape::Ellipse;
};

class CViewMonitor final : public CFormView {
    Q_OBJECT

public:
    static constexpr std::size_t kLights = 4;

    explicit CViewMonitor(const ViewServices& services, QWidget* parent = nullptr);
    // The test ends with the view: the main window wears its own icon again.
    ~CViewMonitor() override;

    [[nodiscard]] const CMonitorTest& Test() const { return *test_; }
    // Left to right.
    [[nodiscard]] const CIndicatorLamp& Light(std::size_t index) const { return *lights_.at(index); }
    [[nodiscard]] const CIndicatorLamp& StatusLight() const { return *status_; }
    [[nodiscard]] QPlainTextEdit& StatusBox() const { return *text_; }
    [[nodiscard]] QPushButton& ResetButton() const { return *reset_; }

protected:
    void OnRxMessage(int slot) override;
    void OnRefreshTick() override;

private:
    void ResetTest();
    // Lights, text and icon from the test as it now stands.
    void ShowTest();

    std::unique_ptr<CMonitorTest> test_;
    std::array<CIndicatorLamp*, kLights> lights_{};
    CIndicatorLamp* status_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QPushButton* reset_ = nullptr;
    std::uint64_t shownChanges_ = 0;
};

}  // namespace zarnmon
