#include "cli/decibel_setting.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cli/parameter_values.h"

namespace kt {
namespace {

struct ShownNumber {
    double value = 0.0;
    int decimals = 0;
};

std::optional<ShownNumber> parseShown(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(value)) return std::nullopt;
    ShownNumber shown{value, 0};
    const std::string number(begin, static_cast<const char*>(end));
    if (const std::size_t point = number.find('.'); point != std::string::npos)
        shown.decimals = static_cast<int>(number.size() - point - 1);
    return shown;
}

}  // namespace

std::optional<DecibelParameter> findDecibelParameter(const VstPlugin& plugin,
                                                     const std::string& name) {
    const int index = findParameter(plugin, name);
    if (index < 0 || plugin.parameterLabel(index) != "dB") return std::nullopt;
    const float original = plugin.getParameter(index);
    plugin.setParameter(index, 0.0f);
    const std::optional<ShownNumber> low = parseShown(plugin.parameterDisplay(index));
    plugin.setParameter(index, 1.0f);
    const std::optional<ShownNumber> high = parseShown(plugin.parameterDisplay(index));
    plugin.setParameter(index, original);
    if (!low || !high || !(high->value > low->value)) return std::nullopt;
    DecibelParameter parameter;
    parameter.index = index;
    parameter.name = plugin.parameterName(index);
    parameter.low = low->value;
    parameter.high = high->value;
    parameter.step = std::pow(10.0, -std::max(low->decimals, high->decimals));
    return parameter;
}

std::optional<double> displayedDecibels(const VstPlugin& plugin,
                                        const DecibelParameter& parameter) {
    const std::optional<ShownNumber> shown = parseShown(plugin.parameterDisplay(parameter.index));
    if (!shown) return std::nullopt;
    return shown->value;
}

bool setDecibels(const VstPlugin& plugin, const DecibelParameter& parameter, double db,
                 std::string* error) {
    const int decimals = static_cast<int>(std::lround(-std::log10(parameter.step)));
    char text[64];
    std::snprintf(text, sizeof text, "%+.*f", std::max(0, decimals), db);
    return resolveSetting(plugin, parameter.name + "=" + text, error).has_value();
}

}  // namespace kt
