#include "gui/displays/sky_view.h"

#include "gui/state/latin1.h"

namespace zarnmon {

namespace {

constexpr ElementRect kPlotRect{12, 12, 448, 438};
constexpr ElementRect kLegendRect{12, 442, 448, 486};
constexpr int kMargin = 12;

}  // namespace

CViewSky::CViewSky(const ViewServices& services, QWidget* parent)
    : CElementView(services, parent), msg98_(Dispatcher(), Slots::Msg98), msg100_(Dispatcher(), Slots::Msg100) {
    CElementList& elements = MutableElements();
    plot_ = &elements.Add<CDrawSkyPlot>(picture_, kPlotRect);
    elements.Add<CDrawSkyLegend>(kLegendRect);
    elements.Add<CDrawCnoScale>();
    for (int channel = 0; channel < kSignalChannels; ++channel) {
        bars_.push_back(&elements.Add<CDrawCnoBar>(picture_, channel));
    }
    // Over the bars, so a line stays visible across a bar that reaches it.
    thresholds_ = &elements.Add<CDrawCnoThresholds>(Context().Thresholds());
}

CViewSky::~CViewSky() {
    const bool autoConfigure = Context().autoConfigure;
    msg98_.Release(autoConfigure);
    msg100_.Release(autoConfigure);
}

const CDrawCnoBar& CViewSky::Bar(int channel) const { return *bars_.at(static_cast<std::size_t>(channel)); }

bool CViewSky::TurnedOnHere(int slot) const {
    return slot == Slots::Msg98 ? msg98_.TurnedOnHere() : slot == Slots::Msg100 ? msg100_.TurnedOnHere() : false;
}

QString CViewSky::CopiedText() const {
    std::string text;
    for (std::size_t i = 0; i < Elements().Count(); ++i) {
        for (const auto& line : Elements().At(i).ShownTexts()) {
            for (std::size_t cell = 0; cell < line.size(); ++cell) {
                text += cell > 0 ? "\t" : "";
                text += line[cell];
            }
            text += '\n';
        }
    }
    return Latin1(text);
}

void CViewSky::OnInitialUpdate() {
    SetExtent(Elements().Extent(kMargin));
    SubscribeTo(Slots::Msg99);
    SubscribeTo(Slots::Msg89);
    SubscribeTo(Slots::Msg98);
    SubscribeTo(Slots::Msg100);
}

void CViewSky::OnRxMessage(int /*slot*/) { UpdateAll(); }

void CViewSky::OnBeforeUpdate() { picture_.Update(Dispatcher()); }

void CViewSky::OnRefreshTick() {
    if (CountDown() && Context().autoConfigure) {
        // As the channel table keeps its messages on; message 2 tells which satellites are used.
        for (const int slot : {Slots::Msg99, Slots::Msg2, Slots::Msg89}) {
            Dispatcher().EnsureState(slot, true, false);
        }
        msg98_.KeepOn();
        msg100_.KeepOn();
    }
    // Channel data that stopped arriving goes stale without a notification.
    UpdateAll();
}

}  // namespace zarnmon
