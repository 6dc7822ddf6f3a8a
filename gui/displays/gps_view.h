#pragma once

// "View of GPS Solution": the receiver's navigation solution in five boxes
// side by side: position (or its north/east/up error against the configured
// location), velocity, dilution of precision and age of corrections, solution
// mode and satellites used, and UTC date and time with the clock error.

#include <QAction>
#include <QMenu>
#include <array>
#include <string>

#include "gui/displays/element_view.h"
#include "gui/displays/grid_cell.h"

namespace zarnmon {

// Date and time of "MM/DD/YY  hh:mm:ss" as the time box shows them: split at
// the first blank; the whole text in both when there is none.
struct DateAndTime {
    std::string date;
    std::string time;
};
[[nodiscard]] DateAndTime SplitDateTime(std::string_view text);

class CDrawGPSBase : public CBoxElement {
public:
    explicit CDrawGPSBase(const CAppContext& context) : context_(context) {}

protected:
    [[nodiscard]] const CAppContext& Context() const { return context_; }
    [[nodiscard]] Msg1View LastMsg1() const;
    [[nodiscard]] Msg2View LastMsg2() const;

private:
    const CAppContext& context_;
};

// Position, or with NEU mode on its error against the reference position.
class CDrawGPSPos final : public CDrawGPSBase {
public:
    explicit CDrawGPSPos(const CAppContext& context);
    // Takes the labels of the current mode.
    void Relabel();

protected:
    BoxContent Compute() override;
};

class CDrawGPSVel final : public CDrawGPSBase {
public:
    explicit CDrawGPSVel(const CAppContext& context);

protected:
    BoxContent Compute() override;
};

class CDrawGPSDOP final : public CDrawGPSBase {
public:
    explicit CDrawGPSDOP(const CAppContext& context);

protected:
    BoxContent Compute() override;
};

class CDrawGPSFlag final : public CDrawGPSBase {
public:
    explicit CDrawGPSFlag(const CAppContext& context);

protected:
    BoxContent Compute() override;
};

class CDrawGPSTime final : public CDrawGPSBase {
public:
    explicit CDrawGPSTime(const CAppContext& context);

protected:
    BoxContent Compute() override;
};

class CViewGPS final : public CElementView {
    Q_OBJECT

public:
    static constexpr int kShowNeuErrorsId = 32790;
    static constexpr int kBoxCount = 5;

    explicit CViewGPS(const ViewServices& services, QWidget* parent = nullptr);
    ~CViewGPS() override;

    [[nodiscard]] const CBoxElement& Box(int index) const;
    [[nodiscard]] QAction& ShowNeuErrorsAction() const { return *showNeu_; }
    // Command 32790: NEU mode needs a valid reference position, asked for
    // when there is none.
    void ToggleNeuErrors();

protected:
    void OnInitialUpdate() override;
    void OnRxMessage(int slot) override;
    void OnRefreshTick() override;
    void OnActivation() override;

private:
    CDrawGPSPos* position_ = nullptr;
    QAction* showNeu_ = nullptr;
};

}  // namespace zarnmon
