#pragma once

// The self-drawing pieces of the data views: one element per table cell,
// solution box or map square. An element recomputes what it shows from the
// handlers' stored messages (UpdateText, which says whether anything visible
// changed) apart from painting it (Draw), so that a view repaints only what
// changed and its texts can be checked without pixels. Rectangles are in the
// view's logical pixels: y down, before the scroll offset is applied.

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/state/color_ref.h"

namespace zarnmon {

// Left and top inclusive, right and bottom exclusive, as the layouts give them.
struct ElementRect {
    int left = 0;
    int top = 0;
    int right = 10;
    int bottom = 8;

    [[nodiscard]] QRect ToQRect() const { return {left, top, right - left, bottom - top}; }
    [[nodiscard]] int Width() const { return right - left; }
    [[nodiscard]] int Height() const { return bottom - top; }
    bool operator==(const ElementRect&) const = default;
};

// Colours as the layouts give them: 0x00BBGGRR.
namespace colors {
inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kBlue = 0xFF0000;
inline constexpr std::uint32_t kCyan = 0xFFFF00;
inline constexpr std::uint32_t kDarkGreen = 0x007F00;
inline constexpr std::uint32_t kRed = 0x0000FF;
}  // namespace colors

// The texts an element shows, line by line, each line's cells left to right.
using TextLines = std::vector<std::vector<std::string>>;

class CDrawingElement {
public:
    CDrawingElement() = default;
    virtual ~CDrawingElement() = default;
    CDrawingElement(const CDrawingElement&) = delete;
    CDrawingElement& operator=(const CDrawingElement&) = delete;

    [[nodiscard]] const ElementRect& Rect() const { return rect_; }
    void SetRect(const ElementRect& rect) { rect_ = rect; }
    // Whether painting the element touches the area: by default, whether the
    // rectangles share at least one pixel.
    [[nodiscard]] virtual bool Intersects(const QRect& logical) const { return rect_.ToQRect().intersects(logical); }

    // Recomputes everything the element shows; true when what it shows changed.
    virtual bool UpdateText() = 0;
    virtual void Draw(QPainter& painter) = 0;
    // What the element shows as text, for copying a view as text; a shape
    // with no text gives nothing.
    [[nodiscard]] virtual TextLines ShownTexts() const { return {}; }

private:
    ElementRect rect_;
};

// An element whose whole visible state is one Content value: what Compute
// gives now, compared with what was shown to tell whether to repaint. A
// paint that follows no update computes first, and leaves the next paint to
// compute again, so a paint never shows stale data.
template <typename Content>
class CContentElement : public CDrawingElement {
public:
    bool UpdateText() final {
        Content next = Compute();
        const bool changed = next != content_;
        content_ = std::move(next);
        textCurrent_ = true;
        return changed;
    }
    // The next paint computes first.
    void MarkStale() { textCurrent_ = false; }

protected:
    explicit CContentElement(Content initial = {}) : content_(std::move(initial)) {}

    [[nodiscard]] virtual Content Compute() = 0;
    [[nodiscard]] const Content& Shown() const { return content_; }
    // The content a paint shows.
    const Content& TakeForPaint() {
        if (!textCurrent_) {
            UpdateText();
        }
        textCurrent_ = false;
        return content_;
    }

private:
    Content content_;
    bool textCurrent_ = false;
};

// A view's elements in creation order, which is also the order they update
// and paint in: a later element paints over an earlier one.
class CElementList {
public:
    template <typename Element, typename... Args>
    Element& Add(Args&&... args) {
        auto element = std::make_unique<Element>(std::forward<Args>(args)...);
        Element& added = *element;
        elements_.push_back(std::move(element));
        return added;
    }

    // Updates every element and hands the rectangle of each one that changed
    // to invalidate; returns how many changed.
    int UpdateAll(const std::function<void(const ElementRect&)>& invalidate);
    // Draws the elements that meet clip (logical coordinates).
    void PaintAll(QPainter& painter, const QRect& clip) const;
    void DeleteAll() { elements_.clear(); }

    [[nodiscard]] std::size_t Count() const { return elements_.size(); }
    [[nodiscard]] CDrawingElement& At(std::size_t index) const { return *elements_.at(index); }
    // The scroll extent the elements need: the right and bottom edges of their
    // union plus margin.
    [[nodiscard]] QSize Extent(int margin) const;
    // The elements' texts as tab-separated lines, top to bottom, each ending
    // in a newline: one-line elements that share a top make one line, left to
    // right; an element of several lines gives them on lines of their own.
    [[nodiscard]] std::string TabSeparated() const;
    // Whether any element shows text: the first that does answers.
    [[nodiscard]] bool HasText() const;

private:
    std::vector<std::unique_ptr<CDrawingElement>> elements_;
};

// Where a text is anchored: the point is its left edge, right edge or centre,
// and its top, bottom or baseline.
enum class HAnchor { Left, Right, Centre };
enum class VAnchor { Top, Bottom, Baseline };

void DrawAnchoredText(QPainter& painter, int x, int y, const QString& text, HAnchor h, VAnchor v);
// The painter's font at a size in pixels, which a printer's scale does not enlarge twice.
void SetPixelFont(QPainter& painter, int pixels, bool bold);

// printf's "%d", "%2d" and "%.Nlf" without format parsing.
[[nodiscard]] std::string FormatInt(long long value);
[[nodiscard]] std::string FormatInt2(int value);
[[nodiscard]] std::string FormatFixed(double value, int precision);

}  // namespace zarnmon
