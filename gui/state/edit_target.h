#pragma once

// The edit commands (Copy, Cut and Paste) of the main window act on the
// focused text editor, unless the active view takes them over: a form whose
// commands follow the control that last had the focus, or a table that
// copies itself as text.

namespace zarnmon {

// What the edit commands can do now.
struct EditAbility {
    bool copy = false;
    bool cut = false;
    bool paste = false;
};

class IEditTarget {
public:
    virtual ~IEditTarget() = default;
    [[nodiscard]] virtual EditAbility Ability() const = 0;
    virtual void Copy() = 0;
    virtual void Cut() = 0;
    virtual void Paste() = 0;
};

}  // namespace zarnmon
