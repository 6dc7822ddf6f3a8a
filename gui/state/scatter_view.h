#pragma once

// "View of Horizontal Scatter": every north/east error since start-up as a
// dot of east (x) against north (y) around the reference at the centre, on
// equal scales, with rings at CEP50 and CEP95 and the accuracy figures
// people quote. The track is the history's own list, not its ring, so a day
// at one sample a second is 86,400 dots: they are drawn as single pixels of
// a translucent colour straight into a cached image (dense areas darken),
// appended as samples arrive and redrawn whole only when the window's size
// or the scale changes. Figures follow the track at most once a second.

#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <array>
#include <cstddef>
#include <vector>

#include "core/state/accuracy_figures.h"
#include "gui/state/form_view.h"

namespace zarnmon {

// The plot: the dots in a square around the centre, the grid with its
// scale in metres, and the two rings.
class CScatterPlot final : public QWidget {
    Q_OBJECT

public:
    explicit CScatterPlot(QWidget* parent = nullptr);

    // Takes the track as it now stands (new samples are appended to the
    // picture) and the rings' radii.
    void SetTrack(const std::vector<NeuOffset>& track, double cep50, double cep95);
    // Metres from the centre to the edge of the square.
    [[nodiscard]] double HalfWidth() const { return halfWidth_; }
    // Dots in the cached picture.
    [[nodiscard]] std::size_t DrawnDots() const { return drawn_; }
    // Where a north/east error lands, in widget pixels.
    [[nodiscard]] QPointF PointOf(double north, double east) const;

    [[nodiscard]] QSize sizeHint() const override { return {520, 520}; }
    [[nodiscard]] QSize minimumSizeHint() const override { return {220, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    [[nodiscard]] QRectF Square() const;
    void RebuildPicture();
    void DrawDots(std::size_t from);

    // The program-wide track; it lives for the run (and may grow, so no span into it is kept).
    const std::vector<NeuOffset>* track_ = nullptr;
    double cep50_ = 0.0;
    double cep95_ = 0.0;
    double maxAbs_ = 0.0;
    std::size_t scanned_ = 0;
    double halfWidth_ = 1.0;
    QImage picture_;  // background, grid and dots at the device's pixels
    std::size_t drawn_ = 0;
};

class CViewScatter final : public CFormView {
    Q_OBJECT

public:
    enum Field {
        kSamples = 0,
        kMeanNorth,
        kMeanEast,
        kMeanUp,
        kStdNorth,
        kStdEast,
        kStdUp,
        kCep50,
        kCep95,
        kTwoDrms,
        kFields
    };

    explicit CViewScatter(const ViewServices& services, QWidget* parent = nullptr);

    [[nodiscard]] const AccuracyFigures& Figures() const { return figures_; }
    [[nodiscard]] QString FieldText(Field field) const { return fields_.at(static_cast<std::size_t>(field))->text(); }
    [[nodiscard]] CScatterPlot& Plot() const { return *plot_; }
    [[nodiscard]] QSize sizeHint() const override { return {840, 560}; }
    // The plot and the figures from the track as it stands now.
    void Refresh();

protected:
    void OnRxMessage(int slot) override;
    void OnRefreshTick() override;

private:
    void ShowFigures();

    CScatterPlot* plot_ = nullptr;
    std::array<QLineEdit*, kFields> fields_{};
    AccuracyFigures figures_;
    std::size_t figuresFor_ = 0;
    bool computed_ = false;
    QElapsedTimer sinceFigures_;
};

}  // namespace zarnmon
