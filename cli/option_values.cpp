#include "cli/option_values.h"

#include <array>
#include <charconv>
#include <cmath>

#include "core/app/settings_keys.h"

namespace zarnmon::cli {

namespace {

// The whole text as a number of type T in the given base; nullopt otherwise.
template <typename T>
std::optional<T> WholeText(std::string_view text, int base) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool IsOption(std::string_view arg, std::string_view name) {
    return arg == name || (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=');
}

std::optional<std::string_view> OptionValue(std::string_view command, std::span<const std::string_view> args,
                                            std::size_t& i, std::string_view name, std::ostream& err) {
    const std::string_view arg = args[i];
    if (arg.size() > name.size() && arg[name.size()] == '=') {
        return arg.substr(name.size() + 1);
    }
    if (i + 1 == args.size()) {
        err << "zarnmon-cli " << command << ": " << name << " needs a value (see --help)\n";
        return std::nullopt;
    }
    return args[++i];
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view text, std::int64_t min, std::int64_t max) {
    if (text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const auto value = WholeText<std::int64_t>(text, 10);
    if (!value || *value < min || *value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseDecimal(std::string_view text) {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> ParseHex32(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
    }
    if (text.size() > 8 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
        return std::nullopt;
    }
    return WholeText<std::uint32_t>(text, 16);
}

std::optional<CReferencePosition> ParseReference(std::string_view text) {
    std::array<double, 3> values{};
    for (std::size_t k = 0; k < values.size(); ++k) {
        const bool last = k + 1 == values.size();
        const auto comma = text.find(',');
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        const auto value = ParseDecimal(text.substr(0, comma));
        if (!value) {
            return std::nullopt;
        }
        values[k] = *value;
        text = last ? std::string_view{} : text.substr(comma + 1);
    }
    CSettingsStore store;
    store.SetString(kLocation, kLatitudeKey, FormatLatLon(values[0]));
    store.SetString(kLocation, kLongitudeKey, FormatLatLon(values[1]));
    store.SetString(kLocation, kHeightKey, FormatHeight(values[2]));
    CReferencePosition reference;
    if (!LoadReferencePosition(reference, store, {})) {
        return std::nullopt;
    }
    return reference;
}

}  // namespace zarnmon::cli
