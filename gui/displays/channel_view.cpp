#include "gui/displays/channel_view.h"

#include <array>

#include "gui/displays/channel_cells.h"
#include "gui/state/adjust_residuals_dialog.h"

namespace zarnmon {

namespace {

constexpr std::array<int, 13> kWidths{50, 30, 40, 40, 55, 55, 50, 30, 70, 70, 70, 40, 60};
constexpr int kLockColumn = 11;

template <typename Cell>
void AddColumn(CElementList& elements, CAppContext& context, const ChannelUse& use, int column) {
    const GridLayout& layout = CViewChannel::Layout();
    for (int row = 0; row < layout.rows; ++row) {
        elements.Add<Cell>(context, use)
            .LayOut(row, layout.CellRect(row, column), layout.BorderFlags(row, column),
                    column == kLockColumn ? TextAlign::Left : TextAlign::Right);
    }
}

}  // namespace

const GridLayout& CViewChannel::Layout() {
    // The last GPS row and the last SBAS row close their groups.
    static const GridLayout layout{20, kWidths, kChannelRows, {kGpsChannelRows, kChannelRows - 1}};
    return layout;
}

CViewChannel::CViewChannel(const ViewServices& services, QWidget* parent) : CElementView(services, parent) {
    CAppContext& context = Context();
    CElementList& elements = MutableElements();
    int column = 0;
    AddColumn<CDrawChan>(elements, context, use_, column++);
    AddColumn<CDrawSV>(elements, context, use_, column++);
    AddColumn<CDrawElev>(elements, context, use_, column++);
    AddColumn<CDrawAzim>(elements, context, use_, column++);
    AddColumn<CDrawDoppler>(elements, context, use_, column++);
    AddColumn<CDrawNCO>(elements, context, use_, column++);
    AddColumn<CDrawUERE>(elements, context, use_, column++);
    AddColumn<CDrawSF>(elements, context, use_, column++);
    AddColumn<CDrawPRerr>(elements, context, use_, column++);
    AddColumn<CDrawVRerr>(elements, context, use_, column++);
    AddColumn<CDrawDiffC>(elements, context, use_, column++);
    AddColumn<CDrawLOCK>(elements, context, use_, column++);
    AddColumn<CDrawSNR>(elements, context, use_, column++);

    menu_ = new QMenu(QStringLiteral("&Channels"), this);
    recompute_ = menu_->addAction(QStringLiteral("Recompute &Residuals"));
    recompute_->setData(kRecomputeResidualsId);
    recompute_->setStatusTip(QStringLiteral("Recompute residuals using Zarnmon's configured Lat-Lon-Height"));
    recompute_->setCheckable(true);
    connect(recompute_, &QAction::triggered, this, &CViewChannel::ToggleResidualAdjust);
    // The check mark follows the program-wide state, which other windows may change.
    connect(menu_, &QMenu::aboutToShow, this, [this] { recompute_->setChecked(Context().residualAdjust.Adjusting()); });
    addAction(menu_->menuAction());
}

CViewChannel::~CViewChannel() = default;

const CGridCell& CViewChannel::Cell(int row, int column) const {
    return static_cast<const CGridCell&>(Elements().At(static_cast<std::size_t>(column * kChannelRows + row)));
}

void CViewChannel::OnInitialUpdate() {
    SetExtent(Layout().Extent());
    SubscribeTo(Slots::Msg99);
    SubscribeTo(Slots::Msg89);
}

void CViewChannel::OnRxMessage(int /*slot*/) {
    CAppContext& context = Context();
    if (context.residualAdjust.Adjusting()) {
        const CMsgDispatcher& dispatcher = context.dispatcher;
        context.residualAdjust.Recompute(context.reference,
                                         {Msg1View(dispatcher.Handler(Slots::Msg1).LastMessage()),
                                          Msg2View(dispatcher.Handler(Slots::Msg2).LastMessage()),
                                          Msg99View(dispatcher.Handler(Slots::Msg99).LastMessage()),
                                          Msg89View(dispatcher.Handler(Slots::Msg89).LastMessage())});
    }
    UpdateAll();
}

void CViewChannel::OnBeforeUpdate() { use_ = SampleChannelUse(Dispatcher()); }

std::vector<int> CViewChannel::KeptOnSlots() const { return {Slots::Msg99, Slots::Msg2, Slots::Msg89}; }

void CViewChannel::ToggleResidualAdjust() {
    CAppContext& context = Context();
    const bool fine = Msg99View(context.dispatcher.Handler(Slots::Msg99).LastMessage()).ResolutionFlag();
    zarnmon::ToggleResidualAdjust(context.residualAdjust, fine, this);
    recompute_->setChecked(context.residualAdjust.Adjusting());
}

}  // namespace zarnmon
