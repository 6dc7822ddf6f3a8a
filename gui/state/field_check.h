#pragma once

// Checks of what a user typed into a dialog's number fields. Each returns
// nothing for acceptable text and otherwise the message to show, so that a
// dialog refuses bad input with a reason and tests read the reason without a
// modal box. Texts are read whole (blanks around them allowed): "12abc" is
// refused, not read as 12.

#include <QString>
#include <optional>

namespace zarnmon {

struct FieldError {
    int field = 0;    // which of the dialog's fields, in the dialog's order
    QString message;  // what to tell the user
};

// A finite number within [minimum, maximum]; "Enter a number between -90 and 90." otherwise.
[[nodiscard]] std::optional<QString> CheckNumber(const QString& text, double minimum, double maximum);
// A finite number, no range.
[[nodiscard]] std::optional<QString> CheckNumber(const QString& text);
// A decimal integer within [minimum, maximum].
[[nodiscard]] std::optional<QString> CheckInteger(const QString& text, int minimum, int maximum);

// The values behind the checks; nullopt when the check fails.
[[nodiscard]] std::optional<double> ReadNumber(const QString& text);
[[nodiscard]] std::optional<int> ReadInteger(const QString& text);

}  // namespace zarnmon
