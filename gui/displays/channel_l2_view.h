#pragma once

// "View Of P-Code Channel Data": the P-code and L2 side of the 12 GPS
// channels from the last message 100. The view switches message 100 on while
// it is open and off again when it closes, if it was the one that turned it on.

#include <string>
#include <string_view>

#include "core/link/bin_catalogue.h"
#include "core/state/owned_message.h"
#include "gui/displays/element_view.h"
#include "gui/displays/grid_cell.h"

namespace zarnmon {

inline constexpr int kL2ChannelRows = 13;  // header and 12 channels

class CDrawChanL2Base : public CGridCell {
public:
    explicit CDrawChanL2Base(const CMsgDispatcher& dispatcher) : dispatcher_(dispatcher) {}

protected:
    CellContent Compute() override;
    // The header may follow the resolution flag.
    [[nodiscard]] virtual std::string_view Header(bool /*fine*/) const = 0;
    [[nodiscard]] virtual std::string DataText(const L2ChannelRecord& record, bool fine) const = 0;
    [[nodiscard]] Msg100View LastMsg100() const;

private:
    const CMsgDispatcher& dispatcher_;
};

class CDrawChanL2 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    CellContent Compute() override;
    [[nodiscard]] std::string_view Header(bool) const override { return " CH"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord&, bool) const override;
};

class CDrawSVL2 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool) const override { return "SV"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

class CDrawP2_P1 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool) const override { return "P2-P1"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

class CDrawP2_C1 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool) const override { return "P2-C1"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

// With the resolution flag set the receiver puts a second position residual here.
class CDrawC1_L1 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool fine) const override { return fine ? "PRes2" : "C1-L1"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool fine) const override;
};

class CDrawP2_L1 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool fine) const override { return fine ? "DiffC2" : "P2-L1"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

class CDrawL2_L1 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool) const override { return "L2-L1"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

class CDrawNCOL2 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool) const override { return "L2NCO"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

class CDrawSNRL1P final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool) const override { return "S1"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

class CDrawLOCKL1P final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool) const override { return "L1CX"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

class CDrawSNRL2 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool) const override { return "S2"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

class CDrawLOCKL2 final : public CDrawChanL2Base {
public:
    using CDrawChanL2Base::CDrawChanL2Base;

protected:
    [[nodiscard]] std::string_view Header(bool) const override { return "L2CX"; }
    [[nodiscard]] std::string DataText(const L2ChannelRecord& record, bool) const override;
};

class CViewChannelL2 final : public CElementView {
    Q_OBJECT

public:
    explicit CViewChannelL2(const ViewServices& services, QWidget* parent = nullptr);
    ~CViewChannelL2() override;

    [[nodiscard]] static const GridLayout& Layout();
    [[nodiscard]] const CGridCell& Cell(int row, int column) const;
    // This view switched message 100 on and switches it off when it closes.
    [[nodiscard]] bool TurnedOnHere() const { return msg100_.TurnedOnHere(); }

protected:
    void OnInitialUpdate() override;
    void OnRxMessage(int slot) override;
    void OnRefreshTick() override;

private:
    COwnedMessage msg100_;
};

}  // namespace zarnmon
