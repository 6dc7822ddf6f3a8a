#include "gui/waas/iono_view.h"

#include <QFont>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QStyle>
#include <array>

#include "gui/state/latin1.h"
#include "gui/waas/iono_map_dialogs.h"
#include "gui/waas/iono_rect.h"

namespace zarnmon {

namespace {

// Ticks counted from the first notification before the squares recompute:
// the count starts at 1 and the recompute runs when it reaches this.
constexpr int kRecomputeCount = 5;
constexpr int kCrossHalf = 8;
constexpr int kTickLength = 8;
constexpr int kTitleTop = 8;

const IonoCoverage& LoadedCoverage(CAppContext& context) {
    if (!context.ionoCoverage) {
        context.ionoCoverage = LoadIonoCoverage(context.settings, IonoCoverage{});
    }
    return *context.ionoCoverage;
}

QFont ArialFont(int pixels, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Lines end one pixel short of their end point, so that a line drawn from a
// corner covers exactly the pixels of the rectangle's edge.
void HorizontalLine(QPainter& painter, int left, int right, int y) {
    painter.fillRect(QRect(left, y, right - left, 1), Qt::black);
}

void VerticalLine(QPainter& painter, int x, int top, int bottom) {
    painter.fillRect(QRect(x, top, 1, bottom - top), Qt::black);
}

}  // namespace

CDrawIono::CDrawIono(const CAppContext& context, bool extendMap, const IonoMapLayout& layout, int column, int row)
    : context_(context),
      extendMap_(extendMap),
      longitude_(layout.SquareLongitude(column)),
      latitude_(layout.SquareLatitude(row)) {
    const IonoRect cell = layout.CellRect(column, row);
    SetRect({cell.left, cell.top, cell.right, cell.bottom});
}

bool CDrawIono::UpdateText() {
    const int value = IonoSquareValue(context_.waas.IonoDelayAt(longitude_, latitude_, extendMap_));
    const bool changed = value != value_;
    value_ = value;
    return changed;
}

IonoSquareShape CDrawIono::Shape() const {
    const ElementRect& cell = Rect();
    return IonoSquareGeometry({cell.left, cell.top, cell.right, cell.bottom}, value_, context_.ionoScale);
}

QRect CDrawIono::PaintedRect() const {
    const IonoSquareShape shape = Shape();
    const QRect cell = Rect().ToQRect();
    return shape.box ? cell.united(ToQRect(*shape.box)) : cell;
}

bool CDrawIono::Intersects(const QRect& logical) const { return PaintedRect().intersects(logical); }

void CDrawIono::Draw(QPainter& painter) {
    const IonoSquareShape shape = Shape();
    const QColor blue = ColorFromRef(colors::kBlue);
    if (shape.box) {
        painter.fillRect(ToQRect(*shape.box), blue);
        return;
    }
    for (int i = 0; i < shape.pixelCount; ++i) {
        painter.fillRect(QRect(shape.pixels[i].x, shape.pixels[i].y, 1, 1), blue);
    }
}

bool FitsOnScreen(QSize extent, QSize screen, const FrameAllowance& allowance) {
    const int width = screen.width() - 2 * allowance.border - allowance.scrollBar;
    const int height =
        screen.height() - allowance.menu - 2 * allowance.border - allowance.scrollBar - allowance.caption;
    return extent.width() < width && extent.height() < height;
}

CViewIono::CViewIono(const ViewServices& services, QWidget* parent)
    : CElementView(services, parent), layout_(LoadedCoverage(services.context).region) {
    BuildMap();

    menu_ = new QMenu(QStringLiteral("&Map Properties"), this);
    QAction* scale = menu_->addAction(QStringLiteral("Iono Map &Scale ..."));
    scale->setData(kMapScaleId);
    scale->setStatusTip(QStringLiteral("Set the scaling on the Iono map squares"));
    connect(scale, &QAction::triggered, this, &CViewIono::EditScale);
    QAction* coverage = menu_->addAction(QStringLiteral("Set Coverage &Zone ..."));
    coverage->setData(kCoverageZoneId);
    coverage->setStatusTip(QStringLiteral("Set the rectangular region upon which to display the iono map"));
    connect(coverage, &QAction::triggered, this, &CViewIono::EditCoverage);
    addAction(menu_->menuAction());
}

CViewIono::~CViewIono() {
    // The user may have switched processing off by hand since.
    if (switchedWaasOn_) {
        Receiver().SetWaasProcessing(false);
    }
}

const CDrawIono& CViewIono::Square(int column, int row) const {
    return static_cast<const CDrawIono&>(Elements().At(static_cast<std::size_t>(row * layout_.Columns() + column)));
}

int CViewIono::Recompute() {
    CElementList& squares = MutableElements();
    int changed = 0;
    for (std::size_t i = 0; i < squares.Count(); ++i) {
        auto& square = static_cast<CDrawIono&>(squares.At(i));
        const QRect before = square.PaintedRect();
        if (square.UpdateText()) {
            InvalidateLogical(before.united(square.PaintedRect()));
            ++changed;
        }
    }
    return changed;
}

void CViewIono::SetScale(int scale) {
    Context().ionoScale = scale;
    viewport()->update();
}

void CViewIono::SetCoverage(const IonoCoverage& coverage) {
    Context().ionoCoverage = coverage;
    layout_ = IonoMapLayout(coverage.region);
    BuildMap();
    const IonoSize extent = layout_.ScrollExtent();
    SetExtent({extent.width, extent.height});
    viewport()->update();
}

void CViewIono::OnInitialUpdate() {
    const IonoSize extent = layout_.ScrollExtent();
    SetExtent({extent.width, extent.height});
    SubscribeTo(Slots::Msg80);
    if (!Receiver().WaasProcessing()) {
        Receiver().SetWaasProcessing(true);
        switchedWaasOn_ = true;
    }
}

void CViewIono::OnRxMessage(int slot) {
    if (slot == Slots::Msg80 && newData_ == 0) {
        newData_ = 1;
    }
}

void CViewIono::OnRefreshTick() {
    if (newData_ == 0) {
        return;
    }
    if (++newData_ >= kRecomputeCount) {
        newData_ = 0;
        Recompute();
    }
}

bool CViewIono::FitsFrame() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return false;
    }
    const QStyle& s = *style();
    const int caption = s.pixelMetric(QStyle::PM_TitleBarHeight);
    // The work area still holds the main window's own caption and the menu
    // bar, which is about a line of text high.
    const FrameAllowance allowance{
        s.pixelMetric(QStyle::PM_MdiSubWindowFrameWidth) + frameWidth(),
        s.pixelMetric(QStyle::PM_ScrollBarExtent),
        2 * caption,
        fontMetrics().height() + 2 * s.pixelMetric(QStyle::PM_MenuBarVMargin),
    };
    const IonoSize extent = layout_.ScrollExtent();
    return FitsOnScreen({extent.width, extent.height}, screen->availableGeometry().size(), allowance);
}

