#include "gui/displays/gps_view.h"

#include "core/link/gps_time.h"
#include "core/link/msg_dispatcher.h"
#include "gui/state/user_location_dialog.h"

namespace zarnmon {

namespace {

constexpr std::array<int, CViewGPS::kBoxCount> kBoxWidths{140, 110, 110, 215, 120};
constexpr int kBoxMargin = 5;
constexpr int kBoxHeight = 90;

constexpr std::array<std::string_view, 3> kPositionLabels{"Lat", "Lon", "Height"};
constexpr std::array<std::string_view, 3> kNeuLabels{"N Error", "E Error", "U Error"};

std::array<std::string, 3> LabelTexts(const std::array<std::string_view, 3>& labels) {
    return {std::string(labels[0]), std::string(labels[1]), std::string(labels[2])};
}

// "%lX": upper-case hexadecimal without leading zeros.
std::string Hex(std::uint32_t value) {
    static constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0x0FU]);
        value >>= 4;
    } while (value != 0);
    return text;
}

}  // namespace

DateAndTime SplitDateTime(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    text.remove_prefix(first == std::string_view::npos ? text.size() : first);
    const auto blank = text.find(' ');
    if (blank == std::string_view::npos || blank == 0) {
        return {std::string(text), std::string(text)};
    }
    std::string_view time = text.substr(blank);
    time.remove_prefix(std::min(time.find_first_not_of(' '), time.size()));
    return {std::string(text.substr(0, blank)), std::string(time)};
}

Msg1View CDrawGPSBase::LastMsg1() const { return Msg1View(context_.dispatcher.Handler(Slots::Msg1).LastMessage()); }

Msg2View CDrawGPSBase::LastMsg2() const { return Msg2View(context_.dispatcher.Handler(Slots::Msg2).LastMessage()); }

CDrawGPSPos::CDrawGPSPos(const CAppContext& context) : CDrawGPSBase(context) { Relabel(); }

void CDrawGPSPos::Relabel() { SetLabels(LabelTexts(Context().showNeuErrors ? kNeuLabels : kPositionLabels)); }

BoxContent CDrawGPSPos::Compute() {
    const Msg1View msg1 = LastMsg1();
    BoxContent content;
    content.color = (msg1.NavMode() & 0x80U) != 0 ? colors::kBlue : colors::kBlack;
    if (!Context().showNeuErrors) {
        content.values = {FormatFixed(msg1.Latitude(), 7), FormatFixed(msg1.Longitude(), 7),
                          FormatFixed(msg1.Height(), 3)};
    } else if (msg1.Longitude() != 0.0) {
        // A longitude of exactly zero means no position yet.
        const NeuOffset error = Context().reference.NeuError(PositionOf(msg1));
        content.values = {FormatFixed(error.north, 3), FormatFixed(error.east, 3), FormatFixed(error.up, 3)};
    }
    return content;
}

CDrawGPSVel::CDrawGPSVel(const CAppContext& context) : CDrawGPSBase(context) { SetLabels({"Spd", "Hdg", "ROC"}); }

BoxContent CDrawGPSVel::Compute() {
    const Msg1View msg1 = LastMsg1();
    return {{FormatFixed(msg1.Speed(), 2), FormatFixed(msg1.Course(), 2), FormatFixed(msg1.VelUp(), 2)}};
}

CDrawGPSDOP::CDrawGPSDOP(const CAppContext& context) : CDrawGPSBase(context) { SetLabels({"HDOP", "VDOP", "AgeDiff"}); }

BoxContent CDrawGPSDOP::Compute() {
    const Msg1View msg1 = LastMsg1();
    const Msg2View msg2 = LastMsg2();
    const int age = msg1.ExtAgeOfDiff() != 0 ? msg1.ExtAgeOfDiff() : msg1.AgeOfDiff();
    return {{FormatFixed(msg2.Hdop() * 0.1, 1), FormatFixed(msg2.Vdop() * 0.1, 1), FormatInt(age)}};
}

CDrawGPSFlag::CDrawGPSFlag(const CAppContext& context) : CDrawGPSBase(context) {
    SetLabels({"NavMode", "No.Used(mask)", "Std. Dev. pseudo"});
}

BoxContent CDrawGPSFlag::Compute() {
    const Msg1View msg1 = LastMsg1();
    return {{std::string(msg1.FixType()), FormatInt(msg1.NumSats()) + " (" + Hex(LastMsg2().UsedMask()) + ")",
             FormatFixed(msg1.StdDevResid(), 2)}};
}

