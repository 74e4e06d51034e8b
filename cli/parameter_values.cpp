#include "cli/parameter_values.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "cli/arguments.h"

namespace kt {
namespace {

// Points at which a parameter's displays are sampled to learn its shape.
constexpr int kProbePoints = 512;
// A parameter with at most this many distinct texts over the probe is stepped.
constexpr int kMaxSteps = 32;
constexpr int kBisectionSteps = 48;

std::string lowerNoSpaces(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return result;
}

std::string trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

// A display or user text split into its leading number and the unit after it.
struct NumberText {
    double number = 0.0;
    int decimals = 0;  // digits after the point, for the display's resolution
    std::string unit;  // lower case, spaces removed
};

std::optional<NumberText> splitNumber(const std::string& raw) {
    const std::string text = trim(raw);
    if (text.empty()) return std::nullopt;
    const char* begin = text.c_str();
    char* end = nullptr;
    double number = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(number)) return std::nullopt;
    // strtod also reads "inf", "nan" and hexadecimal forms; displays use none.
    const std::string numberPart(begin, static_cast<const char*>(end));
    if (numberPart.find_first_of("xXnN") != std::string::npos) return std::nullopt;
    NumberText result;
    result.number = number;
    std::size_t point = numberPart.find('.');
    if (point != std::string::npos) {
        std::size_t digits = 0;
        while (point + 1 + digits < numberPart.size() &&
               std::isdigit(static_cast<unsigned char>(numberPart[point + 1 + digits])))
            ++digits;
        result.decimals = static_cast<int>(digits);
    }
    result.unit = lowerNoSpaces(end);
    return result;
}

// Restores a parameter's value when a probe ends, unless told to keep the new one.
class ValueGuard {
  public:
    ValueGuard(const VstPlugin& plugin, int index)
        : plugin_(plugin), index_(index), original_(plugin.getParameter(index)) {}
    ~ValueGuard() {
        if (!keep_) plugin_.setParameter(index_, original_);
    }
    void keep() { keep_ = true; }

  private:
    const VstPlugin& plugin_;
    int index_;
    float original_;
    bool keep_ = false;
};

std::string displayAt(const VstPlugin& plugin, int index, double v) {
    plugin.setParameter(index, static_cast<float>(v));
    return plugin.parameterDisplay(index);
}

std::optional<double> numberAt(const VstPlugin& plugin, int index, double v) {
    std::optional<NumberText> n = splitNumber(displayAt(plugin, index, v));
    if (!n) return std::nullopt;
    return n->number;
}

std::string quotedList(const std::vector<std::string>& texts) {
    std::string list;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) list += ", ";
        list += "\"" + texts[i] + "\"";
    }
    return list;
}

std::string parameterNames(const VstPlugin& plugin) {
    std::vector<std::string> names;
    for (int i = 0; i < plugin.numParams(); ++i) {
        std::string name = plugin.parameterName(i);
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) list += (i > 0 ? ", " : "") + names[i];
    return list;
}

// The continuous parameter's range in display numbers, with the normalised
// values at its ends and the special texts (such as "off") seen on the way.
struct ContinuousRange {
    double vLow = 0.0, vHigh = 1.0;  // numeric displays hold within [vLow, vHigh]
    double low = 0.0, high = 0.0;    // display numbers at vLow and vHigh
    std::string lowText, highText;   // the display texts there
    int decimals = 0;
    std::string unit;
    std::vector<std::pair<std::string, double>> specials;
};

// Moves an end of the numeric range as far as displays stay numeric:
// `inside` displays a number, `outside` does not.
double refineNumericEdge(const VstPlugin& plugin, int index, double inside, double outside) {
    for (int i = 0; i < kBisectionSteps; ++i) {
        double mid = 0.5 * (inside + outside);
        if (static_cast<float>(mid) == static_cast<float>(inside) ||
            static_cast<float>(mid) == static_cast<float>(outside))
            break;
        if (numberAt(plugin, index, mid)) {
            inside = mid;
        } else {
            outside = mid;
        }
    }
    return inside;
}

