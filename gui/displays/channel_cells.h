#pragma once

// The cells of the L1 channel table: one class per column. Rows 1-12 show the
// GPS channels of the last message 99, rows 13-15 the SBAS channels of the
// last message 89; a row is valid when its record tracks a satellite and
// carries the row's own channel number.

#include <string>
#include <string_view>

#include "core/link/bin_catalogue.h"
#include "core/state/solution_use.h"
#include "gui/displays/grid_cell.h"
#include "gui/state/app_context.h"

namespace zarnmon {

inline constexpr int kChannelRows = 16;  // header, 12 GPS, 3 SBAS
inline constexpr int kGpsChannelRows = 12;

// The status letter of column 0: 'U' ephemeris in use, 'A' almanac, 'E'
// below the horizon, blank otherwise or when idle.
[[nodiscard]] char StatusLetter(const ChannelRecord& record);
// The lock letters of flags; four blanks for an idle channel (PRN 0).
[[nodiscard]] std::string LockColumnText(std::uint8_t prn, std::uint8_t flags);
// The range accuracy in metres of a channel with a usable ephemeris; 0.0 otherwise.
[[nodiscard]] double UraToMetres(const ChannelRecord& record);
[[nodiscard]] double L1SnrDb(const ChannelRecord& record);

class CDrawChanBase : public CGridCell {
public:
    CDrawChanBase(CAppContext& context, const ChannelUse& use) : context_(context), use_(use) {}

protected:
    CellContent Compute() override;
    [[nodiscard]] virtual std::string_view Header() const = 0;
    [[nodiscard]] virtual std::string DataText(const ChannelRecord& record) const = 0;

    // The record of this cell's row, empty for the header row.
    [[nodiscard]] ChannelRecord Record() const;
    [[nodiscard]] bool RowValid(const ChannelRecord& record) const;
    [[nodiscard]] CAppContext& Context() const { return context_; }
    [[nodiscard]] Msg99View LastMsg99() const;
    [[nodiscard]] const ChannelUse& Use() const { return use_; }

private:
    CAppContext& context_;
    const ChannelUse& use_;
};

// Column 0: the channel number with its status letter, coloured by how the
// satellite is used.
class CDrawChan final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    CellContent Compute() override;
    [[nodiscard]] std::string_view Header() const override { return " CH"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;

private:
    [[nodiscard]] std::uint32_t ColorOf(const ChannelRecord& record) const;
};

class CDrawSV final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "SV"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawElev final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "ELV"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawAzim final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "AZI"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawDoppler final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "Dopp"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawNCO final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "NCO"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawUERE final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "UERE"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawSF final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "SF"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

// The position residual; the recomputed one while residuals are adjusted.
class CDrawPRerr final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "PosRes"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawVRerr final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "VelRes"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawDiffC final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "DiffC"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawLOCK final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "LOCK"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

class CDrawSNR final : public CDrawChanBase {
public:
    using CDrawChanBase::CDrawChanBase;

protected:
    [[nodiscard]] std::string_view Header() const override { return "SNR"; }
    [[nodiscard]] std::string DataText(const ChannelRecord& record) const override;
};

}  // namespace zarnmon
