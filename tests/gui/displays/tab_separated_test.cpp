#include <gtest/gtest.h>

#include "gui/displays/drawing_element.h"

namespace zarnmon {
namespace {

class CFixedTexts final : public CDrawingElement {
public:
    CFixedTexts(const ElementRect& rect, TextLines lines) : lines_(std::move(lines)) { SetRect(rect); }
    bool UpdateText() override { return false; }
    void Draw(QPainter& /*painter*/) override {}
    [[nodiscard]] TextLines ShownTexts() const override { return lines_; }

private:
    TextLines lines_;
};

TEST(TabSeparatedTest, CellsOfATopJoinLeftToRightAndBlocksKeepTheirLines) {
    CElementList elements;
    // Added out of reading order.
    elements.Add<CFixedTexts>(ElementRect{60, 40, 100, 60}, TextLines{{"b2"}});
    elements.Add<CFixedTexts>(ElementRect{20, 20, 60, 40}, TextLines{{"a1", "a1'"}});
    elements.Add<CFixedTexts>(ElementRect{20, 40, 60, 60}, TextLines{{"a2"}});
    elements.Add<CFixedTexts>(ElementRect{60, 20, 100, 40}, TextLines{{""}});
    elements.Add<CFixedTexts>(ElementRect{0, 30, 10, 35}, TextLines{});
    elements.Add<CFixedTexts>(ElementRect{0, 80, 50, 120}, TextLines{{"Lat", "1.5"}, {"Lon", "2.5"}});
    elements.Add<CFixedTexts>(ElementRect{50, 80, 90, 120}, TextLines{{"Spd", "0.1"}});
    EXPECT_EQ(elements.TabSeparated(), "a1\ta1'\t\na2\tb2\nLat\t1.5\nLon\t2.5\nSpd\t0.1\n");
}

TEST(TabSeparatedTest, NoTextsGiveNothing) {
    CElementList elements;
    EXPECT_EQ(elements.TabSeparated(), "");
    elements.Add<CFixedTexts>(ElementRect{}, TextLines{});
    EXPECT_EQ(elements.TabSeparated(), "");
}

}  // namespace
}  // namespace zarnmon