void CViewIono::PaintUnder(QPainter& painter, const QRect& clip) {
    land_.Paint(painter, clip);
    if (clip.top() >= IonoMapLayout::kMapOrigin) {
        return;
    }
    painter.setFont(ArialFont(20, true));
    painter.setPen(Qt::black);
    DrawAnchoredText(painter, Extent().width() / 2, kTitleTop, Latin1(IonoMapTitle(Context().ionoScale)),
                     HAnchor::Centre, VAnchor::Top);
}

void CViewIono::PaintOver(QPainter& painter, const QRect& clip) {
    const IonoRect map = layout_.MapRect();
    const std::array<QPoint, 4> corners{QPoint(map.left, map.top), QPoint(map.right, map.top),
                                        QPoint(map.left, map.bottom), QPoint(map.right, map.bottom)};
    for (const QPoint& corner : corners) {
        HorizontalLine(painter, corner.x() - kCrossHalf, corner.x() + kCrossHalf, corner.y());
        VerticalLine(painter, corner.x(), corner.y() - kCrossHalf, corner.y() + kCrossHalf);
    }
    HorizontalLine(painter, map.left, map.right, map.top);
    VerticalLine(painter, map.left, map.top, map.bottom);

    // The marks lie in the margin above and left of the map; repainting a
    // few squares inside it need not lay out their texts.
    if (clip.left() >= IonoMapLayout::kMapOrigin && clip.top() >= IonoMapLayout::kMapOrigin) {
        return;
    }
    PaintMarks(painter);
}

void CViewIono::BuildMap() {
    CElementList& elements = MutableElements();
    elements.DeleteAll();
    const bool extendMap = LoadedCoverage(Context()).extendMap;
    // Row by row from the north, west to east: a box that outgrows its cell
    // covers the boxes before it.
    for (int row = 0; row < layout_.Rows(); ++row) {
        for (int column = 0; column < layout_.Columns(); ++column) {
            elements.Add<CDrawIono>(Context(), extendMap, layout_, column, row);
        }
    }
    latitudeMarks_ = IonoLatitudeMarks(layout_);
    longitudeMarks_ = IonoLongitudeMarks(layout_);
    land_ = CLandLayer(layout_);
}

void CViewIono::PaintMarks(QPainter& painter) const {
    constexpr int kEdge = IonoMapLayout::kMapOrigin;
    constexpr int kTickStart = kEdge - kTickLength;
    painter.setFont(ArialFont(14, false));
    painter.setPen(Qt::black);
    for (const IonoMapMark& mark : latitudeMarks_) {
        HorizontalLine(painter, kTickStart, kEdge, mark.position);
        DrawAnchoredText(painter, kTickStart, mark.position, Latin1(mark.label), HAnchor::Right, VAnchor::Baseline);
    }
    for (const IonoMapMark& mark : longitudeMarks_) {
        VerticalLine(painter, mark.position, kTickStart, kEdge);
        DrawAnchoredText(painter, mark.position, kTickStart, Latin1(mark.label), HAnchor::Centre, VAnchor::Bottom);
    }
}

void CViewIono::EditScale() {
    CIonoScaleDialog dialog(Context().ionoScale, this);
    if (dialog.exec() == QDialog::Accepted) {
        SetScale(dialog.Scale());
        SaveViewPreferences(Context().settings, Context().ViewChoices());
        SaveProfileNow(Context().settings);
    }
}

void CViewIono::EditCoverage() {
    CIonoCoverageDialog dialog(LoadedCoverage(Context()), Context().settings, this);
    if (dialog.exec() == QDialog::Accepted) {
        SetCoverage(dialog.Coverage());
    }
}

}  // namespace zarnmon
