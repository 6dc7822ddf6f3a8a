#include "gui/displays/channel_l2_view.h"

#include <algorithm>
#include <array>

#include "core/link/msg_dispatcher.h"

namespace zarnmon {

namespace {

constexpr std::array<int, 12> kWidths{50, 30, 60, 60, 60, 60, 60, 60, 60, 40, 60, 60};
constexpr std::array<int, 2> kLockColumns{9, 11};

template <typename Cell>
void AddColumn(CElementList& elements, const CMsgDispatcher& dispatcher, int column) {
    const GridLayout& layout = CViewChannelL2::Layout();
    const bool lock = std::ranges::find(kLockColumns, column) != kLockColumns.end();
    for (int row = 0; row < layout.rows; ++row) {
        elements.Add<Cell>(dispatcher)
            .LayOut(row, layout.CellRect(row, column), layout.BorderFlags(row, column),
                    lock ? TextAlign::Left : TextAlign::Right);
    }
}

L2ChannelRecord RecordOf(const Msg100View& msg100, int row) { return msg100.L2Channel(row - 1); }

}  // namespace

Msg100View CDrawChanL2Base::LastMsg100() const { return Msg100View(dispatcher_.Handler(Slots::Msg100).LastMessage()); }

CellContent CDrawChanL2Base::Compute() {
    const Msg100View msg100 = LastMsg100();
    const bool fine = msg100.ResolutionFlag();
    if (Row() == 0) {
        return {std::string(Header(fine))};
    }
    const L2ChannelRecord record = RecordOf(msg100, Row());
    return {record.Prn() != 0 ? DataText(record, fine) : std::string(kNoData)};
}

CellContent CDrawChanL2::Compute() {
    if (Row() == 0) {
        return {std::string(Header(false))};
    }
    const bool valid = RecordOf(LastMsg100(), Row()).Prn() != 0;
    return {FormatInt2(Row()), valid ? colors::kBlue : colors::kBlack};
}

std::string CDrawChanL2::DataText(const L2ChannelRecord& /*record*/, bool /*fine*/) const { return FormatInt2(Row()); }

std::string CDrawSVL2::DataText(const L2ChannelRecord& record, bool /*fine*/) const { return FormatInt2(record.Prn()); }

std::string CDrawP2_P1::DataText(const L2ChannelRecord& record, bool /*fine*/) const {
    return FormatFixed(record.P2mP1() * 0.01, 1);
}

std::string CDrawP2_C1::DataText(const L2ChannelRecord& record, bool /*fine*/) const {
    return FormatFixed(record.P2mC1() * 0.01, 1);
}

std::string CDrawC1_L1::DataText(const L2ChannelRecord& record, bool fine) const {
    return fine ? FormatFixed(record.C1mL1() * 0.001, 2) : FormatFixed(record.C1mL1() * 0.01, 3);
}

std::string CDrawP2_L1::DataText(const L2ChannelRecord& record, bool /*fine*/) const {
    return FormatFixed(record.P2mL1() * 0.01, 1);
}

std::string CDrawL2_L1::DataText(const L2ChannelRecord& record, bool /*fine*/) const {
    return FormatFixed(record.L2mL1() * 0.1, 1);
}

std::string CDrawNCOL2::DataText(const L2ChannelRecord& record, bool /*fine*/) const {
    return FormatInt(record.L2Nco());
}

std::string CDrawSNRL1P::DataText(const L2ChannelRecord& record, bool /*fine*/) const {
    return FormatFixed(record.L1PCnoDbHz(), 1);
}

std::string CDrawLOCKL1P::DataText(const L2ChannelRecord& record, bool /*fine*/) const {
    return std::string(AsView(LockLetters(record.L1PFlags())));
}

std::string CDrawSNRL2::DataText(const L2ChannelRecord& record, bool /*fine*/) const {
    return FormatFixed(record.L2CnoDbHz(), 1);
}

std::string CDrawLOCKL2::DataText(const L2ChannelRecord& record, bool /*fine*/) const {
    return std::string(AsView(LockLetters(record.L2Flags())));
}

const GridLayout& CViewChannelL2::Layout() {
    static const GridLayout layout{20, kWidths, kL2ChannelRows, {kL2ChannelRows - 1}};
    return layout;
}

CViewChannelL2::CViewChannelL2(const ViewServices& services, QWidget* parent)
    : CElementView(services, parent), msg100_(Dispatcher(), Slots::Msg100) {
    CElementList& elements = MutableElements();
    const CMsgDispatcher& dispatcher = Dispatcher();
    int column = 0;
    AddColumn<CDrawChanL2>(elements, dispatcher, column++);
    AddColumn<CDrawSVL2>(elements, dispatcher, column++);
    AddColumn<CDrawP2_P1>(elements, dispatcher, column++);
    AddColumn<CDrawP2_C1>(elements, dispatcher, column++);
    AddColumn<CDrawC1_L1>(elements, dispatcher, column++);
    AddColumn<CDrawP2_L1>(elements, dispatcher, column++);
    AddColumn<CDrawL2_L1>(elements, dispatcher, column++);
    AddColumn<CDrawNCOL2>(elements, dispatcher, column++);
    AddColumn<CDrawSNRL1P>(elements, dispatcher, column++);
    AddColumn<CDrawLOCKL1P>(elements, dispatcher, column++);
    AddColumn<CDrawSNRL2>(elements, dispatcher, column++);
    AddColumn<CDrawLOCKL2>(elements, dispatcher, column++);
}

CViewChannelL2::~CViewChannelL2() { msg100_.Release(Context().autoConfigure); }

const CGridCell& CViewChannelL2::Cell(int row, int column) const {
    return static_cast<const CGridCell&>(Elements().At(static_cast<std::size_t>(column * kL2ChannelRows + row)));
}

void CViewChannelL2::OnInitialUpdate() {
    SetExtent(Layout().Extent());
    SubscribeTo(Slots::Msg100);
}

void CViewChannelL2::OnRxMessage(int /*slot*/) { UpdateAll(); }

void CViewChannelL2::OnRefreshTick() {
    if (CountDown() && Context().autoConfigure) {
        msg100_.KeepOn();
    }
}

}  // namespace zarnmon
