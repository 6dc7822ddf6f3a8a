#pragma once

// Table cells and labelled boxes, the two shapes most views are built of.
//
// A table has a header row 0 and fixed column widths; its cells sit at
// (20, 20) plus the widths and row heights before them, and draw the borders
// their flags ask for. A box is a framed rectangle with three label/value
// lines: top, middle and bottom.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gui/displays/drawing_element.h"

namespace zarnmon {

// Border bits of a table cell.
namespace borders {
inline constexpr int kTop = 1;
inline constexpr int kLeft = 2;
inline constexpr int kBottom = 4;
inline constexpr int kRight = 8;
inline constexpr int kAll = kTop | kLeft | kBottom | kRight;
}  // namespace borders

// Text alignment of a table cell: the text starts 3 pixels in from its edge.
enum class TextAlign { Left = 0, Right = 2, Centre = 6 };

// What a cell shows: compared whole to tell whether it must be repainted.
struct CellContent {
    std::string text;
    std::uint32_t color = colors::kBlack;
    bool operator==(const CellContent&) const = default;
};

// The shown text of a data row without valid data.
inline constexpr std::string_view kNoData = "---";

// The border lines the flags ask for, 1 pixel black, inside the rectangle.
void DrawBorders(QPainter& painter, const ElementRect& rect, int borderFlags);

class CGridCell : public CContentElement<CellContent> {
public:
    void Draw(QPainter& painter) override;
    [[nodiscard]] TextLines ShownTexts() const override { return {{Text()}}; }

    // Places the cell; row 0 is the header.
    void LayOut(int row, const ElementRect& rect, int borderFlags, TextAlign align);

    [[nodiscard]] int Row() const { return row_; }
    [[nodiscard]] const std::string& Text() const { return Shown().text; }
    [[nodiscard]] std::uint32_t Color() const { return Shown().color; }
    [[nodiscard]] int Borders() const { return borders_; }
    [[nodiscard]] TextAlign Align() const { return align_; }

private:
    int row_ = -1;
    TextAlign align_ = TextAlign::Centre;
    int borders_ = 0;
};

// The geometry of a table: rows of one height, columns of given widths, and
// the data rows that close a group with a line below them.
struct GridLayout {
    int rowHeight;
    std::span<const int> widths;
    int rows;
    std::vector<int> closingRows;

    [[nodiscard]] ElementRect CellRect(int row, int column) const;
    [[nodiscard]] int BorderFlags(int row, int column) const;
    [[nodiscard]] QSize Extent() const;
};

// What a box shows besides its labels.
struct BoxContent {
    std::array<std::string, 3> values;
    std::uint32_t color = colors::kBlack;
    bool operator==(const BoxContent&) const = default;
};

class CBoxElement : public CContentElement<BoxContent> {
public:
    void Draw(QPainter& painter) override;
    // A "label<tab>value" line per label.
    [[nodiscard]] TextLines ShownTexts() const override;

    void SetLabels(const std::array<std::string, 3>& labels) { labels_ = labels; }

    [[nodiscard]] const std::array<std::string, 3>& Labels() const { return labels_; }
    [[nodiscard]] const std::array<std::string, 3>& Values() const { return Shown().values; }
    [[nodiscard]] std::uint32_t Color() const { return Shown().color; }

private:
    std::array<std::string, 3> labels_;
};

}  // namespace zarnmon