std::optional<ContinuousRange> continuousRange(const VstPlugin& plugin, int index) {
    ContinuousRange range;
    int first = -1, last = -1;
    for (int k = 0; k <= kProbePoints; ++k) {
        double v = static_cast<double>(k) / kProbePoints;
        std::string text = displayAt(plugin, index, v);
        std::optional<NumberText> n = splitNumber(text);
        if (n) {
            if (first < 0) first = k;
            last = k;
            range.decimals = std::max(range.decimals, n->decimals);
            if (range.unit.empty()) range.unit = n->unit;
        } else {
            bool known = false;
            for (const auto& special : range.specials) known |= special.first == text;
            if (!known) range.specials.emplace_back(text, v);
        }
    }
    if (first < 0) return std::nullopt;
    range.vLow = static_cast<double>(first) / kProbePoints;
    range.vHigh = static_cast<double>(last) / kProbePoints;
    if (first > 0)
        range.vLow = refineNumericEdge(plugin, index, range.vLow,
                                       static_cast<double>(first - 1) / kProbePoints);
    if (last < kProbePoints)
        range.vHigh = refineNumericEdge(plugin, index, range.vHigh,
                                        static_cast<double>(last + 1) / kProbePoints);
    range.lowText = trim(displayAt(plugin, index, range.vLow));
    range.highText = trim(displayAt(plugin, index, range.vHigh));
    range.low = splitNumber(range.lowText)->number;
    range.high = splitNumber(range.highText)->number;
    return range;
}

