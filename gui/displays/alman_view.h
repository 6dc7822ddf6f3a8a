#pragma once

// "Alamnac Data View": what the receiver's almanac says of each of the 32 GPS
// satellites (status, elevation, azimuth, Doppler, update count) in three
// blocks of twelve rows, a green square at the satellite the latest message
// 98 points at, and whether the ionospheric model is valid.

#include <array>
#include <string>

#include "core/link/msg_dispatcher.h"
#include "gui/displays/element_view.h"

namespace zarnmon {

// What an almanac cell shows: status (with the satellite number), elevation,
// azimuth, Doppler and update count, and the marker.
struct AlmanContent {
    std::array<std::string, 5> texts;
    bool highlight = false;
    bool operator==(const AlmanContent&) const = default;
};

class CDrawAlman final : public CContentElement<AlmanContent> {
public:
    static constexpr int kSatellites = 32;
    static constexpr int kIonoIndex = 33;
    static constexpr int kRowsPerBlock = 12;
    static constexpr int kBlocks = 3;
    static constexpr int kBlockWidth = 260;
    static constexpr int kRowHeight = 20;

    // index: 0..31 satellite cells, 33 the iono cell, 32, 34 and 35 empty
    // cells, -1..-3 the headers of blocks 0..2.
    CDrawAlman(int index, const CMsgDispatcher& dispatcher);

    void Draw(QPainter& painter) override;
    [[nodiscard]] TextLines ShownTexts() const override { return {{Shown().texts.begin(), Shown().texts.end()}}; }

    [[nodiscard]] int Index() const { return index_; }
    [[nodiscard]] int Borders() const { return borders_; }
    [[nodiscard]] const AlmanContent& Content() const { return Shown(); }
    // The marker's square, in logical coordinates.
    [[nodiscard]] QRect MarkerRect() const;

protected:
    AlmanContent Compute() override;

private:
    int index_;
    int borders_ = 0;
    const CMsgDispatcher& dispatcher_;
};

class CViewAlman final : public CElementView {
    Q_OBJECT

public:
    // Satellite cells, the four cells below them, then the block headers.
    static constexpr int kCells = 39;

    explicit CViewAlman(const ViewServices& services, QWidget* parent = nullptr);
    // Message 98 goes off again with the view, unless the user controls the messages.
    ~CViewAlman() override;

    // The cell of an index as CDrawAlman numbers them.
    [[nodiscard]] const CDrawAlman& Cell(int index) const;

protected:
    void OnInitialUpdate() override;
    void OnRxMessage(int slot) override;
    [[nodiscard]] std::vector<int> KeptOnSlots() const override { return {Slots::Msg98}; }
    [[nodiscard]] bool FitsFrame() const override { return false; }
};

}  // namespace zarnmon
