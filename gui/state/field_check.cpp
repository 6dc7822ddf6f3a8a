#include "gui/state/field_check.h"

#include <QLocale>
#include <cmath>

namespace zarnmon {

namespace {

// Limits as a user would type them: "-90", "3600", "0.5".
QString LimitText(double value) { return QLocale::c().toString(value, 'g', 15); }

}  // namespace

std::optional<double> ReadNumber(const QString& text) {
    bool ok = false;
    // The C locale: the profile and the receiver use a decimal point whatever the desktop's locale.
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    // "nan" and "inf" scan, but are no position.
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ReadInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

std::optional<QString> CheckNumber(const QString& text, double minimum, double maximum) {
    const auto value = ReadNumber(text);
    if (!value || *value < minimum || *value > maximum) {
        return QStringLiteral("Enter a number between %1 and %2.").arg(LimitText(minimum), LimitText(maximum));
    }
    return std::nullopt;
}

std::optional<QString> CheckNumber(const QString& text) {
    if (!ReadNumber(text)) {
        return QStringLiteral("Enter a number.");
    }
    return std::nullopt;
}

std::optional<QString> CheckInteger(const QString& text, int minimum, int maximum) {
    const auto value = ReadInteger(text);
    if (!value || *value < minimum || *value > maximum) {
        return QStringLiteral("Enter an integer between %1 and %2.").arg(minimum).arg(maximum);
    }
    return std::nullopt;
}

}  // namespace zarnmon
