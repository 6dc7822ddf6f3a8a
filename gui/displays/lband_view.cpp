#include "gui/displays/lband_view.h"

#include <array>

#include "core/link/msg_dispatcher.h"

namespace zarnmon {

namespace {

constexpr std::array<int, CDrawLBand::kBoxes> kBoxWidths{240, 180, 210};
constexpr int kBoxMargin = 5;
constexpr int kBoxHeight = 90;
// The longest field a box shows; longer ones are cut.
constexpr std::size_t kFieldBuffer = 256;

constexpr std::array<std::array<const char*, 3>, CDrawLBand::kBoxes> kLabels{{
    {"Bit Err Rate(BER)", "L-Band AGC", "L-Band UTC"},
    {"DSP-ARM Status", "DIFF Status", "Nav Condition"},
    {"Spot Beam Freq", "DDS Hz", "Doppler From GEO"},
}};

}  // namespace

CDrawLBand::CDrawLBand(int box, const CRd1Handler& rd1) : box_(box), rd1_(rd1) {
    const auto& labels = kLabels.at(static_cast<std::size_t>(box));
    SetLabels({labels[0], labels[1], labels[2]});
    int left = kBoxMargin;
    for (int before = 0; before < box; ++before) {
        left += kBoxWidths[static_cast<std::size_t>(before)];
    }
    SetRect({left, kBoxMargin, left + kBoxWidths[static_cast<std::size_t>(box)], kBoxMargin + kBoxHeight});
}

std::string CDrawLBand::Field(int n) const {
    std::array<char, kFieldBuffer> field{};
    return rd1_.GetField(n, field.data(), field.size()) != nullptr ? std::string(field.data()) : std::string();
}

BoxContent CDrawLBand::Compute() {
    switch (box_) {
        case 0:
            return {{Field(5), Field(6), rd1_.Rd1Time()}};
        case 1:
            return {{Field(9) + "-" + Field(10), Field(11), Field(12)}};
        default:
            return {{Field(3), Field(7), Field(8)}};
    }
}

CViewLBand::CViewLBand(const ViewServices& services, QWidget* parent) : CElementView(services, parent) {
    for (int box = 0; box < CDrawLBand::kBoxes; ++box) {
        MutableElements().Add<CDrawLBand>(box, Dispatcher().Rd1());
    }
}

const CDrawLBand& CViewLBand::Box(int box) const {
    return static_cast<const CDrawLBand&>(Elements().At(static_cast<std::size_t>(box)));
}

void CViewLBand::OnInitialUpdate() {
    SetExtent(Elements().Extent(kBoxMargin));
    SubscribeTo(Slots::Rd1Handler);
}

void CViewLBand::OnRxMessage(int /*slot*/) { UpdateAll(); }

}  // namespace zarnmon
