#pragma once

// What the view tests share: a context with its own dispatcher and a clock
// that moves only when told, frames fed into it with a sender that records
// commands, the main frame's receiver controls as a flag, a recorder of the
// areas a view repaints, and colour checks on rendered cells.

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/settings_store.h"
#include "core/link/frame_builder.h"
#include "core/link/tick_clock.h"
#include "gui/displays/drawing_element.h"
#include "gui/state/rx_event.h"
#include "gui/state/view_services.h"
#include "support/recorders.h"

namespace zarnmon::test {

// The union of the areas painted on a widget since the last Take.
class CPaintRecorder final : public QObject {
public:
    explicit CPaintRecorder(QWidget& target) { target.installEventFilter(this); }
    QRegion Take() {
        QCoreApplication::processEvents();
        return std::exchange(painted_, QRegion());
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted_ += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }

private:
    QRegion painted_;
};

class CFakeReceiverControl final : public IReceiverControl {
public:
    [[nodiscard]] bool WaasProcessing() const override { return waas; }
    void SetWaasProcessing(bool on) override { waas = on; }
    void ShowStatusMessage(const QString& text) override { status = text; }
    bool waas = false;
    QString status;
};

struct ViewContext {
    ViewContext() { context.dispatcher.SetSender(&sender); }
    ~ViewContext() { context.dispatcher.SetSender(nullptr); }

    // Stores the frame in its handler; views hear of it when events are processed.
    void Feed(const CBinFrameBuilder& frame) {
        const std::vector<std::uint8_t> bytes = frame.Build();
        context.dispatcher.Feed(bytes);
        QCoreApplication::processEvents();
    }
    // A text line, as received.
    void FeedLine(std::string_view line) {
        context.dispatcher.Feed(std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
        QCoreApplication::processEvents();
    }
    // Refresh ticks, each handled before the next.
    static void Ticks(QObject& view, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            PostRefreshTick(&view);
            QCoreApplication::processEvents();
        }
    }

    CManualTickClock clock;
    CSettingsStore settings;
    RecordingSender sender;
    CAppContext context{settings, clock};
    CFakeReceiverControl receiver;
    ViewServices services{context, receiver};
};

// Whether any pixel of the cell is close to the colour (text is antialiased).
[[nodiscard]] inline bool CellHasColor(const QImage& image, const QRect& cell, std::uint32_t ref) {
    const QColor wanted = ColorFromRef(ref);
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - wanted.red()) < 40 && std::abs(pixel.green() - wanted.green()) < 40 &&
                std::abs(pixel.blue() - wanted.blue()) < 40) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace zarnmon::test