CDrawGPSTime::CDrawGPSTime(const CAppContext& context) : CDrawGPSBase(context) {
    SetLabels({"Date", "Time", "NCO Err"});
}

BoxContent CDrawGPSTime::Compute() {
    const Msg1View msg1 = LastMsg1();
    const std::int32_t offset = Context().dispatcher.GpsUtcOffset().Get();
    const DateAndTime split = SplitDateTime(UtcDateTimeText(msg1.GpsWeek(), msg1.GpsTimeOfWeek(), offset).View());
    const Msg99View msg99(Context().dispatcher.Handler(Slots::Msg99).LastMessage());
    return {{split.date, split.time, FormatInt(msg99.ClockErr())}};
}

CViewGPS::CViewGPS(const ViewServices& services, QWidget* parent) : CElementView(services, parent) {
    const CAppContext& context = Context();
    CElementList& elements = MutableElements();
    position_ = &elements.Add<CDrawGPSPos>(context);
    elements.Add<CDrawGPSVel>(context);
    elements.Add<CDrawGPSDOP>(context);
    elements.Add<CDrawGPSFlag>(context);
    elements.Add<CDrawGPSTime>(context);
    int left = kBoxMargin;
    for (std::size_t i = 0; i < kBoxWidths.size(); ++i) {
        elements.At(i).SetRect({left, kBoxMargin, left + kBoxWidths[i], kBoxMargin + kBoxHeight});
        left += kBoxWidths[i];
    }

    auto* menu = new QMenu(QStringLiteral("&Solution"), this);
    showNeu_ = menu->addAction(QStringLiteral("Show &NEU Errors"));
    showNeu_->setData(kShowNeuErrorsId);
    showNeu_->setStatusTip(QStringLiteral("Show NEU Errors instead of Lat/Lon/Height"));
    showNeu_->setToolTip(QStringLiteral("Show NEU Errors"));
    showNeu_->setCheckable(true);
    connect(showNeu_, &QAction::triggered, this, &CViewGPS::ToggleNeuErrors);
    // NEU mode is shared by every solution view.
    connect(menu, &QMenu::aboutToShow, this, [this] { showNeu_->setChecked(Context().showNeuErrors); });
    addAction(menu->menuAction());
}

CViewGPS::~CViewGPS() = default;

const CBoxElement& CViewGPS::Box(int index) const {
    return static_cast<const CBoxElement&>(Elements().At(static_cast<std::size_t>(index)));
}

void CViewGPS::OnInitialUpdate() {
    SetExtent(Elements().Extent(kBoxMargin));
    SubscribeTo(Slots::Msg1);
    SubscribeTo(Slots::Msg2);
}

void CViewGPS::OnRxMessage(int slot) {
    // Message 2 feeds the boxes too, but message 1 sets the pace.
    if (slot == Slots::Msg1) {
        UpdateAll();
    }
}

void CViewGPS::OnRefreshTick() {
    if (CountDown() && Context().autoConfigure) {
        Dispatcher().EnsureState(Slots::Msg1, true, false);
        Dispatcher().EnsureState(Slots::Msg2, true, false);
    }
    // While the position is silent the boxes follow whatever else still arrives.
    if (!Dispatcher().IsActive(Slots::Msg1, false)) {
        UpdateAll();
    }
}

void CViewGPS::OnActivation() {
    if (!Dispatcher().IsActive(Slots::Msg1, false)) {
        if (ICommandSender* sender = Dispatcher().Sender(); sender != nullptr) {
            // Automatic, so no message box when there is nowhere to send it.
            sender->Send("$JPOS\r", false);
        }
    }
}

void CViewGPS::ToggleNeuErrors() {
    CAppContext& context = Context();
    bool wanted = !context.showNeuErrors;
    if (wanted) {
        CReferencePosition& reference = context.reference;
        const auto load = [&context] {
            const Msg1View msg1(context.dispatcher.Handler(Slots::Msg1).LastMessage());
            LoadReferencePosition(context.reference, context.settings, PositionOf(msg1));
        };
        if (!reference.IsValid()) {
            load();
        }
        if (!reference.IsValid()) {
            CUserLocationDialog dialog(reference, context.dispatcher, context.settings, this);
            // The location just entered counts at once, not at the next try.
            if (dialog.exec() == QDialog::Accepted) {
                load();
            }
        }
        wanted = reference.IsValid();
    }
    showNeu_->setChecked(wanted);
    if (wanted == context.showNeuErrors) {
        return;
    }
    context.showNeuErrors = wanted;
    position_->Relabel();
    position_->MarkStale();
    InvalidateLogical(position_->Rect().ToQRect());
}

}  // namespace zarnmon
