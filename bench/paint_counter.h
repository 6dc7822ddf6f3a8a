#pragma once

// Counts the paint events of the widgets it watches, so a benchmark can show
// that repainting was measured, not skipped.

#include <QEvent>
#include <QObject>

namespace zarnmon {

class CPaintCounter final : public QObject {
public:
    long paints = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

}  // namespace zarnmon