// Smallest v in [lo, hi] with sign * number(v) >= target (displays monotonic).
double lowestReaching(const VstPlugin& plugin, int index, double lo, double hi, double sign,
                      double target) {
    for (int i = 0; i < kBisectionSteps; ++i) {
        double mid = 0.5 * (lo + hi);
        if (static_cast<float>(mid) == static_cast<float>(lo) ||
            static_cast<float>(mid) == static_cast<float>(hi))
            break;
        std::optional<double> n = numberAt(plugin, index, mid);
        if (n && sign * *n >= target) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return hi;
}

std::string formatNumber(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::optional<float> resolveContinuous(const VstPlugin& plugin, int index, const std::string& name,
                                       const std::string& valueText, const std::string& label,
                                       std::string* error) {
    std::optional<ContinuousRange> found = continuousRange(plugin, index);
    if (!found) {
        *error = name + " shows no numbers; only v=0..1 is accepted";
        return std::nullopt;
    }
    const ContinuousRange& range = *found;
    const std::string& unitHint = label;
    auto accepted = [&] {
        const bool rising = range.high >= range.low;
        std::string text = "accepted: a number from " + (rising ? range.lowText : range.highText) +
                           " to " + (rising ? range.highText : range.lowText);
        if (!unitHint.empty()) text += " (" + unitHint + ")";
        for (const auto& special : range.specials) text += ", \"" + special.first + "\"";
        return text + ", or v=0..1 for a normalised value";
    };

    for (const auto& special : range.specials) {
        if (lowerNoSpaces(special.first) == lowerNoSpaces(valueText)) {
            return static_cast<float>(special.second);
        }
    }
    std::optional<NumberText> wanted = splitNumber(valueText);
    if (!wanted) {
        *error = "\"" + valueText + "\" is not a value of " + name + "; " + accepted();
        return std::nullopt;
    }
    if (!wanted->unit.empty() && wanted->unit != lowerNoSpaces(label) &&
        wanted->unit != range.unit) {
        *error = "unit \"" + wanted->unit + "\" does not fit " + name + "; " + accepted();
        return std::nullopt;
    }
    // Compare in display steps: the wanted number rounded as the module rounds.
    const double step = std::pow(10.0, -range.decimals);
    const double half = 0.5 * step;
    const double sign = range.high >= range.low ? 1.0 : -1.0;
    const double target = sign * std::round(wanted->number / step) * step;
    const double lowEnd = sign * range.low;
    const double highEnd = sign * range.high;
    if (target < lowEnd - half || target > highEnd + half ||
        std::fabs(sign * target - wanted->number) > half * (1.0 + 1e-9)) {
        *error = valueText + " is outside the range of " + name + "; " + accepted();
        return std::nullopt;
    }
    // The text shown at an end of the whole range gives exactly that end, not
    // the middle of the values displaying it.
    if (range.vLow == 0.0 && std::fabs(target - lowEnd) < half) return 0.0f;
    if (range.vHigh == 1.0 && std::fabs(target - highEnd) < half) return 1.0f;
    // The values displaying the number form an interval [a, b); take its middle.
    double a = range.vLow;
    std::optional<double> atLow = numberAt(plugin, index, range.vLow);
    if (!(atLow && sign * *atLow >= target - half))
        a = lowestReaching(plugin, index, range.vLow, range.vHigh, sign, target - half);
    double b = range.vHigh;
    std::optional<double> atHigh = numberAt(plugin, index, range.vHigh);
    if (atHigh && sign * *atHigh > target + half)
        b = lowestReaching(plugin, index, a, range.vHigh, sign, target + half);
    std::optional<double> shownA = numberAt(plugin, index, a);
    if (!shownA || std::fabs(sign * *shownA - target) > half) {
        *error = "no setting of " + name + " displays " + valueText + " (the nearest shows " +
                 (shownA ? formatNumber(*shownA, range.decimals) : "nothing") + "); " + accepted();
        return std::nullopt;
    }
    double middle = 0.5 * (a + b);
    std::optional<double> shownMiddle = numberAt(plugin, index, middle);
    if (shownMiddle && std::fabs(sign * *shownMiddle - target) <= half)
        return static_cast<float>(middle);
    return static_cast<float>(a);
}

std::optional<float> resolveStepped(const ParameterShape& shape, const std::string& name,
                                    const std::string& valueText, std::string* error) {
    const std::string wanted = lowerNoSpaces(valueText);
    const std::string label = lowerNoSpaces(shape.label);
    const int steps = static_cast<int>(shape.stepTexts.size());
    for (int i = 0; i < steps; ++i) {
        const std::string text = lowerNoSpaces(shape.stepTexts[i]);
        if (wanted == text || (!label.empty() && wanted == text + label)) {
            return (static_cast<float>(i) + 0.5f) / static_cast<float>(steps);
        }
    }
    *error = "\"" + valueText + "\" is not a setting of " + name +
             "; accepted: " + quotedList(shape.stepTexts) + ", or v=0..1 for a normalised value";
    return std::nullopt;
}

}  // namespace

ParameterShape probeParameter(const VstPlugin& plugin, int index) {
    ValueGuard guard(plugin, index);
    ParameterShape shape;
    shape.label = plugin.parameterLabel(index);
    std::vector<std::string> runs;
    bool anyText = false;
    for (int k = 0; k <= kProbePoints; ++k) {
        std::string text = displayAt(plugin, index, static_cast<double>(k) / kProbePoints);
        anyText |= !text.empty();
        if (runs.empty() || runs.back() != text) runs.push_back(text);
        if (static_cast<int>(runs.size()) > kMaxSteps) break;
    }
    if (!anyText) return shape;
    shape.kind = ParameterShape::kContinuous;
    if (static_cast<int>(runs.size()) > kMaxSteps) return shape;
    // Stepped if the text at the centre of each of n equal steps is the n-th run.
    const int steps = static_cast<int>(runs.size());
    for (int i = 0; i < steps; ++i) {
        float centre = (static_cast<float>(i) + 0.5f) / static_cast<float>(steps);
        if (displayAt(plugin, index, centre) != runs[i]) return shape;
    }
    shape.kind = ParameterShape::kStepped;
    shape.stepTexts = runs;
    return shape;
}

int findParameter(const VstPlugin& plugin, const std::string& name) {
    const std::string wanted = lowerNoSpaces(name);
    for (int i = 0; i < plugin.numParams(); ++i) {
        if (lowerNoSpaces(plugin.parameterName(i)) == wanted) return i;
    }
    return -1;
}

std::optional<ParameterSetting> resolveSetting(const VstPlugin& plugin, const std::string& setting,
                                               std::string* error) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    const std::size_t equals = setting.find('=');
    if (equals == std::string::npos) {
        *error = "\"" + setting + "\" is not NAME=VALUE";
        return std::nullopt;
    }
    const std::string name = trim(setting.substr(0, equals));
    const std::string valueText = trim(setting.substr(equals + 1));
    const int index = findParameter(plugin, name);
    if (index < 0) {
        *error =
            "unknown parameter \"" + name + "\"; the parameters are: " + parameterNames(plugin);
        return std::nullopt;
    }
    const std::string realName = plugin.parameterName(index);

    std::optional<float> value;
    if (valueText.rfind("v=", 0) == 0) {
        std::optional<double> v = parseNumber(valueText.substr(2));
        if (!v || !(*v >= 0.0 && *v <= 1.0)) {
            *error =
                "\"" + valueText + "\": a normalised value is v= followed by a number from 0 to 1";
            return std::nullopt;
        }
        value = static_cast<float>(*v);
    } else {
        ParameterShape shape = probeParameter(plugin, index);
        ValueGuard guard(plugin, index);
        switch (shape.kind) {
            case ParameterShape::kNoDisplay:
                *error = realName + " has no display; only v=0..1 is accepted";
                return std::nullopt;
            case ParameterShape::kStepped:
                value = resolveStepped(shape, realName, valueText, error);
                break;
            case ParameterShape::kContinuous:
                value = resolveContinuous(plugin, index, realName, valueText, shape.label, error);
                break;
        }
        if (!value) return std::nullopt;
        guard.keep();
    }
    plugin.setParameter(index, *value);
    return ParameterSetting{index, *value, plugin.parameterDisplay(index)};
}

}  // namespace kt
