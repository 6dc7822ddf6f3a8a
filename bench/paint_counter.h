#pragma once

// Counts the paint events of the widgets it watches, so a benchmark can show
// that repainting was measured, not skipped, and notes when the last one
// came, on the steady clock, for the latency from data to screen.

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <chrono>

namespace zarnmon {

class CPaintCounter final : public QObject {
public:
    long paints = 0;
    std::chrono::steady_clock::time_point lastPaint;

    // Watches widget and every widget inside it.
    void Watch(QWidget& widget) {
        widget.installEventFilter(this);
        for (QWidget* child : widget.findChildren<QWidget*>()) {
            child->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            lastPaint = std::chrono::steady_clock::now();
        }
        return false;
    }
};

}  // namespace zarnmon
