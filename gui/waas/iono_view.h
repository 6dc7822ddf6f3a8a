#pragma once

// The iono map: the chosen region cut into 2-degree squares, each holding a
// blue box whose side grows with the vertical delay at the square's centre,
// over the land, under a title naming the scale and framed by latitude and
// longitude marks.
//
// Message 80 arrives several times a second and the grid changes slowly, so a
// notification only starts a count of refresh ticks and the squares are
// recomputed on the fourth tick after it; later notifications in between do
// not restart the count. A recompute repaints only the squares whose value
// changed. Opening the map switches WAAS processing on; closing it switches
// it off again only if the map was the one that switched it on.

#include <QAction>
#include <QMenu>
#include <QSize>
#include <vector>

#include "core/waas/iono_map.h"
#include "gui/displays/element_view.h"
#include "gui/waas/land_layer.h"

namespace zarnmon {

// One map square. Its value is the delay in sixteenths of a metre, 0 while
// there is nothing to draw; the box is sized at paint time from the scale the
// context holds, so a scale change needs no recompute.
class CDrawIono final : public CDrawingElement {
public:
    CDrawIono(const CAppContext& context, bool extendMap, const IonoMapLayout& layout, int column, int row);

    [[nodiscard]] int Value() const { return value_; }
    [[nodiscard]] double Longitude() const { return longitude_; }
    [[nodiscard]] double Latitude() const { return latitude_; }

    bool UpdateText() override;
    void Draw(QPainter& painter) override;
    // A box above the scale reaches into its neighbours' cells.
    [[nodiscard]] bool Intersects(const QRect& logical) const override;
    // The cell and the box drawn in it, which may be larger.
    [[nodiscard]] QRect PaintedRect() const;

private:
    [[nodiscard]] IonoSquareShape Shape() const;

    const CAppContext& context_;
    bool extendMap_;
    double longitude_;
    double latitude_;
    int value_ = 0;
};

// Room a frame takes around a view's scroll extent, pixels.
struct FrameAllowance {
    int border = 0;     // each side
    int scrollBar = 0;  // one bar, either direction
    int caption = 0;
    int menu = 0;
};

// Whether a frame sized to extent stays within the screen's work area.
[[nodiscard]] bool FitsOnScreen(QSize extent, QSize screen, const FrameAllowance& allowance);

class CViewIono final : public CElementView {
    Q_OBJECT

public:
    static constexpr int kMapScaleId = 32805;
    static constexpr int kCoverageZoneId = 32806;

    explicit CViewIono(const ViewServices& services, QWidget* parent = nullptr);
    ~CViewIono() override;

    [[nodiscard]] const IonoMapLayout& Layout() const { return layout_; }
    [[nodiscard]] int SquareCount() const { return static_cast<int>(Elements().Count()); }
    [[nodiscard]] const CDrawIono& Square(int column, int row) const;
    [[nodiscard]] QMenu& MapMenu() const { return *menu_; }
    [[nodiscard]] const CLandLayer& Land() const { return land_; }

    // Every square recomputes its value and repaints where its box was and
    // is when the value changed; returns how many changed.
    int Recompute();
    // What OK in the scale dialog does.
    void SetScale(int scale);
    // What OK in the coverage dialog does: a new set of empty squares for the
    // coverage's layout.
    void SetCoverage(const IonoCoverage& coverage);

protected:
    void OnInitialUpdate() override;
    void OnRxMessage(int slot) override;
    // The main frame keeps message 80 coming while WAAS processing is on, so
    // the tick only runs the recompute count.
    void OnRefreshTick() override;
    [[nodiscard]] bool FitsFrame() const override;
    // The land and the title go under the squares: a box above the scale may
    // reach the title.
    void PaintUnder(QPainter& painter, const QRect& clip) override;
    void PaintOver(QPainter& painter, const QRect& clip) override;

private:
    // The squares, marks and land of the layout.
    void BuildMap();
    void PaintMarks(QPainter& painter) const;
    void EditScale();
    void EditCoverage();

    IonoMapLayout layout_;
    std::vector<IonoMapMark> latitudeMarks_;
    std::vector<IonoMapMark> longitudeMarks_;
    CLandLayer land_;
    // 0: no new data; else ticks since the first notification, plus one.
    int newData_ = 0;
    bool switchedWaasOn_ = false;
    QMenu* menu_ = nullptr;
};

}  // namespace zarnmon
