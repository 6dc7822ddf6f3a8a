#pragma once

// "View of Heading": the receiver's heading as a compass dial with a needle
// and as the text "HEADING=%.1lf°", from the heading (or, failing that, the
// course) sentences of the NMEA handler. It draws itself: there are no
// elements, only the dial, which repaints the text and the needle's old and
// new places when the heading changes.
//
// Geometry is in the view's logical pixels (y down, before scrolling): the
// dial is inscribed in (30, 30)-(330, 330), the needle reaches 150 px out
// and its sides 100 px.

#include <QPaintDevice>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>

#include "core/state/heading_reader.h"
#include "gui/displays/element_view.h"

namespace zarnmon {

struct HeadingNeedle {
    QPoint centre;
    // On the inner radius 4° before the heading, the tip, and 4° after it:
    // the outline runs centre, these three, centre.
    std::array<QPoint, 3> points;
    // The points with 2 px to spare on every side.
    QRect area;
};

[[nodiscard]] HeadingNeedle NeedleFor(double heading);
// Screens, images and pixmaps: a filled needle. Printers and metafiles get
// its outline alone.
[[nodiscard]] bool CanCopyBits(const QPaintDevice& device);

class CViewHeading final : public CElementView {
    Q_OBJECT

public:
    static constexpr QRect kDialRect{QPoint(30, 30), QPoint(329, 329)};

    explicit CViewHeading(const ViewServices& services, QWidget* parent = nullptr);
    // Switches off what the view asked for, unless the user controls the messages.
    ~CViewHeading() override;

    [[nodiscard]] const CHeadingReader& Reader() const { return reader_; }
    [[nodiscard]] const HeadingNeedle& Needle() const { return needle_; }
    [[nodiscard]] QString HeadingText() const;
    // The view has no elements: its text is the heading line.
    [[nodiscard]] QString CopiedText() const override { return HeadingText() + QLatin1Char('\n'); }
    [[nodiscard]] bool HasCopiedText() const override { return true; }
    // Repainted with every new heading; one line of text once painted.
    [[nodiscard]] QRect TextRect() const { return textRect_; }
    // The whole view on any device, as a printer would get it.
    void Render(QPainter& painter);

protected:
    void OnInitialUpdate() override;
    void OnRxMessage(int slot) override;
    void OnRefreshTick() override;
    void PaintOver(QPainter& painter, const QRect& clip) override;

private:
    void FitTextRect(const QPainter& painter);

    CHeadingReader reader_;
    HeadingNeedle needle_;
    QRect textRect_;
};

}  // namespace zarnmon
