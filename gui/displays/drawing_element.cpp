#include "gui/displays/drawing_element.h"

#include <QFontMetrics>
#include <algorithm>
#include <utility>

#include "core/state/fixed_format.h"

namespace zarnmon {

int CElementList::UpdateAll(const std::function<void(const ElementRect&)>& invalidate) {
    int changed = 0;
    for (const auto& element : elements_) {
        if (element->UpdateText()) {
            invalidate(element->Rect());
            ++changed;
        }
    }
    return changed;
}

void CElementList::PaintAll(QPainter& painter, const QRect& clip) const {
    for (const auto& element : elements_) {
        if (element->Intersects(clip)) {
            element->Draw(painter);
        }
    }
}

QSize CElementList::Extent(int margin) const {
    int right = 0;
    int bottom = 0;
    for (const auto& element : elements_) {
        right = std::max(right, element->Rect().right);
        bottom = std::max(bottom, element->Rect().bottom);
    }
    return {right + margin, bottom + margin};
}

bool CElementList::HasText() const {
    return std::ranges::any_of(elements_, [](const auto& element) { return !element->ShownTexts().empty(); });
}

std::string CElementList::TabSeparated() const {
    std::vector<const CDrawingElement*> ordered;
    for (const auto& element : elements_) {
        ordered.push_back(element.get());
    }
    std::ranges::stable_sort(ordered, [](const CDrawingElement* a, const CDrawingElement* b) {
        return std::pair(a->Rect().top, a->Rect().left) < std::pair(b->Rect().top, b->Rect().left);
    });

    std::string text;
    // The line still open, which more cells of its top may join.
    bool lineOpen = false;
    int openTop = 0;
    const auto endLine = [&text, &lineOpen] {
        if (lineOpen) {
            text += '\n';
            lineOpen = false;
        }
    };
    const auto appendCells = [&text](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            text += i > 0 ? "\t" : "";
            text += cells[i];
        }
    };
    for (const CDrawingElement* element : ordered) {
        const TextLines lines = element->ShownTexts();
        if (lines.size() == 1) {
            if (lineOpen && openTop == element->Rect().top) {
                text += '\t';
            } else {
                endLine();
                lineOpen = true;
                openTop = element->Rect().top;
            }
            appendCells(lines.front());
            continue;
        }
        for (const auto& line : lines) {
            endLine();
            appendCells(line);
            text += '\n';
        }
    }
    endLine();
    return text;
}

void DrawAnchoredText(QPainter& painter, int x, int y, const QString& text, HAnchor h, VAnchor v) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(text);
    const int left = h == HAnchor::Left ? x : h == HAnchor::Right ? x - width : x - width / 2;
    const int baseline = v == VAnchor::Top ? y + metrics.ascent() : v == VAnchor::Bottom ? y - metrics.descent() : y;
    painter.drawText(left, baseline, text);
}

void SetPixelFont(QPainter& painter, int pixels, bool bold) {
    QFont font = painter.font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    painter.setFont(font);
}

std::string FormatInt(long long value) {
    std::string text;
    AppendInt(text, value);
    return text;
}

std::string FormatInt2(int value) {
    std::string text = FormatInt(value);
    if (text.size() < 2) {
        text.insert(0, 2 - text.size(), ' ');
    }
    return text;
}

std::string FormatFixed(double value, int precision) {
    std::string text;
    AppendFixed(text, value, precision);
    return text;
}

}  // namespace zarnmon
