#include "gui/displays/channel_cells.h"

#include <array>

#include "core/link/msg_dispatcher.h"

namespace zarnmon {

namespace {

constexpr std::array<double, 16> kUraMetres{2.0,  2.8,   4.0,   5.7,   8.0,    11.3,   16.0,   32.0,
                                            64.0, 128.0, 256.0, 512.0, 1024.0, 2048.0, 4096.0, 9999.0};

bool EphemerisUsable(const ChannelRecord& record) { return (record.EphState() & 0x03U) == 2; }

}  // namespace

char StatusLetter(const ChannelRecord& record) {
    if (record.Prn() == 0) {
        return ' ';
    }
    if (EphemerisUsable(record) && record.EphFlag() != 0) {
        return 'U';
    }
    if ((record.AlmState() & 0x03U) == 2 && record.AlmFlag() != 0) {
        return 'A';
    }
    return record.Elevation() < 0 ? 'E' : ' ';
}

std::string LockColumnText(std::uint8_t prn, std::uint8_t flags) {
    return prn == 0 ? std::string(4, ' ') : std::string(AsView(LockLetters(flags)));
}

double UraToMetres(const ChannelRecord& record) {
    if (record.Prn() == 0 || !EphemerisUsable(record)) {
        return 0.0;
    }
    return kUraMetres[record.UraIndex() & 0x0FU];
}

double L1SnrDb(const ChannelRecord& record) { return record.Prn() == 0 ? 0.0 : L1CnoDbHz(record.CnoRaw()); }

Msg99View CDrawChanBase::LastMsg99() const {
    return Msg99View(context_.dispatcher.Handler(Slots::Msg99).LastMessage());
}

ChannelRecord CDrawChanBase::Record() const {
    const int row = Row();
    if (row >= 1 && row <= kGpsChannelRows) {
        return LastMsg99().Channel(row - 1);
    }
    if (row > kGpsChannelRows && row < kChannelRows) {
        return Msg89View(context_.dispatcher.Handler(Slots::Msg89).LastMessage()).Channel(row - kGpsChannelRows - 1);
    }
    return {};
}

bool CDrawChanBase::RowValid(const ChannelRecord& record) const {
    return record.Prn() != 0 && record.Channel() == Row() - 1;
}

CellContent CDrawChanBase::Compute() {
    if (Row() == 0) {
        return {std::string(Header())};
    }
    const ChannelRecord record = Record();
    return {RowValid(record) ? DataText(record) : std::string(kNoData)};
}

CellContent CDrawChan::Compute() {
    if (Row() == 0) {
        return {std::string(Header())};
    }
    // Every data row shows its number, tracked or not.
    const ChannelRecord record = Record();
    return {DataText(record), ColorOf(record)};
}

std::string CDrawChan::DataText(const ChannelRecord& record) const {
    return std::string(1, StatusLetter(record)) + ' ' + FormatInt2(Row());
}

std::uint32_t CDrawChan::ColorOf(const ChannelRecord& record) const {
    const int prn = record.Prn();
    if (prn == 0) {
        return colors::kBlack;
    }
    if (UsedInSolution(Context().dispatcher, Use(), prn, Row() <= kGpsChannelRows)) {
        return colors::kDarkGreen;
    }
    if (EphemerisUsable(record) && record.EphFlag() == 0) {
        return colors::kCyan;
    }
    return colors::kBlue;
}

std::string CDrawSV::DataText(const ChannelRecord& record) const { return FormatInt2(record.Prn()); }

std::string CDrawElev::DataText(const ChannelRecord& record) const { return FormatInt(record.Elevation()); }

std::string CDrawAzim::DataText(const ChannelRecord& record) const { return FormatInt(record.AzimuthDegrees()); }

std::string CDrawDoppler::DataText(const ChannelRecord& record) const { return FormatInt(record.Doppler()); }

std::string CDrawNCO::DataText(const ChannelRecord& record) const { return FormatInt(record.Nco()); }

std::string CDrawUERE::DataText(const ChannelRecord& record) const { return FormatFixed(UraToMetres(record), 1); }

std::string CDrawSF::DataText(const ChannelRecord& record) const { return FormatInt(record.Sf()); }

std::string CDrawPRerr::DataText(const ChannelRecord& record) const {
    // Message 99's resolution flag also governs the SBAS rows.
    const bool fine = LastMsg99().ResolutionFlag();
    const CResidualAdjust& adjust = Context().residualAdjust;
    const double value = adjust.Adjusting() ? adjust.Residuals()[static_cast<std::size_t>(Row() - 1)]
                                            : record.PosResid() * (fine ? 0.001 : 0.1);
    return FormatFixed(value, fine ? 2 : 1);
}

std::string CDrawVRerr::DataText(const ChannelRecord& record) const { return FormatFixed(record.VelResid() * 0.1, 1); }

std::string CDrawDiffC::DataText(const ChannelRecord& record) const { return FormatFixed(record.DiffCorr() * 0.01, 1); }

std::string CDrawLOCK::DataText(const ChannelRecord& record) const {
    return LockColumnText(record.Prn(), record.TrackFlags());
}

std::string CDrawSNR::DataText(const ChannelRecord& record) const { return FormatFixed(L1SnrDb(record), 1); }

}  // namespace zarnmon
