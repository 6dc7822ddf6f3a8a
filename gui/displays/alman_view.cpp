#include "gui/displays/alman_view.h"

#include <QFontMetrics>

#include "gui/displays/grid_cell.h"
#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

constexpr int kOrigin = 20;
constexpr int kMargin = 20;
// Status, elevation, azimuth, Doppler, update count.
constexpr std::array<int, 5> kSubColumnWidths{100, 30, 30, 50, 50};
constexpr int kTextInset = 3;
constexpr int kStatusLeft = 14;
constexpr int kEmptyCells = 4;

// The marker: 8 pixels square, 2 in from the cell's left edge, centred on its middle.
constexpr int kMarkerLeft = 2;
constexpr int kMarkerHalf = 4;
constexpr std::uint32_t kMarkerColor = 0x00FF00;

const AlmanContent& HeaderContent() {
    static const AlmanContent header{{"SV STATUS", "ELV", "AZI", "DOPP", "UpCnt"}};
    return header;
}

bool IsHeader(int index) { return index < 0; }
bool IsSatellite(int index) { return index >= 0 && index < CDrawAlman::kSatellites; }

int BlockOf(int index) { return IsHeader(index) ? -index - 1 : index / CDrawAlman::kRowsPerBlock; }

ElementRect CellRect(int index) {
    const int row = IsHeader(index) ? 0 : index % CDrawAlman::kRowsPerBlock + 1;
    const int left = kOrigin + CDrawAlman::kBlockWidth * BlockOf(index);
    const int top = kOrigin + CDrawAlman::kRowHeight * row;
    return {left, top, left + CDrawAlman::kBlockWidth, top + CDrawAlman::kRowHeight};
}

int BorderFlags(int index) {
    int flags = borders::kLeft;
    if (IsHeader(index)) {
        flags |= borders::kTop | borders::kBottom;
    } else if (index % CDrawAlman::kRowsPerBlock == 0) {
        flags |= borders::kTop;
    } else if (index % CDrawAlman::kRowsPerBlock == CDrawAlman::kRowsPerBlock - 1) {
        flags |= borders::kBottom;
    }
    if (BlockOf(index) == CDrawAlman::kBlocks - 1) {
        flags |= borders::kRight;
    }
    return flags;
}

// Where the registry keeps the cell of an index.
std::size_t PositionOf(int index) {
    return static_cast<std::size_t>(IsHeader(index) ? CDrawAlman::kSatellites + kEmptyCells - index - 1 : index);
}

}  // namespace

CDrawAlman::CDrawAlman(int index, const CMsgDispatcher& dispatcher)
    : CContentElement(IsHeader(index) ? HeaderContent() : AlmanContent{}),
      index_(index),
      borders_(BorderFlags(index)),
      dispatcher_(dispatcher) {
    SetRect(CellRect(index));
}

AlmanContent CDrawAlman::Compute() {
    if (IsHeader(index_)) {
        return HeaderContent();
    }
    const CMsg98Handler& handler = dispatcher_.AlmanacHandler();
    const Msg98View last(handler.LastMessage());
    AlmanContent content;
    if (index_ == kIonoIndex) {
        content.texts[0] = std::string("IONO: ") + (last.IonoValid() != 0 ? "Valid" : "Invalid");
        return content;
    }
    if (!IsSatellite(index_)) {
        return content;
    }
    const AlmanacRecord entry = handler.Almanac().Entry(index_);
    const std::string_view status = entry.StatusText();
    content.texts[0] = FormatInt2(index_ + 1) + ", " + std::string(status);
    if (status == "NoInfo" || status == "NoSuch") {
        content.texts[1] = content.texts[2] = content.texts[3] = content.texts[4] = std::string(kNoData);
    } else {
        content.texts[1] = FormatInt(entry.Elevation());
        content.texts[2] = FormatInt(entry.AzimuthDegrees());
        content.texts[3] = FormatInt(entry.Doppler());
        content.texts[4] = FormatInt(entry.UpdateCount());
    }
    content.highlight = last.LastAlmPrn() == index_ + 1;
    return content;
}

QRect CDrawAlman::MarkerRect() const {
    const ElementRect& r = Rect();
    const int middle = (r.top + r.bottom) / 2;
    return {r.left + kMarkerLeft, middle - kMarkerHalf, 2 * kMarkerHalf, 2 * kMarkerHalf};
}

void CDrawAlman::Draw(QPainter& painter) {
    const AlmanContent& content = TakeForPaint();
    const ElementRect& r = Rect();
    DrawBorders(painter, r, borders_);
    if (content.highlight) {
        painter.fillRect(MarkerRect(), ColorFromRef(kMarkerColor));
    }

    const int y = (r.top + r.bottom) / 2 - painter.fontMetrics().height() / 2;
    painter.setPen(ColorFromRef(colors::kBlack));
    DrawAnchoredText(painter, r.left + kStatusLeft, y, Latin1(content.texts[0]), HAnchor::Left, VAnchor::Top);
    // The other texts end 3 pixels before the right edge of their sub-column.
    int right = r.left + kSubColumnWidths[0];
    for (std::size_t i = 1; i < content.texts.size(); ++i) {
        right += kSubColumnWidths[i];
        DrawAnchoredText(painter, right - kTextInset, y, Latin1(content.texts[i]), HAnchor::Right, VAnchor::Top);
    }
}

CViewAlman::CViewAlman(const ViewServices& services, QWidget* parent) : CElementView(services, parent) {
    CElementList& elements = MutableElements();
    const CMsgDispatcher& dispatcher = Dispatcher();
    for (int index = 0; index < CDrawAlman::kSatellites + kEmptyCells; ++index) {
        elements.Add<CDrawAlman>(index, dispatcher);
    }
    for (int block = 0; block < CDrawAlman::kBlocks; ++block) {
        elements.Add<CDrawAlman>(-block - 1, dispatcher);
    }
}

CViewAlman::~CViewAlman() {
    if (Context().autoConfigure) {
        Dispatcher().SendDisable(Slots::Msg98, false);
    }
}

const CDrawAlman& CViewAlman::Cell(int index) const {
    return static_cast<const CDrawAlman&>(Elements().At(PositionOf(index)));
}

void CViewAlman::OnInitialUpdate() {
    SetExtent(Elements().Extent(kMargin));
    SubscribeTo(Slots::Msg98);
}

void CViewAlman::OnRxMessage(int /*slot*/) { UpdateAll(); }

}  // namespace zarnmon
