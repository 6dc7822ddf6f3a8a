#include "gui/displays/grid_cell.h"

#include <QFontMetrics>
#include <algorithm>
#include <numeric>

#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

constexpr int kGridOrigin = 20;
constexpr int kCellInset = 3;
constexpr int kCellTextTop = 2;
constexpr int kBoxInset = 6;

// A 1-pixel black pen and no fill; each line ends one pixel short of its end
// point, so that a cell's border stays inside the cell.
void SetOutlinePen(QPainter& painter) {
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
}

void DrawOutline(QPainter& painter, const ElementRect& r) {
    painter.drawRect(r.left, r.top, r.Width() - 1, r.Height() - 1);
}

}  // namespace

void CGridCell::LayOut(int row, const ElementRect& rect, int borderFlags, TextAlign align) {
    row_ = row;
    SetRect(rect);
    borders_ = borderFlags;
    align_ = align;
}

void DrawBorders(QPainter& painter, const ElementRect& r, int borderFlags) {
    SetOutlinePen(painter);
    if (borderFlags == borders::kAll) {
        DrawOutline(painter, r);
        return;
    }
    if ((borderFlags & borders::kTop) != 0) {
        painter.drawLine(r.left, r.top, r.right - 1, r.top);
    }
    if ((borderFlags & borders::kLeft) != 0) {
        painter.drawLine(r.left, r.top, r.left, r.bottom - 1);
    }
    if ((borderFlags & borders::kBottom) != 0) {
        painter.drawLine(r.left, r.bottom - 1, r.right - 1, r.bottom - 1);
    }
    if ((borderFlags & borders::kRight) != 0) {
        painter.drawLine(r.right - 1, r.top, r.right - 1, r.bottom - 1);
    }
}

void CGridCell::Draw(QPainter& painter) {
    const CellContent& content = TakeForPaint();
    const ElementRect& r = Rect();
    DrawBorders(painter, r, borders_);

    // Alignment values with bit 1 set (right and centre) anchor at the right inset.
    const bool fromRight = (static_cast<int>(align_) & 2) != 0;
    const HAnchor anchor = align_ == TextAlign::Left    ? HAnchor::Left
                           : align_ == TextAlign::Right ? HAnchor::Right
                                                        : HAnchor::Centre;
    painter.setPen(ColorFromRef(content.color));
    DrawAnchoredText(painter, fromRight ? r.right - kCellInset : r.left + kCellInset, r.top + kCellTextTop,
                     Latin1(content.text), anchor, VAnchor::Top);
}

ElementRect GridLayout::CellRect(int row, int column) const {
    const int left = std::accumulate(widths.begin(), widths.begin() + column, kGridOrigin);
    const int top = kGridOrigin + row * rowHeight;
    return {left, top, left + widths[static_cast<std::size_t>(column)], top + rowHeight};
}

int GridLayout::BorderFlags(int row, int column) const {
    int flags = 0;
    if (row == 0) {
        flags |= borders::kTop | borders::kBottom;
    }
    if (column == 0) {
        flags |= borders::kLeft;
    }
    if (std::ranges::find(closingRows, row) != closingRows.end()) {
        flags |= borders::kBottom;
    }
    if (column + 1 == static_cast<int>(widths.size())) {
        flags |= borders::kRight;
    }
    return flags;
}

QSize GridLayout::Extent() const {
    return {2 * kGridOrigin + std::accumulate(widths.begin(), widths.end(), 0), 2 * kGridOrigin + rows * rowHeight};
}

void CBoxElement::Draw(QPainter& painter) {
    const BoxContent& content = TakeForPaint();
    const ElementRect& r = Rect();
    SetOutlinePen(painter);
    DrawOutline(painter, r);
    painter.setPen(ColorFromRef(content.color));

    const int h = painter.fontMetrics().height();
    const int q = (3 * h) / 4;
    const std::array<std::pair<int, VAnchor>, 3> lines{
        {{r.top + q, VAnchor::Top}, {(r.top + r.bottom - h) / 2, VAnchor::Top}, {r.bottom - q, VAnchor::Bottom}}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto [y, anchor] = lines[i];
        DrawAnchoredText(painter, r.left + kBoxInset, y, Latin1(labels_[i]), HAnchor::Left, anchor);
        DrawAnchoredText(painter, r.right - kBoxInset, y, Latin1(content.values[i]), HAnchor::Right, anchor);
    }
}

TextLines CBoxElement::ShownTexts() const {
    TextLines lines;
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        lines.push_back({labels_[i], Values()[i]});
    }
    return lines;
}

}  // namespace zarnmon
